#include "platform/ShellLaunchFailure.h"

#include <sys/wait.h>

#include <cerrno>
#include <cstring>
#include <map>
#include <mutex>

#include "platform/AnsiCodePage.h"
#include "platform/MessageBox.h"
#include "platform/MessageQueue.h"
#include "platform/ResetList.h"
#include "platform/WindowApi.h"

namespace plat {
namespace {

struct Failure {
  HWND owner = nullptr;
  std::u16string text;
};

// Failures posted and not yet shown, by number; any thread posts, the user-interface thread takes.
std::mutex gLock;
std::map<WPARAM, Failure> gWaiting;
WPARAM gNextNumber = 1;

[[maybe_unused]] const bool kReset = ResetList::Add("shell: launch failures waiting to be shown", [] {
  std::lock_guard lock(gLock);
  gWaiting.clear();
});

std::u16string Ascii(const std::string& text) { return WidenAnsi(text); }

std::u16string ExitReason(int code) {
  // The opener's own exit codes.
  switch (code) {
    case 1:
      return u"the desktop's opener did not understand the request";
    case 2:
      return u"the file does not exist";
    case 3:
      return u"no program that opens it is installed";
    case 4:
      return u"the program that should open it failed";
    default:
      return u"the desktop's opener ended with code " + Ascii(std::to_string(code));
  }
}

}  // namespace

std::u16string ShellLaunchFailure::Reason(int spawnError, int waitStatus) {
  if (spawnError == ENOENT) return u"the desktop's opener xdg-open is not installed";
  if (spawnError != 0)
    return u"the desktop's opener xdg-open could not be started (" + Ascii(std::strerror(spawnError)) + u")";
  if (WIFSIGNALED(waitStatus))
    return u"the desktop's opener was stopped by signal " + Ascii(std::to_string(WTERMSIG(waitStatus)));
  return ExitReason(WIFEXITED(waitStatus) ? WEXITSTATUS(waitStatus) : -1);
}

bool ShellLaunchFailure::Succeeded(int waitStatus) {
  return WIFEXITED(waitStatus) && WEXITSTATUS(waitStatus) == 0;
}

void ShellLaunchFailure::Post(HWND owner, const std::u16string& target, const std::u16string& reason) {
  WPARAM number;
  {
    std::lock_guard lock(gLock);
    number = gNextNumber++;
    gWaiting[number] = {owner, u"\"" + target + u"\" could not be opened: " + reason + u"."};
  }
  MessageQueue::Instance().Post(nullptr, kMessage, number, 0);
}

LRESULT ShellLaunchFailure::ShowPosted(WPARAM number) {
  Failure failure;
  {
    std::lock_guard lock(gLock);
    auto it = gWaiting.find(number);
    if (it == gWaiting.end()) return 0;
    failure = std::move(it->second);
    gWaiting.erase(it);
  }
  // The owner may have closed while the opener ran: the box then stands on its own.
  HWND owner = failure.owner != nullptr && IsWindow(failure.owner) ? failure.owner : nullptr;
  MessageBoxW(owner, failure.text.c_str(), kCaption, MB_OK | MB_ICONERROR);
  return 0;
}

}  // namespace plat
