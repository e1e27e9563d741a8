#include "app/shell/PlannerProgram.h"

#include <unistd.h>

#include <chrono>
#include <cstdio>
#include <ctime>
#include <cstdlib>
#include <filesystem>
#include <memory>

#include "app/shell/zelvProApp.h"
#include "app/startup/CommandLine.h"
#include "app/startup/StartFiles.h"
#include "foundation/FileDialogs.h"
#include "foundation/PosixPath.h"
#include "foundation/ProcessServices.h"
#include "foundation/Vcon_HandleManager.h"
#include "foundation/Zone.h"
#include "framework/ApplicationSettings.h"
#include "framework/ppApplication.h"
#include "platform/Desktop.h"
#include "platform/HandOverListener.h"
#include "platform/HandOverSender.h"
#include "platform/HeadlessDriver.h"
#include "platform/InstanceLock.h"
#include "platform/InteractiveBackend.h"
#include "platform/MessageBox.h"
#include "platform/ScreenMetrics.h"
#include "platform/Tooltip.h"
#include "platform/WindowApi.h"

namespace {

double gLastStartup = 0;     // milliseconds; user-interface thread
double gLastStartupCpu = 0;  // milliseconds; user-interface thread

double ProcessCpuMilliseconds() {
  // The C clock is the processor time of the whole process, every thread, in microsecond steps.
  return double(std::clock()) * 1e3 / double(CLOCKS_PER_SEC);
}

std::string Utf8(const std::u16string& text) { return Vcon::Utf8FromUtf16(text); }

// Every box of a run goes to standard error as well, so that a headless run says why it ended.
int32_t ReportingBox(const void* /*owner*/, const std::u16string& text, const std::u16string& caption,
                     uint32_t style, const int32_t* queued) {
  std::fprintf(stderr, "%s: %s\n", Utf8(caption).c_str(), Utf8(text).c_str());
  if (queued != nullptr) return *queued;
  return (style & 0xF) == plat::MB_YESNO || (style & 0xF) == plat::MB_YESNOCANCEL ? plat::IDYES : plat::IDOK;
}

// In a screenshot run nobody can answer: a box or a dialog ends the run.
[[noreturn]] void EndScreenshotRun(const std::string& what) {
  std::fprintf(stderr, "%s\n", what.c_str());
  std::fflush(stderr);
  std::_Exit(PlannerProgram::kModalInScreenshot);
}

int32_t ScreenshotBox(const void* /*owner*/, const std::u16string& text, const std::u16string& caption,
                      uint32_t /*style*/, const int32_t* /*queued*/) {
  EndScreenshotRun("message box: " + Utf8(caption) + ": " + Utf8(text));
}

// A loop that waits for input while a screenshot run sends its commands is a modal dialog's.
bool ScreenshotIdle() {
  plat::HWND active = plat::GetActiveWindow();
  char16_t title[512] = {};
  if (active != nullptr) plat::GetWindowTextW(active, title, 512);
  EndScreenshotRun("modal dialog: " + Utf8(title));
}

// The program's path form of a POSIX folder: backslashes, ending in one.
Vcon::WString ProgramForm(const std::string& folder) {
  std::string text = folder;
  for (char& c : text)
    if (c == '/') c = '\\';
  if (text.empty() || text.back() != '\\') text += '\\';
  return Vcon::WString(Vcon::Utf16FromUtf8(text));
}

}  // namespace

double PlannerProgram::LastStartupMilliseconds() { return gLastStartup; }
double PlannerProgram::LastStartupCpuMilliseconds() { return gLastStartupCpu; }

int PlannerProgram::Run(const Options& options, const std::string& programFolder) {
  using Clock = std::chrono::steady_clock;
  const Clock::time_point started = Clock::now();
  const double startedCpu = ProcessCpuMilliseconds();
  const bool screenshot = !options.screenshot.empty();
  const std::filesystem::path startFolder = std::filesystem::current_path();
  // Every settings path is relative to the program folder: it is the foundation's start-up folder too.
  ProgramFolder = ProgramForm(programFolder);
  SetStartupDirectory(ProgramFolder);
  std::error_code ignored;
  std::filesystem::current_path(programFolder, ignored);
  // In a window the boxes the display backend installed are drawn and wait for the user; only a run
  // without one reports them on standard error.
  if (!options.display) plat::SetMessageBoxPresenter(&ReportingBox);
  // The start files: the instance name (the frame's first title and the single instance's key) and
  // the frame's first placement.
  const std::string instanceName = StartFiles::ReadInstanceName();
  SetFrameTitle(instanceName);
  SetPlacementMode(StartFiles::ReadScreenMode(0));
  // One instance per name: a second start hands its command line over (an empty one raises the
  // running frame) and ends; with nobody listening yet it only beeps.
  std::unique_ptr<plat::InstanceLock> lock;
  if (!screenshot) {
    lock = std::make_unique<plat::InstanceLock>(instanceName);
    if (lock->GetState() == plat::InstanceLock::State::kHeldElsewhere) {
      // To the program that holds this very lock file.
      const plat::HandOverSender::Result sent = plat::HandOverSender::Send(lock->Path(), options.commandLine);
      if (sent != plat::HandOverSender::Result::kDelivered) plat::MessageBeep(0xFFFFFFFF);
      std::filesystem::current_path(startFolder, ignored);
      return kOk;
    }
    if (!options.display) {
      std::fprintf(stderr, "planner: no display; use --screenshot FILE.png to run without one\n");
      std::filesystem::current_path(startFolder, ignored);
      return kUsage;
    }
    // A lock that cannot be made at all must not keep the program from running.
    if (lock->GetState() == plat::InstanceLock::State::kFailed)
      std::fprintf(stderr, "planner: no single-instance lock: %s\n", lock->Failure().c_str());
  }

  // The handle zone lives as long as the process: a run inside a process that already made one (the
  // tests, the start-up benchmark) keeps it and only takes the screen's size.
  if (Vcon::Zone::Current() != nullptr) {
    gScreenRect = {0, 0, plat::GetSystemMetrics(plat::SM_CXFULLSCREEN),
                   plat::GetSystemMetrics(plat::SM_CYFULLSCREEN)};
  } else if (!InitScreenAndMemory()) {
    return kStartFailed;
  }
  int status = kOk;
  auto application = std::make_unique<zelvProApp>(nullptr, nullptr);
  gApplication = application.get();
  application->SetCommandLine(options.commandLine);
  bool started_ = false;
  try {
    if (application->CanStart()) {
      application->Startup();
      started_ = true;
    }
  } catch (const zelvProApp::StartCancelled&) {
    status = kStartFailed;
  } catch (int32_t code) {
    const std::string text = "The program stopped because of error " + std::to_string(code) + ".";
    plat::MessageBoxA(nullptr, text.c_str(), ppApplication::kFrameClass, plat::MB_ICONHAND);
    status = kStartFailed;
  }

  if (started_ && screenshot) {
    plat::HeadlessDriver::RunUntilIdle();
    gLastStartup = std::chrono::duration<double, std::milli>(Clock::now() - started).count();
    gLastStartupCpu = ProcessCpuMilliseconds() - startedCpu;
    plat::SetMessageBoxPresenter(&ScreenshotBox);
    plat::HeadlessDriver::SetIdleScript(&ScreenshotIdle);
    for (int32_t command : options.commands) {
      plat::SendMessageA(application->Frame(), plat::WM_COMMAND, plat::WPARAM(uint32_t(command)), 0);
      plat::HeadlessDriver::RunUntilIdle();
    }
    plat::HeadlessDriver::SetIdleScript(nullptr);
    plat::SetMessageBoxPresenter(&ReportingBox);
    if (!plat::HeadlessDriver::DumpPng(application->Frame(), options.screenshot)) {
      std::fprintf(stderr, "planner: cannot write %s\n", options.screenshot.c_str());
      status = kStartFailed;
    }
  } else if (started_) {
    // Second starts are heard once the document window exists; their text arrives as WM_COPYDATA.
    plat::HandOverListener listener;
    if (!listener.Start(lock->Path(), application->Frame()))
      std::fprintf(stderr, "planner: second starts cannot hand over: %s\n", listener.Failure().c_str());
    try {
      application->Run();
    } catch (...) {
      plat::MessageBoxA(nullptr, "The program stopped because of an unexpected error.",
                        ppApplication::kFrameClass, plat::MB_ICONHAND);
    }
  }

  application.reset();
  gApplication = nullptr;
  if (!options.display) plat::SetMessageBoxPresenter(nullptr);
  std::filesystem::current_path(startFolder, ignored);
  return status;
}

int PlannerProgram::Main(int argc, char** argv) {
  std::vector<std::string> arguments(argv + (argc > 0 ? 1 : 0), argv + argc);
  std::error_code noFolder;
  const CommandLine line =
      CommandLine::FromArguments(arguments, std::filesystem::current_path(noFolder).string());
  if (!line.Problem().empty()) {
    std::fprintf(stderr, "planner: %s\nusage: planner [DOCUMENT] [--screenshot FILE.png [--command N]...]\n",
                 line.Problem().c_str());
    return kUsage;
  }
  Options options;
  options.commandLine = line.Text();
  options.screenshot = line.ScreenshotPath();
  options.commands = line.Commands();
  std::error_code failed;
  std::filesystem::path exe = std::filesystem::read_symlink("/proc/self/exe", failed);
  const std::string folder = failed ? std::filesystem::current_path().string() : exe.parent_path().string();

  plat::HeadlessDriver::Reset();
  bool interactive = false;
  if (options.screenshot.empty()) {
    // Without a display a second start still hands its command line over; a first one ends in Run.
    interactive = plat::InteractiveBackend::StartIfDisplay();
  }
  if (interactive) {
    // Whenever the loop runs out of messages the tool tips check their delay before it waits.
    plat::Desktop::Waiter display = plat::Desktop::SetWaiter(nullptr);
    plat::Desktop::SetWaiter([display] {
      plat::UpdateToolTips();
      display();
    });
  }
  options.display = interactive;
  const int status = Run(options, folder);
  if (interactive) plat::InteractiveBackend::Stop();
  MemTerminate();
  return status;
}
