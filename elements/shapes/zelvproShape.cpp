#include "elements/shapes/zelvproShape.h"

#include <cmath>
#include <cstring>

#include "catalogue/records/RecordField.h"
#include "catalogue/records/zelvproShapeFil.h"
#include "elements/shapes/zelvproRotator.h"
#include "elements/shapes/zelvproScaler.h"
#include "elements/shapes/zelvproTranslator.h"
#include "foundation/ppVector2.h"
#include "scene3d/context/iShape2D.h"

namespace {

constexpr uint32_t kPointSize = 8;

int32_t RoundHalfAway(double v) { return static_cast<int32_t>(std::lround(v)); }

}  // namespace

zelvproShape::zelvproShape(const zelvproShapeFil& file, const char* record, int32_t dx, int32_t dy,
                           float angle, float scale, std::unique_ptr<zelvproShape> nextShape)
    : next(std::move(nextShape)) {
  Handle source = RecordField(file, "points").Data(record);
  const int32_t size = MemGetSize(source);
  // Trailing bytes short of a whole point are dropped.
  const uint32_t bytes = static_cast<uint32_t>(size) / kPointSize * kPointSize;
  Vcon_HandleManager::MemNew(&points, bytes);
  if (bytes != 0) std::memcpy(*points, *source, bytes);
  texture = RecordField(file, "texture").Long(record);
  textureDirection = angle + static_cast<float>(RecordField(file, "textureDirection").Double(record));
  if (scale != 0.0f) {
    auto s = std::make_unique<zelvproScaler>(scale);
    scaler = s.get();
    Push(std::move(s));
  }
  if (dx != 0 || dy != 0) {
    auto t = std::make_unique<zelvproTranslator>(dx, dy);
    translator = t.get();
    Push(std::move(t));
  }
  if (angle != 0.0f) {
    auto r = std::make_unique<zelvproRotator>(angle);
    rotator = r.get();
    Push(std::move(r));
  }
}

zelvproShape::~zelvproShape() {
  MemDispose(points);
  ClearCache();
  std::unique_ptr<zelvproModifier> link = std::move(chain);
  while (link != nullptr) link = std::move(link->next);
  // The rest of the list one shape at a time, so a long list cannot exhaust the stack.
  std::unique_ptr<zelvproShape> rest = std::move(next);
  while (rest != nullptr) rest = std::move(rest->next);
}

void zelvproShape::Push(std::unique_ptr<zelvproModifier> modifier) {
  modifier->next = std::move(chain);
  chain = std::move(modifier);
}

Handle zelvproShape::ModifiedPoints() const {
  Handle copy = nullptr;
  MemDuplicate(points, &copy);
  for (zelvproModifier* m = chain.get(); m != nullptr; m = m->next.get()) m->Apply(copy);
  return copy;
}

void zelvproShape::AddOffset(double dx, double dy) {
  if (translator == nullptr) {
    auto t = std::make_unique<zelvproTranslator>(RoundHalfAway(dx), RoundHalfAway(dy));
    translator = t.get();
    Push(std::move(t));
    return;
  }
  translator->dx = RoundHalfAway(translator->dx + dx);
  translator->dy = RoundHalfAway(translator->dy + dy);
}

void zelvproShape::Draw(iShape2D& shape) const {
  const uint32_t count = static_cast<uint32_t>(MemGetSize(points)) / kPointSize;
  shape.Begin(9);
  for (uint32_t i = 0; i < count; ++i) {
    ppVector2 p;
    std::memcpy(&p, *points + i * kPointSize, kPointSize);
    shape.Vertex(p.x, p.y);
  }
  shape.End();
}

void zelvproShape::ClearCache() {
  MemDispose(cached);
  cached = nullptr;
}
