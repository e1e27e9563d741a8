// One 2D outline of a top-view element, copied from a shape record, with the chain of modifiers that
// turn, move and scale a copy of its points into the plan. An element keeps its outlines as a list
// linked through `next`; deleting the first shape deletes the list (iteratively).
//
// Point lists are handles of 8-byte points (x, y floats, millimetres). The shape owns its own points,
// the cached modified points and every modifier; `scaler`, `translator` and `rotator` point into the
// chain.
#pragma once

#include <cstdint>
#include <memory>

#include "elements/shapes/zelvproModifier.h"
#include "foundation/Vcon_HandleManager.h"

class iShape2D;
class zelvproRotator;
class zelvproScaler;
class zelvproShapeFil;
class zelvproTranslator;

class zelvproShape {
 public:
  // Copies the points, texture and texture direction of `record` (a record buffer of `file`). The chain
  // applies a turn by `angle` (when not 0.0), then the move (dx, dy) (when either is not 0), then the
  // division by `scale` (when not 0.0). Takes ownership of `nextShape`.
  zelvproShape(const zelvproShapeFil& file, const char* record, int32_t dx, int32_t dy, float angle,
               float scale, std::unique_ptr<zelvproShape> nextShape = nullptr);
  virtual ~zelvproShape();
  zelvproShape(const zelvproShape&) = delete;
  zelvproShape& operator=(const zelvproShape&) = delete;

  // A new copy of the own points with every modifier applied from the head on; the caller owns it.
  Handle ModifiedPoints() const;
  // Adds (dx, dy), each rounded half away from zero, to the translator; without one, a translator is
  // put at the head of the chain so the move comes before any turn or scale.
  void AddOffset(double dx, double dy);
  // The own points, without modifiers, as one closed polygon.
  void Draw(iShape2D& shape) const;
  // Frees the cached modified points (when the element's geometry changes).
  void ClearCache();

  std::unique_ptr<zelvproShape> next;
  Handle cached = nullptr;  // modified points kept by the element; null = none
  zelvproScaler* scaler = nullptr;
  zelvproTranslator* translator = nullptr;
  zelvproRotator* rotator = nullptr;
  Handle points = nullptr;  // never null
  std::unique_ptr<zelvproModifier> chain;
  float textureDirection = 0.0f;  // radians: the construction angle plus the record's own
  int32_t texture = 0;            // texture record id

 private:
  void Push(std::unique_ptr<zelvproModifier> modifier);
};
