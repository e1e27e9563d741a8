// The blobs the unit 3D assembly reads from catalogue files. The first byte chooses the reader:
//   0  an imported point stream (qx3DImportedObject::Prepare);
//   1  a mesh: vertices, polygon stream and edges (qx3DMeshObject Build and BuildEdges, flat normals
//      when bit 0 of the second byte is set);
//   2  an outline as an extruded body, a pipe and a turned body (Prepare, BuildMesh, BuildEdges);
//   3  a unit of a catalogue made once per process: the unit's "shapes3D" and "parametrics", a
//      parametric record's "facets" and a shape's "points" and "attributes" come from the input, and
//      the unit is assembled for an element with a size of its own (nothing cached).
// Parts are split by 16-bit little-endian lengths after the header bytes. Database errors (numbers)
// are answers; anything else (crash, hang, sanitizer report) is a finding.
#include <unistd.h>

#include <cstddef>
#include <cstdint>
#include <cstring>
#include <filesystem>
#include <memory>
#include <string>
#include <vector>

#include "catalogue/databases/zelvDatabase.h"
#include "catalogue/records/RecordField.h"
#include "catalogue/records/zelvproParametricFil.h"
#include "catalogue/records/zelvproShapeFil.h"
#include "catalogue/records/zelvproUnitFil.h"
#include "catalogue/unit3d/iUnit3DElement.h"
#include "foundation/Vcon_HandleManager.h"
#include "scene3d/context/ppShape3D.h"
#include "scene3d/objects/qx3DCircleObject.h"
#include "scene3d/objects/qx3DExtrudedObject.h"
#include "scene3d/objects/qx3DImportedObject.h"
#include "scene3d/objects/qx3DMeshObject.h"
#include "scene3d/objects/qx3DPipeObject.h"

namespace {

// Reads the input front to back; a part runs to the input's end when its length is missing.
struct Cursor {
  const uint8_t* data;
  size_t size;
  uint8_t Byte() {
    if (size == 0) return 0;
    --size;
    return *data++;
  }
  std::vector<uint8_t> Part() {
    size_t n = size;
    if (size >= 2) {
      n = std::min<size_t>(size - 2, size_t(data[0]) | size_t(data[1]) << 8);
      data += 2, size -= 2;
    }
    std::vector<uint8_t> part(data, data + n);
    data += n, size -= n;
    return part;
  }
};

template <typename T>
std::vector<T> As(const std::vector<uint8_t>& bytes) {
  std::vector<T> out(bytes.size() / sizeof(T));
  if (!out.empty()) std::memcpy(static_cast<void*>(out.data()), bytes.data(), out.size() * sizeof(T));
  return out;
}

void Exercise(qx3DObject& body) {
  body.Prepare();
  ppShape3D faces, edges;
  body.BuildMesh(faces, true);
  body.BuildEdges(edges, true);
}

struct Element : iUnit3DElement {
  zelvDatabase* db = nullptr;
  zelvDatabase* GetDatabase() override { return db; }
  uint32_t GetFlags() override { return kOwnSizeX | kOwnSizeY | kOwnSizeZ | kCopiedToBodies; }
  ppVector3 GetOwnSize() override { return ppVector3(900, 700, 600); }
  int32_t GetColorRecordId(int32_t index) override { return index; }
};

void SetBlob(ppDatafile& table, const char* name, const std::vector<uint8_t>& bytes) {
  Handle h = RecordField(table, name).Data(table.GetRecordBuffer());
  if (h == nullptr) return;
  MemSetSize(h, uint32_t(bytes.size()));
  if (!bytes.empty()) std::memcpy(*h, bytes.data(), bytes.size());
}

// The catalogue of mode 3: shape 1, parametric record 1 and unit 1, rewritten for every input. Its
// folder goes when the process ends.
class FuzzCatalogue {
 public:
  FuzzCatalogue()
      : folder_(std::filesystem::temp_directory_path() /
                ("planner-fuzz-unit3d-" + std::to_string(getpid()))) {
    std::filesystem::remove_all(folder_);
    std::filesystem::create_directories(folder_);
    ppFileSpec fileRecord(Vcon::WString((folder_ / "catalog.cdb").string().c_str()));
    db_ = std::make_unique<zelvDatabase>(fileRecord);
    int32_t id = 0;
    db_->ShapeFile().ClearRecordBuffer(nullptr);
    db_->ShapeFile().AddRecord(&id, nullptr);
    ppDatafile& parametric = db_->ParametricFile();
    parametric.ClearRecordBuffer(nullptr);
    for (const char* axis : {"width", "height", "depth"})
      parametric.SetFieldValue(parametric.IndexOf(axis), ppParameter(600.0), nullptr);
    parametric.AddRecord(&id, nullptr);
    db_->UnitFile().ClearRecordBuffer(nullptr);
    db_->UnitFile().AddRecord(&id, nullptr);
  }
  ~FuzzCatalogue() {
    db_.reset();
    std::error_code ignored;
    std::filesystem::remove_all(folder_, ignored);
  }
  zelvDatabase& Db() { return *db_; }

 private:
  std::filesystem::path folder_;
  std::unique_ptr<zelvDatabase> db_;
};

zelvDatabase& Catalogue() {
  static FuzzCatalogue catalogue;
  return catalogue.Db();
}

void Assemble(Cursor& in) {
  zelvDatabase& db = Catalogue();
  const uint8_t use = in.Byte(), flags = in.Byte();
  const std::vector<uint8_t> shapes3D = in.Part(), parametrics = in.Part(), facets = in.Part(),
                             points = in.Part(), attributes = in.Part();
  zelvproShapeFil& shapes = db.ShapeFile();
  shapes.ReadRecord(1, nullptr);
  SetBlob(shapes, "points", points);
  SetBlob(shapes, "attributes", attributes);
  shapes.WriteRecord(1, nullptr);
  zelvproParametricFil& parametric = db.ParametricFile();
  parametric.ReadRecord(1, nullptr);
  SetBlob(parametric, "facets", facets);
  parametric.WriteRecord(1, nullptr);
  zelvproUnitFil& units = db.UnitFile();
  units.ReadRecord(1, nullptr);
  units.SetFieldValue(units.IndexOf("useParametrics"), ppParameter(int32_t(use & 7)), nullptr);
  units.SetFieldValue(units.IndexOf("flags"), ppParameter(int32_t(flags & 2)), nullptr);
  SetBlob(units, "shapes3D", shapes3D);
  SetBlob(units, "parametrics", parametrics);
  SetBlob(units, "depthUnits", {0, 0, 0, 0, 1, 0, 0, 0});
  units.WriteRecord(1, nullptr);
  Element element;
  element.db = &db;
  units.GetUnitLayer3D(1, element);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  static const bool zone = MemInit(40'000'000, 400'000) == 0;
  if (!zone) std::abort();
  Cursor in{data, size};
  const uint8_t mode = in.Byte();
  try {
    if (mode == 0) {
      qx3DImportedObject body;
      body.stream = As<uint32_t>(in.Part());
      Exercise(body);
    } else if (mode == 1) {
      qx3DMeshObject body;
      body.flatNormals = (in.Byte() & 1) != 0;
      body.vertices = As<qx3DMeshObject::MeshVertex>(in.Part());
      body.polygons = As<uint32_t>(in.Part());
      body.edges = As<qx3DMeshObject::MeshEdge>(in.Part());
      Exercise(body);
    } else if (mode == 2) {
      const uint8_t flags = in.Byte();
      const std::vector<ppVector2> outline = As<ppVector2>(in.Part());
      const std::vector<uint32_t> edgeFlags = As<uint32_t>(in.Part());
      qx3DExtrudedObject extruded;
      qx3DPipeObject pipe;
      qx3DCircleObject circle;
      for (qx3DObject* body : {static_cast<qx3DObject*>(&extruded), static_cast<qx3DObject*>(&pipe),
                               static_cast<qx3DObject*>(&circle)}) {
        body->outline = outline;
        body->edgeFlags = edgeFlags;
        body->flags = flags & 3;
        body->depth = 20;
        Exercise(*body);
      }
    } else if (mode == 3) {
      Assemble(in);
    }
  } catch (int32_t) {
    // A database error number: the catalogue's clear answer to a damaged record.
  }
  return 0;
}
