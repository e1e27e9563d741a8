// What the room asks of the document exchange: swapping a packed document snapshot into the open
// document. The document layer installs its loader here; without one nothing is swapped.
#pragma once

#include "foundation/Vcon_HandleManager.h"

class iDocumentLoader {
 public:
  virtual ~iDocumentLoader() = default;
  // Writes the open document into a new handle, reads `packed` into the document and rebuilds the
  // plan from it; answers the new handle (the document as it was), which the caller owns. Answers
  // null, with the document unchanged, when `packed` cannot be read (the neutral loader always).
  // `packed` stays the caller's.
  virtual Handle LoadFromFile(Handle /*packed*/) { return nullptr; }

  // The installed loader, or the neutral one; never null.
  static iDocumentLoader& Current();
  // Installs `loader` (null: the neutral one again). Not owned.
  static void Install(iDocumentLoader* loader);
};
