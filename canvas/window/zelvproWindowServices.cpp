#include "canvas/window/zelvproWindowServices.h"

#include "canvas/window/iDocumentCommands.h"
#include "catalogue/databases/qxApplicationdb.h"
#include "elements/base/iElementHost.h"

void zelvproWindowServices::BuildConfigurator(int32_t record) {
  if (application_ != nullptr)
    application_->BuildConfigurator(record);
  else if (record == kItemListPanel && itemListPanel_)
    itemListPanel_();
}

void zelvproWindowServices::SaveDocument() { document_.Save(); }

void zelvproWindowServices::SaveDocumentAs() { document_.SaveAs(iElementHost::Current().CurrentViewId()); }
