#include "catalogue/records/zelvproTagFil.h"

#include "foundation/ResourceAccess.h"
#include "foundation/TextsById.h"

namespace {

constexpr int32_t kNameItem = 1, kTextItem = 2;

Vcon::WString DefaultText(int32_t number, int32_t item) {
  Vcon::WString text;
  GetStringArrayText(text, zelvproTagFil::kDefaultTexts, item);
  GetTextById(number, text);
  return text;
}

}  // namespace

zelvproTagFil::zelvproTagFil(ppDatabase& database, Handle blob)
    : ppEmbeddedData(kLayout, database, blob, nullptr),
      record_(GetRecordBuffer()),
      id_(*this, "id"),
      name_(*this, "name"),
      text_(*this, "text"),
      tname_(*this, "tname"),
      ttext_(*this, "ttext") {
  InitDefaultTag();
}

zelvproTagFil::~zelvproTagFil() = default;

void zelvproTagFil::SetDefaultTag(char* record) {
  tname_.SetWideText(record, DefaultText(kDefaultNameText, kNameItem));
  ttext_.SetWideText(record, DefaultText(kDefaultTextText, kTextItem));
}

void zelvproTagFil::InitDefaultTag() {
  DisposeRecords();
  ClearRecordBuffer(nullptr);
  SetDefaultTag(record_);
  InsertRecordAt(-1, nullptr);
}

void zelvproTagFil::BeginAccess() {
  ppEmbeddedData::BeginAccess();
  ReadRecordAt(0, nullptr);
  if (GetRecordCount() == 0 || id_.Long(record_) != 0) {
    // A fresh default tag in front, never whatever tag the buffer holds: renaming a user's tag to
    // the default texts would lose its name. Tags are found by id, so the others may move down.
    ClearRecordBuffer(nullptr);
    InsertRecordAt(0, nullptr);
  }
  SetDefaultTag(record_);
  WriteRecordAt(0, nullptr);
}

int32_t zelvproTagFil::IndexOfId(int32_t id) {
  const int32_t count = GetRecordCount();
  for (int32_t i = 0; i < count; ++i) {
    ReadRecordAt(i, nullptr);
    if (id_.Long(record_) == id) return i;
  }
  return 0;
}

void zelvproTagFil::AfterRead(char* buffer) {
  char* record = Buffer(buffer);
  if (tname_.WideText(record).empty()) tname_.SetWideText(record, Vcon::WString(name_.Text(record)));
  if (ttext_.WideText(record).empty()) ttext_.SetWideText(record, Vcon::WString(text_.Text(record)));
}

void zelvproTagFil::GetDisplayText(Vcon::String& out, char* buffer) {
  out = tname_.WideText(Buffer(buffer)).Narrow();
}

int32_t zelvproTagFil::VisitRecord(void*, int32_t) { return 1; }

bool zelvproTagFil::AnswersRecordQuery(void*, int32_t, int32_t) { return true; }
