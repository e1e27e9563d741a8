// Commands in the started program, on a copy of the demo settings: every command the frame's menu,
// the keys and the panes produce comes back in every view of the document window (none goes round
// the chain of views, window and application for ever), and each view key reaches its view from every
// other. A step that does not come back ends the test binary with the view and command it was on.
#include <gtest/gtest.h>
#include <unistd.h>

#include <csignal>
#include <cstdio>
#include <cstring>
#include <map>
#include <set>

#include "StartedProgram.h"
#include "canvas/editor/zelvproViewBar.h"
#include "framework/ppCommandRelay.h"
#include "platform/Menu.h"

namespace {

// The view keys' commands and their views: room design, colours, 3D, price list.
const std::map<int32_t, int32_t> kViewOf = {
    {zelvproViewBar::kRoomDesignCommand, zelvproViewBar::kRoomDesignView},
    {zelvproViewBar::kTopColourCommand, zelvproViewBar::kTopColourView},
    {zelvproViewBar::k3DCommand, zelvproViewBar::k3DView},
    {zelvproViewBar::kItemListCommand, zelvproViewBar::kItemListView}};

// A circle may spin rather than overflow the stack: 30 s (a 3D print under the sanitizers) per step.
char gStep[64];
void Overdue(int) {
  constexpr char kText[] = "did not come back: ";
  (void)!write(2, kText, sizeof kText - 1);
  (void)!write(2, gStep, std::strlen(gStep));
  _exit(1);
}
void BeginStep(int32_t command, int32_t view) {
  std::snprintf(gStep, sizeof gStep, "%d in view %d\n", command, view);
  std::signal(SIGALRM, Overdue);
  alarm(30);
}

void CollectMenuCommands(plat::HMENU menu, std::set<int32_t>& commands) {
  for (int32_t i = 0; i < plat::GetMenuItemCount(menu); ++i) {
    if (plat::HMENU sub = plat::GetSubMenu(menu, i))
      CollectMenuCommands(sub, commands);
    else if (const plat::UINT id = plat::GetMenuItemID(menu, i); id != 0 && id != 0xFFFFFFFF)
      commands.insert(int16_t(id));
  }
}

class CommandChainTest : public apptest::StartedProgramTest {};

TEST_F(CommandChainTest, EveryCommandComesBackInEveryViewAndEveryViewKeyReachesItsView) {
  iDocumentCommands neutral;  // no file dialogs
  documentCommands_ = &neutral;
  zelvProApp& app = Start();
  std::set<int32_t> commands;
  CollectMenuCommands(plat::GetMenu(app.Frame()), commands);
  ASSERT_GE(commands.size(), 20u);
  for (const plat::ACCEL& key : app.Accelerators()->Entries()) commands.insert(int16_t(key.cmd));
  // What the panes hand on: the 3D pane's view commands, the turn buttons, the 3D canvas's and the
  // view bar's own, the document window's table.
  for (int32_t command :
       {3002, 3004, 3007, 3008, 3013, 3022, 3024, 3033, 3044, 3048, 3049, 3052, 3056, 3058, 3061,
        3070, 3071, 3072, 3073, 3074, 3075, 3076, 3083, 4003, 4004, 4005, 4006, 4007, 4008, 4009,
        4020, 4030, 203,  204,  304,  2500, -16,  -17,  -18,  -21,  -22,  -23,  -31,  -32})
    commands.insert(command);
  // Quit is the one command that ends what is under test; the frame lock turns it into New.
  if (!ppWindow::FrameLocked()) commands.erase(ppApplication::kQuitCommand);
  int32_t dropped = 0;
  for (const auto& [key, view] : kViewOf) {
    for (int32_t command : commands) {
      SCOPED_TRACE(std::to_string(command) + " in view " + std::to_string(view));
      BeginStep(command, view);
      Send(key);
      ASSERT_EQ(CurrentView(), view);
      const int32_t before = ppCommandRelay::DroppedCount();
      Send(command);
      ASSERT_TRUE(plat::IsWindow(app.Frame()));
      // A view key reaches the view bar straight, not by going round until it is dropped.
      if (kViewOf.count(command) != 0) {
        EXPECT_EQ(CurrentView(), kViewOf.at(command));
        dropped += ppCommandRelay::DroppedCount() - before;
      }
    }
  }
  alarm(0);
  EXPECT_EQ(dropped, 0);
}

}  // namespace
