#include "app/shell/zelvProApp.h"

#include <cstring>
#include <filesystem>

#include "app/about/zelvproAboutDialog.h"
#include "app/about/zelvproSplash.h"
#include "app/dialogs/ppGridTester.h"
#include "app/dialogs/zelvproPrefsDialog.h"
#include "app/menus/MenuBuilder.h"
#include "app/shell/ExchangeShellServices.h"
#include "app/shell/ShellSceneRefresh.h"
#include "app/shell/LocalDocumentFiles.h"
#include "app/shell/SettingsFileFailure.h"
#include "app/shell/ShellSettings.h"
#include "app/shell/iShellServices.h"
#include "app/warnings/ShowWarning.h"
#include "calculation/UnitTrees.h"
#include "canvas/editor/zelvproEditor.h"
#include "canvas/editor/zelvproEditorScroller.h"
#include "canvas/editor/zelvproViewBar.h"
#include "canvas/window/DocumentCommandLine.h"
#include "canvas/window/iDocumentCommands.h"
#include "canvas/window/zelvproEditorCanvas.h"
#include "canvas/view3d/zelvpro3DCanvas.h"
#include "canvas/window/zelvproWindow.h"
#include "catalogue/databases/CatalogDatabaseList.h"
#include "catalogue/databases/qxApplicationdb.h"
#include "catalogue/databases/qxResourcedb.h"
#include "catalogue/databases/qxSkindb.h"
#include "catalogue/databases/zelvDatabase.h"
#include "catalogue/records/RecordField.h"
#include "catalogue/records/qxApplicationFil.h"
#include "catalogue/records/qxFunctionFil.h"
#include "catalogue/records/zelvproColorGroupFil.h"
#include "catalogue/records/zelvproDocFil.h"
#include "catalogue/records/zelvproDocRecordLink.h"
#include "controls/ppColorChooser.h"
#include "controls/ppDictList.h"
#include "controls/ppSelectorDialog.h"
#include "controls/zelvproDocConfigurator.h"
#include "database/dbDatafile.h"
#include "database/dbErrors.h"
#include "database/dbStore.h"
#include "elements/base/DeletionList.h"
#include "elements/base/iApplicationSettings.h"
#include "elements/topview/RecordGridMaker.h"
#include "elements/topview/TopViewElementFactory.h"
#include "elements/topview/iConfigurator.h"
#include "elements/topview/iRecordGrids.h"
#include "elements/topview/zelvproElementConfigurator.h"
#include "elements/units/WallTopViewRecord.h"
#include "elements/units/WorktopBuilder.h"
#include "elements/units/WorktopTable.h"
#include "elements/base/iApplicationSettings.h"
#include "foundation/FileDialogs.h"
#include "foundation/FileOperations.h"
#include "foundation/PosixPath.h"
#include "foundation/LocaleNumbers.h"
#include "foundation/ProcessServices.h"
#include "foundation/ResourceAccess.h"
#include "foundation/ShellOpen.h"
#include "foundation/TextsById.h"
#include "foundation/UserPreferences.h"
#include "framework/ApplicationSettings.h"
#include "framework/GlSharedState.h"
#include "framework/ToolTipControl.h"
#include "framework/ppControlView.h"
#include "framework/ppCursorTable.h"
#include "framework/ppMenuHelper.h"
#include "framework/ppPendingDeletions.h"
#include "framework/ppPicture.h"
#include "platform/Cursors.h"
#include "platform/ResourceRegistry.h"
#include "platform/Gdi.h"
#include "platform/Menu.h"
#include "platform/MessageBox.h"
#include "platform/WindowApi.h"
#include "scene3d/objects/VertexScratch.h"
#include "scene3d/panes/Shared3DContext.h"
#include "scene3d/panes/zelvpro3DPane.h"

using namespace plat;

namespace {

// The settings file list (string array 132) and the entries start-up reads.
constexpr uint16_t kSettingsFiles = 132;
constexpr int32_t kApplicationEntry = 20, kResourcesEntry = 21, kSkinEntry = 26;
constexpr int32_t kDeleteKey = 0x2E, kBackspaceKey = 8;
constexpr const char* kDialogFont = "MS Sans Serif";

// Every record a settings database maps must lie inside its file: a file cut short still opens when
// its top pages survive, and would fail only at a later read, blamed on whatever was being read then.
// The settings databases are small, so the whole map is walked once at start-up.
void CheckRecordsLieInFile(dbStore& store) {
  const int32_t size = store.FileSize();
  for (int32_t number = 1; number <= store.LastRecordNumber(); ++number) {
    const dbExtent extent = store.MapEntry(number);
    if (extent.position == -1 || extent.length == 0) continue;  // free, or empty
    if (extent.position < dbStore::kFirstPageOffset || extent.length < 0 ||
        int64_t(extent.position) + extent.length > size)
      db::Fail(db::kDamagedFile);
  }
}

// Opens a settings database, or tells which file could not be opened and cancels the start.
template <typename Database>
std::unique_ptr<Database> OpenSettingsDatabase(int32_t entry) {
  Vcon::WString path;
  GetStringArrayText(path, kSettingsFiles, entry);
  ppFileSpec file(path);
  try {
    // Opening would make an empty database where the file is missing: the settings must exist.
    std::error_code failed;
    if (!std::filesystem::is_regular_file(Vcon::ResolvePosixPath(std::u16string_view(path)), failed))
      throw kFileErrCannotOpen;
    auto database = std::make_unique<Database>(file);
    CheckRecordsLieInFile(database->Store());
    return database;
  } catch (int32_t code) {
    // Wide: the path may hold any character the file system allows.
    const std::u16string text = Vcon::Utf16FromUtf8(SettingsFileFailureText(path, code, ""));
    const std::u16string caption = Vcon::Utf16FromUtf8(ppApplication::kFrameClass);
    MessageBoxW(nullptr, text.c_str(), caption.c_str(), MB_ICONHAND);
    throw zelvProApp::StartCancelled{};
  }
}

// One box for each catalogue that failed to open; the run goes on without it.
void TellCatalogueFailures(const CatalogDatabaseList& catalogues) {
  for (const CatalogDatabaseList::Failure& failure : catalogues.Failures()) {
    const std::u16string text = Vcon::Utf16FromUtf8(
        SettingsFileFailureText(failure.path, failure.error, "The program goes on without this catalogue."));
    const std::u16string caption = Vcon::Utf16FromUtf8(ppApplication::kFrameClass);
    MessageBoxW(nullptr, text.c_str(), caption.c_str(), MB_ICONEXCLAMATION);
  }
}

}  // namespace

// Without a handle of its own the program is its own module: its cursor resources are the registry's.
zelvProApp::zelvProApp(HINSTANCE instance, HINSTANCE previous)
    : ppApplication(instance != nullptr ? instance : plat::ProgramInstance(), previous) {}

zelvProApp::~zelvProApp() {
  // Views retired by the last message first: they may still refer to the document window.
  ppPendingDeletions::DeleteAll();
  // The warning window's alerters listen to the document window: they go first.
  DestroyWarningWindow();
  zelvproPrefsDialog::SetPlanEditor(nullptr);
  delete documentWindow_;
  documentWindow_ = nullptr;
  textWindow_ = nullptr;
  ppSelectorDialog::InstallSceneRefresh(nullptr);
  sceneRefresh_.reset();
  if (exchangeServices_ != nullptr && &iShellServices::Current() == exchangeServices_.get())
    iShellServices::Install(nullptr);
  exchangeServices_.reset();
  localDocuments_.reset();
  if (&iConfigurator::Current() == elementConfigurator_.get()) iConfigurator::Install(nullptr);
  elementConfigurator_.reset();
  iRecordGrids::Install(nullptr);
  gridMaker_.reset();
  zelvproDocConfigurator::SetDocumentRecordLink(nullptr);
  documentLink_.reset();
  documentFile_.reset();
  FreeUnitTrees();
  catalogues_.reset();
  // It keeps a pointer into the main catalogue: a later start in this process must look it up again.
  WallTopViewRecord::Reset();
  resourcesDb_.reset();
  // The splash is the about window: deleted here once, and the credits window too.
  DeleteAboutWindow();
  DeleteCreditsWindow();
  VertexScratch::Release();
  Shared3DContext::Delete();
  ReleaseOpenGL();
  applicationDb_.reset();
  skinDb_.reset();
}

// ---- Start-up.

bool zelvProApp::CanStart() {
  if (!ppApplication::CanStart()) return false;
  HWND desktop = GetDesktopWindow();
  HDC dc = GetDC(desktop);
  const int32_t caps = dc != nullptr ? GetDeviceCaps(dc, RASTERCAPS) : 0;
  if (dc != nullptr) ReleaseDC(desktop, dc);
  if ((caps & RC_PALETTE) == 0) return true;
  Vcon::WString caption, text;
  if (!GetTextById(5038, caption)) caption = u"Forkert sk\u00e6rmopl\u00f8sning";
  if (!GetTextById(5039, text))
    text =
        u"Zelvo kan ikke fungere med 256 eller f\u00e6rre farver p\u00e5 sk\u00e6rmen. \nS\u00e6t farverne "
        u"p\u00e5 "
        u"sk\u00e6rmen til st\u00e6rke eller \u00e6gte farver og pr\u00f8v igen.";
  MessageBoxW(desktop, text.c_str(), caption.c_str(), MB_ICONHAND | MB_SYSTEMMODAL);
  return false;
}

void zelvProApp::OpenSettingsDatabases() {
  applicationDb_ = OpenSettingsDatabase<qxApplicationdb>(kApplicationEntry);
  resourcesDb_ = OpenSettingsDatabase<qxResourcedb>(kResourcesEntry);
  skinDb_ = OpenSettingsDatabase<qxSkindb>(kSkinEntry);
}

void zelvProApp::Startup() {
  // 1, 2: the screen rectangle InitScreenAndMemory stored is read where needed.
  (void)kDialogFont;
  // 3: window classes of the control views, the 3D view and the record-bound list.
  RegisterControlViewClass();
  zelvpro3DPane::RegisterClass();
  ppDictList::RegisterWindowClass();
  // 4
  smallScreen_ = gScreenRect.bottom - gScreenRect.top <= kSmallScreenHeight;
  // 5
  OpenSettingsDatabases();
  // 6: cursors, classes, the frame with its client, its first showing, the menu helper.
  ppApplication::Startup();
  // 7
  InitPreferencesPath();
  LoadDisplaySettings();
  // 8
  PlaceFrame();
  // 9
  ShowSplash();
  // 10: the locale's characters serve the integer texts of dialogs and the discount percentage; the
  // preferences keep their own separators.
  ReadLocaleNumberChars();
  // 11: the application record's settings and menus; the renderers it names.
  ApplyApplicationRecord(applicationDb_->ApplicationFile(), FrameMenu());
  {
    qxApplicationFil& record = applicationDb_->ApplicationFile();
    auto text = [&record](const char* name) {
      return std::string(RecordField(record, name).Text(record.GetRecordBuffer()).c_str());
    };
    zelvpro3DPane::SetRenderSettings(text("renderSettings"), text("renderOptions"));
  }
  if (!FrameTitle().empty() && Frame() != nullptr) SetWindowTextA(Frame(), FrameTitle().c_str());
  // 12: catalogues; the calculation's unit trees read over them, once for the run (step 19 only
  // lists the files: reading them again would add every node twice). Only a service line's panel
  // reads the trees: they are read when it first asks, not at every start.
  catalogues_ = std::make_unique<CatalogDatabaseList>();
  TellCatalogueFailures(*catalogues_);
  LoadUnitTreesWhenAsked();
  if (!iShellServices::AnyInstalled()) {
    exchangeServices_ = std::make_unique<ExchangeShellServices>();
    iShellServices::Install(exchangeServices_.get());
  }
  // 13
  WorktopTable::ReadWorktopInfo();
  WorktopBuilder::InstallDefault();
  TopViewElementFactory::Install();
  // 14, 15
  ResolveColorGroups();
  // 16: the document record file over the main catalogue, and the document configurator's link.
  if (MainCatalogDatabase != nullptr) documentFile_ = std::make_unique<zelvproDocFil>(*MainCatalogDatabase);
  documentLink_ = std::make_unique<zelvproDocRecordLink>();
  zelvproDocConfigurator::SetDocumentRecordLink(documentLink_.get());
  if (documentCommands_ == nullptr && documentFile_ != nullptr)
    localDocuments_ = std::make_unique<LocalDocumentFiles>(*documentFile_);
  // 17 to 20
  MakeDocumentWindow();
  // 21
  HideSplash(false);
  // 22
  UpdateTexts();
  // 23
  if (documentWindow_ != nullptr && documentWindow_->ViewBar() != nullptr)
    documentWindow_->ViewBar()->SelectViewByIndex(ShellSettings::Current().StartPage());
}

void zelvProApp::PlaceFrame() {
  SetPlacementMode(int32_t(Preferences().displayConfiguration));
  HWND frame = Frame();
  if (frame == nullptr) return;
  switch (PlacementMode()) {
    case 0:
      ShowWindow(frame, SW_MAXIMIZE);
      UpdateWindow(frame);
      break;
    case 1:
      MoveWindow(frame, gScreenRect.left, gScreenRect.top, kFrameWidth, kFrameHeight, true);
      break;
    case 2:
      MoveWindow(frame, gScreenRect.right - kFrameWidth, gScreenRect.top, kFrameWidth, kFrameHeight, true);
      break;
    default:
      break;
  }
}

void zelvProApp::ResolveColorGroups() {
  zelvDatabase* main = MainCatalogDatabase;
  auto resolve = [main](int32_t reference) {
    if (reference == 0 || main == nullptr) return reference;
    zelvproColorGroupFil& groups = main->ColorGroupFile();
    groups.Select(0, dbDatafile::kEqual, ppParameter(reference), ppParameter(reference), '#');
    return groups.GetSelectedCount() > 0 ? groups.RecordIdAt(0) : reference;
  };
  ShellSettings& settings = ShellSettings::Current();
  settings.SetColorGroups(resolve(settings.WallColorGroup()), resolve(settings.FloorColorGroup()));
}

void zelvProApp::MakeDocumentWindow() {
  // 17: the client's rectangle (the screen inset by 50 pixels was only ever a first guess).
  RECT rect{gScreenRect.left + 50, gScreenRect.top + 50, gScreenRect.right - 50, gScreenRect.bottom - 50};
  if (window_ != nullptr) GetClientRect(window_, &rect);
  // 18: sixteen white slots, then the file over them; a damaged file leaves the defaults.
  InitCustomColorFile();
  try {
    LoadCustomColors();
  } catch (...) {
  }
  // 19
  iShellServices::Current().ListCalculationUnits();
  // 20
  zelvproWindow::Parts parts;
  parts.application = applicationDb_.get();
  parts.catalogue = MainCatalogDatabase;
  parts.document = documentCommands_ != nullptr ? documentCommands_
                   : localDocuments_ != nullptr ? &localDocuments_->Commands()
                                                : nullptr;
  parts.commandLine = commandLine_;
  parts.frame = Frame();
  parts.make3DCanvas = zelvpro3DCanvas::Maker(MainCatalogDatabase);
  documentWindow_ = new zelvproWindow(rect, std::move(parts));
  SetDocumentWindow(documentWindow_);
  // The preferences' OK tells the plan editor of a new unit system, so that its rulers follow.
  if (zelvproEditorCanvas* editor = documentWindow_->EditorCanvasView())
    zelvproPrefsDialog::SetPlanEditor(editor->Editor());
  // The adapters the elements and pop-ups ask for, now that the window and its configurator exist.
  elementConfigurator_ = std::make_unique<zelvproElementConfigurator>();
  iConfigurator::Install(elementConfigurator_.get());
  gridMaker_ = std::make_unique<RecordGridMaker>();
  iRecordGrids::Install(gridMaker_.get());
  sceneRefresh_ = std::make_unique<ShellSceneRefresh>(documentWindow_);
  ppSelectorDialog::InstallSceneRefresh(sceneRefresh_.get());
  if (exchangeServices_ != nullptr && DocumentRecordFile != nullptr)
    exchangeServices_->Attach(*documentWindow_, *DocumentRecordFile);
  if (exchangeServices_ != nullptr && localDocuments_ != nullptr)
    exchangeServices_->UseDocumentOperations(&localDocuments_->Operations());
  // The placement-warning rules, read once; their window watches the document window.
  StartPlacementWarnings();
}

void zelvProApp::LoadCursors() {
  ppApplication::LoadCursors();
  ppCursorTable* table = ppCursorTable::Global();
  for (int32_t i = 0; i < kCursorCount; ++i) {
    if (table == nullptr) break;
    // A cursor the resources lack would leave the pointer invisible while it is set: the arrow
    // stands in for it.
    cursors_[i] = table->AddWithFallback(GetInstance(), kFirstCursor + i, IDC_ARROW);
  }
}

int32_t zelvProApp::CursorSlot(int32_t slot) const {
  return slot >= 0 && slot < kCursorCount ? cursors_[slot] : 0;
}

// ---- Commands.

void zelvProApp::DoCommand(int32_t command, intptr_t parameter) {
  iShellServices& services = iShellServices::Current();
  switch (command) {
    case kOpenFromServer:
      services.OpenFromServer();
      return;
    case kSaveToServer:
      services.SaveToServer();
      return;
    case kWritePriceList: {
      const Vcon::String& path = ShellSettings::Current().PriceListOutput();
      if (!path.empty()) services.WritePriceList(path);
      return;
    }
    case kPrintLayoutDump:
      PrintWithFlag(false);
      return;
    case kAlternativePriceList:
      PrintWithFlag(true);
      return;
    case kMailOrder:
      services.MailOrder(Frame() != nullptr ? Frame() : GetHWND());
      return;
    case kSendOrder:
      // The order asks for the consent (texts 6246 and 6247) itself: one question, not two.
      services.SendOrder(documentWindow_ != nullptr ? documentWindow_->GetHWND() : GetHWND());
      return;
    case kAboutCommand:
      ShowAboutWindow();
      return;
    case kCreditsCommand:
      ShowCreditsWindow();
      return;
    case kHelpCommand:
      OpenHelp();
      return;
    case kPreferencesCommand:
      RunPreferences();
      return;
    case kGridTesterCommand:
      ppGridTester::Run(documentWindow_ != nullptr ? documentWindow_->GetHWND() : Frame());
      return;
    default:
      ppApplication::DoCommand(command, parameter);
  }
}

void zelvProApp::PrintWithFlag(bool alternativeLayout) {
  // -22: the plan's print layout also writes its drawing dump while the print runs; -21: the price
  // list prints with its second layout. Either is put back however the print ends.
  struct Bracket {
    bool alternative;
    uint32_t flags2 = iApplicationSettings::Current().flags2;
    explicit Bracket(bool second) : alternative(second) {
      if (alternative)
        iShellServices::Current().SetAlternativePriceLayout(true);
      else
        iApplicationSettings::Current().flags2 |= zelvproEditorScroller::kDxfDumpFlag;
    }
    ~Bracket() {
      if (alternative)
        iShellServices::Current().SetAlternativePriceLayout(false);
      else
        iApplicationSettings::Current().flags2 = flags2;
    }
  } bracket(alternativeLayout);
  ppApplication::DoCommand(kPrintCommand, 0);
}

void zelvProApp::RunPreferences() {
  const int32_t templateId = ShellSettings::Current().ExtendedSettings() ? zelvproPrefsDialog::kTwoCurrencies
                                                                         : zelvproPrefsDialog::kOneCurrency;
  ppDatafile* languages = applicationDb_ != nullptr ? &applicationDb_->LanguageCodeFile() : nullptr;
  auto dialog = std::make_unique<zelvproPrefsDialog>(GetHWND(), templateId, languages);
  dialog->RunModal();
}

void zelvProApp::OpenHelp() {
  const Vcon::WString& help = ShellSettings::Current().HelpFile();
  if (help.empty()) return;
  // "<program folder>open \"<name>\"": the shell opens the name with the program folder as the
  // working folder, so a bare file name lies beside the program.
  Vcon::WString command = ProgramFolder;
  command += u"open \"";
  command += help;
  command += u"\"";
  ShellExecuteCommand(command, GetHWND());
}

// ---- Message hooks.

bool zelvProApp::HandOver(std::string_view text) {
  const size_t end = text.find('\0');
  if (end != std::string_view::npos) text = text.substr(0, end);
  if (documentWindow_ == nullptr) {
    MessageBeep(0xFFFFFFFF);
    return false;
  }
  HWND window = documentWindow_->GetHWND();
  if (!text.empty()) {
    auto* file = new DocumentFileRecord(DocumentPathFromCommandLine(text));
    if (!PostMessageA(window, WM_COMMAND, zelvproWindow::kOpenFile, reinterpret_cast<LPARAM>(file)))
      delete file;
  }
  // An empty text only raises the frame.
  if (Frame() != nullptr) ShowWindow(Frame(), SW_SHOW);
  SetForegroundWindow(text.empty() && Frame() != nullptr ? Frame() : window);
  return true;
}

int32_t zelvProApp::HandleMessage(UINT message, WPARAM wParam, LPARAM lParam) {
  const int32_t result = ppApplication::HandleMessage(message, wParam, lParam);
  // A second start's command line: only its cbData bytes are read, which another process wrote.
  if (message == WM_COPYDATA && lParam != 0) {
    const auto* data = reinterpret_cast<const COPYDATASTRUCT*>(lParam);
    if (data->lpData != nullptr)
      HandOver(std::string_view(static_cast<const char*>(data->lpData), data->cbData));
  }
  DeletionList::DeleteAll();
  return result;
}

bool zelvProApp::PreTranslate(MSG* msg) {
  ToolTipControl* tips = ToolTipControl::DocumentTips();
  if (tips != nullptr && msg != nullptr) {
    switch (msg->message) {
      case WM_MOUSEMOVE:
      case WM_LBUTTONDOWN:
      case WM_LBUTTONUP:
      case WM_RBUTTONDOWN:
      case WM_RBUTTONUP:
      case WM_MBUTTONDOWN:
      case WM_MBUTTONUP:
        tips->RelayEvent(msg);
        break;
      default:
        break;
    }
  }
  return true;
}

void zelvProApp::KeyDown(signed char key, int32_t flags) {
  if (key == kBackspaceKey || key == kDeleteKey) {
    ppEventHandler::KeyDown(static_cast<signed char>(kDeleteKey), flags);
    return;
  }
  if (documentWindow_ != nullptr) documentWindow_->KeyDown(key, flags);
}

bool zelvProApp::CanClose() { return documentWindow_ == nullptr || documentWindow_->CanClose(); }

void zelvProApp::UpdateTargetMenus() {
  if (documentWindow_ != nullptr) documentWindow_->UpdateMenus();
}

// ---- Skin.

ppPicture* zelvProApp::GetPictureAt(int32_t id, int32_t variant) {
  return pictures_.ButtonPicture(id, variant);
}
ppPicture* zelvProApp::GetFramePicture(int32_t id) { return pictures_.FramePicture(id); }
ppPicture* zelvProApp::GetFillPicture(int32_t id) { return pictures_.FillPicture(id); }
ppRGBColor zelvProApp::GetColor(int32_t id) { return colors_.Bytes(id); }
ppFloat4 zelvProApp::GetColorF(int32_t id) { return colors_.Float(id); }
void zelvProApp::SetColor(int32_t id, const ppFloat4& color) { colors_.Set(id, color); }

void zelvProApp::ApplyApplicationRecord(qxApplicationFil& file, HMENU menuBar) {
  ShellSettings& settings = ShellSettings::Current();
  settings.Apply(file);
  SetMenuTextCallback(&MenuBuilder::MenuText);
  if (menuBar == nullptr) return;
  // Only whether the skin has the credits picture: it is decoded when the credits are first shown.
  MenuBuilder::FitCredits(menuBar, pictures_.HasFramePicture(2005));
  if (file.FunctionFile().GetSelectedCount() <= 0) return;
  MenuBuilder::InsertFunctions(menuBar, file.FunctionFile(), !settings.HelpFile().empty());
  if (Frame() != nullptr) DrawMenuBar(Frame());
}

void zelvProApp::UpdateTexts() {
  HMENU frameMenu = Frame() != nullptr ? GetMenu(Frame()) : nullptr;
  if (frameMenu == nullptr) frameMenu = FrameMenu();
  HMENU clientMenu = window_ != nullptr ? GetMenu(window_) : nullptr;
  if (frameMenu != nullptr) ppMenuHelper::RewriteMenuTexts(frameMenu, MenuTextCallback());
  if (clientMenu != nullptr && clientMenu != frameMenu)
    ppMenuHelper::RewriteMenuTexts(clientMenu, MenuTextCallback());
  if (Frame() != nullptr) DrawMenuBar(Frame());
  if (window_ != nullptr) DrawMenuBar(window_);
  if (textWindow_ != nullptr) textWindow_->UpdateTexts();
  ppView::UpdateTexts();
}
