// The started program twice over, for scenarios a user walks in the built program's window: first in
// this process, headless, on a screen of the display's size, to learn where views, buttons, fields
// and menu items lie; then on a display of that size (windowrun::Run), driven by steps placed from
// what was learnt, with the window's grabs read back in the frame's client pixels. A test skips when
// xvfb-run or the driver is missing.
#pragma once

#include <algorithm>
#include <cstdint>
#include <filesystem>
#include <fstream>
#include <functional>
#include <map>
#include <string>
#include <vector>

#include "PlanUnits.h"
#include "StartedProgram.h"
#include "WindowRun.h"
#include "elements/base/ElementChildren.h"
#include "elements/base/PlanPixels.h"
#include "foundation/ppVector3.h"
#include "framework/ppView.h"
#include "platform/Desktop.h"
#include "platform/MenuBar.h"
#include "room/qxWallElement.h"

namespace apptest {

class WindowRunFixture : public StartedProgramTest {
 protected:
  void SetUp() override {
    std::string why;
    if (!windowrun::Available(&why)) GTEST_SKIP() << why << ": the program in a window is not tested";
    StartedProgramTest::SetUp();
    ScreenSize(width_, height_);
  }

  // The screen in this process and the display's, in pixels (1280 by 1024 unless a test says).
  void ScreenSize(int width, int height) {
    width_ = width;
    height_ = height;
    plat::SetVirtualScreenSize(width, height);
  }

  // The start-up in this process, with the frame's client area noted in `client_`; `Stop` ends it
  // before the program runs on the display.
  zelvProApp& Begin(const std::string& commandLine = "") {
    zelvProApp& app = Start(commandLine);
    plat::GetClientRect(app.Frame(), &client_);
    return app;
  }
  zelvProApp& BeginOnThePlan() { return Begin(DemoPlan().string()); }
  void Stop() {
    app_.reset();
    gApplication = nullptr;
  }

  // The built program on the display, in the copy's root, with the driver's `steps` beside it.
  windowrun::Outcome Run(const std::vector<std::string>& steps, int seconds,
                         const std::string& arguments = "", const std::string& environment = "",
                         bool windowManager = false) {
    return windowrun::Run(demo_.Root(), arguments, steps, seconds, width_, height_, environment,
                          windowManager);
  }
  // A path as one argument of the program's command line.
  static std::string Quoted(const std::filesystem::path& path) { return "'" + path.string() + "'"; }

  // Places in the frame's client pixels: a view's rectangle, a point of `window`'s client area, a
  // window's rectangle, and a plan point where the document window draws it.
  plat::RECT Frame(ppView& view) const { return windowrun::InFrame(view, app_->Frame()); }
  plat::POINT InFrame(plat::HWND window, plat::POINT p) const {
    plat::ClientToScreen(window, &p);
    plat::POINT origin{0, 0};
    plat::ClientToScreen(app_->Frame(), &origin);
    return {p.x - origin.x, p.y - origin.y};
  }
  plat::RECT WindowInFrame(plat::HWND window) const { return WindowIn(window, app_->Frame()); }
  plat::POINT PlanPixel(const ppVector3& p) const {
    plat::POINT pixel{};
    PlanPointToScreen(p, pixel);
    return InFrame(app_->DocumentWindow()->GetHWND(), pixel);
  }
  // `window`'s rectangle in the client pixels of `client` (a box's button in the box, say).
  static plat::RECT WindowIn(plat::HWND window, plat::HWND client) {
    plat::RECT r{};
    plat::GetWindowRect(window, &r);
    plat::POINT origin{0, 0};
    plat::ClientToScreen(client, &origin);
    return {r.left - origin.x, r.top - origin.y, r.right - origin.x, r.bottom - origin.y};
  }
  static plat::POINT Middle(const plat::RECT& r) { return {(r.left + r.right) / 2, (r.top + r.bottom) / 2}; }
  static plat::RECT Grown(plat::RECT r, int by) {
    return {r.left - by, r.top - by, r.right + by, r.bottom + by};
  }
  static plat::RECT Moved(plat::RECT r, int dx, int dy) {
    return {r.left + dx, r.top + dy, r.right + dx, r.bottom + dy};
  }

  // A driver step's place: for a client point (or a rectangle's centre), x, and y counted up from
  // the window's bottom edge, which is the client area's; for a popup's pixels, as they stand.
  std::string Place(plat::POINT p) const {
    return std::to_string(p.x) + "," + std::to_string(p.y - client_.bottom);
  }
  std::string Place(const plat::RECT& r) const { return windowrun::Centre(r, client_.bottom); }
  static std::string PopupPlace(const plat::RECT& r) {
    return std::to_string((r.left + r.right) / 2) + "," + std::to_string((r.top + r.bottom) / 2);
  }

  // The box `command` opens: its title and its Cancel button's place in the box's pixels, read as it
  // opens and answered with Cancel.
  struct BoxFace {
    std::string title, cancel;
  };
  BoxFace FaceOfTheBox(int32_t command) {
    BoxFace face;
    plat::HeadlessDriver::SetIdleScript([&] {
      const plat::HWND box = plat::GetActiveWindow();
      if (box == nullptr || box == app_->Frame()) return false;
      char16_t text[256] = {};
      plat::GetWindowTextW(box, text, 256);
      face.title = Vcon::Utf8FromUtf16(text);
      face.cancel = PopupPlace(WindowIn(plat::GetDlgItem(box, plat::IDCANCEL), box));
      return plat::PostMessageA(box, plat::WM_COMMAND, plat::IDCANCEL, 0) != 0;
    });
    Send(command);
    plat::HeadlessDriver::SetIdleScript(cancelsDialogs_ ? CancelActiveWindow : std::function<bool()>());
    return face;
  }

  // Where the items of menu `index` lie in its popup's pixels, by command id: the menu is opened with
  // a click on its title, as the user opens it, since the program fills and greys its items as it opens.
  std::map<uint32_t, plat::RECT> MenuItems(int32_t index) {
    const plat::RECT title = plat::MenuBarItemRects(app_->Frame())[size_t(index)];
    std::map<uint32_t, plat::RECT> items;
    plat::HeadlessDriver::SetIdleScript([&] {
      if (items.empty()) {
        const plat::HMENU popup = plat::GetSubMenu(plat::GetMenu(app_->Frame()), index);
        for (int32_t position = 0; position < plat::GetMenuItemCount(popup); ++position)
          items.emplace(plat::GetMenuItemID(popup, position), plat::PopupItemRect(popup, position));
      }
      plat::Desktop::Key(plat::VK_ESCAPE, true);
      return true;
    });
    plat::Desktop::Click(Middle(title));
    plat::HeadlessDriver::RunUntilIdle();
    plat::HeadlessDriver::SetIdleScript(nullptr);
    return items;
  }

  // The steps that open menu item `id` from the menu bar, as a user clicks them.
  std::vector<std::string> Choose(uint32_t id) {
    const int32_t menus = plat::GetMenuItemCount(plat::GetMenu(app_->Frame()));
    for (int32_t index = 0; index < menus; ++index) {
      const std::map<uint32_t, plat::RECT> items = MenuItems(index);
      const auto item = items.find(id);
      if (item == items.end()) continue;
      plat::POINT title = Middle(plat::MenuBarItemRects(app_->Frame())[size_t(index)]);
      plat::ScreenToClient(app_->Frame(), &title);
      return {"click:" + Place(title), "popup", "popclick:" + PopupPlace(item->second)};
    }
    ADD_FAILURE() << "no menu offers item " << id;
    return {};
  }
  // A file that is no plan, beside the settings.
  std::filesystem::path Unreadable(const char* name) {
    const std::filesystem::path file = demo_.Root() / name;
    std::ofstream(file) << "this is no plan";
    return file;
  }
  // The driver's step that starts the program a second time on `file`, beside the first and with its
  // lock folder, so that it hands the file over.
  std::string SecondStart(const std::filesystem::path& file) const {
    return "spawn:XDG_RUNTIME_DIR=\"" + (demo_.Root() / "runtime").string() + "\" ./planner \"" +
           file.string() + "\"";
  }

  // The first shown view of type T under `view` (that `wanted` accepts), and all of them in view order.
  template <typename T>
  static T* Find(ppView& view, const std::function<bool(T&)>& wanted = nullptr) {
    if (!view.IsShown()) return nullptr;
    if (auto* t = dynamic_cast<T*>(&view); t != nullptr && (!wanted || wanted(*t))) return t;
    for (int32_t i = 0; i < view.Subviews().Count(); ++i)
      if (T* found = Find<T>(*view.Subviews().At(i), wanted)) return found;
    return nullptr;
  }
  template <typename T>
  static std::vector<T*> All(ppView& view) {
    std::vector<T*> found;
    std::function<void(ppView&)> walk = [&](ppView& v) {
      if (!v.IsShown()) return;
      if (auto* t = dynamic_cast<T*>(&v)) found.push_back(t);
      for (int32_t i = 0; i < v.Subviews().Count(); ++i) walk(*v.Subviews().At(i));
    };
    walk(view);
    return found;
  }
  // The walls among the elements under `view`, at any depth.
  static std::vector<qxWallElement*> Walls(const ppView& view) { return WallsUnder(view); }

  // The step that grabs the frame to `name` in the copy's root, and that grab read back.
  std::string GrabStep(const std::string& name) const { return "grab:" + (demo_.Root() / name).string(); }
  windowrun::Grab Grabbed(const std::string& name) const { return windowrun::ReadPpm(demo_.Root() / name); }
  // A grab shows the menu bar above the client area: its height, and a client point's pixel.
  int MenuBar(const windowrun::Grab& g) const { return g.height - client_.bottom; }
  uint32_t At(const windowrun::Grab& g, plat::POINT p) const { return g.At(p.x, p.y + MenuBar(g)); }
  // Pixels of `area` (client pixels, cut to the grabs) that differ between two grabs of the window
  // (-1: the grabs' sizes differ or they are empty).
  int64_t Differing(const windowrun::Grab& a, const windowrun::Grab& b, plat::RECT area) const {
    if (a.width != b.width || a.height != b.height || a.width == 0) return -1;
    const int below = MenuBar(a);
    area = {std::max(area.left, 0), std::max(area.top + below, 0), std::min(area.right, a.width),
            std::min(area.bottom + below, a.height)};
    int64_t count = 0;
    for (int y = area.top; y < area.bottom; ++y)
      for (int x = area.left; x < area.right; ++x) count += a.At(x, y) != b.At(x, y);
    return count;
  }

  plat::RECT client_{};  // the frame's client area in this process
  int width_ = 1280, height_ = 1024;
};

}  // namespace apptest
