#include "catalogue/records/zelvproConfiguratorFil.h"

#include <cstdlib>

#include "catalogue/records/zelvproConfigFieldFil.h"
#include "controls/ppButtonField.h"
#include "controls/ppConfigPanel.h"
#include "controls/ppConfigurator.h"
#include "controls/ppDivider.h"
#include "controls/ppTextField.h"
#include "foundation/LocaleNumbers.h"
#include "foundation/TextReference.h"

namespace {

// A positive id written as decimal text ("3044"); 0 for an empty text, one that is not a number or
// one with anything after the digits.
int32_t PositiveId(const Vcon::String& text) {
  const char* begin = text.c_str();
  char* end = nullptr;
  const long value = std::strtol(begin, &end, 10);
  if (end == begin || *end != '\0' || value < 1 || value > INT32_MAX) return 0;
  return int32_t(value);
}

}  // namespace

zelvproConfiguratorFil::zelvproConfiguratorFil(ppDatabase& database)
    : zelvproRecordFil(kLayout, database),
      id_(*this, "id"),
      name_(*this, "name"),
      data_(*this, "data"),
      fieldFile_(std::make_unique<zelvproConfigFieldFil>(database, data_.Data(record_), this)) {}

// The field table goes first: it works on this table's record buffer.
zelvproConfiguratorFil::~zelvproConfiguratorFil() { fieldFile_.reset(); }

void zelvproConfiguratorFil::AddRecord(int32_t* outId, char* buffer) {
  if (!IsValueUnique(id_.Index(), ppParameter(id_.Long(Buffer(buffer))), 0)) return;
  zelvproRecordFil::AddRecord(outId, buffer);
}

void zelvproConfiguratorFil::AfterRead(char*) {
  // Null until the constructor has made it (a read during construction has no table to reload).
  if (fieldFile_ != nullptr) fieldFile_->LoadFromBlob();
}

void zelvproConfiguratorFil::GetDisplayText(Vcon::String& out, char* buffer) {
  const char* record = Buffer(buffer);
  out = IntToText(id_.Long(record));
  out += " ";
  out += name_.Text(record);
}

void zelvproConfiguratorFil::BuildConfiguratorFromLayout(int32_t layoutId) {
  ppConfigurator* configurator = ppConfigurator::Host();
  if (configurator == nullptr) return;
  configurator->RemoveAll();

  if (layoutId >= 0) {
    const int32_t record = FindRecordByKey(id_.Index(), &layoutId);
    if (record != 0) ReadRecord(record, nullptr);  // reloads the field table
  }

  zelvproConfigFieldFil& fields = *fieldFile_;
  const RecordField type(fields, "type"), label(fields, "label"), text(fields, "text");
  const RecordField left(fields, "leftmargin"), top(fields, "topmargin"), right(fields, "rightmargin"),
      bottom(fields, "bottommargin");

  // The page being filled is the caller's until handed to the configurator.
  auto page = std::make_unique<ppConfigPanel>(configurator);
  bool pageEmpty = true;
  const int32_t count = fields.GetRecordCount();
  for (int32_t i = 0; i < count; ++i) {
    fields.ReadRecordAt(i, nullptr);
    const char* r = fields.GetRecordBuffer();
    ppField* field = nullptr;
    switch (type.Long(r)) {
      case 0:
        if (!pageEmpty) {
          configurator->AddPanel(page.release());
          page = std::make_unique<ppConfigPanel>(configurator);
        }
        pageEmpty = false;
        page->SetName(ResolveTextRef(Vcon::WString(label.Text(r))));
        break;
      case 1: {
        auto* line = new ppTextField(page.get(), nullptr);
        line->SetText(ResolveTextRef(Vcon::WString(text.Text(r))), 0);
        field = line;
        break;
      }
      case 2:
        if (const int32_t picture = PositiveId(label.Text(r)); picture > 0)
          field = new ppButtonField(page.get(), picture, nullptr, text.Text(r).c_str());
        break;
      case 3:
        if (const int32_t picture = PositiveId(text.Text(r)); picture > 0)
          field = new ppDivider(page.get(), picture);
        else
          field = new ppDivider(page.get());
        break;
      default:
        break;
    }
    if (field == nullptr) continue;
    pageEmpty = false;
    field->SetMargins(left.Long(r), top.Long(r), right.Long(r), bottom.Long(r));
    page->AddField(field);
  }
  configurator->AddPanel(page.release());
  configurator->PlaceTabs();
  configurator->Invalidate();
}
