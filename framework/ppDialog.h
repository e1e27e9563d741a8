#pragma once
// A platform dialog made from a dialog template resource, modal or modeless. One dialog procedure
// serves every dialog: it finds the object through the window property "dlg", centres the dialog
// over its owner and routes OK, Cancel, item commands, owner-drawn items and deferred work to the
// virtual operations. Typed item access takes a tab page index, -1 meaning the dialog itself.
//
// Ownership: the dialog owns its tab page set. Deleting the object also destroys a window it still
// has, so a modeless dialog never outlives its object. User-interface thread only.

#include <cstdint>

#include "foundation/VconString.h"
#include "platform/Dialog.h"
#include "platform/WindowTypes.h"

class ppDatafile;
class ppDC;
class ppTabPages;

class ppDialog {
 public:
  static constexpr const char* kProperty = "dlg";
  static constexpr int32_t kRunning = 0;
  static constexpr int32_t kConfirmed = 1;
  static constexpr int32_t kCancelled = 2;
  static constexpr int32_t kSelf = -1;  // the page index of the dialog's own items

  // `owner` null: the window active now.
  ppDialog(int32_t templateId, plat::HWND owner);
  virtual ~ppDialog();
  ppDialog(const ppDialog&) = delete;
  ppDialog& operator=(const ppDialog&) = delete;

  virtual plat::HWND GetOwnerWindow();
  virtual void EmptyHook() {}
  virtual void EndModal();
  // Runs the dialog until it ends; answers what it ended with (-1 when the template is missing).
  virtual int32_t RunModal();
  virtual int32_t DialogBox();
  virtual void CreateModeless();
  virtual void Destroy();
  virtual void OnInitDialog();
  virtual void AfterInitDialog();
  virtual bool ValidateOK();
  virtual void Cancel();
  virtual void DrawItem(int32_t id, const plat::RECT* rect, ppDC* dc);
  virtual void EmptyHook2(intptr_t, intptr_t) {}
  virtual plat::INT_PTR HandleDialogMessage(plat::UINT message, plat::WPARAM wParam, plat::LPARAM lParam);
  virtual void RedrawItem(int32_t id, int32_t page);
  // Beeps, shows string `index` of the string list `list` in a stop box and selects the item's text.
  virtual void ReportFieldError(int32_t id, int32_t list, int32_t index, int32_t page);
  virtual void Command(int32_t id, int32_t page);

  // ---- Window and caption.
  plat::HWND GetWindow() const { return window_; }
  int32_t GetResult() const { return result_; }
  int32_t GetTemplateId() const { return templateId_; }
  void SetTitle(const Vcon::WString& text);
  // At most `maxLength` characters, never more than 256.
  void GetTitle(Vcon::WString& text, int32_t maxLength);

  // ---- Items.
  plat::HWND GetPageWindow(int32_t page);
  plat::HWND GetItem(int32_t id, int32_t page);
  void SetItemText(const Vcon::WString& text, int32_t id, int32_t page);
  void GetItemText(Vcon::WString& text, int32_t id, int32_t page);
  void SetItemInt(int32_t value, int32_t id, int32_t page);
  // False (value 0) when the item holds no number.
  bool GetItemInt(int32_t& value, int32_t id, int32_t page);
  // Shown with `decimals` digits after the point (0 to 6), or as "%f" for any other count.
  void SetItemFloat(float value, int32_t decimals, int32_t id, int32_t page);
  // The leading number of the item's text; 0 when there is none.
  void GetItemFloat(float& value, int32_t id, int32_t page);
  void AddComboString(int32_t id, const Vcon::WString& text, int32_t page);
  // Strings 1 to count of the string list resource `list`.
  void FillComboFromStrings(int32_t id, int32_t list, int32_t count, int32_t page);
  // The display texts of the table's selected records; the record `selectedRecordId` is selected.
  void FillComboFromTable(int32_t id, ppDatafile* table, int32_t selectedRecordId, int32_t page);
  int32_t GetComboSelection(int32_t id, int32_t page);
  void SetComboSelection(int32_t index, int32_t id, int32_t page);
  void CheckItem(int32_t id, int32_t page);
  void UncheckItem(int32_t id, int32_t page);
  bool IsItemChecked(int32_t id, int32_t page);
  void SetItemReadOnly(int32_t id, bool readOnly, int32_t page);
  void EnableItem(int32_t id, int32_t page);
  void DisableItem(int32_t id, int32_t page);
  // The tab page holding the control; -1 without tab pages.
  int32_t PageOfControl(plat::HWND control);

  // Takes the tab page set (deleting one set before).
  void SetTabPages(ppTabPages* pages);
  ppTabPages* TabPages() const { return tabPages_; }

  // The procedure of every dialog.
  static plat::INT_PTR DialogProc(plat::HWND window, plat::UINT message, plat::WPARAM wParam,
                                  plat::LPARAM lParam);
  // Centres `window` on `reference` (the desktop when null), keeping its size.
  static void CenterOn(plat::HWND window, plat::HWND reference);

 protected:
  void SetResult(int32_t result) { result_ = result; }
  // For OnInitDialog: gives the focus to `item` (when there is one) and keeps it there as the dialog
  // opens, instead of the focus the dialog manager gives its first tab stop.
  void SetFirstFocus(plat::HWND item);

 private:
  plat::INT_PTR HandleCommand(plat::WPARAM wParam, plat::LPARAM lParam);
  plat::INT_PTR HandleDrawItem(plat::LPARAM lParam);
  static plat::HINSTANCE Instance();

  int32_t templateId_;
  plat::HWND window_ = nullptr;
  plat::HWND owner_ = nullptr;
  int32_t result_ = kRunning;
  ppTabPages* tabPages_ = nullptr;  // owned
  bool ownFirstFocus_ = false;      // set while the dialog starts when it placed its own focus
};
