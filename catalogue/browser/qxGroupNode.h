// A "GROUP" entry of the catalogue browser: a node shown in its tree with a wide display text, a
// closed and an open image, and any number of subgroups and items.
#pragma once

#include "catalogue/browser/qxNode.h"

class qxGroupNode : public qxNode {
 public:
  qxGroupNode();

  // Name = field 2; the second field is not used; the display text is field 3 with its text number
  // resolved in the current language.
  void ParseFields(std::string_view name, std::string_view second, std::string_view text) override;
  Vcon::WString DisplayText() const override { return text_; }
  bool HasDisplayText() const override { return hasText_; }

 protected:
  bool InsertSelf(plat::HWND tree, plat::HTREEITEM parent, plat::HTREEITEM& childParent) override;

  Vcon::WString text_;
  bool hasText_ = false;
};
