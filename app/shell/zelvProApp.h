// The program's application object: the framework's application with the skin's pictures and
// colours, the application record applied to the process-wide settings and to the frame's menu,
// and the menu texts of the current language.
//
// Ownership: the program entry owns it. It owns its colour cache and every picture it hands out
// (askers never delete them); its destructor deletes the about and credits windows. The skin and
// application databases are start-up's. User-interface thread only.
#pragma once

#include <cstdint>

#include "app/skin/SkinColorCache.h"
#include "app/skin/SkinPictures.h"
#include "framework/ppApplication.h"

class qxApplicationFil;

class zelvProApp : public ppApplication {
 public:
  zelvProApp(plat::HINSTANCE instance, plat::HINSTANCE previous);
  ~zelvProApp() override;

  // ---- Skin.
  ppPicture* GetPictureAt(int32_t id, int32_t variant) override;
  ppPicture* GetFramePicture(int32_t id) override;
  // Bytes 0 to 255 per channel, from the skin's percent.
  ppRGBColor GetColor(int32_t id) override;
  ppFloat4 GetColorF(int32_t id) override;
  ppPicture* GetFillPicture(int32_t id) override;
  // Keeps `color` (0 to 1 per channel, alpha ignored) for skin id `id` for the rest of the run.
  void SetColor(int32_t id, const ppFloat4& color);
  void SetColorF(int32_t id, const ppFloat4& color) override { SetColor(id, color); }
  const SkinColorCache& Colors() const { return colors_; }

  // ---- Application record and menus.
  // Applies the record held in `file`'s buffer to the process-wide settings (ShellSettings) and
  // fits `menuBar` (the frame's menu) to them; installs the menu text supplier.
  void ApplyApplicationRecord(qxApplicationFil& file, plat::HMENU menuBar);
  // Puts the menus of the frame and of the client into the current language, then the document
  // window's texts and the application's own views.
  void UpdateTexts() override;
  // The document window, whose texts UpdateTexts refreshes; not owned, null when none.
  void SetDocumentWindow(ppView* window) { documentWindow_ = window; }

 private:
  SkinColorCache colors_;
  SkinPictures pictures_;
  ppView* documentWindow_ = nullptr;
};
