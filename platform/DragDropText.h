#pragma once
// A data object that holds one text, offered as CF_TEXT (Windows-1252 with its NUL) and as
// CF_UNICODETEXT (UTF-16 with its NUL), each in a new global block per GetData.
// Reference-counted: made with one reference, deleted by the Release that drops the last.

#include <atomic>
#include <string>

#include "platform/DragDrop.h"

namespace plat {

class TextDataObject final : public IDataObject {
 public:
  explicit TextDataObject(std::string text) : text_(std::move(text)) {}

  HRESULT QueryInterface(const IID& iid, void** object) override;
  uint32_t AddRef() override { return ++references_; }
  uint32_t Release() override;
  HRESULT GetData(const FORMATETC* format, STGMEDIUM* medium) override;
  HRESULT QueryGetData(const FORMATETC* format) override;

 private:
  ~TextDataObject() = default;

  std::string text_;
  std::atomic<uint32_t> references_{1};
};

}  // namespace plat
