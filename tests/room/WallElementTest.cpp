// Wall bodies: a new wall's defaults and texture, the record and the loaded wall's face, the two
// properties and the panel, the room-wide messages and the take-over by a rebuilt room (with and
// without a bound segment), the face mesh and the dimension lines between openings.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <memory>
#include <string>
#include <vector>

#include "catalogue/records/zelvproDocFil.h"
#include "catalogue/records/zelvproDocModuleFil.h"
#include "elements/base/ElementGeometryCache.h"
#include "elements/base/ElementTextures.h"
#include "elements/base/PlanAnnotation.h"
#include "elements/base/iApplicationSettings.h"
#include "elements/topview/iConfigurator.h"
#include "framework/ppCollaborator.h"
#include "framework/ppPicture.h"
#include "platform/HeadlessDriver.h"
#include "room/RoomTestSupport.h"
#include "room/qxLineCycle.h"
#include "room/qxNewRoomCanvas.h"
#include "room/qxWallElement.h"
#include "scene3d/objects/qx3DMeshObject.h"

namespace {

using roomtest::RoomTest;
using V = ppVector3;

// A room canvas whose outline is one cycle of the faces a test hands it.
class EdgeCanvas : public qxNewRoomCanvas {
 public:
  explicit EdgeCanvas(zelvDatabase* db) : qxNewRoomCanvas(nullptr, plat::RECT{0, 0, 800, 600}, db) {}
  WallEdge* AddEdge(const WallEdge& edge) {
    if (cycles == nullptr) cycles = new qxLineCycle(nullptr, 1);
    cycles->AppendEdge(edge);
    return cycles->EdgeAt(cycles->EdgeCount() - 1);
  }
};

// An opening in a wall that measures `width` from its position, as doors and windows do.
class Opening : public zelvproElement {
 public:
  Opening(ppView* wall, const V& at, float width)
      : zelvproElement(0, wall, plat::RECT{0, 0, 5, 5}, nullptr, 0, 0), width_(width) {
    position = at;
  }
  void CollectDimensionLines(std::vector<PlanAnnotation>& list) override {
    PlanAnnotation line;
    line.second = position;
    line.third = V(width_, 0, 0);
    line.kind = 7;  // told apart from the wall's own lines
    list.push_back(line);
  }

 private:
  float width_;
};

WallEdge Edge(const V& start, const V& end, qxRoomSegment* segment = nullptr, int32_t id = 0) {
  WallEdge edge;
  edge.start = start;
  edge.end = end;
  edge.segment = segment;
  edge.id = id;
  return edge;
}

class WallElementTest : public RoomTest {
 protected:
  void SetUp() override {
    plat::HeadlessDriver::Reset();
    RoomTest::SetUp();
    iApplicationSettings::Install(&settings_);
    iConfigurator::Install(&tabs_);
  }
  void TearDown() override {
    tabs_.panels.clear();
    iConfigurator::Install(nullptr);
    iApplicationSettings::Install(nullptr);
    roomCanvas_.reset();
    doc_.reset();
    RoomTest::TearDown();
  }

  // A new wall on `edge`, a child of the test canvas.
  qxWallElement* MakeWall(const WallEdge& edge) {
    db_->TopViewFile().ReadRecord(topView_, nullptr);
    return new qxWallElement(topView_, canvas_.get(), plat::RECT{0, 0, 10, 10},
                             db_->TopViewFile().GetRecordBuffer(), db_->ShapeFile(), edge);
  }
  int32_t AddColour(int32_t group, const char* name = "") {
    return eltest::AddRecordWith(db_->ColorCatalogFile(), {{"colorGroup", group}, {"name", name}}, {});
  }
  // Record `id` of the test catalogue in dbId form.
  int32_t DbId(int32_t id) const { return ppDatafile::DbIdValue(id, db_->Identifier()).ToLong(); }
  zelvproDocModuleFil& SaveWall(qxWallElement& wall) {
    doc_ = std::make_unique<zelvproDocFil>(*db_);
    zelvproDocModuleFil& module = doc_->FurnitureTable();
    wall.SaveTree(module, false, 0);
    module.ReadRecordAt(0, nullptr);
    return module;
  }
  static int32_t Long(zelvproDocModuleFil& module, const char* name) {
    return RecordField(module, name).Long(module.GetRecordBuffer());
  }
  static void Set(qxWallElement& wall, const char* name, int32_t value) {
    wall.SetValue(wall.IndexOf(Vcon::String(name)), ppParameter(value));
  }
  static int32_t Get(qxWallElement& wall, const char* name) {
    return wall.GetValue(wall.IndexOf(Vcon::String(name))).ToLong();
  }
  static std::unique_ptr<qx3DMeshObject> Mesh(qxWallElement& wall) {
    return std::unique_ptr<qx3DMeshObject>(wall.CreateWallMesh(nullptr, nullptr));
  }

  iApplicationSettings settings_;
  eltest::TabRecorder tabs_;
  std::unique_ptr<EdgeCanvas> roomCanvas_;
  std::unique_ptr<zelvproDocFil> doc_;
};

TEST_F(WallElementTest, NewWallTakesTheFirstTextureOfTheWallColourGroupByName) {
  const int32_t plain = AddColour(0, "p");
  AddColour(3, "b");
  const int32_t first = AddColour(3, "a");
  const struct { int32_t group, texture, colourWord; } kCases[] = {{3, first, 0}, {0, plain, 0}, {5, 0, 256}};
  for (const auto& c : kCases) {
    SCOPED_TRACE(c.group);
    settings_.wallColorGroup = c.group;
    qxWallElement* wall = MakeWall(Edge(V(0, 0, 0), V(1000, 0, 0)));
    EXPECT_EQ(wall->TextureId(), c.texture);
    EXPECT_EQ(Mesh(*wall)->colorCode, c.colourWord);
    EXPECT_EQ(wall->kind, 1024);
    EXPECT_EQ(wall->GetHeight(), 2250.0f);
    EXPECT_EQ(Get(*wall, "Color"), 0x5A5A5A00);
    EXPECT_EQ(Get(*wall, "Texture"), DbId(c.texture));
  }
}

TEST_F(WallElementTest, RecordKeepsTheWallAndALoadedWallStandsOnItsFace) {
  roomCanvas_ = std::make_unique<EdgeCanvas>(db_);
  qxRoomSegment* segment = MakeSegment(V(0, 0, 0), V(3000, 0, 0));
  roomCanvas_->AddEdge(Edge(V(9, 0, 9), V(8, 0, 8), nullptr, 41));
  WallEdge* face = roomCanvas_->AddEdge(Edge(V(0, 0, 75), V(3000, 0, 75), segment, 42));
  settings_.wallColorGroup = 3;
  const int32_t texture = AddColour(3);
  qxWallElement* wall = MakeWall(*face);
  wall->SetHeight(2250.7f);
  Set(*wall, "Color", 0x0A141E00);

  zelvproDocModuleFil& module = SaveWall(*wall);
  EXPECT_EQ(Long(module, "type"), 1024);
  EXPECT_EQ(Long(module, "wallHeight"), 2250);
  EXPECT_EQ(Long(module, "under"), 42);
  EXPECT_EQ(Long(module, "color"), texture);
  EXPECT_EQ(Long(module, "colorBgreen"), 20);

  auto* loaded = new qxWallElement(roomCanvas_.get(), module, false);
  EXPECT_EQ(loaded->GetHeight(), 2250.0f);
  EXPECT_EQ(Get(*loaded, "Color"), 0x0A141E00);
  EXPECT_EQ(loaded->TextureId(), texture);
  EXPECT_EQ(loaded->Edge().end, V(3000, 0, 75));
  EXPECT_EQ(loaded->Edge().segment, segment);
  EXPECT_EQ(face->wall, loaded);
  // It shows its own face, not the geometry of the catalogue record it was made from.
  loaded->RebuildGeometry();
  ASSERT_NE(loaded->CachedObject(), nullptr);
  EXPECT_EQ(loaded->CachedObject()->RecordAt(0)->layers.size(), 2u);

  // A face the canvas does not have leaves the default face, links no wall and reaches no segment.
  RecordField(module, "under").SetLong(module.GetRecordBuffer(), 99);
  auto* lost = new qxWallElement(roomCanvas_.get(), module, false);
  EXPECT_EQ(lost->Edge().end, V());
  EXPECT_EQ(face->wall, loaded);
  lost->SetHeight(10.0f);
  EXPECT_EQ(segment->GetHeight(), 2250.7f);
}

TEST_F(WallElementTest, ColourAndTextureComeFromTheWallsOwnCatalogue) {
  // A catalogue with a number, so that a value can name a record of another one.
  cattest::ChangeSettings(*Open("numbered.cdb"), {{"identifier", 4}});
  db_ = &MakeDatabase("numbered.cdb");
  topView_ = eltest::AddRecordWith(db_->TopViewFile(), {{"ID", 900}}, {});
  for (int32_t modulate : {0, 1}) {
    SCOPED_TRACE(modulate);
    const int32_t picture = AddTexture(*db_, 0, 4, modulate);
    const int32_t colour =
        eltest::AddRecordWith(db_->ColorCatalogFile(), {{"colorGroup", 9}, {"texture0", picture}}, {});
    // The plan elements keep texture records' pictures by record id: one numbered as this colour
    // record is no picture of this colour.
    ppPicture other;
    other.SetValues({double(db_->Identifier()), double(colour)});
    ElementTextures::Map().SetEntry(&other);

    qxWallElement* wall = MakeWall(Edge(V(0, 0, 0), V(1000, 0, 0)));
    Set(*wall, "Color", 0x14283C00);
    Set(*wall, "Texture", DbId(colour) + 1);  // a colour of another catalogue
    ppFloat4 drawn;
    wall->GetColorByCode(drawn, 0);
    EXPECT_EQ(wall->GetTextureByCode(0), nullptr);
    EXPECT_FLOAT_EQ(drawn.v[0], 0.2f);
    Set(*wall, "Texture", DbId(colour));
    const ppPicture* shown = wall->GetTextureByCode(-744);
    ASSERT_NE(shown, nullptr);
    EXPECT_EQ(shown->GetWidth(), 4);
    wall->GetColorByCode(drawn, -744);
    EXPECT_FLOAT_EQ(drawn.v[0], modulate != 0 ? 0.2f : 1.0f);  // an unmodulated picture shows on white
  }
}

TEST_F(WallElementTest, PanelOffersTexturesOnlyWithAWallColourGroup) {
  AddColour(4);
  qxWallElement* wall = MakeWall(Edge(V(0, 0, 0), V(1000, 0, 0)));
  for (int32_t group : {0, 4}) {
    SCOPED_TRACE(group);
    settings_.wallColorGroup = group;
    wall->BuildInfoPanel(nullptr);
    ASSERT_EQ(tabs_.panels.size(), 1u);
    const std::vector<ConfigField>& rows = tabs_.panels[0]->fields;
    ASSERT_EQ(rows.size(), group == 0 ? 1u : 2u);
    EXPECT_EQ(rows[0].kind, ConfigField::kColour);
    EXPECT_EQ(std::string(rows[0].property.c_str()), "Color");
    if (group == 0) continue;
    EXPECT_EQ(std::string(rows[1].property.c_str()), "Texture");
    EXPECT_EQ(rows[1].list->GetSelectedCount(), 1);
  }
}

TEST_F(WallElementTest, RoomWideValuesAndTakeOverReachOnlyABoundSegment) {
  qxRoomSegment* segment = MakeSegment(V(0, 0, 0), V(3000, 0, 0));
  qxWallElement* bound = MakeWall(Edge(V(0, 0, 75), V(3000, 0, 75), segment));
  qxWallElement* unbound = MakeWall(Edge(V(0, 0, -75), V(3000, 0, -75)));
  ppCollaborator canvas;
  float value = 2600.0f;
  canvas.Broadcast(qxNewRoomCanvas::kWallChannel, qxNewRoomCanvas::kAllWallHeights,
                   reinterpret_cast<intptr_t>(&value));
  EXPECT_EQ(bound->GetHeight(), 2600.0f);
  EXPECT_EQ(unbound->GetHeight(), 2600.0f);
  EXPECT_EQ(segment->GetHeight(), 2600.0f);
  value = 240.0f;
  canvas.Broadcast(qxNewRoomCanvas::kWallChannel, qxNewRoomCanvas::kAllWallThicknesses,
                   reinterpret_cast<intptr_t>(&value));
  EXPECT_EQ(segment->GetThickness(), 240.0f);

  // The old wall hands over its looks and its children, which move with the face; the height is
  // that of the new wall's segment, or the old wall's without one.
  unbound->SetHeight(1800.0f);
  Set(*unbound, "Color", 0x01020300);
  auto* child = new Opening(unbound, V(500, 0, -75), 100.0f);
  bound->CopyFrom(unbound);
  EXPECT_EQ(Get(*bound, "Color"), 0x01020300);
  EXPECT_EQ(bound->GetHeight(), 2600.0f);
  EXPECT_EQ(child->GetSupervisor(), bound);
  EXPECT_EQ(child->GetPosition(), V(500, 0, 75));
  unbound->CopyFrom(bound);
  EXPECT_EQ(unbound->GetHeight(), 2600.0f);
}

TEST_F(WallElementTest, StraightFaceIsATenByTenGridKeptUntilTheWallChanges) {
  constexpr float L = 3000.0f, H = 2400.0f;
  qxWallElement* wall = MakeWall(Edge(V(1000, 0, 500), V(1000 + L, 0, 500)));
  wall->SetHeight(H);
  auto mesh = Mesh(*wall);
  ASSERT_EQ(mesh->vertices.size(), 400u);
  ASSERT_EQ(mesh->polygons.size(), 501u);
  EXPECT_EQ(mesh->polygons[0], 100u);
  const uint32_t* last = &mesh->polygons[1 + 5 * 99];
  EXPECT_EQ(std::vector<uint32_t>(last, last + 5), (std::vector<uint32_t>{4, 396, 399, 398, 397}));
  std::vector<uint32_t> edges;
  for (const auto& e : mesh->edges) edges.insert(edges.end(), {e.a, e.b, e.unused});
  EXPECT_EQ(edges, (std::vector<uint32_t>{0, 37, 1, 37, 398, 1, 363, 0, 1}));
  const qx3DMeshObject::MeshVertex &first = mesh->vertices[0], &top = mesh->vertices[398];
  EXPECT_EQ(V(first.x, first.y, first.z), V(1000, 0, 500));
  EXPECT_EQ(first.s + first.t, 0.0f);
  EXPECT_FLOAT_EQ(top.x, 1000 + L);
  EXPECT_FLOAT_EQ(top.y, H);
  EXPECT_FLOAT_EQ(top.s, L / 4000);
  EXPECT_FLOAT_EQ(top.t, H / 4000);
  EXPECT_NEAR(std::fabs(first.nz), 1.0, 1e-6);

  wall->RebuildGeometry();
  ASSERT_NE(wall->CachedObject(), nullptr);
  EXPECT_EQ(wall->Parts().size(), 1u);
  EXPECT_FLOAT_EQ(wall->boundsA.centre.y + wall->boundsA.half.y, H);
  wall->SetHeight(1000.0f);
  EXPECT_EQ(wall->CachedObject(), nullptr);
}

TEST_F(WallElementTest, ArcFaceFollowsItsSweepInTenPieces) {
  // A half circle about the origin from (1000, 0) to (-1000, 0); radius 0 makes it straight.
  const struct {
    bool clockwise;
    float radius;
    size_t edges;
    float middleZ;  // of the joint half way
  } kCases[] = {{false, 1000.0f, 21, 1000.0f}, {true, 1000.0f, 21, -1000.0f}, {false, 0.0f, 3, 0.0f}};
  for (const auto& c : kCases) {
    SCOPED_TRACE(c.clockwise * 10 + int(c.radius > 0));
    WallEdge arc = Edge(V(1000, 0, 0), V(-1000, 0, 0));
    arc.arched = true;
    arc.clockwise = c.clockwise;
    arc.radius = c.radius;
    auto mesh = Mesh(*MakeWall(arc));
    EXPECT_EQ(mesh->edges.size(), c.edges);
    EXPECT_NEAR(mesh->vertices[200].z, c.middleZ, 1e-2);  // left floor corner of column 5
    EXPECT_EQ(mesh->vertices[399].x, -1000.0f);
  }
}

TEST_F(WallElementTest, DimensionLinesMeasureTheGapsBetweenOpenings) {
  struct Case {
    const char* what;
    bool bound;
    std::vector<float> openings;  // x of each opening 100 wide
    std::vector<float> gaps;      // lengths of the wall's gap lines, in order
    int32_t overallKind;
  } kCases[] = {
      {"no openings", true, {}, {}, 2},
      {"no segment", false, {500}, {}, 2},
      {"10.0 apart", true, {500, 610}, {500, 2290}, 3},
      {"10.5 apart", true, {500, 610.5f}, {500, 10.5f, 2289.5f}, 3},
      {"one at the start", true, {0}, {2900}, 3},
  };
  for (const Case& c : kCases) {
    SCOPED_TRACE(c.what);
    qxRoomSegment* segment = MakeSegment(V(0, 0, 0), V(3000, 0, 0));
    for (float x : c.openings) new Opening(segment, V(x, 900, 0), 100.0f);
    qxWallElement* wall = MakeWall(Edge(V(0, 0, 0), V(3000, 0, 0), c.bound ? segment : nullptr));
    new Opening(wall, V(1, 0, 0), 5.0f);  // the wall's own child comes last
    std::vector<PlanAnnotation> lines;
    wall->CollectDimensionLines(lines);
    const size_t own = c.bound ? c.openings.size() : 0;
    ASSERT_EQ(lines.size(), own + c.gaps.size() + 2);
    for (size_t i = 0; i < own; ++i) EXPECT_EQ(lines[i].kind, 7);
    for (size_t i = 0; i < c.gaps.size(); ++i) {
      EXPECT_EQ(lines[own + i].kind, 2);
      EXPECT_NEAR(*lines[own + i].x, c.gaps[i], 1e-3);
    }
    const PlanAnnotation& overall = lines[lines.size() - 2];
    EXPECT_EQ(overall.kind, c.overallKind);
    EXPECT_EQ(*overall.x, 3000.0);
    EXPECT_EQ(overall.third, V(3000, 0, 0));
    EXPECT_EQ(overall.owner, wall);
    EXPECT_EQ(overall.flags, 0x400u);
    EXPECT_EQ(lines.back().kind, 7);
  }
}

}  // namespace
