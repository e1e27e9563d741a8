// Resizing a parametric element costs in proportion to its parts: a parametric element of 40 parts
// against one of 4, in one run. A part is one outline of 64 points, one anchor that follows the width
// and one generated 3D part whose 64-point outline stretches with the element. One resize sets a new
// width and depth, re-derives the anchors from the catalogue record, refills the stretched outlines
// and rebuilds the element's 3D (the generated parts tessellated and meshed). Linear work gives a
// time ratio of at most 10; the ratio must stay at or below 12.
#include <unistd.h>

#include <algorithm>
#include <ctime>
#include <cmath>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "bench/BenchSupport.h"
#include "bench/Reach.h"
#include "catalogue/databases/zelvDatabase.h"
#include "catalogue/records/RecordField.h"
#include "catalogue/records/zelvproParametricFil.h"
#include "catalogue/records/zelvproShapeFil.h"
#include "catalogue/records/zelvproTopViewFil.h"
#include "catalogue/records/zelvproUnitFil.h"
#include "database/ppDatafile.h"
#include "elements/topview/TopViewElementFactory.h"
#include "elements/units/zelvproParametricElement.h"
#include "foundation/Vcon_HandleManager.h"

namespace {

constexpr double kLimit = 12.0;

constexpr int32_t kSmallParts = 4, kLargeParts = 40, kOutlinePoints = 64, kRepeats = 25;
constexpr float kWidth = 600.0f, kHeight = 720.0f, kDepth = 560.0f;
using Words = std::vector<int32_t>;

int32_t Word(float f) {
  int32_t w = 0;
  std::memcpy(&w, &f, 4);
  return w;
}

void Append(Words& to, std::initializer_list<float> floats) {
  for (float f : floats) to.push_back(Word(f));
}

void SetWords(ppDatafile& table, const char* name, const Words& words) {
  Handle data = RecordField(table, name).Data(table.GetRecordBuffer());
  MemSetSize(data, uint32_t(words.size() * 4));
  if (!words.empty()) std::memcpy(*data, words.data(), words.size() * 4);
}

void Set(ppDatafile& table, const char* name, const ppParameter& value) {
  table.SetFieldValue(table.IndexOf(name), value, nullptr);
}

int32_t Add(ppDatafile& table) {
  int32_t id = 0;
  table.AddRecord(&id, nullptr);
  return id;
}

// An ellipse inside the catalogue size; its right half shifts and scales with the width.
int32_t AddOutline(zelvproShapeFil& shapes) {
  Words points, attributes;
  for (int32_t i = 0; i < kOutlinePoints; ++i) {
    const double a = 2.0 * M_PI * i / kOutlinePoints;
    const float x = float(kWidth / 2 * (1.0 + 0.9 * std::cos(a))),
                y = float(kDepth / 2 * (1.0 + 0.9 * std::sin(a)));
    Append(points, {x, y});
    attributes.push_back(x > kWidth / 2 ? 2 | 4 : 0);  // shift x, scale x
  }
  shapes.ClearRecordBuffer(nullptr);
  Set(shapes, "name", ppParameter("ellipse"));
  SetWords(shapes, "points", points);
  SetWords(shapes, "attributes", attributes);
  return Add(shapes);
}

// A parametric record of one facet over `shape` whose x follows the width.
int32_t AddParametric(zelvDatabase& db, int32_t shape) {
  Words facet = {shape, 0};
  Append(facet, {0, 0, 0, 0, 0, 0});               // translation, rotation
  facet.insert(facet.end(), {1 | 8, 0, 0, 0, 0});  // x acts on the outline's x and scales; flags; texture
  Append(facet, {0});                              // texture direction
  zelvproParametricFil& parametrics = db.ParametricFile();
  parametrics.ClearRecordBuffer(nullptr);
  Set(parametrics, "name", ppParameter("panel"));
  Set(parametrics, "width", ppParameter(double(kWidth)));
  Set(parametrics, "height", ppParameter(double(kHeight)));
  Set(parametrics, "depth", ppParameter(double(kDepth)));
  SetWords(parametrics, "facets", facet);
  return Add(parametrics);
}

// A width-and-depth stretching catalogue item of `parts` parts.
int32_t AddItem(zelvDatabase& db, int32_t parts) {
  const int32_t shape = AddOutline(db.ShapeFile());
  const int32_t parametric = AddParametric(db, shape);
  Words placements, pieces, anchors;
  for (int32_t p = 0; p < parts; ++p) {
    const float x = float(p) * 10.0f;
    placements.push_back(parametric);
    Append(placements, {x, 0, 0, 0, 0, 0, kWidth, kHeight, kDepth});
    placements.push_back(0);
    pieces.push_back(shape);
    Append(pieces, {x, 0});
    pieces.insert(pieces.end(), {0, 0, 0});  // a word, the angle as a double
    anchors.push_back(p + 1);
    Append(anchors, {x, 0, kDepth});
    anchors.insert(anchors.end(), {0, 0, 0x10 << 16, 0, 0});  // x scales with the width
  }
  zelvproUnitFil& units = db.UnitFile();
  units.ClearRecordBuffer(nullptr);
  Set(units, "useParametrics", ppParameter(zelvproUnitFil::kHasParametrics));
  Set(units, "width", ppParameter(double(kWidth)));
  Set(units, "height", ppParameter(double(kHeight)));
  Set(units, "depth", ppParameter(double(kDepth)));
  SetWords(units, "parametrics", placements);
  const int32_t unit = Add(units);
  zelvproTopViewFil& items = db.TopViewFile();
  items.ClearRecordBuffer(nullptr);
  Set(items, "ID", ppParameter(parts));
  Set(items, "Type", ppParameter(zelvproParametricElement::kType));
  Set(items, "flags",
      ppParameter(
          int32_t(zelvproParametricElement::kStretchWidth | zelvproParametricElement::kStretchDepth)));
  Set(items, "width", ppParameter(double(kWidth)));
  Set(items, "height", ppParameter(double(kHeight)));
  Set(items, "depth", ppParameter(double(kDepth)));
  SetWords(items, "Subelements", pieces);
  SetWords(items, "Snappoints", anchors);
  SetWords(items, "Units", {unit, 0});
  return Add(items);
}

// One resize: the anchors, the outlines and the 3D parts follow the new size.
float Resize(zelvproParametricElement& element, float width, float depth) {
  element.dimensions.x = width, element.dimensions.z = depth;
  element.RefreshSnapEntries();
  element.InvalidateGeometry();
  element.changed = 1;
  return 2.0f * element.GetBounds(0, 0).half.x;
}

double Measure(zelvDatabase& db, int32_t parts, bool& failed) {
  const int32_t item = AddItem(db, parts);
  std::unique_ptr<zelvproElement> made(
      db.TopViewFile().CreateElement(item, plat::RECT{0, 0, 100, 100}, nullptr));
  auto* element = dynamic_cast<zelvproParametricElement*>(made.get());
  if (element == nullptr) {
    std::printf("%d parts: the catalogue item made no parametric element\n", parts);
    failed = true;
    return 1.0;
  }
  const float narrow = Resize(*element, 700.0f, 500.0f), wide = Resize(*element, 900.0f, 600.0f);
  const float anchorX = element->snapPoints.empty() ? 0.0f : element->snapPoints.back().point.x;
  int32_t step = 0;
  const double seconds = bench::FastestThreadSeconds(kRepeats, [&] {
    ++step;
    Resize(*element, 700.0f + float(step % 2) * 200.0f, 500.0f + float(step % 2) * 100.0f);
  });
  std::printf("%3d parts: 3D width %7.1f at 700 mm, %7.1f at 900 mm; last anchor x %6.1f; resize %8.3f ms\n",
              parts, double(narrow), double(wide), double(anchorX), seconds * 1e3);
  // The 3D parts must have followed the width, or the measure measured nothing.
  if (!(wide > narrow)) failed = true;
  return seconds;
}

}  // namespace

int main() {
  bool failed = false;
  if (MemInit(400'000'000, 4'000'000) != 0) return 1;
  {
    const bench::ScratchFolder dir("parametric");
    {
      ppFileSpec file(Vcon::WString(dir.File("catalog.cdb").c_str()));
      zelvDatabase db(file);
      TopViewElementFactory::Install();
      const double small = Measure(db, kSmallParts, failed);
      const double large = Measure(db, kLargeParts, failed);
      const double ratio = large / small;
      bench::ReachAtMost("parametric resize 40 / 4 parts", ratio, kLimit);
    }
  }
  MemTerminate();
  return failed ? 1 : bench::ReachStatus();
}
