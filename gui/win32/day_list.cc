#include "gui/win32/day_list.h"

#include <algorithm>

#include "gui/win32/wide.h"

namespace gui {

namespace {

// An owner-drawn list box item is at most this high (a BYTE in LB_SETITEMHEIGHT).
constexpr int kMaxItemHeight = 255;
constexpr UINT kTextFlags = DT_WORDBREAK | DT_EDITCONTROL | DT_NOPREFIX | DT_EXPANDTABS;

bool indented(ListRow::Kind kind) { return kind != ListRow::Kind::Heading; }

int padding(HWND list) {
  // Scales with the DPI along with the font.
  TEXTMETRICW metrics = {};
  HDC dc = GetDC(list);
  HGDIOBJ old = SelectObject(dc, reinterpret_cast<HGDIOBJ>(SendMessageW(list, WM_GETFONT, 0, 0)));
  GetTextMetricsW(dc, &metrics);
  SelectObject(dc, old);
  ReleaseDC(list, dc);
  return std::max<int>(2, metrics.tmAveCharWidth / 2);
}

}  // namespace

DayList::DayList(HWND list) : list_(list) { makeFonts(); }

DayList::~DayList() { deleteFonts(); }

void DayList::makeFonts() {
  deleteFonts();
  baseFont_ = reinterpret_cast<HFONT>(SendMessageW(list_, WM_GETFONT, 0, 0));
  LOGFONTW font = {};
  GetObjectW(baseFont_ ? static_cast<HGDIOBJ>(baseFont_) : GetStockObject(DEFAULT_GUI_FONT),
             sizeof font, &font);
  LOGFONTW bold = font;
  bold.lfWeight = FW_BOLD;
  bold_ = CreateFontIndirectW(&bold);
  LOGFONTW italic = font;
  italic.lfItalic = TRUE;
  italic_ = CreateFontIndirectW(&italic);
  padding_ = padding(list_);
}

void DayList::deleteFonts() {
  if (bold_) DeleteObject(bold_);
  if (italic_) DeleteObject(italic_);
  bold_ = italic_ = nullptr;
}

HFONT DayList::fontFor(ListRow::Kind kind) const {
  switch (kind) {
    case ListRow::Kind::Heading:
      return bold_;
    case ListRow::Kind::LookAhead:
      return italic_;
    case ListRow::Kind::Reminder:
    case ListRow::Kind::Problem:
    case ListRow::Kind::Message:
      break;
  }
  return baseFont_;
}

RECT DayList::textRect(size_t index, RECT item) const {
  int pad = padding_;
  int indent = indented(rows_[index].kind) ? 4 * pad : 0;
  return {item.left + pad + indent, item.top + pad / 2, item.right - pad, item.bottom - pad / 2};
}

int DayList::heightOf(HDC dc, size_t index, int width) const {
  RECT text = textRect(index, {0, 0, width, 0});
  HGDIOBJ old = SelectObject(dc, fontFor(rows_[index].kind));
  RECT measured = text;
  const std::wstring& s = texts_[index];
  // An empty text still takes a line.
  DrawTextW(dc, s.empty() ? L" " : s.c_str(), s.empty() ? 1 : static_cast<int>(s.size()), &measured,
            kTextFlags | DT_CALCRECT);
  SelectObject(dc, old);
  int height = (measured.bottom - measured.top) + (text.top - 0) * 2;
  if (rows_[index].kind == ListRow::Kind::Heading) height += text.top * 2;  // room above
  return std::clamp(height, 1, kMaxItemHeight);
}

void DayList::fill(std::vector<ListRow> rows) {
  rows_ = std::move(rows);
  texts_.clear();
  texts_.reserve(rows_.size());
  size_t bytes = 0;
  for (const ListRow& row : rows_) {
    std::wstring text = widen(row.text);
    // The list box's own text of an item is its text as one line.
    bytes += (text.size() + 1) * sizeof(wchar_t);
    texts_.push_back(std::move(text));
  }
  SendMessageW(list_, WM_SETREDRAW, FALSE, 0);
  SendMessageW(list_, LB_RESETCONTENT, 0, 0);
  SendMessageW(list_, LB_INITSTORAGE, rows_.size(), static_cast<LPARAM>(bytes));
  for (const std::wstring& text : texts_)
    SendMessageW(list_, LB_ADDSTRING, 0, reinterpret_cast<LPARAM>(text.c_str()));
  SendMessageW(list_, WM_SETREDRAW, TRUE, 0);
  InvalidateRect(list_, nullptr, TRUE);
}

void DayList::remeasure() {
  makeFonts();
  RECT client;
  GetClientRect(list_, &client);
  HDC dc = GetDC(list_);
  LRESULT top = SendMessageW(list_, LB_GETTOPINDEX, 0, 0);
  SendMessageW(list_, WM_SETREDRAW, FALSE, 0);
  for (size_t i = 0; i < rows_.size(); ++i) {
    SendMessageW(list_, LB_SETITEMHEIGHT, i, MAKELPARAM(heightOf(dc, i, client.right), 0));
  }
  SendMessageW(list_, LB_SETTOPINDEX, static_cast<WPARAM>(std::max<LRESULT>(top, 0)), 0);
  SendMessageW(list_, WM_SETREDRAW, TRUE, 0);
  ReleaseDC(list_, dc);
  InvalidateRect(list_, nullptr, TRUE);
}

void DayList::scrollTo(const pendra::Date& day) {
  long wanted = day.dayNumber();
  for (size_t i = 0; i < rows_.size(); ++i) {
    if (rows_[i].kind == ListRow::Kind::Heading && rows_[i].day.dayNumber() >= wanted) {
      SendMessageW(list_, LB_SETTOPINDEX, i, 0);
      return;
    }
  }
}

void DayList::measure(MEASUREITEMSTRUCT* item) {
  if (item->itemID >= rows_.size()) return;
  RECT client;
  GetClientRect(list_, &client);
  HDC dc = GetDC(list_);
  item->itemHeight = static_cast<UINT>(heightOf(dc, item->itemID, client.right));
  ReleaseDC(list_, dc);
}

void DayList::draw(const DRAWITEMSTRUCT* item) {
  if (item->itemID == static_cast<UINT>(-1) || item->itemID >= rows_.size()) return;
  const ListRow& row = rows_[item->itemID];
  HDC dc = item->hDC;
  bool selected = (item->itemState & ODS_SELECTED) != 0;
  int background = selected ? COLOR_HIGHLIGHT : COLOR_WINDOW;
  if (row.kind == ListRow::Kind::Heading && !selected) background = COLOR_BTNFACE;
  FillRect(dc, &item->rcItem, GetSysColorBrush(background));

  COLORREF colour = GetSysColor(selected ? COLOR_HIGHLIGHTTEXT : COLOR_WINDOWTEXT);
  if (!selected && row.kind == ListRow::Kind::LookAhead) colour = GetSysColor(COLOR_GRAYTEXT);
  if (!selected && row.kind == ListRow::Kind::Problem) colour = RGB(0xb0, 0x00, 0x20);
  RECT text = textRect(item->itemID, item->rcItem);
  if (row.kind == ListRow::Kind::Heading) text.top += (text.top - item->rcItem.top);
  HGDIOBJ oldFont = SelectObject(dc, fontFor(row.kind));
  COLORREF oldColour = SetTextColor(dc, colour);
  int oldMode = SetBkMode(dc, TRANSPARENT);
  const std::wstring& s = texts_[item->itemID];
  DrawTextW(dc, s.c_str(), static_cast<int>(s.size()), &text, kTextFlags);
  SetBkMode(dc, oldMode);
  SetTextColor(dc, oldColour);
  SelectObject(dc, oldFont);
  if (item->itemState & ODS_FOCUS) DrawFocusRect(dc, &item->rcItem);
}

}  // namespace gui
