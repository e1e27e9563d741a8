#include "canvas/window/zelvproWindowServices.h"

#include "canvas/window/iDocumentCommands.h"
#include "catalogue/databases/qxApplicationdb.h"
#include "catalogue/records/RecordField.h"
#include "catalogue/records/qxApplicationFil.h"
#include "elements/base/iElementHost.h"
#include "framework/ppApplication.h"

namespace {

void RunApplicationCommand(int32_t command) {
  if (gApplication != nullptr) gApplication->DoCommand(command, 0);
}

}  // namespace

void zelvproWindowServices::BuildConfigurator(int32_t record) {
  if (application_ != nullptr)
    application_->BuildConfigurator(record);
  else if (record == kItemListPanel && itemListPanel_)
    itemListPanel_();
}

void zelvproWindowServices::SaveDocument() { document_.Save(); }

void zelvproWindowServices::SaveDocumentAs() { document_.SaveAs(iElementHost::Current().CurrentViewId()); }

void zelvproWindowServices::SendOrderByMail() { RunApplicationCommand(kMailOrderCommand); }
void zelvproWindowServices::SendOverInternet() { RunApplicationCommand(kSendOrderCommand); }
void zelvproWindowServices::SaveToServer() { RunApplicationCommand(kServerSaveCommand); }

Vcon::WString zelvproWindowServices::MailAddress() { return RecordText("mailAdress"); }
Vcon::WString zelvproWindowServices::WebSite() { return RecordText("webSite"); }

Vcon::WString zelvproWindowServices::RecordText(const char* field) const {
  if (application_ == nullptr) return {};
  qxApplicationFil& record = application_->ApplicationFile();
  return WideFromString(RecordField(record, field).Text(record.GetRecordBuffer()));
}
