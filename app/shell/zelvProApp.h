// The program's application object: the framework's application with the skin's pictures and
// colours, the application record applied to the process-wide settings and to the frame's menu,
// and the menu texts of the current language.
//
// Start-up builds the run's working state in a fixed order (settings databases, frame and its
// placement, preferences, catalogues, document record file, document window) and the destructor
// takes it down again in reverse; a database that cannot be opened ends the start with one box that
// names the file (StartCancelled). Its commands, message hooks and help complete it.
//
// Ownership: the program entry owns it. It owns its colour cache and every picture it hands out
// (askers never delete them), the settings and catalogue databases, the document record file, the
// document window and what start-up installed for the lower layers; its destructor deletes the
// about and credits windows once each. User-interface thread only.
#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <string_view>

#include "app/skin/SkinColorCache.h"
#include "app/skin/SkinPictures.h"
#include "framework/ppApplication.h"

class CatalogDatabaseList;
class LocalDocumentFiles;
class RecordGridMaker;
class iDocumentCommands;
class ShellSceneRefresh;
class qxApplicationFil;
class qxApplicationdb;
class qxResourcedb;
class qxSkindb;
class zelvproDocFil;
class zelvproDocRecordLink;
class zelvproElementConfigurator;
class zelvproWindow;

class zelvProApp : public ppApplication {
 public:
  // Thrown by Startup after its box has told the user why the start cannot go on.
  struct StartCancelled {};

  static constexpr int32_t kAboutCommand = 1, kCreditsCommand = 2, kHelpCommand = 49,
                           kPreferencesCommand = 3050, kGridTesterCommand = 5000;
  static constexpr int32_t kOpenFromServer = -32, kSaveToServer = -31, kWritePriceList = -23,
                           kPrintLayoutDump = -22, kAlternativePriceList = -21, kMailOrder = -18,
                           kCentralServer = -17;
  static constexpr int32_t kPrintCommand = 22;
  static constexpr int32_t kFrameWidth = 975, kFrameHeight = 720;  // pixels, placements 1 and 2
  static constexpr int32_t kSmallScreenHeight = 700;               // pixels, at most: small screen
  static constexpr int32_t kFirstCursor = 139, kCursorCount = 8;

  zelvProApp(plat::HINSTANCE instance, plat::HINSTANCE previous);
  ~zelvProApp() override;

  // ---- Start-up.
  // The argument bytes of the program (UTF-8), handed to the document window; set before Startup.
  void SetCommandLine(std::string line) { commandLine_ = std::move(line); }
  // The document operations the document window uses instead of the program's own local document
  // files (not owned; null: the program's own); set before Startup.
  void SetDocumentCommands(iDocumentCommands* commands) { documentCommands_ = commands; }
  // False on a palette display, after the box that says so.
  bool CanStart() override;
  void Startup() override;
  void LoadCursors() override;
  // The cursor table index of cursor 139 + `slot` (0..7); 0 before LoadCursors.
  int32_t CursorSlot(int32_t slot) const;
  bool SmallScreen() const { return smallScreen_; }
  zelvproWindow* DocumentWindow() const { return documentWindow_; }
  qxApplicationdb* ApplicationDatabase() const { return applicationDb_.get(); }

  // ---- Commands and message hooks.
  void DoCommand(int32_t command, intptr_t parameter) override;
  int32_t HandleMessage(plat::UINT message, plat::WPARAM wParam, plat::LPARAM lParam) override;
  bool PreTranslate(plat::MSG* msg) override;
  void KeyDown(signed char key, int32_t flags) override;
  bool CanClose() override;
  void UpdateTargetMenus() override;
  // A second start's command line (at most `size` bytes, up to a NUL): the document it names is
  // posted to the document window (command 3044) and the window comes to the front. False, with a
  // beep, while there is no document window yet.
  bool HandOver(std::string_view text);

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
  void SetDocumentWindow(ppView* window) { textWindow_ = window; }

 private:
  void OpenSettingsDatabases();
  void PlaceFrame();
  void ResolveColorGroups();
  void MakeDocumentWindow();
  void OpenHelp();
  void RunPreferences();
  void AskCentralServer();
  void PrintWithFlag(bool alternativeLayout);

  SkinColorCache colors_;
  SkinPictures pictures_;
  ppView* textWindow_ = nullptr;  // the view whose texts UpdateTexts refreshes; not owned
  std::string commandLine_;
  iDocumentCommands* documentCommands_ = nullptr;
  bool smallScreen_ = false;
  int32_t cursors_[kCursorCount] = {};
  // What start-up builds, in the order it does; the destructor deletes in reverse.
  std::unique_ptr<qxApplicationdb> applicationDb_;
  std::unique_ptr<qxResourcedb> resourcesDb_;
  std::unique_ptr<qxSkindb> skinDb_;
  std::unique_ptr<CatalogDatabaseList> catalogues_;
  std::unique_ptr<zelvproDocFil> documentFile_;
  std::unique_ptr<zelvproDocRecordLink> documentLink_;
  std::unique_ptr<LocalDocumentFiles> localDocuments_;  // unless SetDocumentCommands named others
  std::unique_ptr<zelvproElementConfigurator> elementConfigurator_;
  std::unique_ptr<RecordGridMaker> gridMaker_;
  std::unique_ptr<ShellSceneRefresh> sceneRefresh_;
  zelvproWindow* documentWindow_ = nullptr;  // owned
};
