// Catalogue items for the parametric element, door, window and structure element tests: a 600 x 720
// x 560 item with one square outline and anchors whose flags carry stretch rules.
#pragma once

#include <cstring>
#include <vector>

#include "elements/topview/TopViewTestSupport.h"
#include "elements/units/zelvproParametricElement.h"

namespace unittest {

using eltest::FloatWord;
using eltest::Words;

// 36-byte anchor entry: code, x, y, z, direction, level, flags, kept word, partner.
inline Words SnapWords(int32_t code, float x, float y, float z, uint32_t flags) {
  return {code, FloatWord(x), FloatWord(y), FloatWord(z), 0, 0, int32_t(flags), 0, 0};
}

// The (x, z) float pairs of a point handle.
inline std::vector<float> PointsOf(Handle points) {
  std::vector<float> out(size_t(MemGetSize(points)) / 4);
  if (!out.empty()) std::memcpy(out.data(), *points, out.size() * 4);
  return out;
}

class UnitsTest : public tvtest::TopViewTest {
 protected:
  // An item of `type` (the element type word) and stretch `flags`, 600 x 720 x `depth`, stored "ID"
  // `storedId`, with one square outline 600 x `depth` and `anchors`.
  int32_t AddItem(zelvDatabase& db, int32_t type, uint32_t flags, Words anchors = {}, float depth = 560.0f,
                  int32_t storedId = 77) {
    const int32_t shape = AddShape(db, {0, 0, 600, 0, 600, depth, 0, depth});
    return AddTopView(db,
                      {{"ID", storedId},
                       {"Type", type},
                       {"flags", int32_t(flags)},
                       {"width", 600.0},
                       {"height", 720.0},
                       {"depth", double(depth)}},
                      {{"Subelements", eltest::PieceEntry(shape, 0, 0)}, {"Snappoints", anchors}});
  }
  template <typename T>
  static std::unique_ptr<T> MakeAs(zelvDatabase& db, int32_t item) {
    return std::unique_ptr<T>(
        dynamic_cast<T*>(db.TopViewFile().CreateElement(item, eltest::Rect(0, 0, 100, 100), nullptr)));
  }
};

}  // namespace unittest
