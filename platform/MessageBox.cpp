#include "platform/MessageBox.h"

#include "platform/AnsiCodePage.h"

#include <deque>
#include <mutex>
#include <optional>

#include "platform/ResetList.h"

namespace plat {
namespace {

// Boxes may be shown from worker threads (an error on a background save), so the log is guarded.
struct BoxLog {
  std::mutex mutex;
  std::vector<MessageBoxRecord> records;
  std::deque<int32_t> answers;
};

BoxLog& Log() {
  static BoxLog log;
  return log;
}

// The answer of Enter: the button MB_DEFBUTTONn names, or the first when the box has fewer buttons.
int32_t DefaultAnswer(uint32_t style) {
  static const std::vector<int32_t> kButtons[] = {
      {IDOK},        {IDOK, IDCANCEL},   {IDABORT, IDRETRY, IDIGNORE}, {IDYES, IDNO, IDCANCEL},
      {IDYES, IDNO}, {IDRETRY, IDCANCEL}};
  const uint32_t kind = style & 0xF;
  const std::vector<int32_t>& buttons = kind < std::size(kButtons) ? kButtons[kind] : kButtons[0];
  const size_t index = (style >> 8) & 0xF;
  return index < buttons.size() ? buttons[index] : buttons[0];
}

// Set by the interactive backend while it runs (guarded by the log's mutex); stays across a reset.
MessageBoxPresenter gPresenter = nullptr;

[[maybe_unused]] const bool kReset =
    ResetList::Add("message boxes: log, queued answers", [] { ClearMessageBoxLog(); });

int32_t Record(const void* owner, std::u16string text, std::u16string caption, uint32_t style) {
  BoxLog& log = Log();
  std::optional<int32_t> queued;
  MessageBoxPresenter presenter;
  {
    std::lock_guard lock(log.mutex);
    if (!log.answers.empty()) {
      queued = log.answers.front();
      log.answers.pop_front();
    }
    presenter = gPresenter;
  }
  // A presenter runs a modal loop: the log is not held meanwhile, so the box may show further boxes.
  int32_t answer = queued.value_or(DefaultAnswer(style));
  if (presenter) answer = presenter(owner, text, caption, style, queued ? &*queued : nullptr);
  std::lock_guard lock(log.mutex);
  log.records.push_back({std::move(text), std::move(caption), style, owner, answer});
  return answer;
}

}  // namespace

int32_t MessageBoxA(const void* owner, const char* text, const char* caption, uint32_t style) {
  return Record(owner, WidenAnsi(text ? text : ""), WidenAnsi(caption ? caption : ""), style);
}

int32_t MessageBoxW(const void* owner, const char16_t* text, const char16_t* caption, uint32_t style) {
  return Record(owner, text ? std::u16string(text) : std::u16string(),
                caption ? std::u16string(caption) : std::u16string(), style);
}

int32_t MessageBoxExA(const void* owner, const char* text, const char* caption, uint32_t style, uint16_t) {
  return MessageBoxA(owner, text, caption, style);
}

int32_t MessageBoxExW(const void* owner, const char16_t* text, const char16_t* caption, uint32_t style,
                      uint16_t) {
  return MessageBoxW(owner, text, caption, style);
}

std::vector<MessageBoxRecord> MessageBoxLog() {
  BoxLog& log = Log();
  std::lock_guard lock(log.mutex);
  return log.records;
}

void ClearMessageBoxLog() {
  BoxLog& log = Log();
  std::lock_guard lock(log.mutex);
  log.records.clear();
  log.answers.clear();
}

void SetMessageBoxPresenter(MessageBoxPresenter presenter) {
  BoxLog& log = Log();
  std::lock_guard lock(log.mutex);
  gPresenter = presenter;
}

void QueueMessageBoxAnswer(int32_t answer) {
  BoxLog& log = Log();
  std::lock_guard lock(log.mutex);
  log.answers.push_back(answer);
}

}  // namespace plat
