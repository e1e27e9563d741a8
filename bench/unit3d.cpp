// The unit 3D assembly against recording its output straight into shapes, in the same run.
//
// 40 units of about 5,000 triangles each (an extruded 500-gon, a pipe along a 50-point path and a
// turned 45-point profile, every unit with shapes of its own) in a temporary catalogue. Cold:
// GetUnitLayer3D for every unit with the cache emptied (reading the records, building the bodies,
// placing and recording them). Peer: the very same faces and edge lines, already placed, recorded
// into new shapes. Prints the median times of alternating rounds and their ratio, then the time of a
// cached (warm) call. Fails when the ratio exceeds 1.5, a cold pass takes a second or more, or a warm
// call takes 10 microseconds or more.
#include <unistd.h>

#include <algorithm>
#include <chrono>
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
#include "catalogue/records/zelvproShapeFil.h"
#include "catalogue/records/zelvproUnitFil.h"
#include "catalogue/unit3d/UnitLayerCache.h"
#include "catalogue/unit3d/iUnit3DElement.h"
#include "database/ppDatafile.h"
#include "foundation/Vcon_HandleManager.h"
#include "scene3d/context/ppShape3D.h"

namespace {

using bench::SetBlob;

constexpr int32_t kUnits = 40, kRounds = 5, kWarmCalls = 100000;
using Clock = std::chrono::steady_clock;

double Seconds(const std::function<void()>& run) {
  const auto start = Clock::now();
  run();
  return std::chrono::duration<double>(Clock::now() - start).count();
}

double Median(std::vector<double> v) {
  std::sort(v.begin(), v.end());
  return v[v.size() / 2];
}

struct Element : iUnit3DElement {
  zelvDatabase* db = nullptr;
  uint32_t flags = 0;
  zelvDatabase* GetDatabase() override { return db; }
  uint32_t GetFlags() override { return flags; }
};

int32_t AddShape(zelvproShapeFil& shapes, const std::vector<float>& points, int32_t texture) {
  shapes.ClearRecordBuffer(nullptr);
  shapes.SetFieldValue(shapes.IndexOf("name"), ppParameter("s"), nullptr);
  shapes.SetFieldValue(shapes.IndexOf("texture"), ppParameter(texture), nullptr);
  SetBlob(shapes, "points", points.data(), points.size() * 4);
  const std::vector<uint32_t> flags(points.size() / 2, 0);
  SetBlob(shapes, "attributes", flags.data(), flags.size() * 4);
  int32_t id = 0;
  shapes.AddRecord(&id, nullptr);
  return id;
}

// A 40-byte 3D shape entry.
std::vector<uint32_t> Entry(int32_t shape, uint32_t type, float depth, float x) {
  std::vector<uint32_t> e(10, 0);
  e[0] = uint32_t(shape), e[1] = type;
  std::memcpy(&e[2], &depth, 4);
  std::memcpy(&e[3], &x, 4);
  return e;
}

std::vector<int32_t> AddUnits(zelvDatabase& db) {
  std::vector<int32_t> ids;
  zelvproUnitFil& units = db.UnitFile();
  db.ShapeFile().BeginTransaction();
  for (int32_t u = 0; u < kUnits; ++u) {
    std::vector<float> round, path, profile;
    for (int i = 0; i < 500; ++i) {
      const double a = 2 * M_PI * i / 500;
      round.push_back(float((300 + u) * std::cos(a)));
      round.push_back(float((300 + u) * std::sin(a)));
    }
    for (int i = 0; i < 50; ++i) {
      path.push_back(float(i * 20));
      path.push_back(float(100 * std::sin(i * 0.1)));
    }
    for (int i = 0; i < 45; ++i) {
      profile.push_back(float(50 + 30 * std::sin(i * 0.2) + u));
      profile.push_back(float(i * 10));
    }
    std::vector<uint32_t> entries;
    for (const auto& e : {Entry(AddShape(db.ShapeFile(), round, 1), 0, 600, 0),
                          Entry(AddShape(db.ShapeFile(), path, 2), 2, 15, 0),
                          Entry(AddShape(db.ShapeFile(), profile, 3), 3, 400, 700)})
      entries.insert(entries.end(), e.begin(), e.end());
    units.ClearRecordBuffer(nullptr);
    units.SetFieldValue(units.IndexOf("useParametrics"), ppParameter(0), nullptr);
    SetBlob(units, "shapes3D", entries.data(), entries.size() * 4);
    int32_t id = 0;
    units.AddRecord(&id, nullptr);
    ids.push_back(id);
  }
  db.ShapeFile().EndTransaction();
  return ids;
}

// A recorded shape's primitives as plain arrays, to be recorded again.
struct Recorded {
  struct Primitive {
    bool closed;
    std::vector<ppShapeVertex> v;
  };
  std::vector<Primitive> faces, edges;
};

std::vector<Recorded::Primitive> Copy(const ppShape3D& shape) {
  std::vector<Recorded::Primitive> out;
  for (const ppShapePrimitive& p : shape.Primitives()) out.push_back({p.closed, p.vertices});
  return out;
}

void Record(ppShape3D& shape, const std::vector<Recorded::Primitive>& primitives) {
  for (const auto& p : primitives) {
    shape.Begin(p.closed ? 9 : 1);
    for (const ppShapeVertex& v : p.v) {
      shape.TexCoord(v.texture.x, v.texture.y);
      shape.Normal(v.normal.x, v.normal.y, v.normal.z);
      shape.Vertex(v.position.x, v.position.y, v.position.z);
    }
    shape.End();
  }
}

}  // namespace

int main() {
  bool failed = false;
  if (MemInit(400'000'000, 4'000'000) != 0) return 1;
  {
    const bench::ScratchFolder dir("unit3d");
    {
      ppFileSpec file(Vcon::WString(dir.File("catalog.cdb").c_str()));
      zelvDatabase db(file);
      const std::vector<int32_t> ids = AddUnits(db);
      Element element;
      element.db = &db;
      // The peer's input: the faces and lines the assembly records, taken from one uncached build.
      std::vector<std::vector<Recorded>> recorded;
      size_t triangles = 0;
      element.flags = iUnit3DElement::kOwnSizeX;
      for (int32_t id : ids) {
        std::vector<Recorded> layers;
        const std::shared_ptr<TripleWithSet> built = db.UnitFile().GetUnitLayer3D(id, element);
        for (const qxUnitLayer3D& layer : built->layers) {
          layers.push_back({Copy(layer.faces), Copy(layer.edges)});
          for (const ppShapePrimitive& p : layer.faces.Primitives()) triangles += p.vertices.size() - 2;
        }
        recorded.push_back(std::move(layers));
      }
      element.flags = 0;
      std::vector<double> cold, peer;
      size_t keep = 0;
      for (int32_t round = 0; round < kRounds; ++round) {
        UnitLayerCache::Clear();
        cold.push_back(Seconds([&] {
          for (int32_t id : ids) keep += db.UnitFile().GetUnitLayer3D(id, element)->layers.size();
        }));
        peer.push_back(Seconds([&] {
          for (const auto& unit : recorded) {
            std::vector<std::pair<ppShape3D, ppShape3D>> shapes(unit.size());
            for (size_t i = 0; i < unit.size(); ++i) {
              Record(shapes[i].first, unit[i].faces);
              Record(shapes[i].second, unit[i].edges);
            }
            keep += shapes.size();
          }
        }));
      }
      const double warm =
          Seconds([&] {
            for (int32_t call = 0; call < kWarmCalls; ++call)
              keep += db.UnitFile().GetUnitLayer3D(ids[size_t(call) % ids.size()], element)->layers.size();
          }) /
          kWarmCalls;
      const double c = Median(cold), p = Median(peer);
      std::printf("%d units, %zu triangles in all (%zu a unit), %d rounds (check %zu)\n", kUnits, triangles,
                  triangles / kUnits, kRounds, keep);
      std::printf("cold GetUnitLayer3D, all units: %8.2f ms\n", c * 1e3);
      std::printf("recording into shapes:          %8.2f ms\n", p * 1e3);
      bench::ReachAtMost("unit3d cold / recording", c / p, 1.5);
      bench::ReachAtMost("unit3d cold pass, s", c, 1.0);
      bench::ReachAtMost("unit3d warm call, us", warm * 1e6, 10.0);
      UnitLayerCache::Clear();
    }
  }
  MemTerminate();
  return failed ? 1 : bench::ReachStatus();
}
