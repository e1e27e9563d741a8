// A data unit whose control offers a list of items to choose from.
#pragma once

#include "framework/ppDataUnit.h"

class ppListQuery : public ppDataUnit {};
