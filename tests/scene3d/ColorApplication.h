// An application object that answers chosen colours (opaque white for the rest) and stands as the
// process's application while it lives.
#pragma once

#include <map>

#include "framework/ppApplication.h"

class ColorApplication : public ppApplication {
 public:
  ColorApplication() : ppApplication(nullptr, nullptr) { gApplication = this; }
  ~ColorApplication() override { gApplication = nullptr; }

  std::map<int32_t, ppFloat4> colors;

  ppFloat4 GetColorF(int32_t id) override {
    auto found = colors.find(id);
    return found != colors.end() ? found->second : ppFloat4(1, 1, 1, 1);
  }
};
