#include "elements/base/zelvproTopCanvas.h"

#include <algorithm>
#include <cfloat>
#include <cmath>
#include <typeinfo>
#include <unordered_map>
#include <unordered_set>
#include <vector>

#include "catalogue/records/RecordField.h"
#include "database/ppDatafile.h"
#include "elements/base/ElementChildren.h"
#include "elements/base/ElementKinds.h"
#include "elements/base/SnapIndex.h"
#include "elements/base/iApplicationSettings.h"
#include "elements/base/iElementHost.h"
#include "elements/base/iElementTaskFactory.h"
#include "elements/base/iWorktopBuilder.h"
#include "elements/base/qxAnnotationSweeper.h"
#include "elements/base/qxAssignEnumNumbers.h"
#include "elements/base/qxViewHolder.h"
#include "elements/base/qxWorktopSweeper.h"
#include "elements/topview/iCalculationList.h"
#include "elements/topview/iConfigurator.h"
#include "elements/topview/zelvproTopViewElement.h"
#include "elements/units/zelvproAccessory.h"
#include "elements/units/zelvproConfigElement.h"
#include "elements/units/zelvproParametricElement.h"
#include "elements/units/zelvproStructureElement.h"
#include "foundation/TextsById.h"
#include "framework/ppCursorTable.h"
#include "framework/ppDC.h"
#include "framework/ppTask.h"
#include "platform/Cursors.h"
#include "platform/Gdi.h"
#include "platform/MessageBox.h"

namespace {

constexpr float kNoLength = -1.0f;
// The information panel: caption text and its fallback, the text rows and their margins (pixels).
constexpr int32_t kPanelCaption = 6315;
constexpr int32_t kFirstPanelText = 7010, kLastPanelText = 7014;
constexpr int32_t kRowMargins[4] = {10, 5, 10, 0};
// The load's one message box: caption, text (Windows-1252) and an OK button with the exclamation icon.
constexpr const char* kImportErrorCaption = "Import fejl!";
constexpr const char* kImportErrorText =
    "Filen du har \xE5"
    "bnet indeholder emner som ikke eksisterer i dine databaser,\n"
    "s\xE5 den viste opstilling vil mangle emner!";

int32_t LongOf(ppDatafile& file, const char* name) {
  return RecordField(file, name).Long(file.GetRecordBuffer());
}

std::vector<zelvproElement*> Children(const ppView& view) {
  std::vector<zelvproElement*> children;
  ForEachChildElement(view, [&](zelvproElement* child) { children.push_back(child); });
  return children;
}

// The elements in ascending order of their property "EnumNumber"; equal numbers keep their order.
std::vector<zelvproElement*> InNumberingOrder(std::vector<zelvproElement*> elements) {
  std::vector<std::pair<int32_t, zelvproElement*>> keyed;
  for (zelvproElement* e : elements) keyed.emplace_back(e->GetValueByName("EnumNumber").ToInt(), e);
  std::stable_sort(keyed.begin(), keyed.end(),
                   [](const auto& a, const auto& b) { return a.first < b.first; });
  for (size_t i = 0; i < keyed.size(); ++i) elements[i] = keyed[i].second;
  return elements;
}

// The children in `order` become the canvas's child order; each child that is out of place is taken
// out and put back once, so the work stays linear in the children that move.
void Reorder(ppView& canvas, const std::vector<ppView*>& order) {
  for (size_t i = 0; i < order.size(); ++i) {
    if (canvas.Subviews().At(int32_t(i)) == order[i]) continue;
    canvas.RemoveSubview(order[i]);
    canvas.InsertSubview(order[i], int32_t(i));
  }
}

bool IsPlanType(int32_t type) {
  switch (type) {
    case ElementKinds::kPlain:
    case ElementKinds::kStructure:
    case ElementKinds::kConfigurable:
    case ElementKinds::kAccessory:
    case ElementKinds::kParametric:
      return true;
    default:
      return false;
  }
}

void RefreshViews() { zelvproElement::InvalidateElement(iElementHost::Current().ScenePane(), true); }

void SetWaitCursor() { plat::SetCursor(plat::LoadCursorA(nullptr, plat::MAKEINTRESOURCEA(plat::IDC_WAIT))); }

// A unit built from its record may apply its catalogue unit again and so make its interior parts
// and attached items itself; the document's own records of those parts follow it. Before the first
// of them is built, the parts the unit made go, so that none is there twice. `taken`: the units
// whose parts were already handed over in this pass.
void TakePartsFromRecords(zelvproElement* container, std::unordered_set<zelvproElement*>& taken) {
  if (!taken.insert(container).second) return;
  const ppViewList& children = container->Subviews();
  for (int32_t i = children.Count() - 1; i >= 0; --i) {
    auto* part = dynamic_cast<zelvproTopViewElement*>(children.At(i));
    if (part != nullptr && (part->interiorLocked || part->createdByParent)) delete part;
  }
}

}  // namespace

zelvproTopCanvas::zelvproTopCanvas(ppView* parent, const plat::RECT& frame, zelvDatabase* database)
    : zelvproCanvas(parent, frame, database),
      transparent_(iApplicationSettings::Current().transparentPlan),
      snapIndex_(std::make_unique<SnapIndex>(*this)),
      overlapIndex_(std::make_unique<OverlapIndex>(*this)) {
  WatchSnaps(&treeWatch_);
}

zelvproTopCanvas::~zelvproTopCanvas() {
  // The children outlive this part of the canvas: their notices must not reach the index any more.
  WatchSnaps(nullptr);
  snapIndex_.reset();
  overlapIndex_.reset();
  for (qxAnnotationSweeper* sweeper : pendingAnnotations_) sweeper->Forget();
}

// ---- Commands, drawing and the panel.

void zelvproTopCanvas::DoCommand(int32_t command, intptr_t parameter) {
  if (command != kTransparentCommand) return zelvproCanvas::DoCommand(command, parameter);
  iElementHost& host = iElementHost::Current();
  // The flag is the main canvas's, whichever canvas got the command.
  auto* main = dynamic_cast<zelvproTopCanvas*>(host.TopCanvas());
  if (main == nullptr) main = this;
  if (parameter == 0)
    main->transparent_ = !main->transparent_;
  else if (parameter == 1)
    main->transparent_ = true;
  else if (parameter == -1)
    main->transparent_ = false;
  host.CheckMenuItem(kTransparentCommand, main->transparent_);
  Invalidate();
  RefreshViews();
}

void zelvproTopCanvas::Draw(ppDC& dc) {
  const bool gl = dc.GetWindow() != nullptr;
  if (gl) dc.SetOpenGL(true, false, plat::RECT{0, -1, 0, 0});
  ppView::Draw(dc);
  if (gl) dc.SetOpenGL(false, false, plat::RECT{0, -1, 0, 0});
  plat::GdiFlush();
  plat::HWND window = GetHWND();
  if (window == nullptr) window = iElementHost::Current().DocumentWindow();
  if (window != nullptr) pendingAnnotations_.push_back(new qxAnnotationSweeper(window, this));
}

void zelvproTopCanvas::DrawAnnotations() {
  plat::HWND window = GetHWND();
  if (window == nullptr) return;
  ppDC dc(window);
  std::unique_ptr<ppRegion> saved = dc.GetClipRegion();
  if (ppView* supervisor = GetSupervisor()) supervisor->ClipToFrame(dc);
  UpdateAnnotationsTree(dc);
  dc.SetClipRegion(saved.get());
}

void zelvproTopCanvas::AnnotationSwept(const qxAnnotationSweeper* sweeper) {
  pendingAnnotations_.erase(std::remove(pendingAnnotations_.begin(), pendingAnnotations_.end(), sweeper),
                            pendingAnnotations_.end());
}

void zelvproTopCanvas::BuildInfoPanel(qxViewHolder* /*source*/) {
  iConfigurator& configurator = iConfigurator::Current();
  configurator.RemoveAll();
  auto panel = std::make_unique<ConfigPanel>();
  panel->name = TextById(kPanelCaption, "Canvas");
  for (int32_t id = kFirstPanelText; id <= kLastPanelText; ++id) {
    ConfigField field;
    field.kind = ConfigField::kText;
    field.text = TextById(id, "");
    field.SetMargins(kRowMargins[0], kRowMargins[1], kRowMargins[2], kRowMargins[3]);
    panel->fields.push_back(std::move(field));
  }
  configurator.AddPanel(std::move(panel));
  configurator.PlaceTabs();
}

// ---- Records, load and paste.

void zelvproTopCanvas::WriteRecord(ppDatafile& record, bool renumber, int32_t parentNumber) {
  zelvproCanvas::WriteRecord(record, renumber, parentNumber);
  RecordField(record, "type").SetLong(record.GetRecordBuffer(), kRecordType);
  RecordField(record, "transparent").SetLong(record.GetRecordBuffer(), transparent_ ? 1 : 0);
}

void zelvproTopCanvas::ReadTopCanvasRecord(ppDatafile& record) { saveId = LongOf(record, "id"); }

zelvproElement* zelvproTopCanvas::BuildModuleElement(int32_t type, zelvproElement* container,
                                                     ppDatafile& module, bool fresh) {
  switch (type) {
    case ElementKinds::kPlain:
      return new zelvproTopViewElement(container, module, fresh);
    case ElementKinds::kStructure:
      return new zelvproStructureElement(container, module, fresh);
    case ElementKinds::kConfigurable:
      return new zelvproConfigElement(container, module, fresh);
    case ElementKinds::kAccessory:
      // An accessory keeps its stored save id, also when pasted.
      return new zelvproAccessory(container, module, false);
    case ElementKinds::kParametric:
      return new zelvproParametricElement(container, module, fresh);
    default:
      return nullptr;
  }
}

void zelvproTopCanvas::LoadPlan(ppDatafile& modules) {
  iElementHost& host = iElementHost::Current();
  // The elements this load built, by save id: a parent is found without searching the tree.
  std::unordered_map<int32_t, zelvproElement*> built;
  std::unordered_set<zelvproElement*> partsTaken;
  bool importError = false;
  const int32_t count = modules.GetSelectedCount();
  for (int32_t i = 0; i < count; ++i) {
    modules.ReadRecordAt(i, nullptr);
    const int32_t type = LongOf(modules, "type");
    if (type == kRecordType) {
      ReadTopCanvasRecord(modules);
      continue;
    }
    if (host.FindDatabase(LongOf(modules, "database")) == nullptr || !IsPlanType(type)) continue;
    const int32_t parentId = LongOf(modules, "parent");
    zelvproElement* container = parentId == saveId ? this : nullptr;
    if (container == nullptr) {
      auto found = built.find(parentId);
      if (found != built.end()) {
        container = found->second;
        TakePartsFromRecords(container, partsTaken);
      }
    }
    // A parent that is neither the canvas nor an element built so far: the element stays in the
    // plan, and the user hears that the plan may not be as saved.
    if (container == nullptr) {
      container = this;
      importError = true;
    }
    const int32_t storedItem = LongOf(modules, "recID");
    zelvproElement* made = nullptr;
    try {
      made = BuildModuleElement(type, container, modules, false);
    } catch (...) {
      made = nullptr;
      importError = true;
      continue;
    }
    if (made == nullptr) continue;
    // An item the catalogue no longer holds: nothing of it stays.
    if (storedItem != 0 && made->recordId == 0) {
      made->DetachFromSupervisor();
      delete made;
      importError = true;
      continue;
    }
    built[made->GetSaveId()] = made;
  }
  // Keyed children that followed an unkeyed one go in front, the later ones before the earlier ones.
  std::vector<ppView*> front, rest;
  bool onlyKeyedSoFar = true;
  for (int32_t i = 0; i < Subviews().Count(); ++i) {
    ppView* view = Subviews().At(i);
    auto* child = dynamic_cast<zelvproElement*>(view);
    const int32_t key = child != nullptr ? child->under : 0;
    if (key == 0) onlyKeyedSoFar = false;
    if (key != 0 && !onlyKeyedSoFar)
      front.push_back(view);
    else
      rest.push_back(view);
  }
  if (!front.empty()) {
    std::vector<ppView*> order(front.rbegin(), front.rend());
    order.insert(order.end(), rest.begin(), rest.end());
    Reorder(*this, order);
  }

  if (importError)
    plat::MessageBoxA(GetHWND(), kImportErrorText, kImportErrorCaption,
                      plat::MB_OK | plat::MB_ICONEXCLAMATION);
  Invalidate();
  ScheduleEnumNumbering();
}

void zelvproTopCanvas::LoadDocumentModules(int32_t flag) {
  const bool withUndo = flag != 0;
  DeselectAll(withUndo);
  if (withUndo) RefreshViews();
  iElementHost& host = iElementHost::Current();
  ppDatafile* modules = host.CopyDatafile(this);
  if (modules == nullptr) return;
  zelvproElement* last = this;
  int32_t lastId = saveId;
  zelvproElement* firstContainer = nullptr;
  qxViewHolder* holders = nullptr;
  // The copies made by this paste, by save id: a copied group's children find the group's copy.
  std::unordered_map<int32_t, zelvproElement*> made;
  std::unordered_set<zelvproElement*> partsTaken;
  const int32_t count = modules->GetSelectedCount();
  for (int32_t i = 0; i < count; ++i) {
    modules->ReadRecordAt(i, nullptr);
    const int32_t type = LongOf(*modules, "type");
    const int32_t parentId = LongOf(*modules, "parent");
    zelvproElement* container = nullptr;
    if (last != nullptr && parentId == lastId) {
      container = last;
      if (last != this) TakePartsFromRecords(container, partsTaken);
    } else if (parentId == saveId) {
      container = this;
    } else if (auto found = made.find(parentId); found != made.end()) {
      container = found->second;
      TakePartsFromRecords(container, partsTaken);
    } else {
      container = FindById(parentId);
    }
    if (container == nullptr) container = this;
    if (firstContainer == nullptr) firstContainer = container;
    if (type == kRecordType) {
      ReadTopCanvasRecord(*modules);
      continue;
    }
    zelvproElement* element = BuildModuleElement(type, container, *modules, true);
    if (element == nullptr) continue;
    if (element->GetSupervisor() == firstContainer) holders = new qxViewHolder(element, holders, false);
    if (withUndo) element->Invalidate();
    last = element;
    lastId = element->GetSaveId();
    made[lastId] = element;
  }

  zelvproElement* head = holders != nullptr ? holders->Element() : nullptr;
  if (ppTask* paste = iElementTaskFactory::Current().NewPasteTask(this, holders, flag)) {
    paste->Do();
    Post(paste);
  } else {
    delete holders;
  }
  if (withUndo) ScheduleUpdate();
  if (head != nullptr) head->Resnap();
  if (withUndo) RefreshViews();
  // The copy table now holds the pasted elements under new ids: a further paste starts from them.
  SaveSelection();
}

void zelvproTopCanvas::AfterEdit(ppTask* /*task*/) {
  std::vector<ppView*> order;
  for (int32_t i = 0; i < Subviews().Count(); ++i) order.push_back(Subviews().At(i));
  auto keyOf = [](ppView* view) {
    auto* element = dynamic_cast<zelvproElement*>(view);
    return element != nullptr ? element->under : 0;
  };
  // Stable: children of equal keys keep their order from one edit to the next.
  std::stable_sort(order.begin(), order.end(), [&](ppView* a, ppView* b) { return keyOf(a) > keyOf(b); });
  Reorder(*this, order);
  ScheduleEnumNumbering();
}

// ---- Refresh and the price list.

void zelvproTopCanvas::RefreshAll() {
  SetWaitCursor();
  InvalidateTree();
  RefreshViews();
  if (plat::HWND window = iElementHost::Current().DocumentWindow()) new qxWorktopSweeper(window);
}

void zelvproTopCanvas::RecalculatePriceList() {
  SetWaitCursor();
  qxAssignEnumNumbers::NumberChildren(*this);
  GenerateWorktops();
  iCalculationList& list = iCalculationList::Current();
  if (IsControlKeyDown() && IsAltKeyDown()) list.DeleteAllLines();
  list.ReleaseLineData();
  for (zelvproElement* child : Children(*this)) {
    if (auto* top = dynamic_cast<zelvproTopCanvas*>(child))
      top->RefreshAll();
    else
      child->InvalidateTree();
  }
  list.RebuildLines(*this);
  list.ShowLastLine();
  ppCursorTable::SetGlobalDefault();
}

// ---- Order file and worktops.

void zelvproTopCanvas::WriteOrderModule(iOrderWriter& writer) {
  for (zelvproElement* child : Children(*this)) child->WriteOrderModule(writer);
}

void zelvproTopCanvas::GenerateWorktops() {
  iWorktopBuilder& builder = iWorktopBuilder::Current();
  builder.RemoveGeneratedElements(*this);
  for (zelvproElement* child : Children(*this)) {
    if (child->kind != ElementKinds::kWorkTop) continue;
    child->DetachFromSupervisor();
    delete child;
  }
  zelvproElement* run = builder.NewWorktop();
  if (run == nullptr) return;
  for (zelvproElement* unit : InNumberingOrder(Children(*this))) run = unit->BuildWorktopStep(run);
  if (run->dimensions.x == kNoLength) {
    delete run;
    return;
  }
  AddSubview(run);
}
