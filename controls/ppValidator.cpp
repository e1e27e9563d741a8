#include "controls/ppValidator.h"

ppValidator::~ppValidator() = default;
