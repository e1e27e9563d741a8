// The view bar's services as the document window provides them: the default configurator panels
// come from the application database's layout records; the order, send and save operations are the
// document exchange's (neutral until it comes). Not owned: the application database (may be null,
// then no panel is built) and the document commands. User-interface thread only.
#pragma once

#include "canvas/editor/iViewBarServices.h"

class iDocumentCommands;
class qxApplicationdb;

class zelvproWindowServices : public iViewBarServices {
 public:
  zelvproWindowServices(qxApplicationdb* application, iDocumentCommands& document)
      : application_(application), document_(document) {}

  void BuildConfigurator(int32_t record) override;
  void SaveDocument() override;
  void SaveDocumentAs() override;

 private:
  qxApplicationdb* application_;
  iDocumentCommands& document_;
};
