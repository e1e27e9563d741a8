// Pictures of the room drawn off screen on the user-interface thread for the plan pages: the plan
// seen from straight above with the window positions of the listed items, and the elevation of a
// group of items seen square to their common angle. The pane's view state (eye records, render style,
// view index, current camera, colour 1022) is put back afterwards; nothing is kept on failure.
#pragma once

#include <cstdint>
#include <memory>
#include <vector>

#include "foundation/ppVector3.h"
#include "platform/GdiTypes.h"

class i3DPaneElement;
class ppPicture;
class zelvpro3DPane;

// One listed item of a picture: filled in with its window points (pixels of the picture, y from the
// top).
struct qxPictureItem {
  i3DPaneElement* element = nullptr;
  qxPictureItem* next = nullptr;
  ppVector3 window1;  // the element's position
  ppVector3 window2;  // its position plus its turned reference point
};

// A mark of the top canvas given two scene points; both are projected.
struct qxPictureMark {
  ppVector3 a, b;
  ppVector3 windowA, windowB;
};

struct qxPictureResult {
  std::unique_ptr<ppPicture> picture;  // null when no bitmap could be made
  // The width the picture shows, in model millimetres: a picture pixel is this over the picture's
  // width in pixels.
  float modelWidth = 1.0f;
  ppVector3 origin;  // where (0, 0, 0) and (1, 1, 1) land (plan picture)
  ppVector3 unit;
  float minX = 0, minY = 0;  // the smallest first window point over the items (plan picture)
};

class qxPanePictures {
 public:
  static constexpr int32_t kBackgroundColor = 1022;
  static constexpr int32_t kPictureView = 2;

  // The eye scale that fits an extent of `ex` x `ez` into a target of `aspect` (width / height), and
  // the model width (millimetres) it shows; an empty extent answers `preset` and a width of 1.
  static float FitScale(float ex, float ez, float aspect, float preset, float* modelWidth);

  static qxPictureResult Plan(zelvpro3DPane& pane, qxPictureItem* items, std::vector<qxPictureMark>* marks,
                              const plat::RECT& target);
  // Null picture for an empty item list.
  static qxPictureResult Elevation(zelvpro3DPane& pane, qxPictureItem* items, const plat::RECT& target,
                                   bool otherSide);
};
