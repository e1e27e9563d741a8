#include "elements/base/qxPagePrintSettings.h"

#include "scene3d/panes/qxPrintPage.h"

namespace {

iPrintSettings gNeutral;

}  // namespace

qxPagePrintSettings::qxPagePrintSettings(const qxPrintPage& page)
    : page_(page), previous_(iPrintSettings::Installed()) {
  iPrintSettings::Install(this);
}

qxPagePrintSettings::~qxPagePrintSettings() { iPrintSettings::Install(previous_); }

iPrintSettings& qxPagePrintSettings::Outer() { return previous_ != nullptr ? *previous_ : gNeutral; }

PrintPageFields qxPagePrintSettings::PageFields(int32_t /*page*/) {
  PrintPageFields fields;
  fields.clip = page_.image;
  fields.outlinePage = Outer().OutlineOnly();
  fields.fontSizeFactor = page_.textScale;
  fields.origin = ppVector2(page_.zero[0], page_.zero[1]);
  fields.pixelsPerMillimetre = page_.imageScale;
  fields.offset = plat::POINT{page_.image.left, page_.image.top};
  fields.done = done_;
  fields.header = page_.options[0] == 0;
  return fields;
}

void qxPagePrintSettings::MarkPageDone(int32_t /*page*/) { done_ = true; }
