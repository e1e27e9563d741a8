#include "catalogue/browser/qxGroupNode.h"

#include <string_view>
#include <utility>

#include "foundation/TextReference.h"
#include "platform/WindowApi.h"

namespace {

// Whether the text ends in ";number", which ResolveTextRef looks up; any other text comes back from
// it unchanged. (A field holds no NUL: the text it comes from ends at the first.)
bool NamesText(std::string_view text) {
  const size_t semicolon = text.rfind(';');
  return semicolon != std::string_view::npos && semicolon + 1 != text.size();
}

}  // namespace

qxGroupNode::qxGroupNode() : qxNode(kGroupClosedImage, kGroupOpenImage) {}

void qxGroupNode::ParseFields(std::string_view name, std::string_view, std::string_view text) {
  name_.assign(name);
  Vcon::WString wide = WideFromString(Vcon::String(text.data(), text.size()));
  if (NamesText(text)) {
    text_ = ResolveTextRef(wide);
  } else {
    text_ = std::move(wide);
  }
  hasText_ = true;
}

bool qxGroupNode::InsertSelf(plat::HWND tree, plat::HTREEITEM parent, plat::HTREEITEM& childParent) {
  plat::TVINSERTSTRUCTW insert;
  insert.hParent = parent;
  // At the root level the control takes the root handle as "after the last item".
  insert.hInsertAfter = parent != nullptr ? plat::TVI_LAST : plat::TVI_ROOT;
  insert.item.mask = plat::TVIF_TEXT | plat::TVIF_IMAGE | plat::TVIF_SELECTEDIMAGE | plat::TVIF_PARAM;
  // The control copies the text during the call and never writes through the pointer.
  insert.item.pszText = const_cast<char16_t*>(text_.c_str());
  insert.item.cchTextMax = int32_t(text_.size());
  insert.item.iImage = ClosedImage();
  insert.item.iSelectedImage = ClosedImage();
  insert.item.lParam = reinterpret_cast<plat::LPARAM>(static_cast<qxNode*>(this));
  treeItem_ = reinterpret_cast<plat::HTREEITEM>(
      plat::SendMessageW(tree, plat::TVM_INSERTITEMW, 0, reinterpret_cast<plat::LPARAM>(&insert)));
  tree_ = treeItem_ != nullptr ? tree : nullptr;
  childParent = treeItem_;
  return treeItem_ != nullptr;
}
