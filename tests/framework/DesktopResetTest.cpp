// The desktop's reset puts every stateful module back as the process started: for each piece of
// state, a fresh desktop shows it at its start, a test changes it, and the next reset undoes that.
#include <gtest/gtest.h>

#include <filesystem>
#include <functional>
#include <string>
#include <vector>

#include "foundation/PriceRounding.h"
#include "foundation/ProcessServices.h"
#include "foundation/TextsById.h"
#include "foundation/UserPreferences.h"
#include "framework/ApplicationSettings.h"
#include "framework/PixelFormatChoice.h"
#include "framework/ppApplication.h"
#include "framework/ppCursorTable.h"
#include "framework/ppView.h"
#include "framework/ppPendingDeletions.h"
#include "framework/ppSwitchBoard.h"
#include "framework/ppWindow.h"
#include "framework/qxAdornerColors.h"
#include "platform/Clipboard.h"
#include "platform/Desktop.h"
#include "platform/HeadlessDriver.h"
#include "platform/LayerClock.h"
#include "platform/Menu.h"
#include "platform/MessageBox.h"
#include "platform/Printing.h"
#include "platform/ScreenMetrics.h"
#include "platform/Shell.h"
#include "platform/Tooltip.h"
#include "platform/WindowApi.h"

namespace {

using namespace plat;

// Pointers the globals hold without owning or reading them.
template <class T>
T* Marker() {
  static char place;
  return reinterpret_cast<T*>(&place);
}

void MenuText(int32_t, const char16_t*, int32_t, Vcon::WString*) {}

struct StateCase {
  const char* name;
  std::function<void()> change;
  std::function<bool()> atStart;
};

// What a case made, kept from its change to its checks.
HMENU gMenu = nullptr;
HWND gTip = nullptr;
HDC gPrinter = nullptr;
std::string gPrintPath;

HWND NewToolTip() {
  return CreateWindowExA(0, kToolTipClass, "", WS_POPUP, 0, 0, 10, 10, nullptr, nullptr, nullptr, nullptr);
}

std::vector<StateCase> Cases() {
  return {
      {"clipboard", [] { Clipboard::SetText(u"copied"); }, [] { return Clipboard::Text().empty(); }},
      {"menus no window owns",
       [] {
         gMenu = CreatePopupMenu();
         AppendMenuA(gMenu, MF_STRING, 1, "Item");
       },
       [] { return !gMenu || !IsMenu(gMenu); }},
      {"tooltips",
       [] {
         gTip = NewToolTip();
         TOOLINFOA info{};
         info.cbSize = sizeof info;
         info.uId = 1;
         info.lpszText = const_cast<char*>("tip");
         SendMessageA(gTip, TTM_ADDTOOLA, 0, reinterpret_cast<LPARAM>(&info));
       },
       [] {
         UpdateToolTips();  // must reach no control of an earlier desktop
         return !gTip || !IsWindow(gTip);
       }},
      {"shell log", [] { ShellExecuteA(nullptr, "open", "plan.txt", nullptr, nullptr, 1); },
       [] { return ShellExecuteLog().empty(); }},
      {"message boxes",
       [] {
         QueueMessageBoxAnswer(IDNO);
         MessageBoxA(nullptr, "text", "caption", MB_OK);
         QueueMessageBoxAnswer(IDNO);
       },
       [] {
         if (!MessageBoxLog().empty()) return false;
         bool fresh = MessageBoxA(nullptr, "text", "caption", MB_YESNO) == IDYES;  // Enter's answer
         ClearMessageBoxLog();
         return fresh;
       }},
      {"printer devices",
       [] {
         gPrintPath = testing::TempDir() + "desktop-reset.pdf";
         PrinterSetup setup;
         setup.output = gPrintPath;
         gPrinter = CreatePrinterDC(setup);
         DOCINFOA doc{};
         doc.cbSize = kDocInfoSize;
         doc.lpszDocName = "Plan";
         StartDocA(gPrinter, &doc);
         StartPage(gPrinter);
       },
       [] {
         if (gPrinter && PrinterOf(gPrinter)) return false;
         // The job a reset broke off leaves no file, and job numbers start again.
         if (!gPrintPath.empty() &&
             (std::filesystem::exists(gPrintPath + ".part") || std::filesystem::exists(gPrintPath)))
           return false;
         PrinterSetup setup;
         setup.output = testing::TempDir() + "desktop-reset-2.pdf";
         HDC dc = CreatePrinterDC(setup);
         DOCINFOA doc{};
         doc.cbSize = kDocInfoSize;
         bool first = StartDocA(dc, &doc) == 1;
         DeleteDC(dc);
         return first;
       }},
      {"beeps, task bar, screen, clock",
       [] {
         MessageBeep(0x30);
         RECT bar{0, 984, 1280, 1024};
         Desktop::SetTaskBar(&bar);
         SetVirtualScreenSize(800, 600);
         LayerClock::SetManual(5000);
       },
       [] {
         return Desktop::Beeps().empty() && !Desktop::TaskBar(nullptr) &&
                GetSystemMetrics(SM_CXSCREEN) == 1280 && GetSystemMetrics(SM_CYFULLSCREEN) == 1024 &&
                GetTickCount() == 0;
       }},
      {"built-in classes",
       [] {
         UnregisterClassA("BUTTON", nullptr);
         UnregisterClassA("MDICLIENT", nullptr);
       },
       [] {
         WNDCLASSA info;
         return GetClassInfoA(nullptr, "BUTTON", &info) && GetClassInfoA(nullptr, "MDICLIENT", &info) &&
                GetClassInfoA(nullptr, kToolTipClass, &info);
       }},
      {"foundation globals",
       [] {
         gInstance = Marker<const void>();
         gScreenRect = {0, 0, 640, 480};
         SetStartupDirectory(u"C:\\Planner");
         SetTextSource(Marker<iTextSource>());
         SetCurrentDocumentPriceSettings(Marker<const iDocumentPriceSettings>());
         Preferences().languageCode = 7;
         ApplyDerivedSettings();
       },
       [] {
         Vcon::WString startup;
         GetStartupDirectory(startup);
         return !gInstance && gScreenRect.right == 0 && startup.empty() && !CurrentTextSource() &&
                !CurrentDocumentPriceSettings() && Preferences().languageCode == 0 &&
                CurrentLanguageCode() == 0;
       }},
      {"framework globals",
       [] {
         gApplication = Marker<ppApplication>();
         ppWindow::SetApplicationWindow(Marker<ppWindow>());
         ppWindow::SetFrameLocked(false);
         ppCursorTable::SetGlobal(Marker<ppCursorTable>());
         SetFrameTitle("Title");
         SetPlacementMode(2);
         SetApplicationFlags1(kStayingConfiguratorPane);
         SetApplicationFlags2(kSinglePageConfigurator);
         ppPendingDeletions::Add(new ppView());
         SetMenuTextCallback(&MenuText);
         static const ppRGBColor table[] = {{1, 2, 3}};
         SetDocumentColorTable(table);
         gPreferHardwarePixelFormats = true;
         ppSwitchBoard::MessageIdByName("DesktopResetMessage", true);
         ppSwitchBoard::Global().Subscribe(Marker<ppCollaborator>(), 1, 2);
         ppView::SetTrackedView(Marker<ppView>(), RECT{1, 2, 3, 4});
       },
       [] {
         return !gApplication && !ppWindow::ApplicationWindow() && ppWindow::FrameLocked() &&
                !ppCursorTable::Global() && FrameTitle().empty() && PlacementMode() == 0 &&
                ApplicationFlags1() == 0 && ApplicationFlags2() == 0 && ppPendingDeletions::Count() == 0 &&
                !MenuTextCallback() && !DocumentColorTable() && !gPreferHardwarePixelFormats &&
                ppSwitchBoard::MessageIdByName("DesktopResetMessage", false) == -1 &&
                ppSwitchBoard::Global().SubscriptionCount() == 0 && !ppView::TrackedView() &&
                ppView::TrackedRect().right == 0;
       }},
  };
}

TEST(DesktopReset, PutsEveryModuleBackAsAtStart) {
  for (const StateCase& c : Cases()) {
    SCOPED_TRACE(c.name);
    HeadlessDriver::Reset();
    ASSERT_TRUE(c.atStart()) << "a fresh desktop does not show the start state";
    c.change();
    ASSERT_FALSE(c.atStart()) << "the change left the state as at start, so the case proves nothing";
    HeadlessDriver::Reset();
    EXPECT_TRUE(c.atStart()) << "the reset left the change in place";
  }
  gMenu = nullptr;
  gTip = nullptr;
  gPrinter = nullptr;
}

}  // namespace
