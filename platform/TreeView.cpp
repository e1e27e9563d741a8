#include "platform/TreeView.h"

#include <algorithm>
#include <memory>
#include <string>
#include <unordered_set>
#include <vector>

#include "platform/ControlsDrawing.h"
#include "platform/ImageList.h"
#include "platform/ScrollBar.h"
#include "platform/WindowApi.h"
#include "platform/WindowManager.h"

namespace plat {
namespace {

constexpr const char* kStateProperty = "treeState";
constexpr int32_t kLeftMargin = 2;
constexpr int32_t kImageSize = 16;
constexpr int32_t kTextGap = 3;      // between the image and the text box
constexpr int32_t kTextPadding = 2;  // inside the text box, each side
constexpr COLORREF kLineColor = RGB(128, 128, 128);

struct Node {
  std::u16string text;
  int32_t image = 0;
  int32_t selectedImage = 0;
  int32_t childrenHint = 0;
  LPARAM param = 0;
  bool expanded = false;
  Node* parent = nullptr;  // null for the items at the top
  std::vector<std::unique_ptr<Node>> children;
};

struct TreeState {
  static constexpr const char* kProperty = kStateProperty;
  Node root;  // holds the top-level items; never shown
  std::unordered_set<const Node*> live;
  Node* selected = nullptr;
  int32_t firstRow = 0;  // rows scrolled out at the top
  // The vertical scroll bar, a child made with the tree (none with TVS_NOSCROLL); shown only while
  // the rows overflow. What it was last given, so that a repaint changes it only when it must.
  HWND bar = nullptr;
  RECT barPlace{};
  SCROLLINFO barInfo;
  bool barShown = false;
  HIMAGELIST normal = nullptr;
  HIMAGELIST stateImages = nullptr;
  bool unicode = false;
};

TreeState* StateOf(HWND control) { return ControlState<TreeState>(control, kStateProperty); }

HTREEITEM Handle(const Node* n) { return reinterpret_cast<HTREEITEM>(const_cast<Node*>(n)); }

Node* Live(TreeState& s, HTREEITEM item) {
  auto* node = reinterpret_cast<Node*>(item);
  return s.live.count(node) ? node : nullptr;
}

bool IsAncestor(const Node* ancestor, const Node* n) {
  for (; n; n = n->parent) {
    if (n == ancestor) return true;
  }
  return false;
}

int32_t Level(const Node* n) {
  int32_t level = 0;
  for (n = n->parent; n; n = n->parent) ++level;
  return level;
}

size_t IndexInParent(const TreeState& s, const Node* n) {
  const auto& siblings = (n->parent ? n->parent : &s.root)->children;
  for (size_t i = 0; i < siblings.size(); ++i) {
    if (siblings[i].get() == n) return i;
  }
  return siblings.size();
}

std::vector<std::unique_ptr<Node>>& Siblings(TreeState& s, const Node* n) {
  return (n->parent ? n->parent : &s.root)->children;
}

bool HasLaterSibling(TreeState& s, const Node* n) { return IndexInParent(s, n) + 1 < Siblings(s, n).size(); }

// The shown rows, top to bottom: items whose ancestors are all expanded.
void CollectRows(const Node& parent, std::vector<Node*>& rows) {
  for (const auto& child : parent.children) {
    rows.push_back(child.get());
    if (child->expanded) CollectRows(*child, rows);
  }
}

std::vector<Node*> Rows(const TreeState& s) {
  std::vector<Node*> rows;
  CollectRows(s.root, rows);
  return rows;
}

int32_t RowOf(const TreeState& s, const Node* n) {
  std::vector<Node*> rows = Rows(s);
  auto it = std::find(rows.begin(), rows.end(), n);
  return it == rows.end() ? -1 : static_cast<int32_t>(it - rows.begin());
}

DWORD Style(HWND control) { return static_cast<DWORD>(GetWindowLongPtrA(control, GWL_STYLE)); }

// Whole rows the client area shows (at least one).
int32_t RowsShown(HWND control) {
  RECT client;
  GetClientRect(control, &client);
  return std::max(1, client.bottom / kTreeItemHeight);
}

// Keeps the first row within the rows, and the bar in step with them: shown while they overflow,
// its range the rows, its page the rows shown, its thumb at the first row. Linear in the rows.
void Layout(HWND control, TreeState& s) {
  const auto count = static_cast<int32_t>(Rows(s).size());
  const int32_t shown = RowsShown(control);
  s.firstRow = std::clamp(s.firstRow, 0, std::max(0, count - shown));
  if (!s.bar) return;
  RECT client;
  GetClientRect(control, &client);
  const RECT place{client.right - kTreeBarWidth, 0, client.right, client.bottom};
  if (place != s.barPlace) {
    s.barPlace = place;
    MoveWindow(s.bar, place.left, place.top, kTreeBarWidth, place.bottom - place.top, 0);
  }
  const SCROLLINFO info = ScrollBar::RowsInfo(count, shown, s.firstRow);
  if (info.nMax != s.barInfo.nMax || info.nPage != s.barInfo.nPage || info.nPos != s.barInfo.nPos) {
    s.barInfo = info;
    SetScrollInfo(s.bar, SB_CTL, &info, 1);
  }
  const bool overflow = count > shown;
  if (overflow != s.barShown) {
    s.barShown = overflow;
    ShowWindow(s.bar, overflow ? SW_SHOWNOACTIVATE : SW_HIDE);
  }
}

// Puts the first row at `row` (kept within the rows) and paints again when it moved.
void ScrollToRow(HWND control, TreeState& s, int32_t row) {
  const int32_t before = s.firstRow;
  s.firstRow = row;
  Layout(control, s);
  if (s.firstRow != before) InvalidateRect(control, nullptr, 1);
}

// A move of the bar: by a row, by a page of the rows shown, or to where the thumb was dragged.
void OnScroll(HWND control, TreeState& s, WORD code, int32_t position) {
  int32_t row = 0;
  if (ScrollBar::RowForCode(code, s.firstRow, RowsShown(control), static_cast<int32_t>(Rows(s).size()),
                            position, row))
    ScrollToRow(control, s, row);
}

// Left edge of the item's image: the level's indentation, one more with lines at the root.
int32_t ItemX(HWND control, const Node* n) {
  int32_t levels = Level(n) + ((Style(control) & TVS_LINESATROOT) ? 1 : 0);
  return kLeftMargin + levels * kTreeIndent;
}

RECT TextBox(HWND control, const Node* n, int32_t top) {
  int32_t x = ItemX(control, n) + kImageSize + kTextGap;
  SIZE text = MeasureControlText(control, n->text);
  return {x, top, x + text.cx + 2 * kTextPadding, top + kTreeItemHeight};
}

LRESULT Notify(HWND control, void* record, UINT code) {
  auto* header = static_cast<NMHDR*>(record);
  header->hwndFrom = control;
  header->idFrom = static_cast<uintptr_t>(GetDlgCtrlID(control));
  header->code = code;
  HWND parent = GetParent(control);
  return parent ? SendMessageW(parent, WM_NOTIFY, header->idFrom, reinterpret_cast<LPARAM>(record)) : 0;
}

void Describe(const Node* n, TVITEMW& item) {
  item.mask = TVIF_HANDLE | TVIF_STATE | TVIF_PARAM | TVIF_IMAGE | TVIF_SELECTEDIMAGE;
  if (!n) return;
  item.hItem = Handle(n);
  item.state = n->expanded ? TVIS_EXPANDED : 0;
  item.lParam = n->param;
  item.iImage = n->image;
  item.iSelectedImage = n->selectedImage;
}

void ScrollIntoView(HWND control, TreeState& s, const Node* n) {
  for (Node* p = n ? n->parent : nullptr; p; p = p->parent) p->expanded = true;
  int32_t row = RowOf(s, n);
  RECT client;
  GetClientRect(control, &client);
  int32_t visible = std::max(1, client.bottom / kTreeItemHeight);
  if (row >= 0 && row < s.firstRow) s.firstRow = row;
  if (row >= s.firstRow + visible) s.firstRow = row - visible + 1;
  Layout(control, s);
}

bool Expand(HWND control, TreeState& s, Node* n, WPARAM action, bool byUser);

// Changes the selection with its notifications; answers false when the parent refused.
bool Select(HWND control, TreeState& s, Node* n, UINT action) {
  if (n == s.selected) return true;
  NMTREEVIEWW change;
  change.action = action;
  Describe(s.selected, change.itemOld);
  Describe(n, change.itemNew);
  if (Notify(control, &change, s.unicode ? TVN_SELCHANGINGW : TVN_SELCHANGINGA)) return false;
  // The parent may have destroyed the control, or deleted the item, while it was asked.
  if (StateOf(control) != &s || (n && !s.live.count(n))) return false;
  Node* old = s.selected;
  s.selected = n;
  if (action != TVC_UNKNOWN && (Style(control) & TVS_SINGLEEXPAND)) {
    for (Node* o = old; o && !IsAncestor(o, n); o = o->parent) {
      if (o->expanded) Expand(control, s, o, TVE_COLLAPSE, true);
      if (StateOf(control) != &s || !s.live.count(o) || (n && !s.live.count(n)))
        return true;  // changed meanwhile
    }
    if (n && !n->children.empty() && !n->expanded) Expand(control, s, n, TVE_EXPAND, true);
    if (StateOf(control) != &s) return true;
  }
  if (n) ScrollIntoView(control, s, n);
  InvalidateRect(control, nullptr, 1);
  Describe(old, change.itemOld);
  Describe(n, change.itemNew);
  Notify(control, &change, s.unicode ? TVN_SELCHANGEDW : TVN_SELCHANGEDA);
  return true;
}

// Expands, collapses or toggles; the user's changes are announced (and may be refused).
bool Expand(HWND control, TreeState& s, Node* n, WPARAM action, bool byUser) {
  bool want = (action & 3) == TVE_TOGGLE ? !n->expanded : (action & 3) == TVE_EXPAND;
  if ((action & 3) == 0 || want == n->expanded) return false;
  if (want && n->children.empty() && n->childrenHint <= 0) return false;
  NMTREEVIEWW change;
  change.action = want ? TVE_EXPAND : TVE_COLLAPSE;
  Describe(n, change.itemNew);
  if (byUser && Notify(control, &change, s.unicode ? TVN_ITEMEXPANDINGW : TVN_ITEMEXPANDINGA)) return false;
  if (StateOf(control) != &s || !s.live.count(n)) return false;
  n->expanded = want;
  if (!want && s.selected && s.selected != n && IsAncestor(n, s.selected)) Select(control, s, n, TVC_UNKNOWN);
  Layout(control, s);
  InvalidateRect(control, nullptr, 1);
  if (byUser) {
    Describe(n, change.itemNew);
    Notify(control, &change, s.unicode ? TVN_ITEMEXPANDEDW : TVN_ITEMEXPANDEDA);
  }
  return true;
}

template <class Char>
void Apply(Node& n, const TreeItemOf<Char>& item) {
  if (item.mask & TVIF_TEXT)
    n.text = reinterpret_cast<intptr_t>(item.pszText) == -1 ? std::u16string() : WideFrom(item.pszText);
  if (item.mask & TVIF_IMAGE) n.image = item.iImage;
  if (item.mask & TVIF_SELECTEDIMAGE) n.selectedImage = item.iSelectedImage;
  if (item.mask & TVIF_PARAM) n.param = item.lParam;
  if (item.mask & TVIF_CHILDREN) n.childrenHint = item.cChildren;
  if ((item.mask & TVIF_STATE) && (item.stateMask & TVIS_EXPANDED))
    n.expanded = (item.state & TVIS_EXPANDED) != 0;
}

template <class Char>
LRESULT Insert(HWND control, TreeState& s, const TreeInsertOf<Char>* insert) {
  if (!insert) return 0;
  Node* parent = &s.root;
  if (insert->hParent && insert->hParent != TVI_ROOT) {
    parent = Live(s, insert->hParent);
    if (!parent) return 0;
  }
  auto node = std::make_unique<Node>();
  Apply(*node, insert->item);
  node->parent = parent == &s.root ? nullptr : parent;
  auto& siblings = parent->children;
  size_t at = siblings.size();
  HTREEITEM after = insert->hInsertAfter;
  if (after == TVI_FIRST) {
    at = 0;
  } else if (after == TVI_SORT) {
    at = 0;
    while (at < siblings.size() && siblings[at]->text <= node->text) ++at;
  } else if (Node* previous = Live(s, after);
             previous && (previous->parent ? previous->parent : &s.root) == parent) {
    at = IndexInParent(s, previous) + 1;
  }
  Node* raw = node.get();
  siblings.insert(siblings.begin() + static_cast<std::ptrdiff_t>(at), std::move(node));
  s.live.insert(raw);
  InvalidateRect(control, nullptr, 1);
  return reinterpret_cast<LRESULT>(Handle(raw));
}

void Forget(TreeState& s, Node* n) {
  for (auto& child : n->children) Forget(s, child.get());
  s.live.erase(n);
}

LRESULT Delete(HWND control, TreeState& s, HTREEITEM item) {
  if (!item || item == TVI_ROOT) {
    for (auto& child : s.root.children) Forget(s, child.get());
    s.root.children.clear();
    s.selected = nullptr;
    s.firstRow = 0;
    InvalidateRect(control, nullptr, 1);
    return 1;
  }
  Node* n = Live(s, item);
  if (!n) return 0;
  if (s.selected && IsAncestor(n, s.selected)) s.selected = nullptr;
  Forget(s, n);
  auto& siblings = Siblings(s, n);
  siblings.erase(siblings.begin() + static_cast<std::ptrdiff_t>(IndexInParent(s, n)));
  InvalidateRect(control, nullptr, 1);
  return 1;
}

template <class Char>
LRESULT GetItem(TreeState& s, TreeItemOf<Char>* item) {
  Node* n = item ? Live(s, item->hItem) : nullptr;
  if (!n) return 0;
  if (item->mask & TVIF_IMAGE) item->iImage = n->image;
  if (item->mask & TVIF_SELECTEDIMAGE) item->iSelectedImage = n->selectedImage;
  if (item->mask & TVIF_PARAM) item->lParam = n->param;
  if (item->mask & TVIF_CHILDREN) item->cChildren = n->children.empty() ? n->childrenHint : 1;
  if (item->mask & TVIF_STATE) {
    item->state = (n->expanded ? TVIS_EXPANDED : 0) | (n == s.selected ? TVIS_SELECTED : 0);
  }
  if ((item->mask & TVIF_TEXT) && item->pszText) CopyTextOut(n->text, item->pszText, item->cchTextMax);
  return 1;
}

template <class Char>
LRESULT SetItem(HWND control, TreeState& s, const TreeItemOf<Char>* item) {
  Node* n = item ? Live(s, item->hItem) : nullptr;
  if (!n) return 0;
  Apply(*n, *item);
  InvalidateRect(control, nullptr, 1);
  return 1;
}

Node* Next(TreeState& s, Node* n, WPARAM relation) {
  switch (relation) {
    case TVGN_ROOT:
      return s.root.children.empty() ? nullptr : s.root.children[0].get();
    case TVGN_CARET:
      return s.selected;
    case TVGN_FIRSTVISIBLE: {
      std::vector<Node*> rows = Rows(s);
      return s.firstRow < static_cast<int32_t>(rows.size()) ? rows[s.firstRow] : nullptr;
    }
    default:
      break;
  }
  if (!n) return nullptr;
  auto& siblings = Siblings(s, n);
  size_t at = IndexInParent(s, n);
  switch (relation) {
    case TVGN_NEXT:
      return at + 1 < siblings.size() ? siblings[at + 1].get() : nullptr;
    case TVGN_PREVIOUS:
      return at > 0 ? siblings[at - 1].get() : nullptr;
    case TVGN_PARENT:
      return n->parent;
    case TVGN_CHILD:
      return n->children.empty() ? nullptr : n->children[0].get();
    case TVGN_NEXTVISIBLE:
    case TVGN_PREVIOUSVISIBLE: {
      std::vector<Node*> rows = Rows(s);
      int32_t row = RowOf(s, n) + (relation == TVGN_NEXTVISIBLE ? 1 : -1);
      return row >= 0 && row < static_cast<int32_t>(rows.size()) && RowOf(s, n) >= 0 ? rows[row] : nullptr;
    }
    default:
      return nullptr;
  }
}

// The row under a client point, or null.
Node* RowAt(HWND control, TreeState& s, POINT p, bool* onItem) {
  std::vector<Node*> rows = Rows(s);
  int32_t row = s.firstRow + p.y / kTreeItemHeight;
  if (p.y < 0 || row >= static_cast<int32_t>(rows.size())) return nullptr;
  Node* n = rows[row];
  RECT text = TextBox(control, n, 0);
  if (onItem) *onItem = p.x >= ItemX(control, n) && p.x < text.right;
  return n;
}

void DottedLine(HDC dc, int32_t x1, int32_t y1, int32_t x2, int32_t y2) {
  for (int32_t x = x1; x <= x2; ++x) {
    for (int32_t y = y1; y <= y2; ++y) {
      if ((x + y) % 2 == 0) SetPixel(dc, x, y, kLineColor);
    }
  }
}

// The connecting lines of one row: to the parent, and down past it for later siblings of the item
// and of each ancestor.
void PaintLines(HWND control, TreeState& s, HDC dc, const Node* n, int32_t top) {
  bool atRoot = (Style(control) & TVS_LINESATROOT) != 0;
  int32_t mid = top + kTreeItemHeight / 2;
  if (n->parent || atRoot) {
    int32_t x = ItemX(control, n) - kTreeIndent + kImageSize / 2;
    bool first = !n->parent && IndexInParent(s, n) == 0;
    DottedLine(dc, x, first ? mid : top, x, HasLaterSibling(s, n) ? top + kTreeItemHeight - 1 : mid);
    DottedLine(dc, x, mid, ItemX(control, n) - 1, mid);
  }
  for (const Node* a = n->parent; a; a = a->parent) {
    if (!(a->parent || atRoot) || !HasLaterSibling(s, a)) continue;
    int32_t x = ItemX(control, a) - kTreeIndent + kImageSize / 2;
    DottedLine(dc, x, top, x, top + kTreeItemHeight - 1);
  }
}

void PaintButton(HWND control, HDC dc, const Node* n, int32_t top) {
  if (n->children.empty() && n->childrenHint <= 0) return;
  int32_t cx = ItemX(control, n) - kTreeIndent + kImageSize / 2, cy = top + kTreeItemHeight / 2;
  FillSolid(dc, {cx - 4, cy - 4, cx + 5, cy + 5}, kWindowColor);
  FrameSolid(dc, {cx - 4, cy - 4, cx + 5, cy + 5}, kLineColor);
  FillSolid(dc, {cx - 2, cy, cx + 3, cy + 1}, kTextColor);
  if (!n->expanded) FillSolid(dc, {cx, cy - 2, cx + 1, cy + 3}, kTextColor);
}

void Paint(HWND control, TreeState& s, HDC dc) {
  // Rows come and go without a layout (a catalogue inserts thousands): the bar catches up here.
  Layout(control, s);
  RECT client;
  GetClientRect(control, &client);
  FillSolid(dc, client, kWindowColor);
  DWORD style = Style(control);
  bool focused = GetFocus() == control;
  std::vector<Node*> rows = Rows(s);
  for (int32_t row = s.firstRow; row < static_cast<int32_t>(rows.size()); ++row) {
    int32_t top = (row - s.firstRow) * kTreeItemHeight;
    if (top >= client.bottom) break;
    Node* n = rows[row];
    if (style & TVS_HASLINES) PaintLines(control, s, dc, n, top);
    if ((style & TVS_HASBUTTONS) && (n->parent || (style & TVS_LINESATROOT)))
      PaintButton(control, dc, n, top);
    bool selected = n == s.selected;
    int32_t image = selected ? n->selectedImage : n->image;
    ImageList_Draw(s.normal, image, dc, ItemX(control, n), top + (kTreeItemHeight - kImageSize) / 2,
                   ILD_NORMAL);
    RECT text = TextBox(control, n, top);
    COLORREF color = kTextColor;
    if (selected && (focused || (style & TVS_SHOWSELALWAYS))) {
      FillSolid(dc, text, focused ? kSelectionColor : kFaceColor);
      if (focused) color = kSelectionTextColor;
    }
    RECT inner{text.left + kTextPadding, text.top, text.right, text.bottom};
    DrawControlText(dc, control, n->text, inner, DT_LEFT | DT_VCENTER | DT_SINGLELINE | DT_NOPREFIX, color);
  }
}

void Click(HWND control, TreeState& s, POINT p, bool twice) {
  SetFocus(control);
  NMHDR header;
  if (Notify(control, &header, twice ? NM_DBLCLK : NM_CLICK) || !(StateOf(control) == &s)) return;
  bool onItem = false;
  Node* n = RowAt(control, s, p, &onItem);
  if (!n) return;
  DWORD style = Style(control);
  int32_t buttonX = ItemX(control, n) - kTreeIndent + kImageSize / 2;
  bool onButton = (style & TVS_HASBUTTONS) && std::abs(p.x - buttonX) <= 4;
  bool single = (style & TVS_SINGLEEXPAND) != 0;
  if (onButton) {
    Expand(control, s, n, TVE_TOGGLE, true);
  } else if (onItem) {
    if (twice && s.live.count(n)) {
      // In a single-expand tree the first click of the pair has opened the item already; the
      // second must not close it again.
      Expand(control, s, n, single ? TVE_EXPAND : TVE_TOGGLE, true);
    } else if (single && n == s.selected) {
      // A click on the selected item of a single-expand tree opens or closes it, as selecting does
      // for any other item (the selection a program made opened nothing).
      Expand(control, s, n, TVE_TOGGLE, true);
    } else {
      Select(control, s, n, TVC_BYMOUSE);
    }
  }
}

void Key(HWND control, TreeState& s, WPARAM key) {
  NMTVKEYDOWN down;
  down.wVKey = static_cast<WORD>(key);
  Notify(control, &down, TVN_KEYDOWN);
  if (StateOf(control) != &s) return;
  Node* n = s.selected;
  std::vector<Node*> rows = Rows(s);
  if (rows.empty()) return;
  switch (static_cast<int32_t>(key)) {
    case VK_DOWN:
      Select(control, s, n ? Next(s, n, TVGN_NEXTVISIBLE) ? Next(s, n, TVGN_NEXTVISIBLE) : n : rows[0],
             TVC_BYKEYBOARD);
      break;
    case VK_UP:
      if (n && Next(s, n, TVGN_PREVIOUSVISIBLE))
        Select(control, s, Next(s, n, TVGN_PREVIOUSVISIBLE), TVC_BYKEYBOARD);
      break;
    case VK_HOME:
      Select(control, s, rows.front(), TVC_BYKEYBOARD);
      break;
    case VK_END:
      Select(control, s, rows.back(), TVC_BYKEYBOARD);
      break;
    case VK_LEFT:
      if (n && n->expanded) {
        Expand(control, s, n, TVE_COLLAPSE, true);
      } else if (n && n->parent) {
        Select(control, s, n->parent, TVC_BYKEYBOARD);
      }
      break;
    case VK_RIGHT:
      if (n && !n->expanded && !n->children.empty()) {
        Expand(control, s, n, TVE_EXPAND, true);
      } else if (n && !n->children.empty()) {
        Select(control, s, n->children[0].get(), TVC_BYKEYBOARD);
      }
      break;
    case VK_RETURN: {
      NMHDR header;
      Notify(control, &header, NM_RETURN);
      break;
    }
    default:
      break;
  }
}

LRESULT Message(HWND control, TreeState& s, UINT message, WPARAM wParam, LPARAM lParam) {
  switch (message) {
    case TVM_INSERTITEMA:
      return Insert(control, s, reinterpret_cast<const TVINSERTSTRUCTA*>(lParam));
    case TVM_INSERTITEMW:
      return Insert(control, s, reinterpret_cast<const TVINSERTSTRUCTW*>(lParam));
    case TVM_DELETEITEM:
      return Delete(control, s, reinterpret_cast<HTREEITEM>(lParam));
    case TVM_GETITEMA:
      return GetItem(s, reinterpret_cast<TVITEMA*>(lParam));
    case TVM_GETITEMW:
      return GetItem(s, reinterpret_cast<TVITEMW*>(lParam));
    case TVM_SETITEMA:
      return SetItem(control, s, reinterpret_cast<const TVITEMA*>(lParam));
    case TVM_SETITEMW:
      return SetItem(control, s, reinterpret_cast<const TVITEMW*>(lParam));
    case TVM_GETCOUNT:
      return static_cast<LRESULT>(s.live.size());
    case TVM_GETINDENT:
      return kTreeIndent;
    case TVM_EXPAND: {
      Node* n = Live(s, reinterpret_cast<HTREEITEM>(lParam));
      return n && Expand(control, s, n, wParam, false);
    }
    case TVM_SETIMAGELIST: {
      HIMAGELIST& slot = wParam == TVSIL_STATE ? s.stateImages : s.normal;
      HIMAGELIST previous = slot;
      slot = reinterpret_cast<HIMAGELIST>(lParam);
      InvalidateRect(control, nullptr, 1);
      return reinterpret_cast<LRESULT>(previous);
    }
    case TVM_GETIMAGELIST:
      return reinterpret_cast<LRESULT>(wParam == TVSIL_STATE ? s.stateImages : s.normal);
    case TVM_GETNEXTITEM:
      return reinterpret_cast<LRESULT>(Handle(Next(s, Live(s, reinterpret_cast<HTREEITEM>(lParam)), wParam)));
    case TVM_SELECTITEM: {
      if (wParam != TVGN_CARET) return 0;
      Node* n = Live(s, reinterpret_cast<HTREEITEM>(lParam));
      if (lParam && !n) return 0;
      return Select(control, s, n, TVC_UNKNOWN);
    }
    case TVM_ENSUREVISIBLE: {
      Node* n = Live(s, reinterpret_cast<HTREEITEM>(lParam));
      if (n) ScrollIntoView(control, s, n);
      InvalidateRect(control, nullptr, 1);
      return n != nullptr;
    }
    case TVM_GETITEMRECT: {
      auto* rect = reinterpret_cast<RECT*>(lParam);
      Node* n = rect ? Live(s, *reinterpret_cast<HTREEITEM*>(rect)) : nullptr;
      int32_t row = n ? RowOf(s, n) : -1;
      if (row < 0) return 0;
      int32_t top = (row - s.firstRow) * kTreeItemHeight;
      RECT client;
      GetClientRect(control, &client);
      if (s.barShown) client.right -= kTreeBarWidth;
      *rect = wParam ? TextBox(control, n, top) : RECT{0, top, client.right, top + kTreeItemHeight};
      return 1;
    }
    case TVM_HITTEST: {
      auto* info = reinterpret_cast<TVHITTESTINFO*>(lParam);
      if (!info) return 0;
      bool onItem = false;
      Node* n = RowAt(control, s, info->pt, &onItem);
      info->hItem = onItem ? Handle(n) : nullptr;
      return reinterpret_cast<LRESULT>(info->hItem);
    }
    case WM_CREATE: {
      HWND parent = GetParent(control);
      s.unicode = parent && SendMessageW(parent, WM_NOTIFYFORMAT, reinterpret_cast<WPARAM>(control),
                                         NF_QUERY) == NFR_UNICODE;
      if (!(Style(control) & TVS_NOSCROLL))
        s.bar = CreateWindowExW(0, "SCROLLBAR", u"", WS_CHILD | SBS_VERT, 0, 0, kTreeBarWidth, 0, control,
                                nullptr, nullptr, nullptr);
      Layout(control, s);
      return 0;
    }
    case CCM_SETUNICODEFORMAT: {
      bool previous = s.unicode;
      s.unicode = wParam != 0;
      return previous;
    }
    case WM_MOUSEWHEEL: {
      // Three rows per notch (120 units), never past the first row or beyond the last page.
      int32_t notches = static_cast<int16_t>(HIWORD(wParam)) / 120;
      ScrollToRow(control, s, s.firstRow - 3 * notches);
      return 0;
    }
    case WM_VSCROLL:
      OnScroll(control, s, LOWORD(wParam), static_cast<int16_t>(HIWORD(wParam)));
      return 0;
    case WM_SIZE:
      Layout(control, s);
      InvalidateRect(control, nullptr, 1);
      return 0;
    case WM_LBUTTONDOWN:
      Click(control, s, {GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam)}, false);
      return 0;
    case WM_LBUTTONDBLCLK:
      Click(control, s, {GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam)}, true);
      return 0;
    case WM_KEYDOWN:
      Key(control, s, wParam);
      return 0;
    case WM_SETFOCUS:
    case WM_KILLFOCUS:
      InvalidateRect(control, nullptr, 0);
      return 0;
    case WM_GETDLGCODE:
      return DLGC_WANTARROWS | DLGC_WANTCHARS;
    case WM_PAINT:
      return PaintControl(control, [&](HDC dc) { Paint(control, s, dc); });
    case WM_ERASEBKGND:
      return 1;
    default:
      return DefWindowProcW(control, message, wParam, lParam);
  }
}

}  // namespace

void RegisterTreeViewClass() {
  RegisterCommonControlClass(kTreeViewClass, CommonControlProc<TreeState, Message>);
}

}  // namespace plat
