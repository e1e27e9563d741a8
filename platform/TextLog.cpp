#include "platform/TextLog.h"

#include "platform/ResetList.h"

namespace plat {

namespace {

bool gRecording = false;
std::vector<TextLogRecord> gLog;

[[maybe_unused]] const bool kReset = ResetList::Add("text log: drawn texts", [] {
  gRecording = false;
  gLog.clear();
});

}  // namespace

void RecordDrawnTexts(bool on) { gRecording = on; }

std::vector<TextLogRecord> DrawnTextLog() { return gLog; }

void ClearDrawnTextLog() { gLog.clear(); }

void NoteDrawnText(std::u16string_view text, int32_t x, int32_t y, int32_t height, int32_t escapement,
                   uint32_t format) {
  if (!gRecording) return;
  gLog.push_back(TextLogRecord{std::u16string(text), x, y, height, escapement, format});
}

}  // namespace plat
