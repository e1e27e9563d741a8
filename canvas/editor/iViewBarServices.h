// What the view bar needs of the application around it that lives above the canvas layer or comes
// later: the configurator panels of the application database, the document's order, send and save
// operations, the application record's texts and the logo pane. The document window passes its
// services to the bar; the neutral services do nothing and answer empty texts.
// User-interface thread only.
#pragma once

#include <cstdint>

#include "foundation/VconString.h"
#include "platform/GdiTypes.h"

class ppView;

class iViewBarServices {
 public:
  virtual ~iViewBarServices() = default;

  // Shows the configurator panel of the application database's panel record `record`.
  virtual void BuildConfigurator(int32_t /*record*/) {}
  // The open document's order sent by e-mail, sent over the internet, saved to the server.
  virtual void SendOrderByMail() {}
  virtual void SendOverInternet() {}
  virtual void SaveToServer() {}
  // The open document saved to its file, or through the save-as dialog when it has none yet.
  virtual bool DocumentSavedOnce() { return false; }
  virtual void SaveDocument() {}
  virtual void SaveDocumentAs() {}

  // The application record's "mailAdress" and "webSite" texts: a text that is not empty gives the
  // bar its e-mail order or web send button.
  virtual Vcon::WString MailAddress() { return {}; }
  virtual Vcon::WString WebSite() { return {}; }
  // The inspiration file name: the primary catalogue's settings text, or the application record's
  // when that is empty; empty when neither names one.
  virtual Vcon::WString InspirationName() { return {}; }

  // A new logo pane over `frame` (the bar's own frame) as a subview of `bar`, which then owns it; the
  // default makes the application's logo pane.
  virtual ppView* MakeLogoPane(ppView* bar, const plat::RECT& frame);

  // Services that do nothing but make the logo pane. Stateless.
  static iViewBarServices& Neutral();
};
