// Pictures made in memory, an application that hands them out, and a visible window bound to a
// window object, for the tests of buttons, adorners, scrolling, dialogs, printing and element
// panels: no bitmap resources are needed.
#pragma once

#include <cstring>
#include <functional>
#include <map>
#include <memory>
#include <vector>

#include "foundation/ProcessServices.h"
#include "framework/ppApplication.h"
#include "framework/ppPicture.h"
#include "framework/ppWindow.h"
#include "platform/HeadlessDriver.h"
#include "platform/WindowApi.h"

namespace adorner_tests {

// A 24-bit picture whose pixel (x, y from the top) is colour(x, y) as 0xRRGGBB.
inline std::unique_ptr<ppPicture> MakePicture(int32_t w, int32_t h,
                                              const std::function<uint32_t(int, int)>& colour) {
  const int32_t row = (w * 3 + 3) & ~3;
  std::vector<uint8_t> data(40 + size_t(row) * h);
  plat::BITMAPINFOHEADER header;
  header.biWidth = w;
  header.biHeight = -h;
  header.biBitCount = 24;
  std::memcpy(data.data(), &header, 40);
  for (int y = 0; y < h; ++y) {
    for (int x = 0; x < w; ++x) {
      uint32_t c = colour(x, y);
      uint8_t* p = data.data() + 40 + size_t(y) * row + size_t(x) * 3;
      p[0] = uint8_t(c);
      p[1] = uint8_t(c >> 8);
      p[2] = uint8_t(c >> 16);
    }
  }
  return std::make_unique<ppPicture>(reinterpret_cast<const plat::BITMAPINFOHEADER*>(data.data()));
}

inline std::unique_ptr<ppPicture> SolidPicture(int32_t w, int32_t h, uint32_t rgb) {
  return MakePicture(w, h, [rgb](int, int) { return rgb; });
}

// The application of the test: pictures by id (null when none was given) and colours by id.
// Installs itself as the program's application and removes itself again.
class TestApplication : public ppApplication {
 public:
  TestApplication() : ppApplication(nullptr, nullptr) { gApplication = this; }
  ~TestApplication() override { gApplication = nullptr; }

  ppPicture* GetPictureAt(int32_t base, int32_t offset) override { return Find(pictures, base + offset); }
  ppPicture* GetFramePicture(int32_t id) override { return Find(frames, id); }
  ppPicture* GetFillPicture(int32_t id) override { return Find(fills, id); }
  ppRGBColor GetColor(int32_t id) override {
    return colours.count(id) ? colours[id] : ppRGBColor{255, 255, 255};
  }

  std::map<int32_t, std::unique_ptr<ppPicture>> pictures;
  std::map<int32_t, std::unique_ptr<ppPicture>> frames;
  std::map<int32_t, std::unique_ptr<ppPicture>> fills;
  std::map<int32_t, ppRGBColor> colours;

 private:
  static ppPicture* Find(std::map<int32_t, std::unique_ptr<ppPicture>>& map, int32_t id) {
    auto it = map.find(id);
    return it == map.end() ? nullptr : it->second.get();
  }
};

// A visible child-class window of `width` x `height` at the screen's origin, bound to `object`, which
// owns it from then on; the queue is run dry.
inline plat::HWND MakeObjectWindow(ppWindow* object, int32_t width, int32_t height) {
  plat::WNDCLASSA wc;
  wc.lpfnWndProc = ppWindow::ChildProc;
  wc.lpszClassName = "ZelvCtrl";
  plat::RegisterClassA(&wc);
  ppWindow::SetObjectUnderConstruction(object);
  plat::HWND hwnd = plat::CreateWindowExA(0, "ZelvCtrl", "", plat::WS_POPUP | plat::WS_VISIBLE, 0, 0, width,
                                          height, nullptr, nullptr, nullptr, nullptr);
  object->SetOwnsWindow(true);
  plat::HeadlessDriver::RunUntilIdle();
  return hwnd;
}

}  // namespace adorner_tests
