#include "exchange/iDocumentPlanSteps.h"

iDocumentPlanSteps& iDocumentPlanSteps::Neutral() {
  static iDocumentPlanSteps neutral;  // stateless
  return neutral;
}
