#include "exchange/OrderTextWriter.h"

#include "catalogue/records/RecordField.h"
#include "catalogue/records/zelvproDocFil.h"
#include "exchange/iDocumentPlanSteps.h"
#include "foundation/AnsiCodePage.h"
#include "foundation/FileOperations.h"
#include "foundation/SafeFileWrite.h"
#include "foundation/ShellOpen.h"

namespace {

void AppendAnsi(std::string& out, const Vcon::WString& text) {
  for (const char16_t unit : text) {
    const int32_t byte = WideToAnsi(unit);
    out.push_back(byte < 0 ? kAnsiReplacement : static_cast<char>(byte));
  }
}

int32_t WholeNumber(const Vcon::WString& text) {
  int64_t value = 0;
  if (text.empty() || text.size() > 9) return 0;
  for (const char16_t c : text) {
    if (c < u'0' || c > u'9') return 0;
    value = value * 10 + (c - u'0');
  }
  return static_cast<int32_t>(value);
}

}  // namespace

std::string OrderTextWriter::HeadLine(const Vcon::WString& number, const Vcon::WString& customerName,
                                      const Vcon::WString& description) {
  std::string line = "ORDRE\t";
  AppendAnsi(line, number);
  line += '\t';
  AppendAnsi(line, customerName);
  line += '\t';
  AppendAnsi(line, description);
  line += "\r\n";
  return line;
}

OrderTextWriter::OrderTextWriter(zelvproDocFil& document, iDocumentPlanSteps& steps)
    : document_(document), steps_(steps) {}

void OrderTextWriter::Write(ppFileSpec& target) {
  const char* record = document_.Record();
  const Vcon::WString number = RecordField(document_, "number").WideText(record);
  orderNumber_ = WholeNumber(number);
  module_ = 0;
  const std::string head = HeadLine(number, RecordField(document_, "costumerName").WideText(record),
                                    RecordField(document_, "description").WideText(record));
  WriteFileSafely(target, open_, [this, &head] {
    FileWrite(open_, head.data(), static_cast<uint32_t>(head.size()), 0);
    steps_.WriteOrderLines(*this);
  });
  Vcon::WString command(u"open \"");
  command += target.path;
  command += u"\"";
  ShellExecuteCommand(command, nullptr);
}
