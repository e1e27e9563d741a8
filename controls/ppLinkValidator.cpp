#include "controls/ppLinkValidator.h"

#include <memory>

#include "controls/ppEditTextField.h"
#include "controls/ppLinkBox.h"
#include "database/ppDatafile.h"
#include "platform/WindowApi.h"

namespace {

// The record file's index search in prefix mode: texts compare their leading characters without
// regard to case.
constexpr int32_t kPrefixSearch = 1;

}  // namespace

ppLinkValidator::ppLinkValidator(ppView* view, ppDatafile* file, const ppLinkColumnDefs& columns,
                                 plat::HWND window)
    : columns_(columns), file_(file), view_(view), window_(window) {}

plat::RECT ppLinkValidator::ListRect(const plat::RECT& field) const {
  const int32_t height = field.bottom - field.top;
  plat::RECT r{field.left, field.top + height, field.right, field.bottom + height};
  r.bottom += kListExtra;
  r.bottom += kRowHeight + 1 - (r.bottom - r.top) % kRowHeight;
  int32_t width = 0;
  for (const ppLinkColumnDef& column : columns_) width += column.width;
  r.right = r.left + width;
  return r;
}

ppParameter ppLinkValidator::KeyValueOfRecord(int32_t index) {
  file_->GoTo(index);
  const ppParameter key = file_->GetValueByName(kKeyField);
  return ppParameter(key.ToWString(-1, -1, 0, 0, ",.", 0));
}

bool ppLinkValidator::Validate(ppParameter& value, ppEditTextField* field) {
  if (value.Type() == ppParameter::kNone) return true;
  const Vcon::WString text = value.ToWString(-1, -1, 0, 0, ",.", 0);
  if (text.empty()) return true;
  if (file_ == nullptr) return false;
  const int32_t key = file_->IndexOf(kKeyField);
  if (key < 0) return false;
  // '#' starts from every record, so nothing of an earlier look-up's selection stays.
  const ppParameter typed(text);
  file_->Select(key, kPrefixSearch, typed, typed, '#');
  const int32_t matches = file_->CountItems();
  if (matches == 1) {
    value = KeyValueOfRecord(0);
    return true;
  }
  if (matches < 1) return false;
  // Several: the user picks one in a list right under the field.
  plat::RECT r{0, 0, 0, 20};
  plat::HWND owner = nullptr;
  if (field != nullptr) {
    field->GetWindowFrame(&r);
    owner = field->GetHWND();
  }
  r = ListRect(r);
  plat::POINT origin{0, 0};
  if (owner != nullptr) plat::ClientToScreen(owner, &origin);
  r.left += origin.x;
  r.right += origin.x;
  r.top += origin.y;
  r.bottom += origin.y;
  const int32_t picked = [&] {
    auto box = std::make_unique<ppLinkBox>(owner, r, file_, columns_);
    return box->RunModal();
  }();
  if (picked < 0 || picked >= matches) return false;
  value = KeyValueOfRecord(picked);
  return true;
}
