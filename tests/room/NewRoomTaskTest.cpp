// The room template swap, run as it is in the program: posted in a delayed task and run from the
// document window's message queue, with a document loader double in place of the document exchange.
#include <gtest/gtest.h>

#include <cstring>
#include <memory>
#include <string>

#include "elements/base/iApplicationSettings.h"
#include "elements/base/iElementHost.h"
#include "framework/ppSweeper.h"
#include "framework/ppSwitchBoard.h"
#include "platform/HeadlessDriver.h"
#include "platform/WindowApi.h"
#include "room/iDocumentLoader.h"
#include "room/ppDelayedTask.h"
#include "room/qxNewRoomCanvas.h"
#include "room/qxNewRoomTask.h"

namespace {

using namespace plat;

Handle Bytes(const std::string& text) {
  Handle h = nullptr;
  Vcon_HandleManager::MemNew(&h, uint32_t(text.size()));
  std::memcpy(*h, text.data(), text.size());
  return h;
}

std::string Text(Handle h) { return std::string(*h, size_t(MemGetSize(h))); }

// A room canvas that answers the two grid properties itself and counts its update requests.
class GridCanvas : public qxNewRoomCanvas {
 public:
  GridCanvas() : qxNewRoomCanvas(nullptr, RECT{0, 0, 800, 600}, nullptr) {}
  int32_t IndexOf(const Vcon::String& name) override {
    if (name == "GridEnabled") return 2;
    if (name == "GridSize") return 3;
    return kNoProperty;
  }
  ppParameter GetValue(int32_t index) override {
    if (index == 2) return ppParameter(GridEnabled());
    if (index == 3) return ppParameter(int32_t(GridSize()));
    return ppParameter();
  }
  void SetValue(int32_t index, const ppParameter& value) override {
    if (index == 2) gridEnabled = value.ToBool();
    if (index == 3) gridSize = value.ToFloat();
  }
  void SetGrid(bool on, float size) {
    gridEnabled = on;
    gridSize = size;
  }
  void ScheduleUpdate() override { ++updates; }
  int32_t updates = 0;
};

// The open document as bytes. Readable documents start with 'D'; swapping one in brings the grid of
// its own canvas record (off, 1000) onto the room canvas, as loading a template does.
class SwappingLoader : public iDocumentLoader {
 public:
  Handle LoadFromFile(Handle packed) override {
    if (MemGetSize(packed) == 0 || (*packed)[0] != 'D') return nullptr;
    Handle before = Bytes(document);
    document = Text(packed);
    if (canvas != nullptr) canvas->SetGrid(false, 1000.0f);
    return before;
  }
  std::string document = "D: the user's room";
  GridCanvas* canvas = nullptr;
};

class Listener : public ppCollaborator {
 public:
  Listener() { Subscribe(qxNewRoomCanvas::kRoomChannel, qxNewRoomCanvas::kRoomRebuilt); }
  void ReceiveMessage(ppCollaborator*, int32_t, int32_t, intptr_t) override { ++heard; }
  int32_t heard = 0;
};

class Host : public iElementHost {
 public:
  HWND DocumentWindow() override { return window; }
  HWND window = nullptr;
};

LRESULT RunsSweepers(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  if (message == ppSweeper::kMessage) {
    ppSweeper::RunAndDelete(lParam);
    return 0;
  }
  return DefWindowProcA(window, message, wParam, lParam);
}

// A task that notes whether it ran and went.
class NotingTask : public ppTask {
 public:
  NotingTask(bool* ran, bool* gone) : ran_(ran), gone_(gone) {}
  ~NotingTask() override { *gone_ = true; }
  void Do() override { *ran_ = true; }

 private:
  bool *ran_, *gone_;
};

class NewRoomTaskTest : public ::testing::Test {
 protected:
  void SetUp() override {
    HeadlessDriver::Reset();
    WNDCLASSA wc{};
    wc.lpfnWndProc = RunsSweepers;
    wc.lpszClassName = "DocumentWindow";
    RegisterClassA(&wc);
    host_.window = CreateWindowExA(0, "DocumentWindow", "", WS_VISIBLE, 0, 0, 100, 100, nullptr, nullptr,
                                   nullptr, nullptr);
    iElementHost::Install(&host_);
    listener_ = std::make_unique<Listener>();
    settings_.flags1 = iApplicationSettings::kAnnounceRoomRebuild;
    iApplicationSettings::Install(&settings_);
    canvas_ = std::make_unique<GridCanvas>();
    canvas_->SetGrid(true, 250.0f);
    floor_ = new zelvproElement(0, canvas_.get(), RECT{0, 0, 10, 10}, nullptr, 0, 0);
    floor_->Select(false);
    loader_.canvas = canvas_.get();
    iDocumentLoader::Install(&loader_);
    canvas_->Post(new ppTask());  // an earlier edit on the plan's undo history
    earlierEdit_ = canvas_->DoneTop();
    canvas_->updates = 0;
  }
  void TearDown() override {
    HeadlessDriver::RunUntilIdle();
    canvas_.reset();
    listener_.reset();
    HeadlessDriver::Reset();
  }

  // The user picks a room type whose template is `scene`; the catalogue's copy goes before the sweep.
  void PostTemplate(const std::string& scene) {
    Handle catalogueCopy = Bytes(scene);
    new ppDelayedTask(new qxNewRoomTask(catalogueCopy), canvas_.get());
    MemDispose(catalogueCopy);
  }
  void ExpectPlanUntouchedButDeselected(const char* what) {
    EXPECT_EQ(loader_.document, "D: the user's room") << what;
    EXPECT_TRUE(canvas_->GridEnabled()) << what;
    EXPECT_EQ(canvas_->GridSize(), 250.0f) << what;
    EXPECT_FALSE(floor_->IsSelected()) << what;
    EXPECT_EQ(canvas_->updates, 1) << what;
    EXPECT_EQ(listener_->heard, 0) << what;
    EXPECT_EQ(ppSweeper::PendingCount(), 0) << what;
  }

  Host host_;
  iApplicationSettings settings_;
  SwappingLoader loader_;
  std::unique_ptr<Listener> listener_;
  std::unique_ptr<GridCanvas> canvas_;
  zelvproElement* floor_ = nullptr;
  ppTask* earlierEdit_ = nullptr;
};

TEST_F(NewRoomTaskTest, ATemplateSwapRunsLaterKeepsTheGridAndStaysOffTheUndoHistory) {
  PostTemplate("D: an L-shaped room");
  EXPECT_EQ(loader_.document, "D: the user's room") << "nothing happens before the queue runs";
  EXPECT_TRUE(floor_->IsSelected());

  HeadlessDriver::RunUntilIdle();
  EXPECT_EQ(loader_.document, "D: an L-shaped room");
  EXPECT_TRUE(canvas_->GridEnabled());
  EXPECT_EQ(canvas_->GridSize(), 250.0f);
  EXPECT_EQ(listener_->heard, 1);
  EXPECT_FALSE(floor_->IsSelected());
  EXPECT_EQ(canvas_->updates, 1);
  EXPECT_EQ(canvas_->DoneTop(), earlierEdit_);
  EXPECT_EQ(canvas_->RedoTop(), nullptr);
  EXPECT_EQ(ppSweeper::PendingCount(), 0);
}

TEST_F(NewRoomTaskTest, UndoAndRedoSwapTheDocumentsBackAndForthWithoutTheGrid) {
  settings_.flags1 = 0;
  Handle scene = Bytes("D: an L-shaped room");
  qxNewRoomTask task(scene);
  MemDispose(scene);
  task.Do();
  EXPECT_EQ(Text(task.Before()), "D: the user's room");
  EXPECT_EQ(listener_->heard, 0) << "announced only when the option is set";
  canvas_->SetGrid(true, 250.0f);
  task.Undo();
  EXPECT_EQ(loader_.document, "D: the user's room");
  EXPECT_FALSE(canvas_->GridEnabled()) << "Undo brings the document's own grid";
  task.Redo();
  EXPECT_EQ(loader_.document, "D: an L-shaped room");
  EXPECT_EQ(Text(task.Before()), "D: the user's room");
}

TEST_F(NewRoomTaskTest, AnUnreadableTemplateLeavesTheDocumentAsItWas) {
  PostTemplate("not a document");
  HeadlessDriver::RunUntilIdle();
  ExpectPlanUntouchedButDeselected("unreadable template");

  Handle scene = Bytes("not a document");
  qxNewRoomTask task(scene);
  MemDispose(scene);
  task.Do();
  EXPECT_EQ(task.Before(), nullptr);
  task.Undo();
  task.Redo();
  EXPECT_EQ(loader_.document, "D: the user's room");
}

TEST_F(NewRoomTaskTest, WithoutATaskOnlyTheSelectionGoesAndTheCanvasUpdates) {
  new ppDelayedTask(nullptr, canvas_.get());
  HeadlessDriver::RunUntilIdle();
  ExpectPlanUntouchedButDeselected("room type 12");
}

TEST_F(NewRoomTaskTest, ATaskWhoseWindowIsGoneIsFreedUnrun) {
  bool ran = false, gone = false;
  host_.window = nullptr;
  new ppDelayedTask(new NotingTask(&ran, &gone), canvas_.get());
  HeadlessDriver::RunUntilIdle();
  EXPECT_FALSE(ran);
  EXPECT_TRUE(gone);
  EXPECT_TRUE(floor_->IsSelected());
}

}  // namespace
