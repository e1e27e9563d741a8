// The demo kitchen as the first start shows it: a room of four walls built the way mkcatalog builds its
// room templates, seven demo units made through the catalogue's element factory at their catalogue
// heights, and the demo skin's colours as the application answers them. The 3D view is drawn off
// screen at 1024 x 768 (fitted perspective, axonometric preset, hidden lines) and the plan into a
// bitmap of the same size; each picture is kept under tests/fixtures/demo_look/ and compared within
// a small tolerance, and the facts a user sees are checked on the pixels and bodies themselves.
// A second group walks the built catalogue: every colour opaque, every 3D body entry naming a
// colour group that exists.
//
// To renew the pictures after a deliberate change: run with PLANNER_WRITE_FIXTURES=1, look at them,
// and commit them.
#include <gtest/gtest.h>

#include <unistd.h>

#include <algorithm>
#include <array>
#include <cmath>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <map>
#include <memory>
#include <optional>
#include <set>
#include <string>
#include <vector>

#include "catalogue/databases/qxSkindb.h"
#include "catalogue/databases/zelvDatabase.h"
#include "catalogue/records/RecordField.h"
#include "catalogue/records/qxSkinObjectFil.h"
#include "catalogue/records/zelvproColorCatalogFil.h"
#include "catalogue/records/zelvproColorCodeFil.h"
#include "catalogue/records/zelvproTopViewFil.h"
#include "catalogue/records/zelvproUnitFil.h"
#include "elements/base/ElementChildren.h"
#include "elements/base/PlanPixels.h"
#include "elements/base/qxAssignEnumNumbers.h"
#include "elements/topview/TopViewElementFactory.h"
#include "elements/topview/iNumberLabelOption.h"
#include "elements/topview/zelvproTopViewElement.h"
#include "foundation/VconString.h"
#include "framework/ppApplication.h"
#include "framework/ppDC.h"
#include "framework/ppRegion.h"
#include "platform/Gdi.h"
#include "platform/HeadlessDriver.h"
#include "platform/LayerClock.h"
#include "platform/PngFile.h"
#include "platform/WindowApi.h"
#include "room/qxNewRoomCanvas.h"
#include "scene3d/context/ppScene.h"
#include "scene3d/context/ppShape3D.h"
#include "scene3d/objects/qx3DObject.h"
#include "scene3d/panes/Shared3DContext.h"
#include "scene3d/panes/i3DPaneHost.h"
#include "scene3d/panes/qx3DNavigation.h"
#include "scene3d/panes/qx3DPicking.h"
#include "scene3d/panes/qxCameraRecords.h"
#include "scene3d/panes/zelvpro3DPane.h"
#include "support/DemoSettings.h"
#include "tests/framework/TestCanvas.h"
#include "tests/framework/TestWindow.h"
#include "tools/mkcatalog/RoomHost.h"
#include "tools/mkcatalog/RoomScenes.h"
#include "tools/mkcatalog/RoomSource.h"
#include "tools/mkcatalog/ValueText.h"

namespace {

namespace fs = std::filesystem;

constexpr int32_t kWidth = 1024, kHeight = 768;
constexpr int32_t kPaneWidth = kWidth, kPaneHeight = kHeight;  // the file picture's size
constexpr int32_t kPerspectiveView = 3074, kAxonometricView = 3075;
constexpr int32_t kHiddenLinesStyle = 3071, kStandardStyle = 3072;
constexpr uint32_t kWhite = 0xFFFFFF;
// Where the room's walls' centre lines meet at its first corner, millimetres from the plan's origin
// (which maps to the top left pixel of the plan picture).
constexpr float kOrigin = 400;
// Colours told apart by a user: some channel differs by at least this much (of 255); slate and
// graphite are the closest pair of the demo.
constexpr int32_t kDistinct = 12;

// Channel difference still counted equal when a picture is compared with its kept copy, and how many
// pixels may differ beyond it (rasterisation of edges and text between library versions).
constexpr int32_t kTolerance = 12;
constexpr int64_t kDifferingPixels = kWidth * kHeight / 200;

// The application's colours from the demo skin's records (packed percentages: red in bits 24-31,
// green 16-23, blue 8-15, alpha 0-7); white for an id the skin lacks, as the application answers.
class SkinColours : public ppApplication {
 public:
  explicit SkinColours(const fs::path& skinFile) : ppApplication(nullptr, nullptr) {
    ppFileSpec skinName{Vcon::WString(skinFile.string().c_str())};
    qxSkindb skin(skinName);
    qxSkinObjectFil& table = skin.ColorFile();
    table.SelectAll();
    for (int32_t i = 0; i < table.GetSelectedCount(); ++i) {
      table.ReadRecordAt(i, nullptr);
      const char* r = table.GetRecordBuffer();
      packed[RecordField(table, "id").Long(r)] = uint32_t(RecordField(table, "rgba").Long(r));
    }
    gApplication = this;
  }
  ~SkinColours() override { gApplication = nullptr; }

  ppRGBColor GetColor(int32_t id) override {
    const ppFloat4 f = GetColorF(id);
    auto byte = [](float v) { return int32_t(std::lround(v * 255.0f)); };
    return ppRGBColor{byte(f.v[0]), byte(f.v[1]), byte(f.v[2])};
  }
  ppFloat4 GetColorF(int32_t id) override {
    if (auto set = overrides.find(id); set != overrides.end()) return set->second;
    auto found = packed.find(id);
    if (found == packed.end()) return ppFloat4(1, 1, 1, 1);
    const uint32_t v = found->second;
    auto part = [v](int shift) { return float((v >> shift) & 0xFF) / 100.0f; };
    return ppFloat4(part(24), part(16), part(8), part(0));
  }

  std::map<int32_t, uint32_t> packed;
  std::map<int32_t, ppFloat4> overrides;  // settings colours a picture sets for its length
};

class NumberLabelsOn : public iNumberLabelOption {
 public:
  bool IsOn() override { return true; }
};

// The document around the 3D pane: the room canvas (walls, floor and the units as its children).
class KitchenHost : public i3DPaneHost {
 public:
  KitchenHost(SkinColours& colours, qxNewRoomCanvas& room) : colours_(colours), room_(room) {}
  void AddSceneParts(ppScene& scene) override {
    if (unitsOnly.empty()) scene.Add(&room_);
    for (zelvproElement* unit : unitsOnly) scene.Add(unit);
  }
  // The room's walls, floor to wall top, grown by `factor` (the wall bodies' own bounds are not
  // all in plan coordinates yet, so the room is taken from its outline).
  ppBounds3 CanvasBounds(float factor) override {
    ppBounds3 all;
    all.AddPoint(ppVector3(kOrigin, 0, kOrigin));
    all.AddPoint(ppVector3(kOrigin + kRoomX, kWallHeight, kOrigin + kRoomZ));
    all.half = ppVector3(all.half.x * factor, all.half.y * factor, all.half.z * factor);
    return all;
  }
  float RoomHeight() override { return kWallHeight; }
  void FloorExtent(float* x, float* z) override { *x = kRoomX, *z = kRoomZ; }
  ppFloat4 SettingsColor(int32_t id) override { return colours_.GetColorF(id); }
  void SetSettingsColor(int32_t id, const ppFloat4& color) override { colours_.overrides[id] = color; }

  static constexpr float kRoomX = 3600, kRoomZ = 3000, kWallHeight = 2350;
  std::vector<zelvproElement*> unitsOnly;  // drawn instead of the room when not empty; not owned

 private:
  SkinColours& colours_;
  qxNewRoomCanvas& room_;
};

// A 24-bit bottom-up BMP file as a surface.
std::unique_ptr<plat::Surface> ReadBmp(const fs::path& file) {
  std::ifstream in(file, std::ios::binary);
  const std::string bytes((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
  if (bytes.size() != 54 + size_t(kWidth) * kHeight * 3) return nullptr;
  auto surface = std::make_unique<plat::Surface>(kWidth, kHeight);
  for (int32_t y = 0; y < kHeight; ++y) {
    for (int32_t x = 0; x < kWidth; ++x) {
      const size_t at = 54 + size_t(kHeight - 1 - y) * kWidth * 3 + size_t(x) * 3;
      surface->SetPixel(x, y,
                        uint32_t(uint8_t(bytes[at + 2])) << 16 | uint32_t(uint8_t(bytes[at + 1])) << 8 |
                            uint8_t(bytes[at]));
    }
  }
  return surface;
}

int32_t Channel(uint32_t rgb, int shift) { return int32_t((rgb >> shift) & 0xFF); }
int32_t Luma(uint32_t rgb) {
  return (Channel(rgb, 16) * 30 + Channel(rgb, 8) * 59 + Channel(rgb, 0) * 11) / 100;
}
int32_t ColourDistance(uint32_t a, uint32_t b) {
  return std::max({std::abs(Channel(a, 16) - Channel(b, 16)), std::abs(Channel(a, 8) - Channel(b, 8)),
                   std::abs(Channel(a, 0) - Channel(b, 0))});
}

// Keeps the picture beside the build and compares it with the committed copy (written instead when
// PLANNER_WRITE_FIXTURES is set).
void CompareWithKept(const plat::Surface& picture, const std::string& name) {
  const std::string kept = std::string(PLANNER_SOURCE_DIR) + "/tests/fixtures/demo_look/" + name;
  const std::string actual = std::string(PLANNER_BINARY_DIR) + "/demo_look-" + name;
  ASSERT_TRUE(plat::WritePng(picture, actual));
  if (std::getenv("PLANNER_WRITE_FIXTURES")) {
    fs::create_directories(fs::path(kept).parent_path());
    ASSERT_TRUE(plat::WritePng(picture, kept));
  }
  std::unique_ptr<plat::Surface> expected = plat::ReadPng(kept);
  ASSERT_TRUE(expected) << "missing " << kept << "; the picture is in " << actual;
  const plat::PixelDifference diff = plat::ComparePixels(*expected, picture, kTolerance);
  EXPECT_TRUE(diff.sameSize) << name;
  EXPECT_LE(diff.pixels, kDifferingPixels)
      << name << ": first at " << diff.firstX << "," << diff.firstY << "; see " << actual;
}

// What a unit's body is made of, in unit millimetres: its colour group, kind, box and every corner of
// its faces.
struct Body {
  int32_t group = 0;
  uint8_t kind = 0;
  bool turned = false;  // rotated in the unit (a corner unit's side door)
  ppVector3 low, high;
  std::vector<ppVector3> points;
};

class PointRecorder : public iShape3D {
 public:
  explicit PointRecorder(std::vector<ppVector3>& points) : points_(points) {}
  void Vertex(float x, float y, float z) override { points_.emplace_back(x, y, z); }

 private:
  std::vector<ppVector3>& points_;
};

constexpr int32_t kCarcaseGroup = 1, kFrontGroup = 2, kHandleGroup = 4;

std::vector<Body> BodiesOf(zelvDatabase& db, zelvproTopViewElement& unit) {
  std::vector<Body> bodies;
  std::unique_ptr<qx3DObject> chain =
      db.UnitFile().BuildUnit3DObjects(unit.GetUnitRecordId(), unit, nullptr, 0, ppVector3(), 0, 0, 0);
  for (qx3DObject* object = chain.get(); object != nullptr; object = object->next.get()) {
    Body body;
    body.group = object->groupId;
    body.kind = object->kind;
    body.turned = object->rotation.x != 0 || object->rotation.y != 0 || object->rotation.z != 0;
    PointRecorder recorder(body.points);
    object->BuildMesh(recorder, true);
    if (body.points.empty()) continue;
    body.low = body.high = body.points.front();
    for (const ppVector3& p : body.points) {
      body.low = ppVector3(std::min(body.low.x, p.x), std::min(body.low.y, p.y), std::min(body.low.z, p.z));
      body.high =
          ppVector3(std::max(body.high.x, p.x), std::max(body.high.y, p.y), std::max(body.high.z, p.z));
    }
    bodies.push_back(std::move(body));
  }
  return bodies;
}

bool IsFront(const Body& b) { return b.group == kFrontGroup && b.kind == qx3DObject::kExtrudedAlt; }
bool IsHandle(const Body& b) { return b.group == kHandleGroup && b.kind == qx3DObject::kPipe; }

struct Placed {
  const char* topView;
  float x, z;  // plan millimetres of the unit's back left corner (angle 0: front towards +z)
};
// Along the back wall, whose inner face lies at z = 75 from the room's corner (walls 150 mm thick on
// the centre lines).
constexpr Placed kUnits[] = {
    {"T60", 75, 75},   {"B60", 675, 75},  {"S80", 1275, 75}, {"ADW60", 2075, 75},
    {"D60", 2673, 75}, {"W60", 1375, 75}, {"W60", 1975, 75},
};
constexpr size_t kSink = 2;

class DemoKitchenLookTest : public ::testing::Test {
 protected:
  void SetUp() override {
    plat::HeadlessDriver::Reset();
    plat::LayerClock::SetManual(100000);
    colours_ = std::make_unique<SkinColours>(demo_.File("skin.cdb"));
    ppFileSpec file{Vcon::WString(demo_.File("catalogs/kitchen.cdb").string().c_str())};
    db_ = std::make_unique<zelvDatabase>(file);
    host_ = std::make_unique<mkcatalog::RoomHost>(*db_);
    TopViewElementFactory::Install();
    iNumberLabelOption::Install(&labels_);

    mkcatalog::RoomPlan room;
    room.id = 1;
    room.name = "demo kitchen";
    const float o = kOrigin, x = kOrigin + KitchenHost::kRoomX, z = kOrigin + KitchenHost::kRoomZ;
    for (auto [x1, z1, x2, z2] :
         {std::array{o, o, x, o}, std::array{x, o, x, z}, std::array{x, z, o, z}, std::array{o, z, o, o}}) {
      mkcatalog::RoomWall wall;
      wall.x1 = x1, wall.z1 = z1, wall.x2 = x2, wall.z2 = z2;
      wall.height = KitchenHost::kWallHeight;
      room.walls.push_back(wall);
    }
    room_ = mkcatalog::BuildRoomCanvas(*db_, *host_, room, "demo kitchen");
    host_->room = room_.get();
    for (const Placed& p : kUnits) {
      const int32_t id = TopViewId(p.topView);
      ASSERT_NE(id, 0) << p.topView;
      auto* unit = dynamic_cast<zelvproTopViewElement*>(
          db_->TopViewFile().CreateElement(id, plat::RECT{0, 0, 100, 100}, room_.get()));
      ASSERT_NE(unit, nullptr) << p.topView;
      // The catalogue's height above the floor ("Zpos") is where the unit stands.
      unit->SetPosition(ppVector3(kOrigin + p.x, unit->height, kOrigin + p.z));
      units_.push_back(unit);
    }
    qxAssignEnumNumbers::NumberChildren(*room_);

    frame_ = picture_tests::MakeTestWindow(kPaneWidth, kPaneHeight, 0x336699, &surface_);
    zelvpro3DPane::RegisterClass();
    paneHost_ = std::make_unique<KitchenHost>(*colours_, *room_);
    pane_ = zelvpro3DPane::Create(frame_, plat::RECT{0, 0, kPaneWidth, kPaneHeight}, paneHost_.get());
    ASSERT_NE(pane_, nullptr);
    pane_->Show();
    folder_ = fs::temp_directory_path() / ("demo-look-" + std::to_string(getpid()));
    fs::create_directories(folder_);
  }
  void TearDown() override {
    if (pane_ != nullptr) plat::DestroyWindow(pane_->GetHWND());
    Shared3DContext::Delete();
    host_->room = nullptr;
    room_.reset();
    iNumberLabelOption::Install(nullptr);
    SetElementFactory(nullptr);
    host_.reset();
    db_.reset();
    colours_.reset();
    plat::HeadlessDriver::Reset();
    fs::remove_all(folder_);
  }

  int32_t TopViewId(const char* name) {
    zelvproTopViewFil& items = db_->TopViewFile();
    items.SelectAll();
    for (int32_t i = 0; i < items.GetSelectedCount(); ++i) {
      items.ReadRecordAt(i, nullptr);
      if (RecordField(items, "Name").Text(items.GetRecordBuffer()) == name) return items.RecordIdAt(i);
    }
    return 0;
  }

  // The view fitted to the room, as the file picture draws it (always with the standard renderer).
  std::unique_ptr<plat::Surface> Render(int32_t view, const char* name) {
    pane_->DoCommand(view, 0);
    pane_->DoCommand(kStandardStyle, 0);
    qx3DNavigation::FitCurrent(*pane_, paneHost_->CanvasBounds(1.02f));
    const fs::path file = folder_ / (std::string(name) + ".bmp");
    if (!pane_->RunOffscreenRenderThread(WideFromNarrow(file.c_str()))) return nullptr;
    return ReadBmp(file);
  }
  // The view fitted to `box` (plan millimetres), drawn as the file picture draws it.
  std::unique_ptr<plat::Surface> RenderFitted(int32_t view, const ppBounds3& box, const char* name) {
    pane_->DoCommand(view, 0);
    pane_->DoCommand(kStandardStyle, 0);
    qx3DNavigation::FitCurrent(*pane_, box);
    const fs::path file = folder_ / (std::string(name) + ".bmp");
    if (!pane_->RunOffscreenRenderThread(WideFromNarrow(file.c_str()))) return nullptr;
    return ReadBmp(file);
  }
  // A unit of the catalogue placed with its back left corner at (x, z) from the room's corner.
  zelvproTopViewElement* Place(const char* name, float x, float z) {
    auto* unit = dynamic_cast<zelvproTopViewElement*>(
        db_->TopViewFile().CreateElement(TopViewId(name), plat::RECT{0, 0, 100, 100}, room_.get()));
    EXPECT_NE(unit, nullptr) << name;
    if (unit != nullptr) unit->SetPosition(ppVector3(kOrigin + x, unit->height, kOrigin + z));
    return unit;
  }
  // The view fitted to the room in render style `style`, as the pane paints it on screen.
  std::unique_ptr<plat::Surface> Paint(int32_t view, int32_t style) {
    pane_->DoCommand(view, 0);
    pane_->DoCommand(style, 0);
    qx3DNavigation::FitCurrent(*pane_, paneHost_->CanvasBounds(1.02f));
    pane_->Invalidate();
    plat::HeadlessDriver::RunUntilIdle();
    auto copy = std::make_unique<plat::Surface>(kWidth, kHeight);
    for (int32_t y = 0; y < kHeight; ++y)
      for (int32_t x = 0; x < kWidth; ++x) copy->SetPixel(x, y, surface_->Pixel(x, y));
    return copy;
  }
  // Where a point of a unit (unit millimetres) shows in the file picture.
  plat::POINT InPicture(const zelvproElement& unit, const ppVector3& local) {
    ppVector3 world = local;
    unit.LocalToWorld(world);
    const plat::POINT p = qx3DPicking::ProjectToWindow(*pane_, world);
    return plat::POINT{p.x * kWidth / kPaneWidth, p.y * kHeight / kPaneHeight};
  }
  // The file picture's pixel where a point of a unit shows; 0 (and a failure) off the picture.
  uint32_t PixelIn(const plat::Surface& picture, const zelvproElement& unit, const ppVector3& local) {
    const plat::POINT at = InPicture(unit, local);
    EXPECT_TRUE(picture.Contains(at.x, at.y));
    return picture.Contains(at.x, at.y) ? picture.Pixel(at.x, at.y) : 0u;
  }

  DemoSettings demo_;
  std::unique_ptr<SkinColours> colours_;
  std::unique_ptr<zelvDatabase> db_;
  std::unique_ptr<mkcatalog::RoomHost> host_;
  std::unique_ptr<qxNewRoomCanvas> room_;
  std::vector<zelvproTopViewElement*> units_;  // owned by the room canvas
  NumberLabelsOn labels_;
  plat::HWND frame_ = nullptr;
  plat::Surface* surface_ = nullptr;
  std::unique_ptr<KitchenHost> paneHost_;
  zelvpro3DPane* pane_ = nullptr;
  fs::path folder_;
};

TEST_F(DemoKitchenLookTest, PerspectiveShowsTheUnitsInTheirColoursAndNoFaceWhite) {
  std::unique_ptr<plat::Surface> picture = Render(kPerspectiveView, "perspective");
  ASSERT_TRUE(picture);
  CompareWithKept(*picture, "fitted_view.png");

  // One point on each kind of face: a front, a carcase side, the dishwasher's top, the tap.
  const struct {
    const char* what;
    size_t unit;
    ppVector3 local;
  } faces[] = {{"base unit front", 1, ppVector3(150, 400, 579)},
               {"tall unit carcase side", 0, ppVector3(600, 1500, 280)},
               {"dishwasher top", 3, ppVector3(299, 720, 200)},
               {"tap", kSink, ppVector3(400, 850, 80)}};
  std::vector<uint32_t> seen;
  for (const auto& f : faces) {
    const plat::POINT at = InPicture(*units_[f.unit], f.local);
    ASSERT_TRUE(picture->Contains(at.x, at.y)) << f.what;
    const uint32_t pixel = picture->Pixel(at.x, at.y);
    EXPECT_NE(pixel, kWhite) << f.what;
    for (uint32_t other : seen)
      EXPECT_GE(ColourDistance(pixel, other), kDistinct) << f.what << std::hex << " " << pixel;
    seen.push_back(pixel);
  }

  // No demo colour is white: drawn alone on grey, the units leave no pure white pixel.
  colours_->overrides[1022] = ppFloat4(0.5f, 0.5f, 0.5f, 1);
  paneHost_->unitsOnly.assign(units_.begin(), units_.end());
  std::unique_ptr<plat::Surface> alone = Render(kPerspectiveView, "units");
  ASSERT_TRUE(alone);
  int64_t white = 0;
  for (int32_t y = 0; y < kHeight; ++y)
    for (int32_t x = 0; x < kWidth; ++x) white += alone->Pixel(x, y) == kWhite;
  EXPECT_EQ(white, 0);
}

TEST_F(DemoKitchenLookTest, AxonometricAndHiddenLinesShowTheKitchen) {
  std::unique_ptr<plat::Surface> axonometric = Render(kAxonometricView, "axonometric");
  ASSERT_TRUE(axonometric);
  CompareWithKept(*axonometric, "axonometric.png");

  std::unique_ptr<plat::Surface> lines = Paint(kPerspectiveView, kHiddenLinesStyle);
  ASSERT_TRUE(lines);
  CompareWithKept(*lines, "hidden_lines.png");
  // The lines stand out from the white faces: along the base unit's front, from its left edge to its
  // right, at least one pixel is a line darker than the faces by a quarter of the range.
  const plat::POINT left = InPicture(*units_[1], ppVector3(-20, 400, 579));
  const plat::POINT right = InPicture(*units_[1], ppVector3(620, 400, 579));
  int32_t darkest = 255;
  for (int32_t x = std::min(left.x, right.x); x <= std::max(left.x, right.x); ++x)
    darkest = std::min(darkest, Luma(lines->Pixel(x, (left.y + right.y) / 2)));
  EXPECT_LE(darkest, 255 - 64);
}

TEST_F(DemoKitchenLookTest, PlanShowsDarkWallLinesOnALightBackgroundAndNumberedUnits) {
  for (size_t i = 0; i < units_.size(); ++i)
    EXPECT_GT(units_[i]->GetValueByName("EnumNumber").ToLong(), 0) << kUnits[i].topView;
  EXPECT_TRUE(units_[0]->ShowsNumberLabel());

  // 5 mm a pixel puts the 3.6 x 3 m room in the middle of the picture.
  host_->LayerPalette()->SetScale(5.0);
  room_->SetFrame(plat::RECT{0, 0, kWidth, kHeight});
  picture_tests::Canvas canvas(kWidth, kHeight);
  {
    ppRegion all(plat::RECT{0, 0, kWidth, kHeight});
    ppDC dc(canvas.dc(), nullptr, all.Handle());
    room_->Draw(dc);
    // The labels go over everything, as the plan window draws them.
    for (zelvproTopViewElement* unit : units_) unit->DrawNumberLabel(dc);
  }
  const plat::Surface& plan = *plat::GetDCSurface(canvas.dc());
  CompareWithKept(plan, "plan.png");

  // The background where nothing is drawn, and every pixel of the walls' face lines darker than it
  // by at least 40 % of the range.
  const uint32_t background = plan.Pixel(4, 4);
  int32_t checked = 0;
  const float inner = kOrigin + 75, outerX = kOrigin + KitchenHost::kRoomX - 75,
              outerZ = kOrigin + KitchenHost::kRoomZ - 75;
  for (float t = 0.1f; t < 0.95f; t += 0.05f) {
    for (ppVector3 p : {ppVector3(inner + t * (outerX - inner), 0, outerZ),
                        ppVector3(inner, 0, inner + t * (outerZ - inner)),
                        ppVector3(outerX, 0, inner + t * (outerZ - inner))}) {
      plat::POINT at{};
      PlanPointToScreen(p, at);
      ASSERT_TRUE(plan.Contains(at.x, at.y));
      EXPECT_GE(Luma(background) - Luma(plan.Pixel(at.x, at.y)), 102)
          << at.x << "," << at.y << std::hex << " line " << plan.Pixel(at.x, at.y) << " on " << background;
      ++checked;
    }
  }
  EXPECT_GT(checked, 40);
}

// ---- The units' bodies against their pictures: fronts, handles, plinths and the sink's bowl.

TEST_F(DemoKitchenLookTest, EachSinksBowlHangsInItsUnitWithItsRimOnTheHolesEdge) {
  for (const char* name : {"S60", "S80", "S100"}) {
    SCOPED_TRACE(name);
    zelvproTopViewElement* sink = Place(name, 600, 75);
    ASSERT_NE(sink, nullptr);
    std::vector<Body> bodies = BodiesOf(*db_, *sink);
    const Body* carcase = nullptr;
    const Body* bowl = nullptr;
    for (const Body& b : bodies) {
      if (b.kind == qx3DObject::kCircle) bowl = &b;
      if (b.kind == qx3DObject::kExtruded && b.group == kCarcaseGroup) carcase = &b;
    }
    ASSERT_TRUE(bowl != nullptr && carcase != nullptr);
    for (int axis = 0; axis < 3; ++axis) {
      const auto along = [axis](const ppVector3& v) { return axis == 0 ? v.x : axis == 1 ? v.y : v.z; };
      EXPECT_GE(along(bowl->low), along(carcase->low) - 0.01f) << axis;
      EXPECT_LE(along(bowl->high), along(carcase->high) + 0.01f) << axis;
    }
    // A bowl, not a plate: it reaches well down into the unit.
    EXPECT_GE(bowl->high.y - bowl->low.y, 150.0f);

    // The top's hole: the carcase's corners at the top near the bowl's axis. The bowl's rim, its widest
    // ring, lies on the hole's edge all round: no corner of the rim outside the hole (it would show as
    // teeth over the top) and none inside it (a gap down into the carcase); it stands just under the top,
    // so that an elevation, looking along the top, does not draw it.
    const float top = carcase->high.y, cx = (bowl->low.x + bowl->high.x) / 2,
                cz = (bowl->low.z + bowl->high.z) / 2;
    std::vector<ppVector3> hole, rim;
    for (const ppVector3& p : carcase->points)
      if (std::abs(p.y - top) < 0.01f && std::hypot(p.x - cx, p.z - cz) < 250) hole.push_back(p);
    float rimRadius = 0;
    for (const ppVector3& p : bowl->points) rimRadius = std::max(rimRadius, std::hypot(p.x - cx, p.z - cz));
    for (const ppVector3& p : bowl->points)
      if (std::hypot(p.x - cx, p.z - cz) > rimRadius - 0.01f) rim.push_back(p);
    for (const ppVector3& p : rim) {
      EXPECT_LT(p.y, top);
      EXPECT_GT(p.y, top - 2);
    }
    ASSERT_GE(rim.size(), 16u);
    ASSERT_GE(hole.size(), 16u);
    const auto nearest = [](const ppVector3& p, const std::vector<ppVector3>& among) {
      float best = 1e9f;
      for (const ppVector3& q : among) best = std::min(best, std::hypot(p.x - q.x, p.z - q.z));
      return best;
    };
    for (const ppVector3& corner : rim)
      EXPECT_LE(nearest(corner, hole), 0.05f) << corner.x << "," << corner.z;
    // Every corner of the hole on the rim's polygon (the slit to the back edge meets it between two).
    for (const ppVector3& corner : hole) {
      float off = 1e9f;
      for (size_t i = 0; i < rim.size(); ++i)
        for (size_t j = 0; j < rim.size(); ++j) {
          const ppVector3 &a = rim[i], &b = rim[j];
          const float len = std::hypot(b.x - a.x, b.z - a.z);
          if (len < 1 || len > 2 * rimRadius * std::sin(3.1415927f / 16) + 0.1f) continue;  // neighbours only
          const float t = std::clamp(
              ((corner.x - a.x) * (b.x - a.x) + (corner.z - a.z) * (b.z - a.z)) / (len * len), 0.0f, 1.0f);
          off = std::min(off, std::hypot(a.x + t * (b.x - a.x) - corner.x, a.z + t * (b.z - a.z) - corner.z));
        }
      EXPECT_LE(off, 0.05f) << corner.x << "," << corner.z;
    }
  }
}

TEST_F(DemoKitchenLookTest, CabinetsHaveTheFrontsAndHandlesTheirPicturesShow) {
  // Fronts and handles as the palette's pictures draw them; every handle on a front, across the
  // middle of its door or drawer, near the edge the pictures put it at.
  const struct {
    const char* name;
    size_t fronts, handles;
  } units[] = {{"B30", 1, 1},  {"B60", 2, 2}, {"B100", 2, 2}, {"D40", 3, 3},  {"D60", 3, 3},
               {"D90", 3, 3},  {"S60", 3, 2}, {"S100", 3, 2}, {"W40", 1, 1},  {"W60", 2, 2},
               {"W100", 2, 2}, {"T45", 2, 2}, {"TF60", 2, 2}, {"TO60", 2, 2}, {"ADW60", 1, 1},
               {"WC60", 2, 1}, {"CFG", 1, 1}, {"BW80", 2, 2}};
  for (const auto& u : units) {
    SCOPED_TRACE(u.name);
    zelvproTopViewElement* unit = Place(u.name, 600, 75);
    ASSERT_NE(unit, nullptr);
    std::vector<const Body*> fronts, handles;
    const std::vector<Body> bodies = BodiesOf(*db_, *unit);
    for (const Body& b : bodies) {
      if (IsFront(b)) fronts.push_back(&b);
      if (IsHandle(b)) handles.push_back(&b);
    }
    EXPECT_EQ(fronts.size(), u.fronts);
    EXPECT_EQ(handles.size(), u.handles);
    // Fronts side by side or stacked never overlap: a gap between them shows where one ends.
    for (size_t i = 0; i < fronts.size(); ++i)
      for (size_t j = i + 1; j < fronts.size(); ++j) {
        const bool apart =
            fronts[i]->high.x <= fronts[j]->low.x - 2 || fronts[j]->high.x <= fronts[i]->low.x - 2 ||
            fronts[i]->high.y <= fronts[j]->low.y - 2 || fronts[j]->high.y <= fronts[i]->low.y - 2;
        EXPECT_TRUE(apart) << "fronts " << i << " and " << j;
      }
    for (const Body* h : handles) {
      const float x = (h->low.x + h->high.x) / 2, y = (h->low.y + h->high.y) / 2;
      const Body* on = nullptr;
      for (const Body* f : fronts)
        if (x > f->low.x && x < f->high.x && y > f->low.y && y < f->high.y) on = f;
      ASSERT_NE(on, nullptr) << "a handle at " << x << "," << y << " on no front";
      EXPECT_NEAR(x, (on->low.x + on->high.x) / 2, 1.0f) << "centred on its front";
      // Standing out of the front's face, within 80 mm of its top or its bottom edge.
      EXPECT_GT(h->high.z, on->high.z + 2);
      EXPECT_LT(std::min(on->high.y - h->high.y, h->low.y - on->low.y), 80.0f) << y;
    }
  }
}

TEST_F(DemoKitchenLookTest, FloorStandingCabinetsStandOnAPlinthSetBackUnderTheirFronts) {
  // Every cabinet standing 100 mm up (the catalogue's "Zpos") on the floor: its carcase keeps its
  // height from its foot, and a plinth in graphite fills the 100 mm to the floor across its width,
  // its face set back behind the fronts' face as the pictures' plinth band shows it from ahead.
  zelvproTopViewFil& items = db_->TopViewFile();
  items.SelectAll();
  std::vector<std::string> names;
  for (int32_t i = 0; i < items.GetSelectedCount(); ++i) {
    items.ReadRecordAt(i, nullptr);
    const char* r = items.GetRecordBuffer();
    const int32_t type = RecordField(items, "Type").Long(r);
    if ((type == 0 || type == 4) && RecordField(items, "Zpos").Long(r) == 100 &&
        RecordField(items, "Under").Long(r) == 1)
      names.push_back(RecordField(items, "Name").Text(r));
  }
  int32_t checked = 0;
  for (const std::string& name : names) {
    SCOPED_TRACE(name);
    zelvproTopViewElement* unit = Place(name.c_str(), 600, 75);
    ASSERT_NE(unit, nullptr);
    const std::vector<Body> bodies = BodiesOf(*db_, *unit);
    float frontFace = -1e9f, lowest = 1e9f, foot = 1e9f, top = -1e9f;
    bool turnedFront = false;
    for (const Body& b : bodies) {
      lowest = std::min(lowest, b.low.y);
      if (IsFront(b) && b.turned) turnedFront = true;
      if (IsFront(b) && !b.turned) frontFace = std::max(frontFace, b.high.z);
      // The carcase, and a worktop on it: from the foot to the unit's height.
      if (b.kind == qx3DObject::kExtruded && b.low.y > -1)
        foot = std::min(foot, b.low.y), top = std::max(top, b.high.y);
    }
    EXPECT_NEAR(foot, 0.0f, 0.01f);
    EXPECT_NEAR(top, unit->dimensions.y, 0.01f);
    ASSERT_GT(frontFace, 0.0f) << "a front facing ahead";
    // Down to the floor but clear of it by a tenth of a millimetre, as units stand off walls: a body
    // touching the floor's slab is a collision, and the drop is refused.
    EXPECT_NEAR(lowest, -99.9f, 0.01f) << "down to the floor, not onto it";
    int32_t plinths = 0;
    float left = 1e9f, right = -1e9f;
    for (const Body& b : bodies) {
      if (b.low.y > -1) continue;
      ++plinths;
      EXPECT_EQ(b.group, kHandleGroup) << "in graphite";
      EXPECT_NEAR(b.low.y, -99.9f, 0.01f);
      EXPECT_LE(b.high.y, 0.11f) << "its top hidden in the carcase's foot";
      left = std::min(left, b.low.x), right = std::max(right, b.high.x);
      // A corner unit's plinth follows its second front round the corner; the rest face ahead.
      if (!turnedFront) EXPECT_LE(b.high.z, frontFace - 40.0f) << "set back";
    }
    EXPECT_GE(plinths, 1);
    EXPECT_NEAR(left, 0.0f, 0.01f);
    if (!turnedFront) EXPECT_NEAR(right, unit->dimensions.x, 0.01f);
    ++checked;
  }
  EXPECT_GE(checked, 29);  // base, drawer, sink, tall, corner and dishwasher units
}

TEST_F(DemoKitchenLookTest, TheInteriorDoorHasTwoPanelsInItsFrameAndALeverOnItsRoomSide) {
  zelvproTopViewElement* door = Place("DR90", 1400, 75);
  ASSERT_NE(door, nullptr);
  const std::vector<Body> bodies = BodiesOf(*db_, *door);
  std::vector<const Body*> frame, panels, levers;
  ppVector3 low(1e9f, 1e9f, 1e9f), high(-1e9f, -1e9f, -1e9f);
  for (const Body& b : bodies) {
    if (b.kind == qx3DObject::kPipe) {
      levers.push_back(&b);
      continue;
    }
    // Unit millimetres: the frame's room side at z 10, as every door of the catalogue; the panels
    // set back from it.
    (b.high.z > 9.99f ? frame : panels).push_back(&b);
    low = ppVector3(std::min(low.x, b.low.x), std::min(low.y, b.low.y), std::min(low.z, b.low.z));
    high = ppVector3(std::max(high.x, b.high.x), std::max(high.y, b.high.y), std::max(high.z, b.high.z));
  }
  EXPECT_NEAR(high.z, 10.0f, 0.01f);
  EXPECT_NEAR(high.z - low.z, 40.0f, 0.01f) << "the leaf's thickness";
  EXPECT_GE(frame.size(), 4u);
  // Two panels one over the other, within the frame, a few millimetres back from its face.
  ASSERT_EQ(panels.size(), 2u);
  for (const Body* p : panels) {
    EXPECT_LE(p->high.z, high.z - 3);
    EXPECT_GT(p->low.x, low.x + 100);
    EXPECT_LT(p->high.x, high.x - 100);
  }
  EXPECT_TRUE(panels[0]->high.y < panels[1]->low.y || panels[1]->high.y < panels[0]->low.y);
  // The leaf is whole: frame and panels together cover its face, without a hole through it.
  float covered = 0;
  for (const Body* b : frame) covered += (b->high.x - b->low.x) * (b->high.y - b->low.y);
  for (const Body* b : panels) covered += (b->high.x - b->low.x) * (b->high.y - b->low.y);
  EXPECT_NEAR(covered, (high.x - low.x) * (high.y - low.y), 1.0f);
  // The lever at half the height, on the side away from the hinges, standing out of the face.
  ASSERT_EQ(levers.size(), 1u);
  EXPECT_NEAR((levers[0]->low.y + levers[0]->high.y) / 2, 1050.0f, 20.0f);
  EXPECT_GT(levers[0]->low.x, high.x * 0.75f);
  EXPECT_GT(levers[0]->high.z, high.z + 5);
}

TEST_F(DemoKitchenLookTest, TheFrontsShowTheirDrawersHandlesAndPlinthsOnScreen) {
  // A drawer unit, a two-door base unit and a sink unit side by side, drawn alone on grey close up.
  zelvproTopViewElement* drawers = Place("D60", 600, 75);
  zelvproTopViewElement* base = Place("B60", 1200, 75);
  zelvproTopViewElement* sink = Place("S60", 1800, 75);
  ASSERT_TRUE(drawers != nullptr && base != nullptr && sink != nullptr);
  colours_->overrides[1022] = ppFloat4(0.5f, 0.5f, 0.5f, 1);
  paneHost_->unitsOnly = {drawers, base, sink};
  ppBounds3 box;
  box.AddPoint(ppVector3(kOrigin + 600, 0, kOrigin + 75));
  box.AddPoint(ppVector3(kOrigin + 2400, 850, kOrigin + 700));
  std::unique_ptr<plat::Surface> picture = RenderFitted(kPerspectiveView, box, "fronts");
  ASSERT_TRUE(picture);
  CompareWithKept(*picture, "fronts.png");

  const auto pixelAt = [&](const zelvproElement& unit, const ppVector3& local) {
    return PixelIn(*picture, unit, local);
  };
  // Down the drawer unit's middle, in front of its fronts: three runs of the handles' dark grey, one per
  // drawer (the gaps between the drawers show the carcase's wood).
  const uint32_t front = pixelAt(*drawers, ppVector3(150, 160, 579));
  const plat::POINT a = InPicture(*drawers, ppVector3(300, 715, 586)),
                    b = InPicture(*drawers, ppVector3(300, 5, 586));
  int32_t runs = 0;
  bool inRun = false;
  for (int32_t y = std::min(a.y, b.y); y <= std::max(a.y, b.y); ++y) {
    const int32_t x = a.x + (b.x - a.x) * (y - a.y) / std::max(1, b.y - a.y);
    const uint32_t pixel = picture->Pixel(x, y);
    const bool dark =
        Luma(pixel) <= Luma(front) - 128 && std::abs(Channel(pixel, 16) - Channel(pixel, 0)) < kDistinct;
    runs += dark && !inRun;
    inRun = dark;
  }
  EXPECT_EQ(runs, 3);
  // Under each unit its plinth, graphite against the grey and set off from the front above it.
  const uint32_t grey = picture->Pixel(4, 4);
  for (zelvproElement* unit : {static_cast<zelvproElement*>(drawers), static_cast<zelvproElement*>(base),
                               static_cast<zelvproElement*>(sink)}) {
    const uint32_t plinth = pixelAt(*unit, ppVector3(150, -50, 520));
    EXPECT_GE(ColourDistance(plinth, grey), kDistinct) << std::hex << plinth;
    EXPECT_LE(Luma(plinth), Luma(front) - 96) << std::hex << plinth;
  }
  // The two-door base unit: its doors told apart by the line where they meet.
  const plat::POINT l = InPicture(*base, ppVector3(250, 400, 579)),
                    r = InPicture(*base, ppVector3(350, 400, 579));
  int32_t darkest = 255;
  for (int32_t x = l.x; x <= r.x; ++x) darkest = std::min(darkest, Luma(picture->Pixel(x, (l.y + r.y) / 2)));
  EXPECT_LE(darkest, Luma(front) - 32);
}

TEST_F(DemoKitchenLookTest, AWindowShowsAWoodFrameAroundAPaleGlassPane) {
  // The 120 cm window in the back wall, its sill at the catalogue's 900 mm, drawn alone on grey.
  auto* window = dynamic_cast<zelvproTopViewElement*>(
      db_->TopViewFile().CreateElement(TopViewId("WN120"), plat::RECT{0, 0, 100, 100}, room_.get()));
  ASSERT_NE(window, nullptr);
  window->SetPosition(ppVector3(kOrigin + 1200, window->height, kOrigin + 75));
  colours_->overrides[1022] = ppFloat4(0.5f, 0.5f, 0.5f, 1);
  paneHost_->unitsOnly = {window};
  std::unique_ptr<plat::Surface> picture = Render(kPerspectiveView, "window");
  ASSERT_TRUE(picture);
  ASSERT_TRUE(plat::WritePng(*picture, std::string(PLANNER_BINARY_DIR) + "/demo_look-window.png"));

  // Unit millimetres: x along the window, y up from the sill, z out of the wall (the room side at 10,
  // the pane's face at 6).
  const auto pixelAt = [&](const ppVector3& local) { return PixelIn(*picture, *window, local); };
  const uint32_t grey = picture->Pixel(4, 4);
  const uint32_t stile = pixelAt(ppVector3(30, 600, 10)), rail = pixelAt(ppVector3(600, 1170, 10));
  const uint32_t pane = pixelAt(ppVector3(600, 600, 6)), paneLow = pixelAt(ppVector3(300, 200, 6));
  for (uint32_t pixel : {stile, rail, pane, paneLow}) EXPECT_GE(ColourDistance(pixel, grey), kDistinct);
  // Two colours: the frame is wood (warm: more red than blue, its grain shading it), the pane a pale
  // glass all over (cool, and lighter than the frame).
  EXPECT_LT(ColourDistance(pane, paneLow), kDistinct) << std::hex << pane << " " << paneLow;
  for (uint32_t wood : {stile, rail}) {
    EXPECT_GT(Channel(wood, 16), Channel(wood, 0) + 3 * kDistinct) << std::hex << wood;
    EXPECT_GE(ColourDistance(wood, pane), 3 * kDistinct) << std::hex << wood << " " << pane;
    EXPECT_GT(Luma(pane), Luma(wood) + kDistinct) << std::hex << pane << " " << wood;
  }
  EXPECT_GT(Channel(pane, 0), Channel(pane, 16) + kDistinct) << std::hex << pane;
}

TEST_F(DemoKitchenLookTest, TheGlazedDoorShowsAWoodFrameAroundThreeGlassPanes) {
  // The 80 cm glazed door in the back wall, drawn alone on grey.
  auto* door = dynamic_cast<zelvproTopViewElement*>(
      db_->TopViewFile().CreateElement(TopViewId("DR80"), plat::RECT{0, 0, 100, 100}, room_.get()));
  ASSERT_NE(door, nullptr);
  door->SetPosition(ppVector3(kOrigin + 1400, door->height, kOrigin + 75));
  colours_->overrides[1022] = ppFloat4(0.5f, 0.5f, 0.5f, 1);
  paneHost_->unitsOnly = {door};
  std::unique_ptr<plat::Surface> picture = Render(kPerspectiveView, "glazed door");
  ASSERT_TRUE(picture);
  CompareWithKept(*picture, "glazed_door.png");

  // Unit millimetres: x along the door, y up from the floor, z out of the wall (the frame's room side
  // at 10, the panes' at 6, in front of the wall's face at 0, which is not cut for the door).
  const auto pixelAt = [&](const ppVector3& local) { return PixelIn(*picture, *door, local); };
  const uint32_t grey = picture->Pixel(4, 4);
  std::vector<uint32_t> wood, panes;
  for (const ppVector3& p : {ppVector3(80, 1000, 10), ppVector3(720, 1000, 10), ppVector3(400, 200, 10),
                             ppVector3(400, 882, 10), ppVector3(400, 1428, 10), ppVector3(400, 2016, 10)})
    wood.push_back(pixelAt(p));
  for (float y : {609.0f, 1155.0f, 1701.0f}) panes.push_back(pixelAt(ppVector3(400, y, 6)));
  for (uint32_t pixel : wood) {
    EXPECT_GE(ColourDistance(pixel, grey), kDistinct) << std::hex << pixel;
    EXPECT_GT(Channel(pixel, 16), Channel(pixel, 0) + 3 * kDistinct) << std::hex << pixel;
  }
  // Three panes of one pale, cool glass, set apart from the frame as the window's pane is.
  for (uint32_t pane : panes) {
    EXPECT_LT(ColourDistance(pane, panes[0]), kDistinct) << std::hex << pane << " " << panes[0];
    EXPECT_GT(Channel(pane, 0), Channel(pane, 16) + kDistinct) << std::hex << pane;
    EXPECT_GE(ColourDistance(pane, wood[0]), 3 * kDistinct) << std::hex << pane << " " << wood[0];
    EXPECT_GT(Luma(pane), Luma(wood[0]) + kDistinct) << std::hex << pane << " " << wood[0];
  }

  // The wall behind is drawn whole, so every body of the door, the panes too, shows only where it
  // comes out of the wall's face (unit z 0): the frame in wood (colour group 1), the panes in glass (5).
  std::unique_ptr<qx3DObject> chain =
      db_->UnitFile().BuildUnit3DObjects(door->GetUnitRecordId(), *door, nullptr, 0, ppVector3(), 0, 0, 0);
  std::map<int32_t, int32_t> bodies;  // by colour group
  for (qx3DObject* body = chain.get(); body != nullptr; body = body->next.get()) {
    ppShape3D mesh;
    body->BuildMesh(mesh, true);
    const ppBounds3 box = mesh.GetBounds();
    EXPECT_GE(box.centre.z + box.half.z, 5.0f) << "a body of group " << body->groupId << " lies in the wall";
    ++bodies[body->groupId];
  }
  EXPECT_EQ(bodies, (std::map<int32_t, int32_t>{{1, 6}, {5, 3}}));
}

TEST_F(DemoKitchenLookTest, TheCornerUnitHasFrontsAndHandlesAsTheBaseUnitBesideIt) {
  // The base corner unit in the back right corner of the room, a 60 cm base unit on its left; the
  // corner's leg comes forward along the right wall, its door facing the room.
  const auto make = [&](const char* name, float x) {
    auto* unit = dynamic_cast<zelvproTopViewElement*>(
        db_->TopViewFile().CreateElement(TopViewId(name), plat::RECT{0, 0, 100, 100}, room_.get()));
    EXPECT_NE(unit, nullptr) << name;
    if (unit != nullptr) unit->SetPosition(ppVector3(kOrigin + x, unit->height, kOrigin + 75));
    return unit;
  };
  const float right = KitchenHost::kRoomX - 75;
  zelvproTopViewElement* corner = make("BC90", right - 900);
  zelvproTopViewElement* base = make("B60", right - 1500);
  ASSERT_TRUE(corner != nullptr && base != nullptr);
  colours_->overrides[1022] = ppFloat4(0.5f, 0.5f, 0.5f, 1);
  paneHost_->unitsOnly = {corner, base};
  std::unique_ptr<plat::Surface> picture = Render(kPerspectiveView, "corner unit");
  ASSERT_TRUE(picture);
  CompareWithKept(*picture, "corner_unit.png");

  const auto pixelAt = [&](const zelvproElement& unit, const ppVector3& local) {
    return PixelIn(*picture, unit, local);
  };
  // Unit millimetres: the corner's fronts stand on its wing (z 560 to 579, x 0 to 340) and on its
  // leg's side (x 321 to 340, z 579 to 900), in the front finish: neutral, not the carcase's wood.
  const uint32_t baseFront = pixelAt(*base, ppVector3(150, 400, 579));
  const uint32_t wingFront = pixelAt(*corner, ppVector3(170, 400, 579));
  const uint32_t legFront = pixelAt(*corner, ppVector3(321, 400, 740));
  const uint32_t carcase = pixelAt(*corner, ppVector3(600, 720, 300));
  EXPECT_LT(ColourDistance(wingFront, baseFront), kDistinct) << std::hex << wingFront << " " << baseFront;
  for (uint32_t front : {wingFront, legFront}) {
    EXPECT_LT(std::abs(Channel(front, 16) - Channel(front, 0)), kDistinct) << std::hex << front;
    EXPECT_GE(ColourDistance(front, carcase), 3 * kDistinct) << std::hex << front << " " << carcase;
  }
  // A handle across each door's top, where the base unit has its own: along a short line down
  // through its bar, some pixel is darker than the front by a quarter of the range.
  const auto darkest = [&](const zelvproElement& unit, const ppVector3& from, const ppVector3& to) {
    const plat::POINT a = InPicture(unit, from), b = InPicture(unit, to);
    int32_t least = 255;
    const int32_t steps = std::max({std::abs(b.x - a.x), std::abs(b.y - a.y), 1});
    for (int32_t i = 0; i <= steps; ++i) {
      const int32_t x = a.x + (b.x - a.x) * i / steps, y = a.y + (b.y - a.y) * i / steps;
      if (picture->Contains(x, y)) least = std::min(least, Luma(picture->Pixel(x, y)));
    }
    return least;
  };
  EXPECT_LE(darkest(*base, ppVector3(149, 710, 582), ppVector3(149, 670, 582)), Luma(baseFront) - 64);
  EXPECT_LE(darkest(*corner, ppVector3(170, 710, 582), ppVector3(170, 670, 582)), Luma(wingFront) - 64);
  EXPECT_LE(darkest(*corner, ppVector3(318, 710, 740), ppVector3(318, 670, 740)), Luma(legFront) - 64);
}

// ---- The colour notation and the built catalogue, walked whole.

TEST(DemoColourNotationTest, RgbIsOpaqueAndRgbaCarriesItsAlpha) {
  const struct {
    const char* text;
    std::optional<int32_t> packed;
  } cases[] = {
      {"rgb:76,60,40", int32_t(0x4C3C2864)},  // alpha 100 %
      {"rgb:0,0,0", int32_t(0x00000064)},
      {"rgb:100,100,100", int32_t(0x64646464)},
      {"rgba:76,60,40,50", int32_t(0x4C3C2832)},
      {"rgba:10,20,30,0", int32_t(0x0A141E00)},
      {"rgba:100,100,100,100", int32_t(0x64646464)},
      {"rgb:76,60,40,50", std::nullopt},  // four parts need "rgba:"
      {"rgba:76,60,40", std::nullopt},
      {"rgba:1,2,3,101", std::nullopt},
      {"rgb:1,2", std::nullopt},
      {"rgb:", std::nullopt},
      {"rgba:", std::nullopt},
  };
  for (const auto& c : cases) EXPECT_EQ(mkcatalog::ParsePercentColour(c.text), c.packed) << c.text;
}

class DemoCatalogueWalkTest : public ::testing::Test {
 protected:
  DemoSettings demo_;
};

TEST_F(DemoCatalogueWalkTest, TheFieldsValueBoxesShowOnTheServerBoxesWhiteFaceAndOnThePanels) {
  SkinColours skin(demo_.File("skin.cdb"));
  const auto packed = [&](int32_t id) {
    const ppRGBColor c = skin.GetColor(id);
    return uint32_t(c.red) << 16 | uint32_t(c.green) << 8 | uint32_t(c.blue);
  };
  constexpr int32_t kFocusedBox = 1004, kBox = 1006, kPanelBackground = 1008;
  // The login box's fields stand on a white face; the configurator's on its own background.
  for (int32_t box : {kFocusedBox, kBox}) {
    EXPECT_GE(ColourDistance(packed(box), kWhite), 2 * kDistinct) << box << std::hex << " " << packed(box);
    EXPECT_GE(ColourDistance(packed(box), packed(kPanelBackground)), kDistinct) << box;
  }
  // A focused field is told from the others, and the text stays dark on both.
  EXPECT_GE(ColourDistance(packed(kFocusedBox), packed(kBox)), 2 * kDistinct);
  for (int32_t text : {1005, 1007}) EXPECT_LE(Luma(packed(text)), 64) << text;
  for (int32_t box : {kFocusedBox, kBox}) EXPECT_GE(Luma(packed(box)), 200) << box;
}

TEST_F(DemoCatalogueWalkTest, EveryColourIsOpaqueAndEveryBodyNamesAnExistingGroup) {
  ppFileSpec file{Vcon::WString(demo_.File("catalogs/kitchen.cdb").string().c_str())};
  zelvDatabase db(file);
  // No demo colour is marked translucent: every colour set has alpha 100 %.
  zelvproColorCatalogFil& colours = db.ColorCatalogFile();
  colours.SelectAll();
  ASSERT_GT(colours.GetSelectedCount(), 0);
  for (int32_t i = 0; i < colours.GetSelectedCount(); ++i) {
    colours.ReadRecordAt(i, nullptr);
    for (int field = 0; field < 10; ++field) {
      const std::string name = "rgba" + std::to_string(field);
      const uint32_t v = uint32_t(RecordField(colours, name.c_str()).Long(colours.GetRecordBuffer()));
      if (v != 0) {
        EXPECT_EQ(v & 0xFF, 100u) << "colour " << i << " " << name;
      }
    }
  }
  {
    ppFileSpec skinFile{Vcon::WString(demo_.File("skin.cdb").string().c_str())};
    qxSkindb skin(skinFile);
    qxSkinObjectFil& table = skin.ColorFile();
    table.SelectAll();
    for (int32_t i = 0; i < table.GetSelectedCount(); ++i) {
      table.ReadRecordAt(i, nullptr);
      EXPECT_EQ(RecordField(table, "rgba").Long(table.GetRecordBuffer()) & 0xFF, 100) << "skin colour " << i;
    }
  }

  // The colour groups are the colour codes' positions, 1 up; a body's group is word 14, its colour
  // field (rgbaN / textureN) word 10.
  const int32_t groups = [&] {
    db.ColorCodeFile().SelectAll();
    return db.ColorCodeFile().GetSelectedCount();
  }();
  ASSERT_GT(groups, 0);
  zelvproUnitFil& units = db.UnitFile();
  units.SelectAll();
  int32_t bodies = 0;
  for (int32_t i = 0; i < units.GetSelectedCount(); ++i) {
    units.ReadRecordAt(i, nullptr);
    const char* r = units.GetRecordBuffer();
    const int32_t use = RecordField(units, "useParametrics").Long(r);
    if ((use & zelvproUnitFil::kLongShapeEntries) == 0) continue;
    if ((use & zelvproUnitFil::kHasParametrics) != 0 && (use & zelvproUnitFil::kLongParametricEntries) != 0) {
      // A placement of parametric parts names its colour group in word 11 (0: the element's own).
      Handle placed = RecordField(units, "parametrics").Data(r);
      const size_t length = MemGetSize(placed);
      ASSERT_EQ(length % 48, 0u) << "unit " << i;
      std::vector<int32_t> entry(length / 4);
      if (length > 0) std::memcpy(entry.data(), *placed, length);
      for (size_t at = 0; at < entry.size(); at += 12) {
        EXPECT_GE(entry[at + 11], 0) << "unit " << i << " placement " << at / 12;
        EXPECT_LE(entry[at + 11], groups) << "unit " << i << " placement " << at / 12;
      }
    }
    Handle data = RecordField(units, "shapes3D").Data(r);
    const size_t size = MemGetSize(data);
    if (size == 0) continue;  // drawn from parametric parts alone
    ASSERT_EQ(size % 64, 0u) << "unit " << i;
    std::vector<int32_t> words(size / 4);
    std::memcpy(words.data(), *data, size);
    for (size_t at = 0; at < words.size(); at += 16) {
      ++bodies;
      EXPECT_GE(words[at + 14], 1) << "unit " << i << " body " << at / 16;
      EXPECT_LE(words[at + 14], groups) << "unit " << i << " body " << at / 16;
      EXPECT_GE(words[at + 10], 0) << "unit " << i << " body " << at / 16;
      EXPECT_LT(words[at + 10], 10) << "unit " << i << " body " << at / 16;
    }
  }
  EXPECT_GT(bodies, 100);
}

}  // namespace
