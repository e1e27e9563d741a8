#include "exchange/ShowServerFailure.h"

#include "exchange/Save2ServerFailure.h"
#include "exchange/ShowServerError.h"

void ShowServerFailure(plat::HWND parent, const Save2ServerFailure& failure, int32_t titleTextId) {
  ShowServerError(parent, titleTextId, -failure.GetCode());
}
