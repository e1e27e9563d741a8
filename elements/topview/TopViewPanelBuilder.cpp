#include "elements/topview/TopViewPanelBuilder.h"

#include "catalogue/databases/zelvDatabase.h"
#include "catalogue/records/RecordField.h"
#include "catalogue/records/zelvproColorCatalogFil.h"
#include "catalogue/records/zelvproClassFil.h"
#include "catalogue/records/zelvproColorCodeFil.h"
#include "catalogue/records/zelvproNoteFil.h"
#include "catalogue/records/zelvproPreferences.h"
#include "catalogue/records/zelvproPreviewFil.h"
#include "catalogue/records/zelvproTopViewFil.h"
#include "catalogue/records/zelvproUnitFil.h"
#include "database/HandleList.h"
#include "elements/base/SizeBounds.h"
#include "elements/base/iApplicationSettings.h"
#include "elements/base/qxViewHolder.h"
#include "elements/topview/CatalogReads.h"
#include "elements/topview/ScratchRecord.h"
#include "elements/topview/zelvproTopViewElement.h"
#include "foundation/LengthText.h"
#include "foundation/TextsById.h"
#include "framework/qxWarningSweeper.h"
#include "framework/zelvproTopViewElementCollaborator.h"

namespace {

// flags2 bits of the application record.
constexpr uint32_t kNoColourTab = 0x01, kNoUnitSelector = 0x04, kPreviewSizes = 0x08, kPriceField = 0x10,
                   kNoUnitName = 0x40, kNoUnitNumber = 0x80, kNoCatalogueName = 0x100,
                   kNoSingleUnitSelector = 0x80000;
constexpr uint32_t kWidthField = 0x20000000, kHeightField = 0x40000000, kDepthField = 0x80000000;
constexpr uint32_t kUnitFlagOfRecord = 0x800000;
constexpr int32_t kWarningCommand = 2100;

Vcon::WString LengthOf(float millimetres) {
  Vcon::WString text;
  FormatLength(millimetres, text, kLengthInchesSixteenths);
  return text;
}

Vcon::String Numbered(const char* name, int32_t n) { return Vcon::String(name) + std::to_string(n).c_str(); }

std::vector<Vcon::String> ListColumns(bool colours) {
  return {"dbId", colours ? "texture0.texture" : "preview.preview", "tnumber", "tname"};
}

}  // namespace

TopViewPanelBuilder::TopViewPanelBuilder(zelvproTopViewElement& element, qxViewHolder* chain)
    : element_(element),
      chain_(chain),
      target_(chain != nullptr ? static_cast<iProperty*>(chain) : static_cast<iProperty*>(&element)),
      db_(*element.database),
      flags2_(iApplicationSettings::Current().flags2) {}

void TopViewPanelBuilder::Build() {
  ReadStyle();
  FindSizeTarget();
  iConfigurator& configurator = iConfigurator::Current();
  const Vcon::String path = configurator.SelectionPath();
  configurator.RemoveAll();
  panel_ = std::make_unique<ConfigPanel>();
  panel_->name = TextById(6336, "Element");
  AddOptionalText(7100);
  GatherTexts();
  if ((flags2_ & kNoCatalogueName) == 0) AddText(*panel_, catalogueName_, 10, 5, 10, 0);
  AddUnitRows();
  if ((flags2_ & kNoUnitName) == 0) AddText(*panel_, unitName_, 10, 5, 10, 0);
  AddSizeAndPrice();
  AddOptionalText(7101), AddOptionalText(7102);
  AddSizeFields();
  AddUnitSelector();
  AddOptionalText(7103), AddOptionalText(7104);
  AddOptionSelectors();
  AddOptionalText(7105), AddOptionalText(7106);
  AddColourTab();
  configurator.AddPanel(std::move(panel_));
  configurator.PlaceTabs();
  configurator.SelectPath(path);
}

void TopViewPanelBuilder::ReadStyle() {
  const iApplicationSettings& settings = iApplicationSettings::Current();
  rows_ = settings.popFieldHeight == 1 || settings.popFieldHeight == 2 ? 1 : 2;
  pictureFlag_ = settings.popFieldHeight == 1 ? 0 : 1;
  noPictureInList_ = settings.popFieldHeight == 1 || settings.popFieldHeight == 2;
  listRows_ = settings.popListHeight == 1 || settings.popListHeight == 2 ? 1 : 2;
}

void TopViewPanelBuilder::FindSizeTarget() {
  zelvproElement* head = chain_ != nullptr ? chain_->Element() : &element_;
  sizeTarget_ = head;
  if (chain_ == nullptr || chain_->Next() == nullptr) return;
  zelvproElement* found = nullptr;
  int32_t count = 0;
  for (qxViewHolder* h = chain_; h != nullptr; h = h->Next()) {
    zelvproElement* e = h->Element();
    if (e == nullptr || e->database == nullptr) continue;
    const std::vector<int32_t> units = ScratchRecord(e->database->TopViewFile2(), e->recordId).Words("Units");
    bool anyKey = false;
    for (size_t i = 0; i + 1 < units.size(); i += 2) anyKey = anyKey || units[i + 1] == 0;
    if (anyKey) found = e, ++count;
  }
  if (count == 1) sizeTarget_ = found;
}

void TopViewPanelBuilder::GatherTexts() {
  catalogueName_ = db_.SettingsFile().LocalName();
  const ScratchRecord unit(db_.UnitFile(), element_.unitRecordId);
  unitNumber_ = unit.Wide("tnumber");
  unitName_ = unit.Wide("tname");
  const ppBounds3 box = SizeBounds(element_);
  auto extent = [](float half) { return half > 0.0f ? 2.0f * half : 0.0f; };
  width_ = LengthOf(extent(box.half.x));
  height_ = LengthOf(extent(box.half.y));
  depth_ = LengthOf(extent(box.half.z));
  sizeCaption_ = TextById(6337, "Dimensions (w x h x d) ");
  sizeText_ = width_ + u" x " + height_ + u" x " + depth_;
  if (const int32_t note = unit.Long("note"); note != 0) {
    const ScratchRecord record(db_.NoteFile(), note);
    // A note is the catalogue's own size text ("w,h,d"), fixed text that stands where the measured
    // bounds would mislead (a sink's tap above its cabinet); it is never converted to inches.
    if (record.Present()) SplitNote(record.Wide("note"));
  }
}

void TopViewPanelBuilder::SplitNote(const Vcon::WString& note) {
  // "w,h,d": the parts become the three dimension texts and the whole note the size text. A note
  // without commas is the width alone; text after a third comma belongs to no dimension.
  sizeText_ = note;
  Vcon::WString* parts[] = {&width_, &height_, &depth_};
  for (Vcon::WString* part : parts) *part = Vcon::WString();
  size_t part = 0;
  for (char16_t c : note) {
    if (c != u',') {
      *parts[part] += c;
    } else if (++part == 3) {
      break;
    }
  }
}

void TopViewPanelBuilder::AddText(ConfigPanel& panel, const Vcon::WString& text, int32_t l, int32_t t,
                                  int32_t r, int32_t b) {
  ConfigField field;
  field.kind = ConfigField::kText;
  field.text = text;
  field.margins[0] = l, field.margins[1] = t, field.margins[2] = r, field.margins[3] = b;
  panel.fields.push_back(std::move(field));
}

void TopViewPanelBuilder::AddOptionalText(int32_t id) {
  Vcon::WString text;
  if (GetTextById(id, text) && !text.empty()) AddText(*panel_, text, 10, 5, 10, 0);
}

void TopViewPanelBuilder::AddUnitRows() {
  if ((flags2_ & kNoUnitNumber) != 0) return;
  AddText(*panel_, unitNumber_, 10, 5, 10, 0);
  AddWarning();
  zelvproElement* head = chain_ != nullptr ? chain_->Element() : &element_;
  // The head alone: an extras dialog per selected element would open one over the other.
  iConfigurator::Current().PushObject(std::make_unique<zelvproTopViewElementCollaborator>(head));
}

void TopViewPanelBuilder::AddWarning() {
  std::vector<zelvproTopViewElement*> elements = {&element_};
  for (qxViewHolder* h = chain_; h != nullptr; h = h->Next())
    if (auto* e = dynamic_cast<zelvproTopViewElement*>(h->Element())) elements.push_back(e);
  for (zelvproTopViewElement* e : elements) {
    if (e->warningNumber == 0) continue;
    if (e->warningNumberShown != e->warningNumber) new qxWarningSweeper(e->warningNumber);  // posted
    break;
  }
  for (zelvproTopViewElement* e : elements) e->warningNumberShown = e->warningNumber;
  if (element_.warningNumber == 0) return;
  ConfigField button;
  button.kind = ConfigField::kButton;
  button.commandId = kWarningCommand;
  button.name = zelvproTopViewElementCollaborator::kWarningButtonMessage;
  const int32_t margins[] = {170, -30, 0, -20};
  std::copy(std::begin(margins), std::end(margins), button.margins);
  panel_->fields.push_back(std::move(button));
}

void TopViewPanelBuilder::AddSizeAndPrice() {
  if ((flags2_ & kPreviewSizes) == 0) {
    AddText(*panel_, sizeCaption_, 10, 5, 0, 0);
    AddText(*panel_, sizeText_, 10, 5, 10, 0);
    return;
  }
  const int32_t preview = CatalogReads::LongOf(db_.UnitFile(), element_.unitRecordId, "preview");
  zelvproPreviewFil& previews = db_.UnitFile().PreviewFile();
  const ScratchRecord record(previews, preview);
  if (!record.Present()) return;
  ConfigField picture;
  picture.kind = ConfigField::kPicture;
  picture.picture = element_.GetUnitPreview();
  picture.margins[0] = picture.margins[1] = 5;
  panel_->fields.push_back(std::move(picture));
  AddText(*panel_, TextById(6240, "W: ") + width_, 90, -80, 10, 0);
  AddText(*panel_, TextById(6241, "H: ") + height_, 90, 10, 10, 0);
  AddText(*panel_, TextById(6242, "D: ") + depth_, 90, 10, 10, 20);
  if ((flags2_ & kPriceField) == 0 || element_.calculate == 0) return;
  ConfigField price;
  price.kind = ConfigField::kEditText;
  price.target = target_;
  price.property = "Price";
  price.text = TextById(6008, "Price");
  price.margins[0] = 10, price.margins[1] = 5, price.margins[2] = 10;
  price.columnWidth = 35;
  panel_->fields.push_back(std::move(price));
}

void TopViewPanelBuilder::AddSizeFields() {
  const std::tuple<uint32_t, const char*, int32_t, const char*> sizes[] = {
      {kWidthField, "XDim", 6207, "Width"},
      {kHeightField, "YDim", 6208, "Height"},
      {kDepthField, "ZDim", 6209, "Depth"}};
  for (const auto& [bit, property, id, fallback] : sizes) {
    if ((element_.flags & bit) == 0) continue;
    ConfigField field;
    field.kind = ConfigField::kEditText;
    field.target = sizeTarget_;
    field.property = property;
    field.undoable = true;
    field.text = TextById(id, fallback);
    field.margins[0] = 10, field.margins[1] = 5, field.margins[2] = 10;
    field.columnWidth = 80;
    panel_->fields.push_back(std::move(field));
  }
}

void TopViewPanelBuilder::AddUnitSelector() {
  if ((flags2_ & kNoUnitSelector) != 0) return;
  auto units = std::make_unique<zelvproUnitFil>(db_);
  Handle selection = units->GetSelection();
  for (int32_t id : element_.CollectUnitChoices(true)) HandleList::Insert(selection, id);
  const bool unitFlag =
      (uint32_t(ScratchRecord(db_.TopViewFile(), element_.recordId).Long("flags")) & kUnitFlagOfRecord) != 0;
  if ((flags2_ & kNoSingleUnitSelector) != 0 && units->GetSelectedCount() <= 1) return;
  ConfigField selector = Selector(std::move(units), "Id", false, 0, unitFlag ? 1 : 0, TextById(6338, "Unit"));
  selector.columnWidth = 35;
  panel_->fields.push_back(std::move(selector));
}

void TopViewPanelBuilder::AddOptionSelectors() {
  for (const TopViewOption& option : element_.options) {
    auto units = std::make_unique<zelvproUnitFil>(db_);
    element_.FillOptionChoices(*units, option.classId);
    if (units->GetSelectedCount() <= 1) continue;
    const Vcon::WString caption = ScratchRecord(db_.ClassFile(), option.classId).Wide("tname");
    panel_->fields.push_back(
        Selector(std::move(units), Numbered("Option", option.classId), false, 1, 0, caption));
  }
}

void TopViewPanelBuilder::AddColourTab() {
  if ((flags2_ & kNoColourTab) != 0) {
    AddColourRows(*panel_);
    return;
  }
  iConfigurator::Current().AddPanel(std::move(panel_));
  panel_ = std::make_unique<ConfigPanel>();
  panel_->name = TextById(6339, "Colors");
  AddText(*panel_, catalogueName_, 10, 5, 10, 0);
  AddText(*panel_, unitName_, 10, 5, 10, 0);
  AddText(*panel_, sizeCaption_, 10, 5, 0, 0);
  AddText(*panel_, sizeText_, 10, 5, 10, 0);
  ConfigField divider;
  divider.kind = ConfigField::kDivider;
  divider.margins[0] = 10, divider.margins[1] = 5, divider.margins[2] = 10;
  panel_->fields.push_back(std::move(divider));
  AddColourRows(*panel_);
}

void TopViewPanelBuilder::AddColourRows(ConfigPanel& panel) {
  if (db_.ColorCodeFile().GetRecordCount() == 0) {
    auto colours = std::make_unique<zelvproColorCatalogFil>(db_);
    element_.FillColorChoices(*colours, -1, true);
    ConfigField selector = Selector(std::move(colours), "Color", true, 1, 0, TextById(6339, "Colors"));
    // The one plain colour selector keeps its own style.
    selector.rows = 2, selector.pictureFlag = 1, selector.listRows = 0, selector.noPictureInList = false;
    panel.fields.push_back(std::move(selector));
    return;
  }
  const uint32_t mask = element_.CollectBitMask(true);
  for (int32_t code = 1; code <= 31; ++code) {
    if ((mask & (uint32_t{1} << (code - 1))) == 0) continue;
    auto colours = std::make_unique<zelvproColorCatalogFil>(db_);
    element_.FillColorChoices(*colours, code, true);
    if (colours->GetSelectedCount() < 2) continue;
    const int32_t record = CatalogReads::ColourCodeAt(db_, code - 1);
    const Vcon::WString caption = ScratchRecord(db_.ColorCodeFile(), record).Wide("tname");
    panel.fields.push_back(Selector(std::move(colours), Numbered("Color", code), true, 1, 0, caption));
  }
}

ConfigField TopViewPanelBuilder::Selector(std::unique_ptr<ppDatafile> list, const Vcon::String& property,
                                          bool colours, int32_t optionFlag, int32_t unitFlag,
                                          const Vcon::WString& caption) const {
  ConfigField field;
  field.kind = ConfigField::kSelector;
  field.target = target_;
  field.property = property;
  field.list = std::move(list);
  field.columns = ListColumns(colours);
  field.rows = rows_, field.pictureFlag = pictureFlag_;
  field.optionFlag = optionFlag, field.unitFlag = unitFlag, field.compactFlag = 0;
  field.listRows = listRows_, field.noPictureInList = noPictureInList_;
  field.margins[0] = 10, field.margins[1] = 5, field.margins[2] = 10;
  field.text = caption;
  return field;
}
