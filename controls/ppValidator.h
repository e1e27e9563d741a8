// The check of an edited grid cell (or edit field) before its value is stored: a validator may
// accept the value as it is, accept it replaced (by a looked-up record's value, say), or refuse it,
// which keeps the editor open with the user's text. Validators belong to whoever built the column;
// the grid and its columns only point to them. User-interface thread only.
#pragma once

#include "foundation/ppParameter.h"

class ppEditTextField;

class ppValidator {
 public:
  ppValidator() = default;
  virtual ~ppValidator();
  ppValidator(const ppValidator&) = delete;
  ppValidator& operator=(const ppValidator&) = delete;

  // `value` in: the typed text as a text value; out: the value to store when accepted. `field` is
  // the edit field the text was typed in (its place on screen anchors any pick list); may be null.
  // True accepts, false refuses.
  virtual bool Validate(ppParameter& value, ppEditTextField* field) = 0;
};
