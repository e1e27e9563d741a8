#include "controls/zelvproDocConfigurator.h"

#include "controls/iDocumentRecordLink.h"
#include "database/ppDatafile.h"
#include "platform/ResetList.h"

namespace {

// The document configurator and the open document's link; user-interface thread only, not owned.
zelvproDocConfigurator* gDocConfigurator = nullptr;
iDocumentRecordLink* gLink = nullptr;

[[maybe_unused]] const bool kReset = plat::ResetList::Add("document configurator and record link", [] {
  gDocConfigurator = nullptr;
  gLink = nullptr;
});

// The property names by index and the Unicode fields of the document record they stand for.
struct Property {
  const char* name;
  const char* field;
};
constexpr Property kProperties[zelvproDocConfigurator::kPropertyCount] = {
    {"Number", "number"},
    {"Revision", "revisonNumber"},
    {"Note", "description"},
    {"CustomerName", "costumerName"},
    {"CustomerReference", "costumerRef"},
    {"CustomerAddress", "costumerAddress"},
    {"CustomerCity", "costumerCity"},
    {"CustomerPhone", "costumerPhone"},
    {"UseDocumentFactors", "useDocumentFactors"},
    {"ExchangeFactor", "exchangeFactor"},
    {"ProfitFactor", "profitFactor"},
};
constexpr int32_t kLastText = 7, kUseFactors = 8;

bool Valid(int32_t index) { return index >= 0 && index < zelvproDocConfigurator::kPropertyCount; }

}  // namespace

zelvproDocConfigurator::zelvproDocConfigurator(ppView* configurator) : ppConfigPanel(configurator) {
  Subscribe(kDocumentChannel, kDocumentLoaded);
  gDocConfigurator = this;
}

zelvproDocConfigurator::~zelvproDocConfigurator() {
  if (gDocConfigurator == this) gDocConfigurator = nullptr;
}

zelvproDocConfigurator* zelvproDocConfigurator::Global() { return gDocConfigurator; }

void zelvproDocConfigurator::SetDocumentRecordLink(iDocumentRecordLink* link) { gLink = link; }

int32_t zelvproDocConfigurator::IndexOf(const Vcon::String& name) {
  for (int32_t i = 0; i < kPropertyCount; ++i) {
    if (name == kProperties[i].name) return i;
  }
  return kNoProperty;
}

void zelvproDocConfigurator::GetPropertyName(Vcon::String& out, int32_t index) {
  out = Valid(index) ? kProperties[index].name : "";
}

ppParameter zelvproDocConfigurator::GetValue(int32_t index) {
  ppDatafile* records = gLink != nullptr ? gLink->DocumentRecords() : nullptr;
  if (!Valid(index) || records == nullptr) return {};
  ppParameter stored;
  records->GetFieldValue(records->IndexOf(kProperties[index].field), stored, nullptr);
  if (index <= kLastText) return ppParameter(stored.AsWString());
  if (index == kUseFactors) return ppParameter(stored.ToLong());
  return ppParameter(stored.ToDouble());
}

void zelvproDocConfigurator::SetValue(int32_t index, const ppParameter& value) {
  ppDatafile* records = gLink != nullptr ? gLink->DocumentRecords() : nullptr;
  if (!Valid(index) || records == nullptr) return;
  ppParameter stored;
  if (index <= kLastText) {
    stored = ppParameter(value.AsWString());
  } else if (index == kUseFactors) {
    stored = ppParameter(value.ToLong());
  } else {
    stored = ppParameter(value.ToDouble());
  }
  records->SetFieldValue(records->IndexOf(kProperties[index].field), stored, nullptr);
  // An edited customer name must not be lost at close without a question.
  gLink->MarkModified();
}
