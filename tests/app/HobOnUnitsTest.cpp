// The demo's induction hob pulled out of the palette's strip and dropped on units as a user does it, on
// the started program (headless, in this process): on a base unit 60 in the plan, on another in the 3D
// view and on a worktop 200 in the plan. Each time the hob becomes the unit's accessory and lies in it:
// its 3D body within the unit's outline, 870 to 922 mm above the floor, unturned in the unit's frame;
// the unit's panel reads the unit's own size as before. The first unit is then moved and turned and
// the hob goes with it; the plan is saved and opened again and every hob stands where it stood; the
// plan printed with its drawing has every block of furniture inside the room. A hob dropped on the
// drawer unit, which takes none, is thrown away without a word.
//
// Plan millimetres; pixels of the document window's client area unless said otherwise.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <optional>
#include <set>
#include <sstream>
#include <string>
#include <vector>

#include "PlanUnits.h"
#include "StartedProgram.h"
#include "canvas/editor/zelvproEditorScroller.h"
#include "canvas/editor/zelvproViewBar.h"
#include "canvas/tasks/PlanFrames.h"
#include "canvas/view3d/zelvpro3DCanvas.h"
#include "controls/ppConfigPanel.h"
#include "controls/ppConfigTab.h"
#include "controls/ppConfigurator.h"
#include "controls/ppTextField.h"
#include "elements/base/ElementChildren.h"
#include "elements/base/ElementKinds.h"
#include "elements/base/PlanPixels.h"
#include "elements/base/zelvproCanvas.h"
#include "elements/base/zelvproTopCanvas.h"
#include "foundation/Geometry2D.h"
#include "foundation/ppMatrix4.h"
#include "framework/ppPrintingAbortDialog.h"
#include "platform/CommonDialogs.h"
#include "platform/Desktop.h"
#include "platform/LayerClock.h"
#include "platform/Menu.h"
#include "platform/MessageBox.h"
#include "room/qxNewRoomCanvas.h"
#include "scene3d/panes/qx3DPicking.h"
#include "scene3d/panes/zelvpro3DPane.h"

namespace {

namespace fs = std::filesystem;

// The hob's catalogue height above the floor, and its top: the 50 mm glass and the cooking zones'
// 2 mm rings on it.
constexpr float kHobBottom = 870.0f, kHobTop = 922.0f;
constexpr int32_t kUndo = 31, kRedo = 32;

// Two corners of a box in one frame.
struct Box {
  ppVector3 low, high;
};

class HobOnUnitsTest : public apptest::StartedProgramTest {
 protected:
  void SetUp() override {
    StartedProgramTest::SetUp();
    temporary_ = demo_.Root() / "tmp";
    documents_ = demo_.Root() / "documents";
    fs::create_directories(temporary_);
    fs::create_directories(documents_);
    SetEnvironment("TMPDIR", temporary_.string());
    SetEnvironment("XDG_DOCUMENTS_DIR", documents_.string());
    plat::ClearMessageBoxLog();
  }
  void TearDown() override {
    StartedProgramTest::TearDown();
    for (const auto& [name, value] : savedEnvironment_)
      if (value.has_value())
        ::setenv(name.c_str(), value->c_str(), 1);
      else
        ::unsetenv(name.c_str());
  }
  void SetEnvironment(const char* name, const std::string& value) {
    const char* before = std::getenv(name);
    savedEnvironment_.emplace_back(name,
                                   before != nullptr ? std::optional<std::string>(before) : std::nullopt);
    ::setenv(name, value.c_str(), 1);
  }

  zelvproWindow& Window() const { return *app_->DocumentWindow(); }
  zelvproTopCanvas& Plan() const { return *zelvproEditorScroller::MainCanvas(); }

  // A point of the room's floor, `fx` and `fz` of the way across.
  static ppVector3 OnFloor(float fx, float fz) {
    auto* room = dynamic_cast<qxNewRoomCanvas*>(zelvproEditorScroller::Current()->View(1));
    if (room == nullptr) return {};
    ppVector2 corners[4];
    room->ComputeBounds(corners);
    return ppVector3(corners[0].x + (corners[2].x - corners[0].x) * fx, 0.0f,
                     corners[0].y + (corners[2].y - corners[0].y) * fz);
  }
  static plat::POINT PlanPixel(const ppVector3& p) {
    plat::POINT at{};
    PlanPointToScreen(p, at);
    return at;
  }
  // Where the 3D view shows the scene point `p`.
  plat::POINT ScenePixel(const ppVector3& p) const {
    zelvpro3DPane& pane = *dynamic_cast<zelvpro3DCanvas*>(Window().Canvas3DView())->Pane();
    const ppVector3 w = qx3DPicking::WindowPosition(pane, p);
    plat::POINT at{int32_t(std::lround(w.x)), int32_t(std::lround(w.y))};
    plat::ClientToScreen(pane.GetHWND(), &at);
    plat::ScreenToClient(Window().GetHWND(), &at);
    return at;
  }

  // Drops `item` at `at`; the one element the drop added to the plan, or null.
  zelvproElement* DropUnit(const char* group, const char* item, plat::POINT at) {
    std::set<zelvproElement*> before;
    ForEachChildElement(Plan(), [&](zelvproElement* e) { before.insert(e); });
    DropFromPalette(group, item, at);
    zelvproElement* added = nullptr;
    int32_t count = 0;
    ForEachChildElement(Plan(), [&](zelvproElement* e) {
      if (before.count(e) == 0) added = e, ++count;
    });
    return count == 1 ? added : nullptr;
  }
  static std::vector<zelvproElement*> Accessories(zelvproElement& host) {
    std::vector<zelvproElement*> out;
    ForEachChildElement(host, [&](zelvproElement* e) {
      if (e->kind == ElementKinds::kAccessory) out.push_back(e);
    });
    return out;
  }
  // The hob dropped on `host` at `at`; null when the host did not take one.
  zelvproElement* DropHob(zelvproElement& host, plat::POINT at) {
    const size_t had = Accessories(host).size();
    DropFromPalette("Appliances", "VH-AHB60", at);
    const std::vector<zelvproElement*> now = Accessories(host);
    return now.size() == had + 1 ? now.back() : nullptr;
  }

  static void Click(zelvproElement& unit) { apptest::ClickUnit(unit); }
  // The size line of the element panel shown ("w x h x d"); empty without one.
  static std::string PanelSize() {
    ppConfigurator* configurator = ppConfigurator::Host();
    if (configurator == nullptr) return {};
    for (ppConfigTab* tab : configurator->Tabs())
      for (ppField* f = tab->Panel() != nullptr ? tab->Panel()->FirstField() : nullptr; f != nullptr;
           f = f->NextField())
        if (auto* text = dynamic_cast<ppTextField*>(f)) {
          const std::string s = Vcon::Utf8FromUtf16(text->Text());
          // Not the caption: the sizes themselves.
          if (s.find(" x ") != std::string::npos && s.find_first_of("0123456789") != std::string::npos)
            return s;
        }
    return {};
  }
  // The unit's panel size, the unit chosen as the user does.
  std::string SizeOf(zelvproElement& unit) {
    Send(zelvproCanvas::kDeselectAll);
    Click(unit);
    return PanelSize();
  }

  // The outline's box in the element's own frame (x, and z as y).
  static void OutlineBox(zelvproElement& e, ppVector2& low, ppVector2& high) {
    e.GetBounds(0, 0xC0);  // brings the geometry up to date
    low = ppVector2(1e9f, 1e9f), high = ppVector2(-1e9f, -1e9f);
    e.ForEachOutline([&](Handle points) {
      for (const ppVector2& p : PointListToVector(points)) {
        low = ppVector2(std::min(low.x, p.x), std::min(low.y, p.y));
        high = ppVector2(std::max(high.x, p.x), std::max(high.y, p.y));
      }
    });
  }
  // The 3D body's box in the frame of the element's container, and in the plan.
  static Box BodyIn(const ppMatrix4& m, zelvproElement& e) {
    const ppBounds3 box = ppBounds3::Transformed(m, e.GetBounds(0, 0x240));
    return {ppVector3(box.centre.x - box.half.x, box.centre.y - box.half.y, box.centre.z - box.half.z),
            ppVector3(box.centre.x + box.half.x, box.centre.y + box.half.y, box.centre.z + box.half.z)};
  }
  static Box BodyInContainer(zelvproElement& e) {
    ppMatrix4 m;
    e.BuildPlacementMatrix(m);
    return BodyIn(m, e);
  }
  static Box BodyInPlan(zelvproElement& e) {
    ppMatrix4 m;
    e.BuildWorldMatrix(m);
    return BodyIn(m, e);
  }

  // The hob lies in its host: its body within the host's outline (in the host's frame), 870 to 922 mm
  // above the floor, unturned in the host's frame; its middle lies inside the host's outline as the
  // plan places both, whatever the host's move and turn.
  static void ExpectSeated(zelvproElement* hob, zelvproElement& host, const char* what) {
    ASSERT_NE(hob, nullptr) << what << ": the unit took no hob";
    EXPECT_EQ(hob->GetSupervisor(), &host) << what;
    ppVector2 low, high;
    OutlineBox(host, low, high);
    const Box body = BodyInContainer(*hob);
    ppVector3 hostAt;
    host.GetAbsolutePosition(hostAt);
    std::printf(
        "%s: the hob's body x %.1f..%.1f, z %.1f..%.1f, %.1f..%.1f mm above the floor; the unit's "
        "outline x %.1f..%.1f, z %.1f..%.1f (the unit's frame)\n",
        what, body.low.x, body.high.x, body.low.z, body.high.z, hostAt.y + body.low.y, hostAt.y + body.high.y,
        low.x, high.x, low.y, high.y);
    EXPECT_GE(body.low.x, low.x - 0.05f) << what;
    EXPECT_LE(body.high.x, high.x + 0.05f) << what;
    EXPECT_GE(body.low.z, low.y - 0.05f) << what;
    EXPECT_LE(body.high.z, high.y + 0.05f) << what;
    EXPECT_NEAR(hostAt.y + body.low.y, kHobBottom, 0.05f) << what;
    EXPECT_NEAR(hostAt.y + body.high.y, kHobTop, 0.05f) << what;
    EXPECT_FLOAT_EQ(hob->GetAngle(), 0.0f) << what;
    // As the plan places them: the hob's outline middle inside the host's outline corners.
    ppVector2 hobLow, hobHigh;
    OutlineBox(*hob, hobLow, hobHigh);
    ppVector2 middle((hobLow.x + hobHigh.x) / 2, (hobLow.y + hobHigh.y) / 2);
    hob->ApplyPlacement2D(middle);
    ppVector2 corners[4] = {low, {high.x, low.y}, high, {low.x, high.y}};
    for (ppVector2& c : corners) host.ApplyPlacement2D(c);
    for (int i = 0; i < 4; ++i) {
      const ppVector2 a = corners[i], b = corners[(i + 1) % 4];
      const float side = (b.x - a.x) * (middle.y - a.y) - (b.y - a.y) * (middle.x - a.x);
      EXPECT_GE(side * ((corners[1].x - corners[0].x) * (corners[2].y - corners[0].y) -
                        (corners[1].y - corners[0].y) * (corners[2].x - corners[0].x)),
                0.0f)
          << what << ": the hob's middle lies outside the unit's outline in the plan";
    }
    EXPECT_NEAR(hob->GetAbsoluteAngle(), host.GetAbsoluteAngle(), 1e-5) << what;
  }

  // Prints the plan with its drawing from the File menu, the dialogs answered with OK; the drawing.
  // The drawing is written only while File > Line Drawing is ticked.
  std::string PrintDrawing() {
    zelvproTopCanvas* plan = zelvproEditorScroller::MainCanvas();
    if (plan != nullptr && !plan->Transparent()) Send(zelvproTopCanvas::kTransparentCommand);
    plat::HeadlessDriver::SetIdleScript([this] {
      const plat::HWND box = plat::GetActiveWindow();
      if (box == nullptr || box == app_->Frame() || box == ppPrintingAbortDialog::Instance().Window())
        return false;
      return plat::PostMessageA(box, plat::WM_COMMAND, plat::IDOK, 0) != 0;
    });
    const plat::HMENU file = plat::GetSubMenu(plat::GetMenu(app_->Frame()), 0);
    bool chosen = false;
    for (int32_t i = 0; i < plat::GetMenuItemCount(file) && !chosen; ++i) {
      char16_t text[256] = {};
      plat::GetMenuStringW(file, plat::UINT(i), text, 256, plat::MF_BYPOSITION);
      if (Vcon::Utf8FromUtf16(std::u16string(text)) != "Print with DXF Drawing") continue;
      Send(int32_t(int16_t(plat::GetMenuItemID(file, i) & 0xFFFF)));
      chosen = true;
    }
    plat::HeadlessDriver::SetIdleScript(CancelActiveWindow);
    EXPECT_TRUE(chosen) << "the File menu has no drawing print";
    std::ifstream in(temporary_ / "zelvo.dxf", std::ios::binary);
    std::ostringstream text;
    text << in.rdbuf();
    return text.str();
  }

  fs::path temporary_, documents_;
  std::vector<std::pair<std::string, std::optional<std::string>>> savedEnvironment_;
};

// The points of a drawing's lines and polyline vertices on `layer` (drawing units).
std::vector<ppVector2> DrawingPoints(const std::string& dxf, const std::string& layer) {
  std::vector<ppVector2> out;
  std::istringstream in(dxf);
  std::string code, value, entity, onLayer;
  float x = 0.0f;
  auto trim = [](std::string s) {
    s.erase(0, s.find_first_not_of(' '));
    if (!s.empty() && s.back() == '\r') s.pop_back();
    return s;
  };
  while (std::getline(in, code) && std::getline(in, value)) {
    code = trim(code), value = trim(value);
    if (code == "0") entity = value, onLayer.clear();
    if (code == "8") onLayer = value;
    const bool counted = onLayer == layer && (entity == "VERTEX" || entity == "LINE");
    if (code == "10" || code == "11") x = std::strtof(value.c_str(), nullptr);
    if ((code == "20" || code == "21") && counted) out.emplace_back(x, std::strtof(value.c_str(), nullptr));
  }
  return out;
}

TEST_F(HobOnUnitsTest, AHobDroppedOnAUnitLiesInItFollowsItAndIsKept) {
  plat::SetVirtualScreenSize(1280, 1024);
  const fs::path path = DemoPlan();
  Start(path.string());
  Send(zelvproViewBar::kTopColourCommand);

  // Two base units and a worktop on the floor, clear of the start plan's units.
  zelvproElement* first = DropUnit("Base", "VH-B60", PlanPixel(OnFloor(0.45f, 0.55f)));
  ASSERT_NE(first, nullptr) << "the first base unit was not placed";
  zelvproElement* second = DropUnit("Base", "VH-B60", PlanPixel(OnFloor(0.75f, 0.45f)));
  ASSERT_NE(second, nullptr) << "the second base unit was not placed";
  zelvproElement* worktop = DropUnit("Worktops", "VH-WT200", PlanPixel(OnFloor(0.3f, 0.85f)));
  ASSERT_NE(worktop, nullptr) << "the worktop was not placed";
  const std::string size = SizeOf(*first);
  EXPECT_NE(size.find("600"), std::string::npos) << size;
  EXPECT_NE(size.find("820"), std::string::npos) << size;
  const std::string worktopSize = SizeOf(*worktop);
  {
    const Box b = BodyInPlan(*first);
    std::printf("the base unit 60 without a hob: x %.1f..%.1f, y %.1f..%.1f, z %.1f..%.1f; panel \"%s\"\n",
                b.low.x, b.high.x, b.low.y, b.high.y, b.low.z, b.high.z, size.c_str());
  }
  Send(zelvproCanvas::kDeselectAll);

  // In the plan, on the first unit's middle.
  zelvproElement* hob = DropHob(*first, PlanPixel(PlanPoint(first, ppVector3(300.0f, 0.0f, 280.0f))));
  ExpectSeated(hob, *first, "on the base unit in the plan");
  EXPECT_EQ(SizeOf(*first), size) << "the unit's own size changed with the hob";

  // On the worktop, near its left end: the hob is kept on it.
  zelvproElement* onWorktop =
      DropHob(*worktop, PlanPixel(PlanPoint(worktop, ppVector3(100.0f, 0.0f, 100.0f))));
  ExpectSeated(onWorktop, *worktop, "on the worktop in the plan");
  EXPECT_EQ(SizeOf(*worktop), worktopSize);

  // On the drawer unit, which takes none: nothing is added and nothing said.
  zelvproElement* drawers = apptest::OnlyUnitNamed(Plan(), "D60");
  ASSERT_NE(drawers, nullptr);
  const int32_t units = Plan().Subviews().Count();
  EXPECT_EQ(DropHob(*drawers, PlanPixel(PlanPoint(drawers, ppVector3(300.0f, 0.0f, 280.0f)))), nullptr);
  EXPECT_TRUE(Accessories(*drawers).empty());
  EXPECT_EQ(Plan().Subviews().Count(), units);
  EXPECT_TRUE(plat::MessageBoxLog().empty()) << "a message was shown";

  // In the 3D view, on the second unit's top.
  Send(zelvproViewBar::k3DCommand);
  ASSERT_EQ(CurrentView(), zelvproViewBar::k3DView);
  zelvproElement* in3D = DropHob(*second, ScenePixel(PlanPoint(second, ppVector3(300.0f, 720.0f, 280.0f))));
  ExpectSeated(in3D, *second, "on the base unit in the 3D view");
  Send(zelvproViewBar::kTopColourCommand);
  EXPECT_EQ(SizeOf(*second), size);

  // The first unit moved and turned: the hob goes with it.
  ASSERT_NE(hob, nullptr);
  const ppVector3 hobPlace = hob->GetPosition();
  const ppVector3 firstAt = PlanPoint(first, ppVector3());
  const plat::POINT from = PlanPixel(PlanPoint(first, ppVector3(300.0f, 0.0f, 280.0f)));
  DragInFrame(DocumentPointInFrame(from), DocumentPointInFrame({from.x + 60, from.y + 40}));
  EXPECT_GT(std::abs(PlanPoint(first, ppVector3()).x - firstAt.x), 100.0f) << "the unit did not move";
  Send(zelvproCanvas::kDeselectAll);
  Click(*first);
  ASSERT_TRUE(first->IsSelected());
  const float angle = first->GetAbsoluteAngle();
  plat::Desktop::Key(plat::VK_CONTROL, true);
  plat::Desktop::Key(plat::VK_RIGHT, true);
  plat::Desktop::Key(plat::VK_RIGHT, false);
  plat::Desktop::Key(plat::VK_CONTROL, false);
  plat::HeadlessDriver::RunUntilIdle();
  EXPECT_GT(std::abs(first->GetAbsoluteAngle() - angle), 0.5f) << "the unit did not turn";
  EXPECT_EQ(hob->GetSupervisor(), first);
  EXPECT_EQ(hob->GetPosition().x, hobPlace.x);
  EXPECT_EQ(hob->GetPosition().z, hobPlace.z);
  ExpectSeated(hob, *first, "on the moved and turned base unit");
  {
    const Box h = BodyInPlan(*hob);
    std::printf("the hob on the turned unit: x %.1f..%.1f, y %.1f..%.1f, z %.1f..%.1f (plan)\n", h.low.x,
                h.high.x, h.low.y, h.high.y, h.low.z, h.high.z);
  }
  // The turn, the move and the drop in the 3D view undone, one step each: the hob leaves the second
  // unit; redone, it stands where it was dropped.
  Send(kUndo);
  Send(kUndo);
  Send(kUndo);
  EXPECT_TRUE(Accessories(*second).empty()) << "Undo did not take the hob off the second unit";
  Send(kRedo);
  ASSERT_EQ(Accessories(*second).size(), 1u);
  ExpectSeated(Accessories(*second).front(), *second, "on the base unit again after Redo");
  Send(kRedo);
  Send(kRedo);

  // Saved and opened again: every hob where it stood.
  struct Kept {
    std::string unit;
    ppVector3 unitAt, hobAt;
  };
  std::vector<Kept> kept;
  for (const char* name : {"B60", "WT200"})
    for (zelvproElement* unit : apptest::UnitsNamed(Plan(), name))
      for (zelvproElement* a : Accessories(*unit))
        kept.push_back({name, PlanPoint(unit, ppVector3()), a->GetPosition()});
  ASSERT_EQ(kept.size(), 3u);
  Send(zelvproWindow::kSave);
  app_.reset();
  gApplication = nullptr;
  Start(path.string());
  Send(zelvproViewBar::kTopColourCommand);
  int32_t found = 0;
  for (const Kept& k : kept)
    for (zelvproElement* unit : apptest::UnitsNamed(Plan(), k.unit)) {
      const ppVector3 at = PlanPoint(unit, ppVector3());
      if (std::abs(at.x - k.unitAt.x) > 0.05f || std::abs(at.z - k.unitAt.z) > 0.05f) continue;
      const std::vector<zelvproElement*> hobs = Accessories(*unit);
      ASSERT_EQ(hobs.size(), 1u) << k.unit << " opened again without its hob";
      ++found;
      EXPECT_NEAR(hobs[0]->GetPosition().x, k.hobAt.x, 0.01f);
      EXPECT_NEAR(hobs[0]->GetPosition().y, k.hobAt.y, 0.01f);
      EXPECT_NEAR(hobs[0]->GetPosition().z, k.hobAt.z, 0.01f);
      ExpectSeated(hobs[0], *unit, ("opened again: " + k.unit).c_str());
    }
  EXPECT_EQ(found, 3);

  // The drawing: every block of furniture, the hobs' among them, inside the room's walls.
  const std::string dxf = PrintDrawing();
  const std::vector<ppVector2> room = DrawingPoints(dxf, "ROOM"), furniture = DrawingPoints(dxf, "FURNITURE");
  ASSERT_FALSE(room.empty()) << "no room in the drawing";
  ASSERT_FALSE(furniture.empty()) << "no furniture in the drawing";
  ppVector2 low(1e9f, 1e9f), high(-1e9f, -1e9f);
  for (const ppVector2& p : room)
    low = ppVector2(std::min(low.x, p.x), std::min(low.y, p.y)),
    high = ppVector2(std::max(high.x, p.x), std::max(high.y, p.y));
  int32_t outside = 0;
  for (const ppVector2& p : furniture)
    outside += p.x < low.x - 0.5f || p.x > high.x + 0.5f || p.y < low.y - 0.5f || p.y > high.y + 0.5f;
  EXPECT_EQ(outside, 0) << "of " << furniture.size() << " furniture points; the room spans (" << low.x << ", "
                        << low.y << ") to (" << high.x << ", " << high.y << ")";
}

}  // namespace
