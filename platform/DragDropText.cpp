#include "platform/DragDropText.h"

#include <cstring>

#include "platform/AnsiCodePage.h"

namespace plat {

HRESULT TextDataObject::QueryInterface(const IID& iid, void** object) {
  if (!object) return E_INVALIDARG;
  if (iid == IID_IUnknown || iid == IID_IDataObject) {
    *object = static_cast<IDataObject*>(this);
    AddRef();
    return S_OK;
  }
  *object = nullptr;
  return E_NOINTERFACE;
}

uint32_t TextDataObject::Release() {
  uint32_t left = --references_;
  if (left == 0) delete this;
  return left;
}

HRESULT TextDataObject::QueryGetData(const FORMATETC* format) {
  if (!format || !(format->tymed & TYMED_HGLOBAL) || format->dwAspect != DVASPECT_CONTENT)
    return DV_E_FORMATETC;
  return format->cfFormat == CF_TEXT || format->cfFormat == CF_UNICODETEXT ? S_OK : DV_E_FORMATETC;
}

HRESULT TextDataObject::GetData(const FORMATETC* format, STGMEDIUM* medium) {
  if (!medium) return E_INVALIDARG;
  if (QueryGetData(format) != S_OK) return DV_E_FORMATETC;
  std::u16string wide;
  const void* bytes = text_.c_str();
  size_t size = text_.size() + 1;
  if (format->cfFormat == CF_UNICODETEXT) {
    wide = WidenAnsi(text_);
    bytes = wide.c_str();
    size = (wide.size() + 1) * sizeof(char16_t);
  }
  HGLOBAL block = GlobalAlloc(GMEM_MOVEABLE, size);
  if (!block) return E_FAIL;
  std::memcpy(GlobalLock(block), bytes, size);
  GlobalUnlock(block);
  medium->tymed = TYMED_HGLOBAL;
  medium->hGlobal = block;
  medium->pUnkForRelease = nullptr;
  return S_OK;
}

}  // namespace plat
