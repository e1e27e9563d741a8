// The started program on a copy of the demo settings, for tests that work it through its frame as the
// menus and keys do: the start-up as the entry runs it, without the message loop, every dialog or box
// a command opens cancelled as soon as its loop waits. The document commands are the program's own
// unless a test names others before Start.
#pragma once

#include <gtest/gtest.h>

#include <filesystem>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "app/shell/iShellServices.h"
#include "app/shell/zelvProApp.h"
#include "canvas/window/iDocumentCommands.h"
#include "canvas/palette/zelvproElementPalette.h"
#include "canvas/palette/zelvproElementPane.h"
#include "canvas/palette/zelvproElementScroller.h"
#include "canvas/window/zelvproWindow.h"
#include "catalogue/records/WarningQuestion.h"
#include "controls/zelvproWarningDialog.h"
#include "catalogue/browser/qxCatalog.h"
#include "catalogue/browser/qxNode.h"
#include "catalogue/browser/qxTopNode.h"
#include "catalogue/databases/zelvDatabase.h"
#include "catalogue/records/RecordField.h"
#include "catalogue/records/zelvproTopViewFil.h"
#include "foundation/FileDialogs.h"
#include "foundation/PosixPath.h"
#include "foundation/ProcessServices.h"
#include "foundation/UserPreferences.h"
#include "platform/Desktop.h"
#include "platform/HeadlessDriver.h"
#include "platform/LayerClock.h"
#include "platform/ScreenMetrics.h"
#include "platform/TreeView.h"
#include "platform/UserLanguage.h"
#include "platform/WindowApi.h"
#include "support/DemoSettings.h"

namespace apptest {

class StartedProgramTest : public ::testing::Test {
 protected:
  void SetUp() override {
    plat::HeadlessDriver::Reset();
    savedPreferences_ = Preferences();
    savedFolder_ = std::filesystem::current_path();
    plat::SetUserDefaultLangID(plat::kLangEnglish);
    iShellServices::Install(&services_);
  }
  void TearDown() override {
    app_.reset();
    gApplication = nullptr;
    std::filesystem::current_path(savedFolder_);
    plat::HeadlessDriver::Reset();
    plat::ResetUserDefaultLangID();
    Preferences() = savedPreferences_;
    ApplyDerivedSettings();
  }

  // The copy's root as the program folder (program form) and the current folder.
  void EnterProgramFolder() {
    std::filesystem::current_path(demo_.Root());
    std::string folder = demo_.Root().string() + "/";
    for (char& c : folder)
      if (c == '/') c = '\\';
    ProgramFolder = Vcon::WString(Vcon::Utf16FromUtf8(folder));
    SetStartupDirectory(ProgramFolder);
  }

  // `commandLine` names a document to open (empty: resume the autosaved one).
  zelvProApp& Start(std::string commandLine = "") {
    EnterProgramFolder();
    gScreenRect = {0, 0, plat::GetSystemMetrics(plat::SM_CXFULLSCREEN),
                   plat::GetSystemMetrics(plat::SM_CYFULLSCREEN)};
    app_ = std::make_unique<zelvProApp>(nullptr, nullptr);
    gApplication = app_.get();
    if (documentCommands_ != nullptr) app_->SetDocumentCommands(documentCommands_);
    app_->SetCommandLine(std::move(commandLine));
    app_->Startup();
    plat::HeadlessDriver::RunUntilIdle();
    if (cancelsDialogs_) plat::HeadlessDriver::SetIdleScript(CancelActiveWindow);
    return *app_;
  }
  // The driver's steps (tests/support/X11Drive.cpp) that close the program's window on a display as
  // its close box does and answer the question about the changed plan with Don't Save, which ends the
  // program: the end of a scenario that leaves the plan changed. The question's title and where its
  // button lies are learnt by asking it here: call this while the program runs in this process.
  std::vector<std::string> CloseWithoutSaving() {
    std::string title, dontSave;
    plat::HeadlessDriver::SetIdleScript([&] {
      const plat::HWND box = plat::GetActiveWindow();
      if (box == nullptr || box == app_->Frame()) return false;
      char16_t text[256] = {};
      plat::GetWindowTextW(box, text, 256);
      title = Vcon::Utf8FromUtf16(text);
      // The button's middle in the box's pixels.
      plat::RECT button{};
      plat::GetWindowRect(plat::GetDlgItem(box, zelvproWarningDialog::kNo), &button);
      plat::POINT origin{0, 0};
      plat::ClientToScreen(box, &origin);
      dontSave = std::to_string((button.left + button.right) / 2 - origin.x) + "," +
                 std::to_string((button.top + button.bottom) / 2 - origin.y);
      return plat::PostMessageA(box, plat::WM_COMMAND, plat::IDCANCEL, 0) != 0;
    });
    ShowWarningQuestion();
    plat::HeadlessDriver::SetIdleScript(cancelsDialogs_ ? CancelActiveWindow : std::function<bool()>());
    EXPECT_FALSE(title.empty()) << "the question about unsaved changes did not show";
    return {"close", "title:" + title, "quit:" + dontSave};
  }

  // The idle script by which every dialog, box or window a command opens is cancelled as soon as its
  // loop waits.
  static bool CancelActiveWindow() {
    plat::HWND active = plat::GetActiveWindow();
    return active != nullptr && plat::PostMessageA(active, plat::WM_COMMAND, plat::IDCANCEL, 0);
  }

  // A copy of the demo's start plan beside the settings, and the program started on it as a document
  // named on the command line.
  std::filesystem::path DemoPlan() {
    const std::filesystem::path plan = demo_.Root() / "user" / "new.qxf";
    std::filesystem::create_directories(plan.parent_path());
    std::filesystem::copy_file(std::filesystem::path(DEMO_USER_DIR) / "new.qxf", plan,
                               std::filesystem::copy_options::overwrite_existing);
    return plan;
  }
  zelvProApp& StartOnThePlan() { return Start(DemoPlan().string()); }

  // The copy's top-view record named `topView` made a configurable unit (element type 4), as a
  // retailer's catalogue may offer one where the demo offers none; call it before Start.
  void MakeConfigurable(const std::string& topView) {
    ppFileSpec file{Vcon::WString(demo_.File("catalogs/kitchen.cdb").string().c_str())};
    zelvDatabase db(file);
    zelvproTopViewFil& views = db.TopViewFile();
    views.SelectAll();
    for (int32_t i = 0; i < views.GetSelectedCount(); ++i) {
      const int32_t id = views.RecordIdAt(i);
      views.ReadRecord(id, nullptr);
      if (RecordField(views, "Name").Text(views.GetRecordBuffer()) != topView) continue;
      views.BeginTransaction();
      RecordField(views, "Type").SetLong(views.GetRecordBuffer(), 4);  // the element type, not the class
      views.WriteRecord(id, nullptr);
      views.EndTransaction();
      return;
    }
    ADD_FAILURE() << "the catalogue has no top view " << topView;
  }

  // As the frame's menu and keys send it.
  void Send(int32_t command) {
    plat::SendMessageA(app_->Frame(), plat::WM_COMMAND, plat::WPARAM(uint16_t(command)), 0);
    plat::HeadlessDriver::RunUntilIdle();
  }
  int32_t CurrentView() { return app_->DocumentWindow()->CurrentViewId(); }

  // Drags with the first button from `from` to `to` (frame client pixels) in this process, as the
  // display's driver does: pressed, held 300 ms, moved through the halfway point, released.
  void DragInFrame(plat::POINT from, plat::POINT to) {
    plat::POINT origin{0, 0};
    plat::ClientToScreen(app_->Frame(), &origin);
    auto onDesktop = [&](plat::POINT p) { return plat::POINT{p.x + origin.x, p.y + origin.y}; };
    plat::Desktop::MouseMove(onDesktop(from));
    plat::HeadlessDriver::RunUntilIdle();
    plat::Desktop::MouseButton(plat::VK_LBUTTON, true, onDesktop(from));
    plat::HeadlessDriver::RunUntilIdle();
    plat::LayerClock::Advance(300);
    plat::Desktop::MouseMove(onDesktop({(from.x + to.x) / 2, (from.y + to.y) / 2}));
    plat::HeadlessDriver::RunUntilIdle();
    plat::Desktop::MouseMove(onDesktop(to));
    plat::HeadlessDriver::RunUntilIdle();
    plat::Desktop::MouseButton(plat::VK_LBUTTON, false, onDesktop(to));
    plat::HeadlessDriver::RunUntilIdle();
  }

  // Opens the palette's group `name` as the user does, with a click in the middle of each closed row
  // down to it (a group already open is not clicked again); each click's place in the frame's client
  // pixels is added to `clicks`. Null when the group is not found or not opened.
  qxNode* OpenGroup(const char* name, std::vector<plat::POINT>& clicks) {
    qxCatalog* browser = app_->DocumentWindow()->Palette()->Browser();
    qxNode* group = nullptr;
    std::function<bool(qxNode&)> find = [&](qxNode& node) {
      for (qxNode* child = node.FirstChild(); child != nullptr; child = child->NextSibling())
        if ((child->ItemRecordId() == 0 && std::string(child->Name().c_str()) == name) || find(*child)) {
          if (group == nullptr) group = child;
          return true;
        }
      return false;
    };
    find(browser->Top(browser->CurrentTreeIndex()));
    if (group == nullptr) return nullptr;
    std::vector<qxNode*> path;
    for (qxNode* n = group; n != nullptr && n->TreeItem() != nullptr; n = n->Parent())
      path.insert(path.begin(), n);
    const plat::HWND tree = browser->TreeWindow(browser->CurrentTreeIndex());
    for (qxNode* n : path) {
      plat::RECT row{};
      *reinterpret_cast<plat::HTREEITEM*>(&row) = n->TreeItem();
      if (plat::SendMessageA(tree, plat::TVM_GETITEMRECT, 1, plat::LPARAM(&row)) == 0) return nullptr;
      if (n != group && n->FirstChild() != nullptr) {
        plat::RECT childRow{};
        *reinterpret_cast<plat::HTREEITEM*>(&childRow) = n->FirstChild()->TreeItem();
        if (plat::SendMessageA(tree, plat::TVM_GETITEMRECT, 1, plat::LPARAM(&childRow)) != 0) continue;
      }
      plat::POINT onDesktop{(row.left + row.right) / 2, (row.top + row.bottom) / 2};
      plat::ClientToScreen(tree, &onDesktop);
      plat::Desktop::Click(onDesktop);
      plat::HeadlessDriver::RunUntilIdle();
      plat::POINT origin{0, 0};
      plat::ClientToScreen(app_->Frame(), &origin);
      clicks.push_back({onDesktop.x - origin.x, onDesktop.y - origin.y});
    }
    return browser->CurrentNode() == group ? group : nullptr;
  }

  // Pulls item `item` of the palette's group `group` into the plan and releases it on `to` (document
  // window pixels) as the user does: the group opened, the strip scrolled until the item shows.
  void DropFromPalette(const char* group, const char* item, plat::POINT to) {
    std::vector<plat::POINT> clicks;
    qxNode* node = OpenGroup(group, clicks);
    ASSERT_NE(node, nullptr) << group;
    int32_t column = 0;
    for (qxNode* n = node->FirstChild(); n != nullptr && std::string(n->Name().c_str()) != item;
         n = n->NextSibling())
      ++column;
    zelvproElementScroller& strip = *app_->DocumentWindow()->Palette()->Pane()->Strip();
    plat::RECT cell{}, shown{};
    strip.GetWindowFrame(&shown);
    strip.GetCellRect(column, 0, &cell);
    for (int32_t step = 0; step < 100 && cell.right > shown.right; ++step) {
      strip.ScrollBy(1, 0);
      strip.GetCellRect(column, 0, &cell);
    }
    DragInFrame(DocumentPointInFrame({(cell.left + cell.right) / 2, (cell.top + cell.bottom) / 2}),
                DocumentPointInFrame(to));
  }
  // A point of the document window's client area in the frame's.
  plat::POINT DocumentPointInFrame(plat::POINT p) const {
    plat::ClientToScreen(app_->DocumentWindow()->GetHWND(), &p);
    plat::ScreenToClient(app_->Frame(), &p);
    return p;
  }

  DemoSettings demo_;
  iDocumentCommands* documentCommands_ = nullptr;  // null: the program's own
  bool cancelsDialogs_ = true;                     // false: a test answers them itself
  iShellServices services_;                        // the neutral ones: no server, no mail
  std::unique_ptr<zelvProApp> app_;
  UserPreferences savedPreferences_;
  std::filesystem::path savedFolder_;
};

}  // namespace apptest
