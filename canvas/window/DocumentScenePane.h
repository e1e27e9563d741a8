// The document window's 3D pane as the plan elements see it: an edit marks the scene out of date
// (the pane rebuilds it at its next drawing) and repaints the pane. Until the window made its 3D
// canvas there is no scene to keep up to date and both do nothing; the elements still get a pane, so
// that their edits are drawn in the plan views. User-interface thread.
#pragma once

#include <functional>

#include "elements/base/iScenePane.h"
#include "platform/WindowTypes.h"

class ppView;
class zelvpro3DPane;

class DocumentScenePane : public iScenePane {
 public:
  // `madeCanvas` answers the window's 3D canvas when it was made, null before (it never makes it).
  explicit DocumentScenePane(std::function<ppView*()> madeCanvas) : madeCanvas_(std::move(madeCanvas)) {}

  void SetSceneOutOfDate() override;
  void Invalidate() override;
  // The pane's own window, which takes the keys in the 3D view; null before the canvas is made.
  plat::HWND Window() const;

 private:
  zelvpro3DPane* Pane() const;

  std::function<ppView*()> madeCanvas_;
};
