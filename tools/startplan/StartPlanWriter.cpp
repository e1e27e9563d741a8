#include "tools/startplan/StartPlanWriter.h"

#include <algorithm>
#include <cmath>
#include <memory>
#include <stdexcept>

#include "app/shell/ExchangeShellServices.h"
#include "app/shell/iShellServices.h"
#include "app/shell/zelvProApp.h"
#include "catalogue/databases/CatalogDatabaseList.h"
#include "catalogue/databases/zelvDatabase.h"
#include "catalogue/records/RecordField.h"
#include "catalogue/records/zelvproDocFil.h"
#include "catalogue/records/zelvproTagFil.h"
#include "catalogue/records/zelvproTopViewFil.h"
#include "canvas/editor/zelvproViewBar.h"
#include "canvas/editor/zelvproEditor.h"
#include "canvas/editor/zelvproEditorScroller.h"
#include "canvas/window/zelvproEditorCanvas.h"
#include "canvas/window/zelvproWindow.h"
#include "room/qxNewRoomCanvas.h"
#include "elements/base/zelvproElement.h"
#include "exchange/DocumentFileOperations.h"
#include "foundation/FileDialogs.h"
#include "foundation/FileRecord.h"
#include "foundation/PosixPath.h"
#include "foundation/ProcessServices.h"
#include "framework/ppApplication.h"
#include "platform/HeadlessDriver.h"
#include "platform/LocalDate.h"
#include "platform/MessageBox.h"
#include "platform/ScreenMetrics.h"
#include "platform/UserLanguage.h"

namespace {

namespace fs = std::filesystem;

// Pixels left free below and right of the room in the first view.
constexpr int32_t kMargin = 20;

// The first box's text; the user-interface thread's, cleared by each Write.
std::string gFirstBox;

int32_t RecordingBox(const void* /*owner*/, const std::u16string& text, const std::u16string& caption,
                     uint32_t /*style*/, const int32_t* /*queued*/) {
  if (gFirstBox.empty()) gFirstBox = Vcon::Utf8FromUtf16(caption) + ": " + Vcon::Utf8FromUtf16(text);
  return plat::IDNO;
}

// The program's path form of a POSIX folder: backslashes, ending in one.
Vcon::WString ProgramForm(const fs::path& folder) {
  std::string text = folder.string();
  for (char& c : text)
    if (c == '/') c = '\\';
  if (text.empty() || text.back() != '\\') text += '\\';
  return Vcon::WString(Vcon::Utf16FromUtf8(text));
}

int32_t TopViewNamed(zelvproTopViewFil& views, const std::string& name) {
  views.SelectAll();
  const RecordField named(views, "Name");
  for (int32_t i = 0; i < views.GetSelectedCount(); ++i) {
    views.ReadRecordAt(i, nullptr);
    if (std::string(named.Text(views.GetRecordBuffer()).c_str()) == name) return views.RecordIdAt(i);
  }
  throw std::runtime_error("the demo catalogue has no top view \"" + name + "\"");
}

void AddTag(zelvproTagFil& tags, const StartPlanWriter::Tag& tag) {
  const Vcon::WString name(Vcon::Utf16FromUtf8(tag.name));
  tags.BeginAccess();
  tags.ClearRecordBuffer(nullptr);
  tags.SetFieldValue(tags.IndexOf("id"), ppParameter(tag.id), nullptr);
  tags.SetFieldValue(tags.IndexOf("tname"), ppParameter(name), nullptr);
  tags.SetFieldValue(tags.IndexOf("ttext"), ppParameter(name), nullptr);
  tags.InsertRecordAt(-1, nullptr);
  tags.SaveToBlob();
}

// The program object of one Write, torn down in order whatever happens.
struct Program {
  std::unique_ptr<zelvProApp> app;
  ~Program() {
    app.reset();
    gApplication = nullptr;
    plat::SetMessageBoxPresenter(nullptr);
  }
};

// The document keeps the plan's scale and opens at the plan's origin: the scale at which the room,
// seen from the origin, fills the plan editor of the window the writer runs in, a margin left below
// and right of it. The program opens the start plan at that scale.
void ShowTheRoomLarge(zelvproWindow& window) {
  zelvproEditorCanvas* canvas = window.EditorCanvasView();
  zelvproEditor* editor = canvas != nullptr ? canvas->Editor() : nullptr;
  zelvproEditorScroller* scroller = editor != nullptr ? editor->EditorScroller() : nullptr;
  zelvproViewBar* bar = window.ViewBar();
  if (scroller == nullptr || scroller->NewRoomCanvas() == nullptr || bar == nullptr)
    throw std::runtime_error("the plan editor is missing");
  ppVector2 corners[4];
  scroller->NewRoomCanvas()->ComputeBounds(corners);
  plat::RECT frame{};
  scroller->GetWindowFrame(&frame);
  const float width = float(frame.right - frame.left - 2 * kMargin);
  const float height = float(frame.bottom - frame.top - 2 * kMargin);
  if (width <= 0 || height <= 0 || !(corners[2].x > 0) || !(corners[2].y > 0))
    throw std::runtime_error("the room does not lie in the plan");
  // Whole and half millimetres a pixel read well on the rulers.
  const float scale = std::ceil(2.0f * std::max(corners[2].x / width, corners[2].y / height)) / 2.0f;
  bar->SetScale(std::max(scale, 1.0f));
  editor->ApplyZoom();
}

}  // namespace

const std::vector<StartPlanWriter::Tag>& StartPlanWriter::Tags() {
  static const std::vector<Tag> tags{{1, "Kitchen"}, {2, "Storage"}};
  return tags;
}

const std::vector<StartPlanWriter::Unit>& StartPlanWriter::Units() {
  // The room's inner faces lie at x 2000 and z 2000 (150 mm walls on the lines at 1925). The units
  // stand as a user's drop leaves them: pushed back inside the room, 0.1 mm off each face they reach
  // (touching a face counts as meeting the wall, so a unit joined to one standing on a face could not
  // be placed). The base unit stands in the corner, the drawer unit joined to its right side, the wall
  // unit above the base.
  static const std::vector<Unit> units{
      {"B40", 2000.1f, 2000.1f, 1}, {"W60", 2000.1f, 2000.1f, 1}, {"D60", 2400.1f, 2000.1f, 2}};
  return units;
}

void StartPlanWriter::Write(const fs::path& programFolder, const fs::path& output) {
  const fs::path startFolder = fs::current_path();
  struct Back {
    fs::path folder;
    ~Back() {
      std::error_code ignored;
      fs::current_path(folder, ignored);
    }
  } back{startFolder};
  fs::current_path(programFolder);
  ProgramFolder = ProgramForm(programFolder);
  SetStartupDirectory(ProgramFolder);
  plat::SetUserDefaultLangID(plat::kLangEnglish);
  gScreenRect = {0, 0, plat::GetSystemMetrics(plat::SM_CXFULLSCREEN),
                 plat::GetSystemMetrics(plat::SM_CYFULLSCREEN)};
  gFirstBox.clear();
  plat::SetMessageBoxPresenter(&RecordingBox);

  Program program;
  program.app = std::make_unique<zelvProApp>(nullptr, nullptr);
  gApplication = program.app.get();
  program.app->Startup();
  plat::HeadlessDriver::RunUntilIdle();
  zelvproWindow* window = program.app->DocumentWindow();
  auto* services = dynamic_cast<ExchangeShellServices*>(&iShellServices::Current());
  if (window == nullptr || services == nullptr || services->Operations() == nullptr ||
      DocumentRecordFile == nullptr || MainCatalogDatabase == nullptr)
    throw std::runtime_error("the program did not start: " + gFirstBox);
  if (!gFirstBox.empty()) throw std::runtime_error("the program's start showed " + gFirstBox);

  for (const Tag& tag : Tags()) AddTag(DocumentRecordFile->TagTable(), tag);
  zelvproTopViewFil& views = MainCatalogDatabase->TopViewFile();
  for (const Unit& unit : Units()) {
    zelvproElement* element = views.CreateElement(TopViewNamed(views, unit.topView),
                                                  plat::RECT{0, 0, 100, 100}, window->TopCanvas());
    if (element == nullptr) throw std::runtime_error("the unit " + unit.topView + " could not be placed");
    // The unit stands at its catalogue height, as one taken from the palette does (a wall unit hangs).
    element->SetPosition(ppVector3(unit.x, element->HeightAboveFloor(), unit.z));
    element->SetTagTree(unit.tag);
  }
  // The document keeps the view it was saved in and opens in it again. The units stand on the top
  // canvas, which the room design view leaves out; a user who placed them saves in the top view.
  if (zelvproViewBar* bar = window->ViewBar()) bar->SelectViewById(zelvproViewBar::kTopColourView);
  plat::HeadlessDriver::RunUntilIdle();
  if (window->CurrentViewId() != zelvproViewBar::kTopColourView)
    throw std::runtime_error("the top view could not be shown");

  ShowTheRoomLarge(*window);

  // A fixed stamp keeps the shopping list, and so the file, the same from build to build.
  DocumentFileOperations& operations = *services->Operations();
  operations.SetClock([] {
    plat::SYSTEMTIME t{};
    t.wYear = 2026;
    t.wMonth = 1;
    t.wDay = 1;
    return t;
  });
  // The start document opens unmodified, as a fresh one.
  DocumentRecordFile->SetModified(false);
  // A copy of the document's file record, so that the document itself stays untitled.
  auto file = DocumentRecordFile->DocumentFile();
  file.path = Vcon::WString(Vcon::Utf16FromUtf8(output.string()));
  try {
    operations.WriteFile(file);
  } catch (int32_t code) {
    throw std::runtime_error("cannot write " + output.string() + " (error " + std::to_string(code) + ")");
  }
  if (!gFirstBox.empty()) throw std::runtime_error("the plan's save showed " + gFirstBox);
}
