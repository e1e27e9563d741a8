// Helpers of the element tests: a recording document window (view id, plan roots, layer palette,
// the regions the plan editor was asked to repaint, the catalogues by identifier), a recording 3D
// pane, and a fixture that writes a real catalogue database into a private folder through its
// record files and installs the recording window for each test.
#pragma once

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <fstream>
#include <functional>
#include <iterator>
#include <map>
#include <memory>
#include <string>
#include <vector>

#include <unistd.h>

#include "catalogue/CatalogueTestSupport.h"
#include "catalogue/records/zelvproColorCatalogFil.h"
#include "catalogue/records/zelvproShapeFil.h"
#include "catalogue/records/zelvproTextureFil.h"
#include "catalogue/unit3d/UnitLayerCache.h"
#include "database/DbTestSupport.h"
#include "elements/base/ElementGeometryCache.h"
#include "elements/base/ElementTextures.h"
#include "elements/base/iElementHost.h"
#include "elements/base/iElementTaskFactory.h"
#include "elements/base/iScenePane.h"
#include "elements/base/qxPrintPictures.h"
#include "elements/base/zelvproCanvas.h"
#include "elements/base/zelvproElement.h"
#include "elements/base/zelvproLayerPalette.h"
#include "elements/topview/iConfigurator.h"
#include "elements/topview/zelvproElementConfigurator.h"
#include "controls/ppConfigurator.h"
#include "elements/shapes/zelvproShape.h"
#include "foundation/FileOperations.h"
#include "framework/TestCanvas.h"
#include "framework/ppDC.h"
#include "framework/ppRegion.h"
#include "framework/ppSweeper.h"
#include "platform/WindowApi.h"
#include "scene3d/dxf/DxfExportState.h"
#include "scene3d/dxf/DxfWriter.h"

namespace eltest {

// A configurator of the controls, without a window, for the recorder below to fill.
struct OwnConfigurator {
  std::unique_ptr<ppConfigurator> configurator =
      std::make_unique<ppConfigurator>(nullptr, plat::RECT{0, 0, 220, 400}, nullptr, false);
};

// The program's configurator link over a configurator of its own, which also keeps the panel
// descriptions it is given, in order, and counts the tab placements, repaints and pane presses.
class TabRecorder : private OwnConfigurator, public zelvproElementConfigurator {
 public:
  TabRecorder() : zelvproElementConfigurator(OwnConfigurator::configurator.get()) {}
  void RemoveAll() override {
    zelvproElementConfigurator::RemoveAll();
    panels.clear();
  }
  void AddPanel(std::unique_ptr<ConfigPanel> panel) override {
    if (panel) MakePanel(*panel);
    panels.push_back(std::move(panel));
  }
  void PlaceTabs() override {
    zelvproElementConfigurator::PlaceTabs();
    ++placed;
  }
  void Repaint() override {
    zelvproElementConfigurator::Repaint();
    ++repaints;
  }
  void PressPane() override {
    zelvproElementConfigurator::PressPane();
    ++panePresses;
  }
  // The configurator the panels went to.
  ppConfigurator& Shown() { return *OwnConfigurator::configurator; }
  std::vector<std::unique_ptr<ConfigPanel>> panels;
  int32_t placed = 0, repaints = 0, panePresses = 0;
};

// A visible window of class `className` whose queue runs the sweepers posted to it, as the document
// window does; the desktop's reset destroys it.
inline plat::HWND OpenSweeperWindow(const char* className) {
  plat::WNDCLASSA wc{};
  wc.lpfnWndProc = [](plat::HWND window, plat::UINT message, plat::WPARAM wParam, plat::LPARAM lParam) {
    if (message != ppSweeper::kMessage) return plat::DefWindowProcA(window, message, wParam, lParam);
    ppSweeper::RunAndDelete(lParam);
    return plat::LRESULT(0);
  };
  wc.lpszClassName = className;
  plat::RegisterClassA(&wc);
  return plat::CreateWindowExA(0, className, "", plat::WS_VISIBLE, 0, 0, 100, 100, nullptr, nullptr, nullptr,
                               nullptr);
}

class RecordingHost : public iElementHost {
 public:
  int32_t CurrentViewId() override { return viewId; }
  void InvalidatePlanEditor(ppRegion& region) override {
    plat::RECT bounds{};
    region.GetBounds(&bounds);
    editorRegions.push_back(bounds);
  }
  iScenePane* ScenePane() override { return pane; }
  zelvproElement* TopCanvas() override { return topCanvas; }
  zelvproElement* NewRoomCanvas() override { return newRoomCanvas; }
  qxPrintPictures& PrintPictures() override {
    return pictures != nullptr ? *pictures : iElementHost::PrintPictures();
  }
  zelvproLayerPalette* LayerPalette() override { return palette.get(); }
  zelvDatabase* FindDatabase(int32_t identifier) override {
    auto found = databases.find(identifier);
    return found != databases.end() ? found->second : nullptr;
  }

  int32_t viewId = kPlanView;
  iScenePane* pane = nullptr;
  zelvproElement* topCanvas = nullptr;
  zelvproElement* newRoomCanvas = nullptr;
  qxPrintPictures* pictures = nullptr;  // the printed pages' pictures; the 3D pane's when null
  std::unique_ptr<zelvproLayerPalette> palette;
  std::map<int32_t, zelvDatabase*> databases;
  std::vector<plat::RECT> editorRegions;  // bounds of each region handed over

  // ---- Selection, clicks and copying.
  plat::HWND DocumentWindow() override { return documentWindow; }
  zelvproElement* LastClickedElement() override { return lastClicked; }
  void SetLastClickedElement(zelvproElement* element) override { lastClicked = element; }
  ppEventHandler* Canvas3D() override { return canvas3D; }
  ppEventHandler* EditorCanvas() override { return editorCanvas; }
  ppDatafile* BeginCopy(zelvproCanvas* /*canvas*/) override {
    ++copiesBegun;
    return copyFile;
  }
  void SetPasteOffset(float millimetres) override { pasteOffset = millimetres; }
  void MarkDocumentModified() override { ++modifiedMarks; }

  plat::HWND documentWindow = nullptr;
  zelvproElement* lastClicked = nullptr;
  ppEventHandler* canvas3D = nullptr;
  ppEventHandler* editorCanvas = nullptr;
  ppDatafile* copyFile = nullptr;
  int32_t copiesBegun = 0;
  float pasteOffset = 0.0f;
  int32_t modifiedMarks = 0;  // times the document was marked changed
};

// ---- Selection and clicks: a handler and a canvas that record the commands they are sent.
class CommandRecorder : public ppEventHandler {
 public:
  void DoCommand(int32_t command, intptr_t /*parameter*/) override { commands.push_back(command); }
  int32_t CountOf(int32_t command) const {
    return int32_t(std::count(commands.begin(), commands.end(), command));
  }
  std::vector<int32_t> commands;
};

// A canvas that takes every child, counts its update requests and records the commands that reach
// it (with the press point of a drag start, command 1000).
class RecordingCanvas : public zelvproCanvas {
 public:
  explicit RecordingCanvas(const plat::RECT& frame) : zelvproCanvas(nullptr, frame, nullptr) {}
  void ScheduleUpdate() override { ++updates; }
  void DoCommand(int32_t command, intptr_t parameter) override {
    commands.push_back(command);
    if (command == 1000) dragPoint = *reinterpret_cast<const plat::POINT*>(parameter);
  }
  bool AcceptsChild(int32_t /*kind*/, zelvproElement* /*element*/) override { return true; }
  // The canvas's own press (the rubber band) is left out: only its elements take presses.
  bool IsDoubleClick(int32_t /*x*/, int32_t /*y*/) override { return false; }
  int32_t updates = 0;
  std::vector<int32_t> commands;
  plat::POINT dragPoint{};
};

class RecordingPane : public iScenePane {
 public:
  void SetSceneOutOfDate() override { ++outOfDate; }
  void Invalidate() override { ++invalidated; }
  int32_t outOfDate = 0;
  int32_t invalidated = 0;
};

// A 24-bit bottom-up picture `width` pixels wide and one high.
inline Handle DibPicture(int32_t width) {
  const int32_t rowBytes = (width * 3 + 3) & ~3;
  std::string bytes(size_t(40 + rowBytes), '\0');
  const int32_t header[] = {40, width, 1};
  std::memcpy(bytes.data(), header, sizeof header);
  bytes[12] = 1;   // planes
  bytes[14] = 24;  // bits per pixel
  return dbtest::HandleOf(bytes);
}

// Colour field value from four percentages, red first.
constexpr int32_t Rgba(uint32_t r, uint32_t g, uint32_t b, uint32_t a) {
  return int32_t(r << 24 | g << 16 | b << 8 | a);
}

inline plat::RECT Rect(int32_t l, int32_t t, int32_t r, int32_t b) { return plat::RECT{l, t, r, b}; }

class ElementTest : public cattest::CatalogueTest {
 protected:
  void SetUp() override {
    CatalogueTest::SetUp();
    iElementHost::Install(&host_);
  }
  void TearDown() override {
    iElementHost::Install(nullptr);
    zelvproElement::ResetRedraw();
    ElementTextures::Reset();
    ElementGeometryCache::ResetShared();
    UnitLayerCache::Clear();
    iElementTaskFactory::Install(nullptr);
    databases_.clear();
    CatalogueTest::TearDown();
  }

  // A catalogue in the private folder, known to the recording window by its identifier.
  zelvDatabase& MakeDatabase(const std::string& name = "catalog.cdb") {
    databases_.push_back(Open(name));
    zelvDatabase& db = *databases_.back();
    host_.databases[db.Identifier()] = &db;
    return db;
  }

  // A texture record with pictures of these widths (0: no picture) and the two flags.
  static int32_t AddTexture(zelvDatabase& db, int32_t width, int32_t width128, int32_t modulate,
                            int32_t dontRepeat = 0) {
    zelvproTextureFil& textures = db.TextureFile();
    textures.ClearRecordBuffer(nullptr);
    cattest::SetField(textures, "modulate", modulate);
    cattest::SetField(textures, "dontRepeat", dontRepeat);
    for (auto [name, w] : {std::pair{"texture", width}, std::pair{"texture128", width128}}) {
      if (w == 0) continue;
      Handle picture = DibPicture(w);
      cattest::SetField(textures, name, picture);
      MemDispose(picture);
    }
    int32_t id = 0;
    textures.AddRecord(&id, nullptr);
    return id;
  }

  // An outline of the points (x, y pairs in millimetres) of a new shape record, ahead of `next`.
  static std::unique_ptr<zelvproShape> Outline(zelvDatabase& db, const std::vector<float>& xy,
                                               std::unique_ptr<zelvproShape> next = nullptr) {
    zelvproShapeFil& shapes = db.ShapeFile();
    shapes.ClearRecordBuffer(nullptr);
    std::vector<int32_t> words(xy.size());
    if (!xy.empty()) std::memcpy(words.data(), xy.data(), xy.size() * sizeof(float));
    cattest::SetWords(shapes, "points", words);
    return std::make_unique<zelvproShape>(shapes, shapes.GetRecordBuffer(), 0, 0, 0.0f, 0.0f,
                                          std::move(next));
  }

  RecordingHost host_;
  std::vector<std::unique_ptr<zelvDatabase>> databases_;
};

// ---- Catalogue records of the top-view element tests: records with blobs, and blob entries as words.

using Words = std::vector<int32_t>;
struct BlobField {
  const char* name;
  Words words;
};

// Fills the table's buffer from empty with the fields and blobs and adds it; answers its record id.
inline int32_t AddRecordWith(ppDatafile& table, cattest::Fields fields,
                             std::initializer_list<BlobField> blobs) {
  table.ClearRecordBuffer(nullptr);
  for (const auto& [name, value] : fields) cattest::SetField(table, name, value);
  for (const BlobField& blob : blobs) cattest::SetWords(table, blob.name, blob.words);
  int32_t id = 0;
  table.AddRecord(&id, nullptr);
  return id;
}

inline int32_t FloatWord(float f) {
  int32_t word = 0;
  std::memcpy(&word, &f, 4);
  return word;
}

inline Words Join(std::initializer_list<Words> parts) {
  Words all;
  for (const Words& part : parts) all.insert(all.end(), part.begin(), part.end());
  return all;
}

// 24-byte piece entry: shape, x, y, a word not read, the angle as a double.
inline Words PieceEntry(int32_t shape, float x, float y, double angle = 0.0) {
  int32_t a[2];
  std::memcpy(a, &angle, 8);
  return {shape, FloatWord(x), FloatWord(y), 0, a[0], a[1]};
}

// 32-byte sub-item entry: top view, sub-item flags, x, y, z, a word, angle, a word.
inline Words SubItemEntry(int32_t topView, int32_t flags, float x, float y, float z, float angle) {
  return {topView, flags, FloatWord(x), FloatWord(y), FloatWord(z), 0, FloatWord(angle), 0};
}

// 36-byte snap entry: id, x, y, z, then five words.
inline Words SnapEntry(int32_t id, float x, float y, float z) {
  return {id, FloatWord(x), FloatWord(y), FloatWord(z), 0, 0, 0, 0, 0};
}

// 64-byte "shapes3D" entry of a unit with long entries: shape at word 0, colour group at word 14.
inline Words Shape3DEntry(int32_t shape, int32_t group) {
  Words entry(16, 0);
  entry[0] = shape, entry[14] = group;
  return entry;
}

// ---- The drawing export.

struct DxfLayer {
  const char* name;
  const char* colour;  // the DXF colour number, as text
};

// The text of a DXF file that the real writer makes around `print`, which draws on a small page's
// drawing context between the entity section's bounds; the sheet is `sheetHeight` high (the export
// turns y upwards against it) and the layer table holds `layers`. The temporary file is removed.
inline std::string PrintToDxf(float sheetHeight, std::initializer_list<DxfLayer> layers,
                              const std::function<void(ppDC&)>& print) {
  // One name per process: the test runner runs many tests at once.
  const std::string path = ::testing::TempDir() + "print_to_dxf_" + std::to_string(getpid()) + ".dxf";
  DxfWriter::SetOutputPath(Vcon::WString(path.c_str()));
  ppFileSpec file;
  DxfWriter::OpenOutputFile(file);
  {
    DxfWriter writer(file);
    DxfWriter::SetCurrent(&writer);
    DxfExportState::Shared().Start(sheetHeight);
    writer.BeginTables();
    for (const DxfLayer& layer : layers) writer.AddLayer(layer.name, layer.colour);
    writer.EndTables();
    writer.BeginBlocks();
    writer.EndBlocks();
    writer.BeginEntities();
    picture_tests::Canvas page(8, 8);
    ppDC dc(page.dc());
    print(dc);
    writer.EndEntities();
    writer.WriteObjects();
    writer.EndObjects();
    writer.WriteFile();
    DxfExportState::Shared().Stop();
    DxfWriter::SetCurrent(nullptr);
  }
  if (file.IsOpen()) FileClose(file);
  DxfWriter::SetOutputPath(Vcon::WString());
  std::ifstream in(path, std::ios::binary);
  std::string text((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
  in.close();
  std::remove(path.c_str());
  return text;
}

}  // namespace eltest
