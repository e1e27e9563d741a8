#include "database/dbHandlerFactory.h"

#include "database/dbBlobHandler.h"
#include "database/dbBooleanHandler.h"
#include "database/dbDateHandler.h"
#include "database/dbDoubleHandler.h"
#include "database/dbFloatHandler.h"
#include "database/dbLinkHandler.h"
#include "database/dbLongHandler.h"
#include "database/dbMoneyHandler.h"
#include "database/dbPictHandler.h"
#include "database/dbQuantityHandler.h"
#include "database/dbStringHandler.h"
#include "database/dbTimeHandler.h"
#include "database/dbUnicodeHandler.h"

std::unique_ptr<dbHandler> dbHandlerFactory::ForType(int32_t typeCode) {
  switch (typeCode) {
    case 1:
      return std::make_unique<dbStringHandler>();
    case 3:
      return std::make_unique<dbMoneyHandler>();
    case 4:
      return std::make_unique<dbDoubleHandler>();
    case 5:
      return std::make_unique<dbDateHandler>();
    case 6:
      return std::make_unique<dbTimeHandler>();
    case 7:
      return std::make_unique<dbBooleanHandler>();
    case 8:
      return std::make_unique<dbLinkHandler>();
    case 9:
    case 10:
    case 12:
    case 16:
      return std::make_unique<dbBlobHandler>();
    case 11:
      return std::make_unique<dbPictHandler>();
    case 13:
      return std::make_unique<dbFloatHandler>();
    case 14:
      return std::make_unique<dbUnicodeHandler>();
    case 17:
      return std::make_unique<dbQuantityHandler>();
    default:
      return std::make_unique<dbLongHandler>();  // 2, 15 and every unknown code
  }
}
