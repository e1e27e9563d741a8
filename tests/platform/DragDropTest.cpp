#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

#include "platform/DragDrop.h"
#include "platform/DragDropText.h"
#include "platform/HeadlessDriver.h"
#include "platform/WindowApi.h"

namespace plat {
namespace {

// A target that reads the dragged text as the window objects do: CF_TEXT in a global block, the whole
// block (its GlobalSize) taken as the text. It takes texts that start with "ok".
class RecordingTarget final : public IDropTarget {
 public:
  std::vector<std::string> calls;
  std::string text;  // as read at the last DragEnter or Drop, NUL included
  POINTL point;
  DWORD keys = 0;
  int32_t references = 0;

  HRESULT QueryInterface(const IID& iid, void** object) override {
    if (iid == IID_IUnknown || iid == IID_IDropTarget) {
      *object = static_cast<IDropTarget*>(this);
      AddRef();
      return S_OK;
    }
    *object = nullptr;
    return E_NOINTERFACE;
  }
  uint32_t AddRef() override { return static_cast<uint32_t>(++references); }
  uint32_t Release() override { return static_cast<uint32_t>(--references); }

  HRESULT DragEnter(IDataObject* data, DWORD keyState, POINTL at, DWORD* effect) override {
    calls.push_back("enter");
    Read(data);
    return Answer(keyState, at, effect);
  }
  HRESULT DragOver(DWORD keyState, POINTL at, DWORD* effect) override {
    calls.push_back("over");
    return Answer(keyState, at, effect);
  }
  HRESULT DragLeave() override {
    calls.push_back("leave");
    return S_OK;
  }
  HRESULT Drop(IDataObject* data, DWORD keyState, POINTL at, DWORD* effect) override {
    calls.push_back("drop");
    Read(data);
    return Answer(keyState, at, effect);
  }

 private:
  void Read(IDataObject* data) {
    FORMATETC format;
    format.cfFormat = CF_TEXT;
    STGMEDIUM medium;
    text.clear();
    if (data->GetData(&format, &medium) != S_OK) return;
    size_t size = GlobalSize(medium.hGlobal);
    text.assign(static_cast<const char*>(GlobalLock(medium.hGlobal)), size);
    GlobalUnlock(medium.hGlobal);
    ReleaseStgMedium(&medium);
  }
  HRESULT Answer(DWORD keyState, POINTL at, DWORD* effect) {
    keys = keyState;
    point = at;
    *effect = text.rfind("ok", 0) == 0 ? DROPEFFECT_COPY : DROPEFFECT_NONE;
    return S_OK;
  }
};

LRESULT PlainProc(HWND w, UINT m, WPARAM wp, LPARAM lp) { return DefWindowProcW(w, m, wp, lp); }

class DragDrop : public ::testing::Test {
 protected:
  void SetUp() override {
    HeadlessDriver::Reset();
    blocksBefore_ = GlobalBlockCount();
    WNDCLASSA wc;
    wc.lpfnWndProc = PlainProc;
    wc.lpszClassName = "DropHost";
    RegisterClassA(&wc);
    left_ = CreateWindowExA(0, "DropHost", "", WS_POPUP | WS_VISIBLE, 0, 0, 200, 200, nullptr, nullptr,
                            nullptr, nullptr);
    right_ = CreateWindowExA(0, "DropHost", "", WS_POPUP | WS_VISIBLE, 300, 0, 200, 200, nullptr, nullptr,
                             nullptr, nullptr);
    child_ = CreateWindowExA(0, "DropHost", "", WS_CHILD | WS_VISIBLE, 50, 50, 50, 50, left_, nullptr,
                             nullptr, nullptr);
    ASSERT_EQ(RegisterDragDrop(left_, &a_), S_OK);
    ASSERT_EQ(RegisterDragDrop(right_, &b_), S_OK);
  }
  void TearDown() override {
    RevokeDragDrop(left_);
    RevokeDragDrop(right_);
    EXPECT_EQ(a_.references, 0);
    EXPECT_EQ(b_.references, 0);
    EXPECT_EQ(GlobalBlockCount(), blocksBefore_);  // every block handed out was freed
    HeadlessDriver::Reset();
  }

  size_t blocksBefore_ = 0;
  HWND left_ = nullptr, right_ = nullptr, child_ = nullptr;
  RecordingTarget a_, b_;
};

TEST_F(DragDrop, TextDroppedOnAChildReachesTheTargetOfItsWindow) {
  DWORD effect = InjectTextDrop({{60, 70}}, MK_LBUTTON | MK_CONTROL, "ok oak 600");
  EXPECT_EQ(effect, DROPEFFECT_COPY);
  EXPECT_EQ(a_.calls, (std::vector<std::string>{"enter", "over", "drop"}));
  EXPECT_EQ(a_.text, std::string("ok oak 600\0", 11));  // the whole block: the text and its NUL
  EXPECT_EQ(a_.point.x, 60);
  EXPECT_EQ(a_.point.y, 70);
  EXPECT_EQ(a_.keys, MK_LBUTTON | MK_CONTROL);
  EXPECT_TRUE(b_.calls.empty());
}

TEST_F(DragDrop, RefusedTextLeavesAndADragAcrossWindowsLeavesTheFirst) {
  EXPECT_EQ(InjectTextDrop({{10, 10}}, MK_LBUTTON, "no thanks"), DROPEFFECT_NONE);
  EXPECT_EQ(a_.calls, (std::vector<std::string>{"enter", "over", "leave"}));

  a_.calls.clear();
  EXPECT_EQ(InjectTextDrop({{10, 10}, {250, 10}, {350, 20}}, MK_LBUTTON, "ok"), DROPEFFECT_COPY);
  EXPECT_EQ(a_.calls, (std::vector<std::string>{"enter", "over", "leave"}));
  EXPECT_EQ(b_.calls, (std::vector<std::string>{"enter", "over", "drop"}));
  b_.calls.clear();
  EXPECT_EQ(InjectTextDrop({{350, 20}, {250, 10}}, MK_LBUTTON, "ok"),
            DROPEFFECT_NONE);  // ends on the desktop
  EXPECT_EQ(b_.calls, (std::vector<std::string>{"enter", "over", "leave"}));
}

TEST_F(DragDrop, RegistrationHoldsAReferenceUntilRevoked) {
  EXPECT_EQ(a_.references, 1);
  EXPECT_EQ(RegisterDragDrop(left_, &b_), DRAGDROP_E_ALREADYREGISTERED);
  EXPECT_EQ(RegisterDragDrop(reinterpret_cast<HWND>(uintptr_t{12345}), &b_), DRAGDROP_E_INVALIDHWND);
  EXPECT_EQ(RegisterDragDrop(right_, nullptr), E_INVALIDARG);
  EXPECT_EQ(DropTargetAt(child_), &a_);
  EXPECT_EQ(RevokeDragDrop(left_), S_OK);
  EXPECT_EQ(a_.references, 0);
  EXPECT_EQ(RevokeDragDrop(left_), DRAGDROP_E_NOTREGISTERED);
  EXPECT_EQ(InjectTextDrop({{60, 70}}, 0, "ok"), DROPEFFECT_NONE);
  EXPECT_TRUE(a_.calls.empty());
  // A window destroyed without revoking is forgotten when the next window registers.
  HWND gone =
      CreateWindowExA(0, "DropHost", "", WS_POPUP, 0, 300, 10, 10, nullptr, nullptr, nullptr, nullptr);
  RecordingTarget c;
  RegisterDragDrop(gone, &c);
  DestroyWindow(gone);
  EXPECT_EQ(DropTargetAt(gone), nullptr);
  EXPECT_EQ(RegisterDragDrop(left_, &a_), S_OK);
}

TEST_F(DragDrop, TheTextObjectOffersNarrowAndWideTextOnly) {
  auto* data = new TextDataObject("\xc4rmel");  // Windows-1252 A with diaeresis
  FORMATETC wide;
  wide.cfFormat = CF_UNICODETEXT;
  STGMEDIUM medium;
  ASSERT_EQ(data->GetData(&wide, &medium), S_OK);
  ASSERT_EQ(GlobalSize(medium.hGlobal), 12u);
  EXPECT_EQ(std::u16string(static_cast<const char16_t*>(GlobalLock(medium.hGlobal))), u"\u00c4rmel");
  GlobalUnlock(medium.hGlobal);
  ReleaseStgMedium(&medium);
  FORMATETC bitmap;
  bitmap.cfFormat = 2;
  EXPECT_EQ(data->GetData(&bitmap, &medium), DV_E_FORMATETC);
  FORMATETC file;
  file.cfFormat = CF_TEXT;
  file.tymed = 2;  // not a global block
  EXPECT_EQ(data->QueryGetData(&file), DV_E_FORMATETC);
  void* asTarget = nullptr;
  EXPECT_EQ(data->QueryInterface(IID_IDropTarget, &asTarget), E_NOINTERFACE);
  void* asData = nullptr;
  ASSERT_EQ(data->QueryInterface(IID_IDataObject, &asData), S_OK);
  EXPECT_EQ(data->Release(), 1u);
  EXPECT_EQ(data->Release(), 0u);  // the last reference deletes it
}

TEST_F(DragDrop, GlobalBlocksAreExactAndRefuseStaleHandles) {
  HGLOBAL block = GlobalAlloc(GMEM_MOVEABLE | GMEM_ZEROINIT, 7);
  EXPECT_EQ(GlobalSize(block), 7u);
  auto* bytes = static_cast<uint8_t*>(GlobalLock(block));
  EXPECT_EQ(bytes[6], 0);
  EXPECT_EQ(GlobalLock(block), bytes);  // locked twice
  EXPECT_TRUE(GlobalUnlock(block));     // still locked once
  EXPECT_FALSE(GlobalUnlock(block));
  EXPECT_FALSE(GlobalUnlock(block));  // not locked at all
  EXPECT_EQ(GlobalFree(block), nullptr);
  EXPECT_EQ(GlobalFree(block), block);  // the platform's failure answer
  EXPECT_EQ(GlobalSize(block), 0u);
  EXPECT_EQ(GlobalLock(block), nullptr);
  HGLOBAL empty = GlobalAlloc(GMEM_FIXED, 0);
  EXPECT_NE(GlobalLock(empty), nullptr);
  GlobalUnlock(empty);
  GlobalFree(empty);
  EXPECT_EQ(GlobalSize(nullptr), 0u);
}

}  // namespace
}  // namespace plat
