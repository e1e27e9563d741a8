#include "framework/ppApplication.h"

#include <algorithm>
#include <filesystem>
#include <iterator>
#include <string>
#include <system_error>

#include "foundation/ProcessServices.h"
#include "framework/ApplicationSettings.h"
#include "framework/ppCursorTable.h"
#include "framework/ppMenuHelper.h"
#include "framework/ppPendingDeletions.h"
#include "framework/ppPicture.h"
#include "framework/ppPrintingAbortDialog.h"
#include "platform/Controls.h"
#include "platform/Cursors.h"
#include "platform/Gdi.h"
#include "platform/MdiWindows.h"
#include "platform/Menu.h"
#include "platform/MessageBox.h"
#include "platform/ResetList.h"
#include "platform/ScreenMetrics.h"
#include "platform/WindowApi.h"

using namespace plat;

// The one application object; set by the program entry, not owned here.
ppApplication* gApplication = nullptr;

namespace {

constexpr UINT kQueryEndSession = 0x0011;  // the platform's WM_QUERYENDSESSION
constexpr const char* kIconName = "AppIcon";
constexpr const char* kMenuName = "Main";
// Ids the client would give document windows listed in a window menu: above every command id.
constexpr UINT kFirstDocumentId = 0xFF00;

// User-interface thread.
int32_t gStandardCursors[ppApplication::kStandardCursorCount] = {};

[[maybe_unused]] const bool kReset = plat::ResetList::Add("application: the object, standard cursors", [] {
  gApplication = nullptr;
  std::fill(std::begin(gStandardCursors), std::end(gStandardCursors), 0);
});

// The order of the standard cursors; id 0 is "no cursor".
constexpr uint16_t kStandardCursorIds[ppApplication::kStandardCursorCount] = {
    IDC_WAIT, 0, IDC_CROSS, IDC_CROSS, IDC_ARROW, IDC_ARROW, IDC_SIZEWE};

void RegisterClass(const char* name, WNDPROC procedure, HINSTANCE instance, HICON icon, HBRUSH background,
                   const char* menu) {
  WNDCLASSA info;
  info.style = 0;
  info.lpfnWndProc = procedure;
  info.hInstance = instance;
  info.hIcon = icon;
  info.hCursor = LoadCursorA(nullptr, MAKEINTRESOURCEA(IDC_ARROW));
  info.hbrBackground = background;
  info.lpszMenuName = menu;
  info.lpszClassName = name;
  RegisterClassA(&info);
}

// The screen, less the task bar when the bar lies across its whole bottom. False when the shell
// could not say where the bar is.
bool FrameRectangle(RECT* rect) {
  *rect = {0, 0, GetSystemMetrics(SM_CXSCREEN), GetSystemMetrics(SM_CYSCREEN)};
  RECT bar;
  if (!GetTaskBarRect(&bar)) return false;
  if (bar.left <= 0 && bar.right >= rect->right && bar.top > 0) rect->bottom = bar.top;
  return true;
}

void RecordStartupDirectory() {
  std::error_code error;
  std::filesystem::path current = std::filesystem::current_path(error);
  if (!error) SetStartupDirectory(Vcon::WString(current.u16string()));
}

}  // namespace

// ---- Construction.

ppApplication::ppApplication(HINSTANCE instance, HINSTANCE previous)
    : instance_(instance), previous_(previous) {
  gInstance = instance;
  RecordStartupDirectory();
  SetApplicationWindow(this);
}

ppApplication::~ppApplication() {
  menuHelper_.reset();
  ppCursorTable* table = ppCursorTable::Global();
  ppCursorTable::SetGlobal(nullptr);
  delete table;
  // A frame that outlives its object must not reach it: unbind it before destroying it.
  if (frame_ && IsWindow(frame_)) {
    if (GetPropA(frame_, kObjectProperty) == this) RemovePropA(frame_, kObjectProperty);
    DestroyWindow(frame_);
  }
  if (ownsFrameMenu_ && IsMenu(frameMenu_)) DestroyMenu(frameMenu_);
  if (accelerators_) DestroyAcceleratorTable(accelerators_);
}

int32_t ppApplication::StandardCursor(int32_t slot) {
  return slot >= 0 && slot < kStandardCursorCount ? gStandardCursors[slot] : 0;
}

// ---- Start-up.

void ppApplication::RegisterWindowClasses() {
  HICON icon = LoadIconA(instance_, kIconName);
  RegisterClass(kFrameClass, ppWindow::FrameProc, instance_, icon, nullptr, kMenuName);
  RegisterClass(kDocumentClass, ppWindow::DocumentProc, instance_, icon, nullptr, kMenuName);
  auto white = static_cast<HBRUSH>(static_cast<void*>(GetStockObject(WHITE_BRUSH)));
  RegisterClass(kChildClass, ppWindow::ChildProc, instance_, nullptr, white, nullptr);
}

void ppApplication::CreateFrame() {
  RECT rect;
  bool placed = FrameRectangle(&rect);
  accelerators_ = LoadAcceleratorsA(instance_, kAcceleratorName);
  SetObjectUnderConstruction(this);
  if (placed) {
    frame_ =
        CreateWindowExA(0, kFrameClass, FrameTitle().c_str(), WS_OVERLAPPEDWINDOW, rect.left, rect.top,
                        rect.right - rect.left, rect.bottom - rect.top, nullptr, nullptr, instance_, this);
  } else {
    frame_ = CreateWindowExA(0, kFrameClass, FrameTitle().c_str(), WS_OVERLAPPEDWINDOW, CW_USEDEFAULT, 0,
                             CW_USEDEFAULT, 0, nullptr, nullptr, instance_, this);
  }
  SetObjectUnderConstruction(nullptr);
  if (!frame_) throw static_cast<int32_t>(-1);
  frameMenu_ = GetMenu(frame_);
  if (!frameMenu_) {
    // This platform does not give windows their class menu: the frame gets it here.
    frameMenu_ = LoadMenuA(instance_, kMenuName);
    ownsFrameMenu_ = frameMenu_ != nullptr;
    if (frameMenu_) SetMenu(frame_, frameMenu_);
  }
  RECT client{};
  GetClientRect(frame_, &client);
  CLIENTCREATESTRUCT create;
  create.hWindowMenu = nullptr;
  create.idFirstChild = kFirstDocumentId;
  HWND mdiClient = CreateWindowExA(0, "MDICLIENT", nullptr, WS_CHILD | WS_VISIBLE | WS_CLIPCHILDREN,
                                   client.left, client.top, client.right - client.left,
                                   client.bottom - client.top, frame_, nullptr, instance_, &create);
  if (!mdiClient) throw static_cast<int32_t>(-1);
  window_ = mdiClient;
  hasClient_ = true;
}

void ppApplication::Startup() {
  LoadCursors();
  if (!previous_) {
    RegisterWindowClasses();
    CreateFrame();
    Show();
  }
  CreateMenuHelper();
}

void ppApplication::LoadCursors() {
  auto* table = new ppCursorTable(IDC_ARROW);
  delete ppCursorTable::Global();
  ppCursorTable::SetGlobal(table);
  for (int32_t slot = 0; slot < kStandardCursorCount; ++slot) {
    gStandardCursors[slot] = table->Add(nullptr, kStandardCursorIds[slot]);
  }
}

void ppApplication::CreateMenuHelper() { menuHelper_ = std::make_unique<ppMenuHelper>(this, frameMenu_); }

void ppApplication::ShowFrame() { ShowWindow(frame_, SW_SHOW); }

void ppApplication::Show() {
  int32_t mode = PlacementMode();
  ShowWindow(frame_, mode == 1 || mode == 2 ? SW_RESTORE : SW_SHOWMAXIMIZED);
  UpdateWindow(frame_);
  ShowWindow(window_, SW_SHOW);
  UpdateWindow(window_);
}

// ---- The loop and the frame's messages.

int32_t ppApplication::Run() {
  MSG msg;
  auto handle = [this](MSG& msg) {
    if (!PreTranslate(&msg)) return;
    if (!IsWindow(window_)) return;
    if (TranslateMDISysAccel(window_, &msg)) return;
    if (TranslateAcceleratorA(frame_, accelerators_, &msg)) return;
    TranslateMessage(&msg);
    DispatchMessageA(&msg);
  };
  while (GetMessageA(&msg, nullptr, 0, 0) > 0) {
    handle(msg);
    // Views retired while the message was handled are deleted once it is done.
    ppPendingDeletions::DeleteAll();
  }
  return static_cast<int32_t>(msg.wParam);
}

int32_t ppApplication::HandleMessage(UINT message, WPARAM wParam, LPARAM lParam) {
  switch (message) {
    case WM_SIZE:
      // Until the client exists this object's window is the frame itself, which the default frame
      // handling would fit into its own client area, shrinking it at every size message.
      if (!hasClient_) return 1;
      return ppWindow::HandleMessage(message, wParam, lParam);
    case WM_DESTROY:
      PostQuitMessage(0);
      return ppWindow::HandleMessage(message, wParam, lParam);
    case WM_CLOSE:
    case kQueryEndSession:
      // A print job draws the open documents between its pages: a close asked for meanwhile is
      // carried out once the job has ended (the job asks again), so neither is lost.
      if (message == WM_CLOSE && ppPrintingAbortDialog::Instance().HoldClose(frame_)) return 1;
      if (!CanClose()) return 1;
      SendMessageA(frame_, WM_COMMAND, kClosingCommand, 0);
      return 0;
    case WM_COMMAND: {
      int32_t command = static_cast<int16_t>(LOWORD(wParam));
      if (command != kQuitCommand) {
        DoCommand(command, 0);
      } else if (!FrameLocked()) {
        SendMessageA(frame_, WM_CLOSE, 0, 0);
      } else {
        DoCommand(kNewDocumentCommand, 0);
      }
      // Handled: the command has reached the key target already, so the default frame handling
      // must not hand it to the active document window a second time.
      return 1;
    }
    default:
      return ppWindow::HandleMessage(message, wParam, lParam);
  }
}

void ppApplication::DoCommand(int32_t command, intptr_t parameter) {
  if (command == kIgnoredCommand) return;
  if (command == kQuitCommand) {
    if (FrameLocked()) {
      DoCommand(kNewDocumentCommand, 0);
    } else {
      Quit();
    }
    return;
  }
  ppEventHandler::DoCommand(command, parameter);
}

bool ppApplication::Quit() {
  PostMessageA(frame_, WM_CLOSE, 0, 0);
  return true;
}

// Texts go through the wide call: this program always runs on the wide-character platform.
void ppApplication::SetTitle(const std::u16string& title) { SetWindowTextW(frame_, title.c_str()); }

bool ppApplication::MouseOver(int32_t, int32_t, int32_t) { return true; }

void ppApplication::AdjustCursor(int32_t, int32_t) { ppCursorTable::SetGlobalDefault(); }

void ppApplication::Hook12(uint32_t word) {
  if (menuHelper_) menuHelper_->Notice(word);
}

// ---- Application-wide services.

ppPicture* ppApplication::KeptPicture(int32_t id) {
  auto& slot = pictures_[id];
  if (!slot) slot = std::make_unique<ppPicture>(id);
  return slot.get();
}

ppPicture* ppApplication::GetPictureAt(int32_t base, int32_t offset) { return KeptPicture(base + offset); }
ppPicture* ppApplication::GetFramePicture(int32_t id) { return KeptPicture(id); }
ppPicture* ppApplication::GetFillPicture(int32_t id) { return KeptPicture(id); }
ppRGBColor ppApplication::GetColor(int32_t) { return {255, 255, 255}; }
ppFloat4 ppApplication::GetColorF(int32_t id) {
  const auto kept = keptColors_.find(id);
  return kept != keptColors_.end() ? kept->second : ppFloat4{1.0f, 1.0f, 1.0f, 1.0f};
}
void ppApplication::SetColorF(int32_t id, const ppFloat4& color) { keptColors_[id] = color; }

// ---- Running.

void RunApplication(ppApplication* application) {
  std::string text;
  try {
    application->Startup();
    application->Run();
    return;
  } catch (int32_t code) {
    text = "The program stopped because of error " + std::to_string(code) + ".";
  } catch (...) {
    text = "The program stopped because of an unexpected error.";
  }
  MessageBoxA(nullptr, text.c_str(), ppApplication::kFrameClass, MB_ICONHAND);
}
