#include "canvas/window/iDocumentCommands.h"

iDocumentCommands& iDocumentCommands::Neutral() {
  static iDocumentCommands neutral;
  return neutral;
}
