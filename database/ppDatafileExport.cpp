#include "database/ppDatafileExport.h"

#include <charconv>
#include <string>
#include <vector>

#include "database/dbDatafile.h"
#include "database/dbErrors.h"
#include "database/ppDatabase.h"
#include "database/ppPlainMoneyText.h"
#include "foundation/FileDialogs.h"
#include "foundation/FileOperations.h"
#include "foundation/ppMoney.h"
#include "database/ScopedRecordBuffer.h"

namespace {

// The text of an exported value, escaped so that the field reader gives it back unchanged: TAB,
// CR, LF and backslash as their escapes, and a leading double quote escaped so it does not quote.
std::string EscapedForImport(const std::string& text) {
  std::string out;
  out.reserve(text.size());
  for (size_t i = 0; i < text.size(); ++i) {
    const char c = text[i];
    switch (c) {
      case '\t':
        out += "\\t";
        break;
      case '\r':
        out += "\\r";
        break;
      case '\n':
        out += "\\n";
        break;
      case '\\':
        out += "\\\\";
        break;
      case '"':
        if (i == 0) out += '\\';
        out += c;
        break;
      default:
        out += c;
    }
  }
  return out;
}

// The text of an exported value. Doubles and floats are written with every digit they need and a
// '.' (the plain value text would cut them to whole numbers, and the import reads them back with
// the fraction); everything else as the value's own text, money in `moneyFormat`.
std::string ExportText(const ppParameter& value, const DecimalFormat& moneyFormat) {
  char digits[64];
  std::to_chars_result written{};
  if (value.Type() == ppParameter::kDouble && !value.ToPPDouble().IsNull())
    written = std::to_chars(digits, digits + sizeof digits, value.ToDouble());
  else if (value.Type() == ppParameter::kFloat && !value.ToPPFloat().IsNull())
    written = std::to_chars(digits, digits + sizeof digits, value.ToFloat());
  else
    return value.ToString(-1, -1, 0, 0, ",.", 0, moneyFormat);
  return std::string(digits, written.ptr);
}

void WriteText(ppFileSpec& file, const std::string& text, bool endOfLine) {
  const std::string line = text + (endOfLine ? "\r\n" : "\t");
  FileWrite(file, line.data(), uint32_t(line.size()), kFileCurrentPosition);
}

}  // namespace

void WriteValueAsText(ppFileSpec& file, const ppParameter& value, bool endOfLine) {
  WriteText(file, value.ToString(-1, -1, 0, 0, ",.", 0), endOfLine);
}

void ppDatafileExport::WithFileDialog() {
  if (fieldMap_ == nullptr) return;
  ppFileSpec file, dialog;
  if (!CreateFileWithSaveDialog(file, dialog)) return;
  try {
    view_.ExportToFile(file, fieldMap_);
  } catch (...) {
    if (file.IsOpen()) FileClose(file);
    throw;
  }
  FileClose(file);
}

void ppDatafileExport::ToFile(ppFileSpec& file) {
  ppPlainMoneyText plain(view_);
  for (int32_t i = 0; i < view_.GetSelectedCount(); ++i) {
    view_.ReadRecordAt(i, nullptr);
    view_.ExportRecord(file, fieldMap_);
  }
}

void ppDatafileExport::Record(ppFileSpec& file) {
  const DecimalFormat* format = view_.MoneyTextFormat();
  const DecimalFormat& moneyFormat = format != nullptr ? *format : ppMoney::DefaultFormat();
  const std::vector<ppFieldMapEntry> entries = ppDatafile::FieldMap(fieldMap_);
  for (size_t k = 0; k < entries.size(); ++k) {
    const std::string text = ExportText(Value(entries[k]), moneyFormat);
    WriteText(file, EscapedForImport(text), k + 1 == entries.size());
  }
}

ppParameter ppDatafileExport::Value(const ppFieldMapEntry& entry) {
  ppParameter value;
  view_.GetFieldValue(entry.field, value, nullptr);
  if (entry.linkedFileId == 0) return value;
  dbDatafile* linked = dbDatafile::FileById(view_.Database(), entry.linkedFileId);
  const int32_t id = value.ToLong();
  if (linked == nullptr || id <= 0 || entry.third < 0 || entry.third >= linked->FieldCount())
    return ppParameter("");
  ScopedRecordBuffer<dbDatafile> record(*linked);
  try {
    linked->ReadRecord(id, record.Get());
  } catch (int32_t error) {
    // A link to a record that is gone exports as an empty text, like a link to record 0.
    if (error != db::kNotFound && error != db::kOutOfRange) throw;
    return ppParameter("");
  }
  ppParameter shown;
  linked->Layout().GetField(entry.third, &shown, record.Get());
  return shown;
}
