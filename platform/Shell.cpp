#include "platform/Shell.h"

#include <spawn.h>
#include <sys/wait.h>

#include <algorithm>
#include <mutex>
#include <thread>

#include "platform/AnsiCodePage.h"
#include "platform/ResetList.h"
#include "platform/ShellLaunchFailure.h"
#include "platform/TextRenderer.h"

extern char** environ;

namespace plat {

namespace {
// Any thread may open a document; gLock guards the log and the switch.
std::mutex gLock;
std::vector<ShellExecuteRecord> gLog;
bool gLaunching = false;  // set by the interactive backend while it runs; stays across a reset

[[maybe_unused]] const bool kReset = ResetList::Add("shell: open log", [] { ClearShellExecuteLog(); });

std::u16string Text(const char16_t* s) { return s ? std::u16string(s) : std::u16string(); }
std::u16string Text(const char* s) { return s ? WidenAnsi(s) : std::u16string(); }

bool IsLink(const std::u16string& target) {
  return target.find(u"://") != std::u16string::npos || target.rfind(u"mailto:", 0) == 0;
}

// Starts xdg-open on the target; a detached thread reaps it, so the user interface never waits for
// the program that opens the document. A failure, to start or of the opener itself, is shown to the
// user in a box over `owner` (see ShellLaunchFailure). False when the opener could not be started.
bool Launch(HWND owner, std::u16string target, const std::u16string& directory) {
  if (!IsLink(target)) {
    if (!target.empty() && target[0] != u'\\' && target[0] != u'/' && !directory.empty())
      target = directory + u"\\" + target;
    std::replace(target.begin(), target.end(), u'\\', u'/');
  }
  std::string argument = Utf16ToUtf8(target);
  char program[] = "xdg-open";
  char* argv[] = {program, argument.data(), nullptr};
  pid_t child = 0;
  const int error = posix_spawnp(&child, program, nullptr, nullptr, argv, environ);
  if (error != 0) {
    ShellLaunchFailure::Post(owner, target, ShellLaunchFailure::Reason(error, 0));
    return false;
  }
  std::thread([child, owner, target] {
    int status = 0;
    if (waitpid(child, &status, 0) == child && !ShellLaunchFailure::Succeeded(status))
      ShellLaunchFailure::Post(owner, target, ShellLaunchFailure::Reason(0, status));
  }).detach();
  return true;
}

HINSTANCE Run(ShellExecuteRecord record) {
  std::u16string verb = record.verb;
  std::transform(verb.begin(), verb.end(), verb.begin(),
                 [](char16_t c) { return c >= u'A' && c <= u'Z' ? c + 32 : c; });
  bool launch;
  {
    std::lock_guard lock(gLock);
    gLog.push_back(record);
    launch = gLaunching;
  }
  if (record.file.empty()) return reinterpret_cast<HINSTANCE>(SE_ERR_FNF);
  if (!verb.empty() && verb != u"open" && verb != u"explore")
    return reinterpret_cast<HINSTANCE>(SE_ERR_NOASSOC);
  if (launch && !Launch(record.owner, record.file, record.directory))
    return reinterpret_cast<HINSTANCE>(SE_ERR_NOASSOC);
  return reinterpret_cast<HINSTANCE>(intptr_t{33});
}
}  // namespace

HINSTANCE ShellExecuteW(HWND owner, const char16_t* verb, const char16_t* file, const char16_t* parameters,
                        const char16_t* directory, int32_t show) {
  return Run({owner, Text(verb), Text(file), Text(parameters), Text(directory), show});
}

HINSTANCE ShellExecuteA(HWND owner, const char* verb, const char* file, const char* parameters,
                        const char* directory, int32_t show) {
  return Run({owner, Text(verb), Text(file), Text(parameters), Text(directory), show});
}

std::vector<ShellExecuteRecord> ShellExecuteLog() {
  std::lock_guard lock(gLock);
  return gLog;
}

void ClearShellExecuteLog() {
  std::lock_guard lock(gLock);
  gLog.clear();
}

void SetShellLaunching(bool on) {
  std::lock_guard lock(gLock);
  gLaunching = on;
}

}  // namespace plat
