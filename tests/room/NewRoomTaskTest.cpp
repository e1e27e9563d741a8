// The room template swap, run as it is in the program: posted in a delayed task and run from the
// document window's message queue. A loader double stands in for the document exchange: a document
// is the room canvas's module table, loaded with the canvas's own LoadPlanModules.
#include <gtest/gtest.h>

#include <cstring>
#include <memory>
#include <string>
#include <vector>

#include "catalogue/records/zelvproDocModuleFil.h"
#include "elements/base/iApplicationSettings.h"
#include "elements/units/WallTopViewRecord.h"
#include "framework/ppSweeper.h"
#include "platform/HeadlessDriver.h"
#include "platform/WindowApi.h"
#include "room/RoomTestSupport.h"
#include "room/iDocumentLoader.h"
#include "room/ppDelayedTask.h"
#include "room/qxNewRoomCanvas.h"
#include "room/qxNewRoomTask.h"

namespace {

using namespace plat;
using V = ppVector3;

// A room canvas that counts its update requests instead of posting them.
class CountingCanvas : public qxNewRoomCanvas {
 public:
  explicit CountingCanvas(zelvDatabase* db) : qxNewRoomCanvas(nullptr, RECT{0, 0, 800, 600}, db) {}
  void ScheduleUpdate() override { ++updates; }
  int32_t updates = 0;
};

// The open document is the room canvas's module table. A handle that holds no module record cannot
// be read.
class ModuleTableLoader : public iDocumentLoader {
 public:
  ModuleTableLoader(zelvDatabase& db, qxNewRoomCanvas& canvas) : db_(db), canvas_(canvas) {}

  Handle LoadFromFile(Handle packed) override {
    Handle copy = nullptr;
    MemDuplicate(packed, &copy);
    Handle before = nullptr;
    {
      zelvproDocModuleFil table(db_, copy);
      table.LoadFromBlob();
      if (table.GetRecordCount() > 0) {
        before = Save(db_, canvas_);
        while (canvas_.Subviews().Count() > 0) delete canvas_.Subviews().At(0);
        canvas_.ClearRoom();
        canvas_.LoadPlanModules(table);
      }
    }
    MemDispose(copy);
    return before;
  }

  static Handle Save(zelvDatabase& db, qxNewRoomCanvas& canvas) {
    Handle blob = nullptr;
    Vcon_HandleManager::MemNew(&blob, 0);
    zelvproDocModuleFil table(db, blob);
    canvas.SaveTree(table, false, 0);
    table.SaveToBlob();
    return blob;
  }

 private:
  zelvDatabase& db_;
  qxNewRoomCanvas& canvas_;
};

class Listener : public ppCollaborator {
 public:
  Listener() { Subscribe(qxNewRoomCanvas::kRoomChannel, qxNewRoomCanvas::kRoomRebuilt); }
  void ReceiveMessage(ppCollaborator*, int32_t, int32_t, intptr_t) override { ++heard; }
  int32_t heard = 0;
};

// A task that notes whether it ran and went.
class NotingTask : public ppTask {
 public:
  NotingTask(bool* ran, bool* gone) : ran_(ran), gone_(gone) {}
  ~NotingTask() override { *gone_ = true; }
  void Do() override { *ran_ = true; }

 private:
  bool *ran_, *gone_;
};

class NewRoomTaskTest : public roomtest::RoomTest {
 protected:
  void SetUp() override {
    HeadlessDriver::Reset();
    RoomTest::SetUp();
    WallTopViewRecord::Reset();
    host_.documentWindow = eltest::OpenSweeperWindow("DocumentWindow");
    settings_.flags1 = iApplicationSettings::kAnnounceRoomRebuild;
    iApplicationSettings::Install(&settings_);
    listener_ = std::make_unique<Listener>();

    // The template: a three-wall room drawn on a grid of 1000 that is switched off. Both rooms lie
    // clear of the 500 mm margin, so that loading them moves nothing.
    {
      qxNewRoomCanvas templ(nullptr, RECT{0, 0, 800, 600}, db_);
      SetGrid(templ, false, u"1000");
      AddWall(templ, V(500, 0, 500), V(4500, 0, 500));
      AddWall(templ, V(4500, 0, 500), V(4500, 0, 3500));
      AddWall(templ, V(4500, 0, 3500), V(500, 0, 500));
      template_ = ModuleTableLoader::Save(*db_, templ);
    }
    // The user's room: one wall on a grid of 250 that is on, with an element selected.
    room_ = std::make_unique<CountingCanvas>(db_);
    SetGrid(*room_, true, u"250");
    AddWall(*room_, V(500, 0, 500), V(1500, 0, 500))->Select(false);
    loader_ = std::make_unique<ModuleTableLoader>(*db_, *room_);
    iDocumentLoader::Install(loader_.get());
    room_->Post(new ppTask());  // an earlier edit on the plan's undo history
    earlierEdit_ = room_->DoneTop();
    room_->updates = 0;
  }
  void TearDown() override {
    HeadlessDriver::RunUntilIdle();
    iDocumentLoader::Install(nullptr);
    iApplicationSettings::Install(nullptr);
    MemDispose(template_);
    room_.reset();
    listener_.reset();
    RoomTest::TearDown();
  }

  static void SetGrid(qxNewRoomCanvas& canvas, bool on, const char16_t* size) {
    canvas.SetValueByName("GridEnabled", ppParameter(on), false);
    canvas.SetValueByName("GridSize", ppParameter(size), false);
  }
  qxRoomSegment* AddWall(qxNewRoomCanvas& canvas, const V& start, const V& end) {
    db_->TopViewFile().ReadRecord(topView_, nullptr);
    auto* wall = new qxRoomSegment(topView_, &canvas, RECT{0, 0, 10, 10},
                                   db_->TopViewFile().GetRecordBuffer(), db_->ShapeFile());
    wall->SetEnds(start, end);
    return wall;
  }
  // The x of every wall's end, in child order: which room the canvas holds.
  std::vector<float> WallEnds() const {
    std::vector<float> out;
    for (int32_t i = 0; i < room_->Subviews().Count(); ++i)
      if (auto* wall = dynamic_cast<qxRoomSegment*>(room_->Subviews().At(i))) out.push_back(End(*wall));
    return out;
  }
  static float End(const qxRoomSegment& wall) {
    V end;
    wall.GetEndPoint(end);
    return end.x;
  }
  bool AnySelected() const {
    for (int32_t i = 0; i < room_->Subviews().Count(); ++i)
      if (static_cast<zelvproElement*>(room_->Subviews().At(i))->IsSelected()) return true;
    return false;
  }
  // The user picks a room type; the catalogue's copy of the template goes before the sweep.
  void PostTemplate(Handle scene) {
    Handle catalogueCopy = nullptr;
    MemDuplicate(scene, &catalogueCopy);
    new ppDelayedTask(new qxNewRoomTask(catalogueCopy), room_.get());
    MemDispose(catalogueCopy);
  }
  void ExpectUsersRoomDeselectedAndUpdated(const char* what) {
    EXPECT_EQ(WallEnds(), kUsersRoom) << what;
    EXPECT_TRUE(room_->GridEnabled()) << what;
    EXPECT_EQ(room_->GridSize(), 250.0f) << what;
    EXPECT_FALSE(AnySelected()) << what;
    EXPECT_EQ(room_->updates, 1) << what;
    EXPECT_EQ(listener_->heard, 0) << what;
    EXPECT_EQ(ppSweeper::PendingCount(), 0) << what;
  }

  const std::vector<float> kUsersRoom{1500.0f}, kTemplateRoom{4500.0f, 4500.0f, 500.0f};
  iApplicationSettings settings_;
  std::unique_ptr<Listener> listener_;
  std::unique_ptr<CountingCanvas> room_;
  std::unique_ptr<ModuleTableLoader> loader_;
  Handle template_ = nullptr;
  ppTask* earlierEdit_ = nullptr;
};

TEST_F(NewRoomTaskTest, ATemplateSwapRunsLaterKeepsTheGridAndStaysOffTheUndoHistory) {
  PostTemplate(template_);
  EXPECT_EQ(WallEnds(), kUsersRoom) << "nothing happens before the queue runs";
  EXPECT_TRUE(AnySelected());

  HeadlessDriver::RunUntilIdle();
  EXPECT_EQ(WallEnds(), kTemplateRoom);
  EXPECT_EQ(host_.modifiedMarks, 1) << "a replaced room is a change the save question asks about";
  EXPECT_TRUE(room_->GridEnabled());
  EXPECT_EQ(room_->GridSize(), 250.0f);
  EXPECT_EQ(listener_->heard, 1);
  EXPECT_EQ(room_->updates, 1);
  EXPECT_EQ(room_->DoneTop(), earlierEdit_);
  EXPECT_EQ(room_->RedoTop(), nullptr);
  EXPECT_EQ(ppSweeper::PendingCount(), 0);
}

TEST_F(NewRoomTaskTest, UndoAndRedoSwapTheRoomsBackAndForthEachWithItsOwnGrid) {
  settings_.flags1 = 0;
  qxNewRoomTask task(template_);
  task.Do();
  EXPECT_EQ(WallEnds(), kTemplateRoom);
  EXPECT_EQ(listener_->heard, 0) << "announced only when the option is set";
  task.Undo();
  EXPECT_EQ(WallEnds(), kUsersRoom);
  EXPECT_TRUE(room_->GridEnabled());
  EXPECT_EQ(room_->GridSize(), 250.0f);
  task.Redo();
  EXPECT_EQ(WallEnds(), kTemplateRoom);
  EXPECT_EQ(host_.modifiedMarks, 3) << "the swap, its undo and its redo each change the plan";
  EXPECT_FALSE(room_->GridEnabled()) << "Redo keeps no grid";
  EXPECT_EQ(room_->GridSize(), 1000.0f);
}

TEST_F(NewRoomTaskTest, AnUnreadableTemplateLeavesTheDocumentAsItWas) {
  Handle garbage = nullptr;
  Vcon_HandleManager::MemNew(&garbage, 14);
  std::memcpy(*garbage, "not a document", 14);
  PostTemplate(garbage);
  HeadlessDriver::RunUntilIdle();
  ExpectUsersRoomDeselectedAndUpdated("unreadable template");

  qxNewRoomTask task(garbage);
  MemDispose(garbage);
  task.Do();
  EXPECT_EQ(task.Before(), nullptr);
  task.Undo();
  task.Redo();
  EXPECT_EQ(WallEnds(), kUsersRoom);
  EXPECT_EQ(host_.modifiedMarks, 0) << "nothing was replaced";
}

TEST_F(NewRoomTaskTest, WithoutATaskOnlyTheSelectionGoesAndTheCanvasUpdates) {
  new ppDelayedTask(nullptr, room_.get());
  HeadlessDriver::RunUntilIdle();
  ExpectUsersRoomDeselectedAndUpdated("room type 12");
}

TEST_F(NewRoomTaskTest, ATaskWhoseWindowIsGoneIsFreedUnrun) {
  bool ran = false, gone = false;
  host_.documentWindow = nullptr;
  new ppDelayedTask(new NotingTask(&ran, &gone), room_.get());
  HeadlessDriver::RunUntilIdle();
  EXPECT_FALSE(ran);
  EXPECT_TRUE(gone);
  EXPECT_TRUE(AnySelected());
}

}  // namespace
