// The configurator panel of the price list's current line: its texts, the edit fields bound to its
// properties, the tag selector and tag button, and the unit selector of a service line.
#include <memory>
#include <string>

#include "calculation/CalculationTagQuery.h"
#include "calculation/UnitTrees.h"
#include "calculation/qxUnitTreeNode.h"
#include "calculation/qxUnitTreeQuery.h"
#include "calculation/zelvproCalculatorCollaborator.h"
#include "calculation/zelvproCalculatorFil.h"
#include "catalogue/records/zelvproDocFil.h"
#include "catalogue/records/zelvproTagFil.h"
#include "controls/ppButtonField.h"
#include "controls/ppConfigPanel.h"
#include "controls/ppConfigurator.h"
#include "controls/ppEditTextField.h"
#include "controls/ppPopupSelector.h"
#include "controls/ppTextField.h"
#include "elements/base/zelvproElement.h"
#include "foundation/TextsById.h"
#include "framework/ApplicationSettings.h"
#include "framework/ppFrameAdorner.h"
#include "framework/ppPropertyDataUnit.h"
#include "framework/ppSwitchBoard.h"

namespace {

constexpr const char* kUpdate = "UpdateCalculation";
constexpr const char* kTagDialog = "ShowTagDialog";
// Least caption column of the edit fields and of the two selectors, pixels.
constexpr int32_t kEditColumn = 60, kSelectorColumn = 35;
// Lines of the Text line's text field.
constexpr int32_t kTextLines = 3;
// The tag button's picture and its frame picture.
constexpr int32_t kTagButtonPicture = 2265, kFramePicture = 1100;
// Names the panels of the tag-block types (Item/Service, Text, Discount) when the language has it.
constexpr int32_t kTaggedPanelName = 6367;

struct Margins {
  int32_t left, top, right, bottom;
};
constexpr Margins kEditMargins{10, 5, 10, 5};
constexpr Margins kFirstTextMargins{10, 15, 10, 5};

// Builds the fields of one panel top to bottom.
class PanelBuilder {
 public:
  PanelBuilder(ppConfigPanel& panel, zelvproCalculatorFil& lines) : panel_(panel), lines_(lines) {}

  void Text(const char* property, Margins m) {
    auto* field = new ppTextField(&panel_, new ppPropertyDataUnit(&lines_, property, false));
    Add(field, m);
  }

  // An edit field bound to `property` with caption text `caption` (the property's name without it).
  ppEditTextField* Edit(const char* property, const char* message, int32_t caption, bool readOnly,
                        Margins m = kEditMargins, int32_t lines = 1) {
    auto* unit = new ppPropertyDataUnit(&lines_, property, true);
    auto* field = new ppEditTextField(&panel_, unit, message, lines, true);
    field->SetText(Vcon::WString(Vcon::String(property)), caption);
    field->SetColumnWidth(kEditColumn);
    if (readOnly) field->MakeReadOnly();
    Add(field, m);
    return field;
  }

  void Add(ppField* field, Margins m) {
    field->SetMargins(m.left, m.top, m.right, m.bottom);
    panel_.AddField(field);
  }

 private:
  ppConfigPanel& panel_;
  zelvproCalculatorFil& lines_;
};

}  // namespace

void zelvproCalculatorFil::ShowLinePanel(ppConfigurator* configurator) {
  if ((ApplicationFlags2() & kNoLinePanel) != 0) return;
  if (configurator == nullptr) configurator = ppConfigurator::Host();
  if (configurator == nullptr) return;
  configurator->RemoveAll();
  BuildLinePanel(*configurator);
  configurator->PlaceTabs();
  configurator->Invalidate();
}

ppConfigPanel* zelvproCalculatorFil::BuildLinePanel(ppConfigurator& configurator) {
  // The fields subscribe only to names already known; these are the panel's.
  ppSwitchBoard::MessageIdByName(kUpdate, true);
  ppSwitchBoard::MessageIdByName(kTagDialog, true);

  BeginAccess();
  const int32_t type = GetSelectedCount() > 0 ? GetValue(kType).ToLong() : kEmptyLine;
  auto* panel = new ppConfigPanel(&configurator);
  PanelBuilder build(*panel, *this);

  const auto tagBlock = [&] {
    std::unique_ptr<zelvproTagFil> tags;
    if (DocumentRecordFile != nullptr) tags = DocumentRecordFile->ReopenTagTable();
    auto* selector = new ppPopupSelector(panel, new CalculationTagQuery(this, std::move(tags)),
                                         TextById(6202, "Tag"), 1, false, true, false, false);
    auto* button = new ppButtonField(panel, kTagButtonPicture, nullptr, kTagDialog);
    new ppFrameAdorner(button, kFramePicture, ppFrameAdorner::kHalfOutside);  // the view owns it
    build.Add(button, {161, 10, 10, -29});
    configurator.PushObject(std::make_unique<zelvproCalculatorCollaborator>(this));
    selector->SetColumnWidth(kSelectorColumn);
    build.Add(selector, {10, 0, 28, 5});
  };
  const auto name = [&](int32_t number, const char* fallback, bool tagged) {
    Vcon::WString text = TextById(number, fallback);
    if (tagged) GetTextById(kTaggedPanelName, text);
    panel->SetName(text);
  };

  const uint32_t flags1 = ApplicationFlags1();
  switch (type) {
    case kEmptyLine:
      name(6351, "Empty Line", false);
      break;
    case kCalculationItem: {
      name(6340, "Calculation Item", false);
      build.Text("tdbText", {10, 10, 10, 0});
      build.Text("tunitText", {10, 10, 10, 0});
      build.Edit("ttext", kUpdate, 8006, false);
      zelvproElement* element = LineRefsAt(GetCurrentItem()).element;
      const bool ownQuantity = element != nullptr && element->QuantityEditable();
      if (ownQuantity) {
        element->AddCalculationFields(*panel, *this);
      } else {
        build.Text("tOptions", {10, 10, 10, 10});
      }
      build.Edit("pcs", "", 8007, !ownQuantity);
      build.Edit("price", kUpdate, 8052, true);
      if ((flags1 & kDiscountFields) != 0) {
        build.Edit("discountPct", kUpdate, 8064, false);
        build.Edit("discount", kUpdate, 8056, false);
      }
      build.Edit("total", kUpdate, 8053, true);
      if ((flags1 & kSecondPriceFields) != 0) {
        build.Edit("priceText2", kUpdate, 8057, true);
        build.Edit("totalText2", kUpdate, 8058, true);
      }
      break;
    }
    case kTotalLine:
      name(6346, "Total", false);
      build.Edit("tunitText", "", 8012, false);
      build.Edit("ttext", "", 8006, false);
      build.Edit("total", "", 8053, true);
      break;
    case kItemService:
      name(6341, "Item/Service", true);
      tagBlock();
      if (qxUnitTreeNode* root = UnitTreeRoot()) {
        auto* query = new qxUnitTreeQuery(this, root, "databaseID", "unitID");
        query->SetMessage(kUpdate);
        auto* selector =
            new ppPopupSelector(panel, query, TextById(8068, "Unit"), 1, false, true, false, false);
        selector->SetTree(true);
        selector->SetColumnWidth(kSelectorColumn);
        build.Add(selector, {10, 20, 10, 5});
      }
      build.Edit("totherText", "", 8025, false, kFirstTextMargins);
      build.Edit("pcs", kUpdate, 8007, false);
      build.Edit("price", kUpdate, 8052, false);
      build.Edit("discountPct", kUpdate, 8064, false);
      build.Edit("discount", kUpdate, 8056, false);
      build.Edit("total", "", 8053, true);
      break;
    case kTextLine:
      name(6342, "Text", true);
      tagBlock();
      build.Edit("totherText", "", 8025, false, kFirstTextMargins, kTextLines);
      break;
    case kDiscountLine:
      name(6343, "Discount", true);
      tagBlock();
      build.Edit("totherText", "", 8025, false, kFirstTextMargins);
      build.Edit("discountPct", kUpdate, 8064, false);
      build.Edit("total", "", 8053, true);
      break;
    case kSubtotalLine:
      name(6344, "SubTotal", false);
      build.Edit("totherText", "", 8025, false, kFirstTextMargins);
      break;
    case kVatLine:
      name(6345, "VAT/Tax", false);
      build.Edit("totherText", "", 8025, false, kFirstTextMargins);
      build.Edit("discountPct", kUpdate, 8064, false);
      break;
    default:
      break;  // the other types (and any outside 0 to 12) have an empty panel without a name
  }
  configurator.AddPanel(panel);
  return panel;
}
