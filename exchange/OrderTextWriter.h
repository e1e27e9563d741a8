// The order text file: a head line "ORDRE", TAB, the document's number, TAB, the customer's name,
// TAB, the description, CR LF, in Windows-1252 (characters it lacks become '?'), then the plan's
// order lines, which the plan's elements append through this writer (iOrderWriter). The file is
// written beside its final name and renamed over it once complete, then handed to the desktop's
// open action. User-interface thread only.
#pragma once

#include <cstdint>
#include <string>

#include "elements/base/iOrderWriter.h"
#include "foundation/FileRecord.h"
#include "foundation/VconString.h"

class iDocumentPlanSteps;
class zelvproDocFil;

class OrderTextWriter : public iOrderWriter {
 public:
  // The head line's bytes for these fields.
  static std::string HeadLine(const Vcon::WString& number, const Vcon::WString& customerName,
                              const Vcon::WString& description);

  OrderTextWriter(zelvproDocFil& document, iDocumentPlanSteps& steps);

  // Writes the file `target` names, then opens it on the desktop. File errors pass on; the target is
  // then unchanged.
  void Write(ppFileSpec& target);

  ppFileSpec& File() override { return open_; }
  int32_t OrderNumber() override { return orderNumber_; }
  int32_t CurrentModule() override { return module_; }
  int32_t NextModule() override { return ++module_; }

 private:
  zelvproDocFil& document_;
  iDocumentPlanSteps& steps_;
  ppFileSpec open_;
  int32_t orderNumber_ = 0;  // the document's number when it is a whole number, else 0
  int32_t module_ = 0;
};
