// Property data units and their undoable change tasks: one undo step per distinct value, undo and
// redo with the notification of the original edit, the edit bracket of view holders, and targets
// without undo.
#include <gtest/gtest.h>

#include <string>

#include "database/iProperty.h"
#include "framework/iUndoer.h"
#include "framework/iViewHolder.h"
#include "framework/ppPropertyDataUnit.h"
#include "framework/ppPropertyDataUnitTask.h"
#include "framework/ppUndoer.h"

namespace {

// An edited object with the properties "width" (0) and "name" (1) and, when asked, an undo history.
// It logs every write with the change notification around it.
class Cabinet : public iProperty, public iUndoer {
 public:
  explicit Cabinet(bool hasHistory = true) : hasHistory_(hasHistory) {}
  int32_t IndexOf(const Vcon::String& n) override { return n == "width" ? 0 : n == "name" ? 1 : -1; }
  void GetPropertyName(Vcon::String& out, int32_t index) override { out = index == 1 ? "Name" : ""; }
  ppParameter GetValue(int32_t index) override {
    return index == 0 ? width : index == 1 ? name : ppParameter();
  }
  void SetValue(int32_t index, const ppParameter& value) override {
    log += "set" + std::to_string(index) + "=" + value.AsString().c_str() + " ";
    if (index == 0) width = value;
    if (index == 1) name = value;
  }
  void BeginChange() override { log += "begin "; }
  void EndChange() override { log += "end "; }
  ppUndoer* GetUndoer() override { return hasHistory_ ? &history : nullptr; }

  // The number of done tasks, counted by undoing and redoing them all; the log is kept.
  int32_t DoneCount() {
    const std::string saved = log;
    int32_t n = 0;
    for (; history.DoneTop() != nullptr; ++n) history.Undo();
    for (int32_t i = 0; i < n; ++i) history.Redo();
    log = saved;
    return n;
  }

  ppParameter width{600};
  ppParameter name{"base"};
  std::string log;
  ppUndoer history;

 private:
  bool hasHistory_;
};

// A view holder: counts the open edit tasks that refer to it.
class Holder : public Cabinet, public iViewHolder {
 public:
  void SetValue(int32_t index, const ppParameter& value) override {
    if (index == kBeginEdit) ++openEdits, widthWhenOpened = width.ToLong();
    if (index == kEndEdit) --openEdits;
    Cabinet::SetValue(index, value);
  }
  int32_t openEdits = 0;
  int32_t widthWhenOpened = -1;
};

TEST(DataUnitTest, RepeatedValuesShareOneUndoStepThatRestoresWithTheSameNotification) {
  Cabinet cabinet;
  ppPropertyDataUnit unit(&cabinet, "width", true);
  unit.SetValue(ppParameter(800), true);
  unit.SetValue(ppParameter(800), true);
  EXPECT_EQ(cabinet.DoneCount(), 1);
  EXPECT_EQ(cabinet.log, "begin set0=800 end begin set0=800 end ");  // each set is made once
  unit.SetValue(ppParameter(900), true);
  EXPECT_EQ(cabinet.DoneCount(), 2);
  ppParameter shown;
  unit.GetValue(shown);
  EXPECT_EQ(shown.ToLong(), 900);

  cabinet.history.Undo();
  cabinet.log.clear();
  cabinet.history.Undo();
  EXPECT_EQ(cabinet.log, "begin set0=600 end ");
  cabinet.history.Redo();
  cabinet.history.Redo();
  EXPECT_EQ(cabinet.width.ToLong(), 900);

  // A quiet edit is undone and redone quietly.
  ppPropertyDataUnit quiet(&cabinet, "name", true);
  quiet.SetValue(ppParameter("tall"), false);
  cabinet.log.clear();
  cabinet.history.Undo();
  EXPECT_TRUE(cabinet.history.RedoTop()->IsUndone());
  cabinet.history.Redo();
  EXPECT_EQ(cabinet.log, "set1=base set1=tall ");
}

TEST(DataUnitTest, EditsThatCannotBeUndoneAreSetButNotRecorded) {
  Cabinet noHistory(false), cabinet;
  ppPropertyDataUnit(&noHistory, "width", true).SetValue(ppParameter(700), true);
  EXPECT_EQ(noHistory.width.ToLong(), 700);
  ppPropertyDataUnit(&cabinet, "width", false).SetValue(ppParameter(750), false);
  EXPECT_EQ(cabinet.width.ToLong(), 750);
  EXPECT_EQ(cabinet.history.DoneTop(), nullptr);

  // An undefined name reads empty and leaves no undo step that would do nothing.
  ppPropertyDataUnit unknown(&cabinet, "depth", true);
  ppParameter out(5);
  unknown.GetValue(out);
  EXPECT_EQ(out.Type(), ppParameter::kNone);
  unknown.SetValue(ppParameter(300), true);
  EXPECT_EQ(cabinet.history.DoneTop(), nullptr);
  EXPECT_EQ(unknown.GetName(), "depth");

  // Without a target nothing is read, named or set.
  ppPropertyDataUnit none(nullptr, "width", true);
  ppParameter kept(5);
  none.GetValue(kept);
  none.GetTargetName(kept);
  none.SetValue(ppParameter(1), true);
  EXPECT_EQ(kept.ToLong(), 5);

  ppParameter label;
  ppPropertyDataUnit(&cabinet, "name", true).GetTargetName(label);
  EXPECT_EQ(label.Type(), ppParameter::kString);
  EXPECT_EQ(label.AsString(), "Name");
}

TEST(DataUnitTest, ViewHoldersCountEveryLiveTaskAsAnOpenEdit) {
  Holder holder;
  holder.width = ppParameter(610);
  ppPropertyDataUnit unit(&holder, "width", true);
  unit.SetValue(ppParameter(650), true);
  EXPECT_EQ(holder.openEdits, 1);
  EXPECT_EQ(holder.widthWhenOpened, 610);
  auto* top = static_cast<ppPropertyDataUnitTask*>(holder.history.DoneTop());
  ASSERT_NE(top, nullptr);
  EXPECT_EQ(top->OldValue().ToLong(), 610);
  unit.SetValue(ppParameter(650), true);  // the repeat's task is dropped and closes its edit
  EXPECT_EQ(holder.openEdits, 1);
  unit.SetValue(ppParameter(660), true);
  EXPECT_EQ(holder.openEdits, 2);
  EXPECT_NE(holder.log.find("begin set-100=0 end "), std::string::npos);
  holder.history.Undo();
  EXPECT_EQ(holder.openEdits, 2);  // an undone task can still be redone
  holder.history.Clear();
  EXPECT_EQ(holder.openEdits, 0);

  Cabinet plain;  // no bracket for other targets
  { ppPropertyDataUnitTask task(&plain, 0, ppParameter(1), false, true); }
  EXPECT_EQ(plain.log, "");
}

TEST(DataUnitTest, TasksAbsorbOnlyExactRepeatsOfTheirPropertyOrMergeWhenAsked) {
  Cabinet cabinet, twin;
  auto* first = new ppPropertyDataUnitTask(&cabinet, 0, ppParameter(1), false, false);
  cabinet.history.Post(first);
  first->Do();
  ppPropertyDataUnitTask otherIndex(&cabinet, 1, ppParameter(1), false, false);
  ppPropertyDataUnitTask otherTarget(&twin, 0, ppParameter(1), false, false);
  ppTask plain;
  EXPECT_FALSE(first->Absorb(&otherIndex) || first->Absorb(&otherTarget) || first->Absorb(&plain));

  // 1.4 converts to the long 1 but is no repeat of it: redo must give 1.4 back.
  cabinet.history.Post(new ppPropertyDataUnitTask(&cabinet, 0, ppParameter(1.4), false, false));
  cabinet.width = ppParameter(1.4);
  EXPECT_EQ(cabinet.DoneCount(), 2);
  EXPECT_DOUBLE_EQ(cabinet.width.ToDouble(), 1.4);

  // A merging task takes over every following change of its property as one step.
  auto* drag = new ppPropertyDataUnitTask(&twin, 0, ppParameter(610), true, true);
  twin.history.Post(drag);
  for (int32_t w : {620, 640}) {
    twin.history.Post(new ppPropertyDataUnitTask(&twin, 0, ppParameter(w), false, true));
  }
  EXPECT_EQ(twin.DoneCount(), 1);
  EXPECT_EQ(drag->NewValue().ToLong(), 640);
  twin.history.Undo();
  EXPECT_EQ(twin.width.ToLong(), 600);
  twin.history.Redo();
  EXPECT_EQ(twin.width.ToLong(), 640);
}

}  // namespace
