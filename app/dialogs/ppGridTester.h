// The grid test dialog: a view dialog without buttons showing the unit records of the second
// catalogue of the catalogue list in a read-only, whole-row grid ("tnumber" and "tname", the
// latter passed over by the keys) under a header of the unit file's field names. With no second
// catalogue the grid opens without rows. The application's command 5000 opens it (Run).
// User-interface thread only.
#pragma once

#include <cstdint>
#include <memory>

#include "framework/ppViewDialog.h"

class CatalogDatabaseList;
class ppGrid;
class ppGridHeaderSource;

class ppGridTester : public ppViewDialog {
 public:
  // The catalogue list entry whose unit file is shown.
  static constexpr int32_t kCatalogueEntry = 1;
  // The content's size, pixels.
  static constexpr int32_t kContentWidth = 600;
  static constexpr int32_t kContentHeight = 400;

  // `catalogues` may be null (no rows); not owned.
  ppGridTester(plat::HWND owner, CatalogDatabaseList* catalogues);
  ~ppGridTester() override;

  // Command 5000: runs the dialog modally over the program's catalogue list, owned by `frame`
  // (the frame window), and deletes it. Answers how it ended.
  static int32_t Run(plat::HWND frame);

  void OnInitDialog() override;

  ppGrid* Grid() const { return grid_; }

 private:
  CatalogDatabaseList* catalogues_;             // not owned
  std::unique_ptr<ppGridHeaderSource> header_;  // read by the grid while the dialog runs
  ppGrid* grid_ = nullptr;                      // a subview of the content view
};
