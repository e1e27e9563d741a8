#pragma once
// An open document as the orders see it, for the order tests: fixed packed bytes, the flags, and a
// plain save that writes those bytes to the file record's path.

#include <cstring>
#include <filesystem>
#include <fstream>
#include <string>

#include "exchange/iOrderDocument.h"
#include "foundation/PosixPath.h"

class FakeOrderDocument : public iOrderDocument {
 public:
  explicit FakeOrderDocument(std::string packed) : packed_(std::move(packed)) {}

  ppFileSpec& DocumentFile() override { return file_; }
  bool HasFile() const override { return hasFile_; }
  void SetHasFile(bool hasFile) override { hasFile_ = hasFile; }
  bool IsModified() const override { return modified_; }
  void SetModified(bool modified) override { modified_ = modified; }
  bool IsSaveInProgress() const override { return saving_; }
  void SetSaveInProgress(bool saving) override { saving_ = saving; }

  bool Save() override {
    ++saves_;
    savedTo_ = file_.path;
    if (failSave_ && !saveAsPath_.empty()) {
      // The failed save's Save As, completed by the user: the document goes where the user chose.
      file_.path = saveAsPath_;
      savedTo_ = file_.path;
    } else if (failSave_) {
      return false;  // as a failed write: the file is left as it was
    }
    std::ofstream out(Vcon::ResolvePosixPath(std::u16string_view(file_.path)),
                      std::ios::binary | std::ios::trunc);
    out.write(packed_.data(), std::streamsize(packed_.size()));
    if (!out) return false;
    hasFile_ = true;
    modified_ = false;
    return true;
  }
  Handle PackForOrder() override {
    ++packs_;
    savingWhilePacked_ = saving_;
    Handle h = nullptr;
    Vcon_HandleManager::MemNew(&h, uint32_t(packed_.size()));
    if (!packed_.empty()) std::memcpy(*h, packed_.data(), packed_.size());
    return h;
  }
  plat::HWND OwnerWindow() const override { return nullptr; }

  std::string packed_;
  ppFileSpec file_;
  bool hasFile_ = false;
  bool modified_ = false;
  bool saving_ = false;
  bool savingWhilePacked_ = false;
  bool failSave_ = false;
  Vcon::WString saveAsPath_;  // with failSave_: where the user's Save As puts the document
  int saves_ = 0;
  int packs_ = 0;
  Vcon::WString savedTo_;
};
