#include "catalogue/databases/iStartupProgress.h"

iStartupProgress* gStartupWindow = nullptr;

void ShowStartupProgress(const Vcon::WString& text) {
  if (gStartupWindow != nullptr) gStartupWindow->SetProgressText(text);
}
