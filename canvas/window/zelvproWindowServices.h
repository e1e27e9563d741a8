// The view bar's services as the document window provides them: the default configurator panels
// come from the application database's layout records; the order, send and save operations are the
// application's commands, which reach the document exchange. Not owned: the application database (may be
// null, then no panel is built but the item list's own, SetItemListPanel) and the document commands.
// User-interface thread only.
#pragma once

#include <cstdint>
#include <functional>
#include <utility>

#include "canvas/editor/iViewBarServices.h"

class iDocumentCommands;
class qxApplicationdb;

class zelvproWindowServices : public iViewBarServices {
 public:
  zelvproWindowServices(qxApplicationdb* application, iDocumentCommands& document)
      : application_(application), document_(document) {}

  // The item list view's default panel record.
  static constexpr int32_t kItemListPanel = 1005;
  // The application's commands the bar's order and server buttons run: the order by e-mail, the
  // order over TCP, the save to the document server.
  static constexpr int32_t kMailOrderCommand = -18, kSendOrderCommand = -17, kServerSaveCommand = -31;

  void BuildConfigurator(int32_t record) override;
  // Builds the item list's panel when there is no application database to build it from.
  void SetItemListPanel(std::function<void()> build) { itemListPanel_ = std::move(build); }
  void SaveDocument() override;
  void SaveDocumentAs() override;
  // The application runs the orders and the server save (no application: nothing happens).
  void SendOrderByMail() override;
  void SendOverInternet() override;
  void SaveToServer() override;
  // The application record's "mailAdress" and "webSite" (empty without an application database).
  Vcon::WString MailAddress() override;
  Vcon::WString WebSite() override;

 private:
  Vcon::WString RecordText(const char* field) const;

  qxApplicationdb* application_;
  iDocumentCommands& document_;
  std::function<void()> itemListPanel_;
};
