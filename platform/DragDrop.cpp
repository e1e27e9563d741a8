#include "platform/DragDrop.h"

#include <map>

#include "platform/DragDropText.h"
#include "platform/ResetList.h"
#include "platform/WindowApi.h"
#include "platform/WindowManager.h"

namespace plat {
namespace {

// Targets by window; user-interface thread. An entry whose window died without revoking is skipped, not
// released: its object may already be gone with the window.
std::map<HWND, IDropTarget*>& Targets() {
  static std::map<HWND, IDropTarget*> targets;
  return targets;
}

// The windows are gone after a reset; their targets are not released (see above).
[[maybe_unused]] const bool kReset = ResetList::Add("drag and drop: targets", [] { Targets().clear(); });

HWND TargetWindowAt(POINT screen) {
  for (HWND w = WindowManager::Instance().HitTest(screen); w; w = GetParent(w)) {
    auto it = Targets().find(w);
    if (it != Targets().end()) return w;
  }
  return nullptr;
}

}  // namespace

void ReleaseStgMedium(STGMEDIUM* medium) {
  if (!medium) return;
  if (medium->pUnkForRelease) {
    medium->pUnkForRelease->Release();
  } else if (medium->tymed == TYMED_HGLOBAL && medium->hGlobal) {
    GlobalFree(medium->hGlobal);
  }
  medium->hGlobal = nullptr;
  medium->pUnkForRelease = nullptr;
}

HRESULT RegisterDragDrop(HWND window, IDropTarget* target) {
  if (!target) return E_INVALIDARG;
  if (!IsWindow(window)) return DRAGDROP_E_INVALIDHWND;
  auto& targets = Targets();
  for (auto it = targets.begin(); it != targets.end();) {
    it = IsWindow(it->first) ? std::next(it) : targets.erase(it);  // forget windows that died
  }
  if (targets.count(window)) return DRAGDROP_E_ALREADYREGISTERED;
  target->AddRef();
  targets[window] = target;
  return S_OK;
}

HRESULT RevokeDragDrop(HWND window) {
  auto it = Targets().find(window);
  if (it == Targets().end()) return DRAGDROP_E_NOTREGISTERED;
  IDropTarget* target = it->second;
  Targets().erase(it);
  target->Release();
  return S_OK;
}

IDropTarget* DropTargetAt(HWND window) {
  for (HWND w = window; w && IsWindow(w); w = GetParent(w)) {
    auto it = Targets().find(w);
    if (it != Targets().end()) return it->second;
  }
  return nullptr;
}

DWORD InjectTextDrop(const std::vector<POINT>& path, DWORD keyState, const std::string& text, DWORD allowed) {
  if (path.empty()) return DROPEFFECT_NONE;
  auto* data = new TextDataObject(text);
  HWND current = nullptr;
  DWORD effect = DROPEFFECT_NONE;
  for (const POINT& p : path) {
    HWND under = TargetWindowAt(p);
    POINTL at{p.x, p.y};
    if (under != current) {
      if (IDropTarget* old = current ? DropTargetAt(current) : nullptr) old->DragLeave();
      current = under;
      effect = allowed;
      if (IDropTarget* now = current ? DropTargetAt(current) : nullptr)
        now->DragEnter(data, keyState, at, &effect);
    }
    if (IDropTarget* now = current ? DropTargetAt(current) : nullptr) {
      effect = allowed;
      now->DragOver(keyState, at, &effect);
    }
  }
  IDropTarget* last = current ? DropTargetAt(current) : nullptr;
  if (last && (effect & allowed)) {
    POINTL at{path.back().x, path.back().y};
    effect = allowed;
    last->Drop(data, keyState, at, &effect);
  } else {
    if (last) last->DragLeave();
    effect = DROPEFFECT_NONE;
  }
  data->Release();
  return effect & allowed;
}

}  // namespace plat
