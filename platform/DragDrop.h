#pragma once
// Text dropped on windows: the drop-target and data-object interfaces of the platform's drag and drop
// (reference-counted, with the platform's result codes, formats and effects), the registration of a
// window's drop target, and, for the headless driver and tests, the injection of a drag of text that
// ends in a drop.
//
// Ownership: a registered target is held (AddRef) until RevokeDragDrop releases it; the caller of
// RegisterDragDrop keeps its own reference. A data object handed to a target lives at least until the
// call returns; a target that keeps it takes a reference.

#include <cstdint>
#include <string>
#include <vector>

#include "platform/GlobalMemory.h"
#include "platform/WindowTypes.h"

namespace plat {

using HRESULT = int32_t;
constexpr HRESULT S_OK = 0;
constexpr HRESULT S_FALSE = 1;
constexpr HRESULT E_NOINTERFACE = static_cast<HRESULT>(0x80004002u);
constexpr HRESULT E_FAIL = static_cast<HRESULT>(0x80004005u);
constexpr HRESULT E_INVALIDARG = static_cast<HRESULT>(0x80070057u);
constexpr HRESULT DV_E_FORMATETC = static_cast<HRESULT>(0x80040064u);
constexpr HRESULT DRAGDROP_E_NOTREGISTERED = static_cast<HRESULT>(0x80040100u);
constexpr HRESULT DRAGDROP_E_ALREADYREGISTERED = static_cast<HRESULT>(0x80040101u);
constexpr HRESULT DRAGDROP_E_INVALIDHWND = static_cast<HRESULT>(0x80040102u);

constexpr DWORD DROPEFFECT_NONE = 0;
constexpr DWORD DROPEFFECT_COPY = 1;
constexpr DWORD DROPEFFECT_MOVE = 2;
constexpr DWORD DROPEFFECT_LINK = 4;

constexpr WORD CF_TEXT = 1;
constexpr WORD CF_UNICODETEXT = 13;
constexpr DWORD DVASPECT_CONTENT = 1;
constexpr DWORD TYMED_HGLOBAL = 1;

struct IID {
  uint32_t data1;
  uint16_t data2;
  uint16_t data3;
  uint8_t data4[8];
  friend bool operator==(const IID&, const IID&) = default;
};
inline constexpr IID IID_IUnknown{0x00000000, 0, 0, {0xC0, 0, 0, 0, 0, 0, 0, 0x46}};
inline constexpr IID IID_IDataObject{0x0000010E, 0, 0, {0xC0, 0, 0, 0, 0, 0, 0, 0x46}};
inline constexpr IID IID_IDropTarget{0x00000122, 0, 0, {0xC0, 0, 0, 0, 0, 0, 0, 0x46}};

struct POINTL {
  int32_t x = 0;
  int32_t y = 0;
};

struct FORMATETC {
  WORD cfFormat = 0;
  void* ptd = nullptr;
  DWORD dwAspect = DVASPECT_CONTENT;
  int32_t lindex = -1;
  DWORD tymed = TYMED_HGLOBAL;
};

class IUnknown;
struct STGMEDIUM {
  DWORD tymed = 0;
  HGLOBAL hGlobal = nullptr;
  IUnknown* pUnkForRelease = nullptr;
};
// Frees what a GetData handed out: the global block, or the releasing object's reference.
void ReleaseStgMedium(STGMEDIUM* medium);

class IUnknown {
 public:
  virtual HRESULT QueryInterface(const IID& iid, void** object) = 0;
  virtual uint32_t AddRef() = 0;
  virtual uint32_t Release() = 0;

 protected:
  ~IUnknown() = default;
};

class IDataObject : public IUnknown {
 public:
  // Fills `medium` with a new global block of the data in the asked format; the caller releases it.
  virtual HRESULT GetData(const FORMATETC* format, STGMEDIUM* medium) = 0;
  virtual HRESULT QueryGetData(const FORMATETC* format) = 0;

 protected:
  ~IDataObject() = default;
};

// Points are screen pixels; `keyState` holds MK_ flags; `effect` comes in as the effects the source
// allows and goes out as the one the target would perform.
class IDropTarget : public IUnknown {
 public:
  virtual HRESULT DragEnter(IDataObject* data, DWORD keyState, POINTL point, DWORD* effect) = 0;
  virtual HRESULT DragOver(DWORD keyState, POINTL point, DWORD* effect) = 0;
  virtual HRESULT DragLeave() = 0;
  virtual HRESULT Drop(IDataObject* data, DWORD keyState, POINTL point, DWORD* effect) = 0;

 protected:
  ~IDropTarget() = default;
};

HRESULT RegisterDragDrop(HWND window, IDropTarget* target);
HRESULT RevokeDragDrop(HWND window);
// The target registered for the window, or for its nearest ancestor that has one; null when none.
IDropTarget* DropTargetAt(HWND window);

// Drags `text` (Windows-1252) along `path` (screen pixels) with the keys and buttons of `keyState`
// held, as a user dragging from another program does: each registered window under the path gets
// DragEnter when the drag reaches it, DragOver at each point and DragLeave when the drag moves away;
// at the last point the window under it gets Drop when it answered an effect, DragLeave otherwise.
// Answers the effect of the drop (DROPEFFECT_NONE when nothing took it).
DWORD InjectTextDrop(const std::vector<POINT>& path, DWORD keyState, const std::string& text,
                     DWORD allowed = DROPEFFECT_COPY | DROPEFFECT_MOVE);

}  // namespace plat
