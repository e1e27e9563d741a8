#include "platform/MessageBox.h"

#include <deque>
#include <mutex>

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

// Code points of the Windows-1252 bytes 0x80..0x9F; the other bytes equal their code points.
constexpr char16_t kCp1252High[32] = {
    0x20AC, 0x0081, 0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021, 0x02C6, 0x2030, 0x0160,
    0x2039, 0x0152, 0x008D, 0x017D, 0x008F, 0x0090, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022,
    0x2013, 0x2014, 0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0x009D, 0x017E, 0x0178};

std::u16string WidenCp1252(const char* text) {
  std::u16string out;
  if (text == nullptr) return out;
  for (const char* p = text; *p != '\0'; ++p) {
    const auto byte = static_cast<uint8_t>(*p);
    out.push_back(byte >= 0x80 && byte < 0xA0 ? kCp1252High[byte - 0x80] : char16_t(byte));
  }
  return out;
}

// The answer of Enter: the button MB_DEFBUTTONn names, or the first when the box has fewer buttons.
int32_t DefaultAnswer(uint32_t style) {
  static const std::vector<int32_t> kButtons[] = {
      {IDOK}, {IDOK, IDCANCEL}, {IDABORT, IDRETRY, IDIGNORE}, {IDYES, IDNO, IDCANCEL},
      {IDYES, IDNO}, {IDRETRY, IDCANCEL}};
  const uint32_t kind = style & 0xF;
  const std::vector<int32_t>& buttons = kind < std::size(kButtons) ? kButtons[kind] : kButtons[0];
  const size_t index = (style >> 8) & 0xF;
  return index < buttons.size() ? buttons[index] : buttons[0];
}

int32_t Record(const void* owner, std::u16string text, std::u16string caption, uint32_t style) {
  BoxLog& log = Log();
  std::lock_guard lock(log.mutex);
  int32_t answer = DefaultAnswer(style);
  if (!log.answers.empty()) {
    answer = log.answers.front();
    log.answers.pop_front();
  }
  log.records.push_back({std::move(text), std::move(caption), style, owner, answer});
  return answer;
}

}  // namespace

int32_t MessageBoxA(const void* owner, const char* text, const char* caption, uint32_t style) {
  return Record(owner, WidenCp1252(text), WidenCp1252(caption), style);
}

int32_t MessageBoxW(const void* owner, const char16_t* text, const char16_t* caption, uint32_t style) {
  return Record(owner, text ? std::u16string(text) : std::u16string(),
                caption ? std::u16string(caption) : std::u16string(), style);
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

void QueueMessageBoxAnswer(int32_t answer) {
  BoxLog& log = Log();
  std::lock_guard lock(log.mutex);
  log.answers.push_back(answer);
}

}  // namespace plat
