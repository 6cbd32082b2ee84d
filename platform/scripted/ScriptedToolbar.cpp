#include "platform/scripted/ScriptedToolbar.h"

#include <cstring>

#include "platform/scripted/ScriptedDeviceContext.h"
#include "platform/scripted/ScriptedPlatform.h"
#include "platform/scripted/ScriptedWindow.h"

namespace platform::scripted {

ScriptedImageList::ScriptedImageList(ScriptedPlatform& platform, int32_t cx_, int32_t cy_,
                                     uint32_t flags_)
    : cx(cx_), cy(cy_), flags(flags_), platform_(platform) {
  platform_.liveImageLists.push_back(this);
}

ScriptedImageList::~ScriptedImageList() {
  auto& live = platform_.liveImageLists;
  for (auto it = live.begin(); it != live.end(); ++it) {
    if (*it == this) {
      live.erase(it);
      break;
    }
  }
}

int ScriptedImageList::ReplaceIcon(int index, const IconImage& icon) {
  if (!icon.rgba || icon.width <= 0 || icon.height <= 0) return -1;
  StoredIcon stored;
  stored.width = icon.width;
  stored.height = icon.height;
  stored.rgba.assign(icon.rgba, icon.rgba + size_t(icon.width) * size_t(icon.height) * 4);
  if (index == -1) {
    icons.push_back(std::move(stored));
    return int(icons.size()) - 1;
  }
  if (index < 0 || index >= int(icons.size())) return -1;
  icons[size_t(index)] = std::move(stored);
  return index;
}

ScriptedToolbar::ScriptedToolbar(ScriptedWindow& parent, const Rect& rect_, uint32_t style_)
    : style(style_), rect(rect_), parent_(parent) {}

void ScriptedToolbar::SetExtendedStyle(uint32_t ex) { exStyle = ex; }
void ScriptedToolbar::ButtonStructSize(size_t size) { structSize = size; }
void ScriptedToolbar::SetImageList(ImageList* images) { imageList = images; }

bool ScriptedToolbar::AddButtons(const TBBUTTON* added, int count) {
  if (!added || count < 0) return false;
  for (int i = 0; i < count; ++i) {
    RecordedButton b;
    b.button = added[i];
    if (added[i].iString) b.label = added[i].iString;
    buttons.push_back(std::move(b));
  }
  // Labels are copied, so point the records at the copies.
  for (RecordedButton& b : buttons) b.button.iString = b.button.iString ? b.label.c_str() : nullptr;
  return true;
}

void ScriptedToolbar::SetButtonSize(Size size) { buttonSize = size; }

int ScriptedToolbar::GetButtonText(int commandId, std::string* text) const {
  const RecordedButton* b = Find(commandId);
  if (!b || !b->button.iString) return -1;
  if (text) *text = b->label;
  return int(b->label.size());
}

void ScriptedToolbar::MoveWindow(const Rect& r, bool repaint) {
  rect = r;
  moves.push_back(Move{r, repaint});
}

const RecordedButton* ScriptedToolbar::Find(int32_t commandId) const {
  for (const RecordedButton& b : buttons)
    if (b.button.idCommand == commandId && !(b.button.fsStyle & BTNS_SEP)) return &b;
  return nullptr;
}

Rect ScriptedToolbar::ItemRect(int32_t commandId) const {
  int32_t y = 0;
  for (const RecordedButton& b : buttons) {
    const bool separator = (b.button.fsStyle & BTNS_SEP) != 0;
    const int32_t h = separator ? kSeparatorHeight : buttonSize.cy;
    if (!separator && b.button.idCommand == commandId) return Rect{0, y, buttonSize.cx, y + h};
    y += h;
  }
  return Rect{};
}

LRESULT ScriptedToolbar::SendHotItemChange(int32_t idNew, uint32_t flags) {
  NMTBHOTITEM nm;
  nm.hdr.hwndFrom = Handle();
  nm.hdr.idFrom = 0;
  nm.hdr.code = TBN_HOTITEMCHANGE;
  nm.idOld = hotItem;
  nm.idNew = idNew;
  nm.dwFlags = flags;
  hotItem = idNew;
  return parent_.Send(WM_NOTIFY, 0, reinterpret_cast<LPARAM>(&nm));
}

LRESULT ScriptedToolbar::HoverButton(int32_t commandId) {
  return SendHotItemChange(commandId, HICF_MOUSE | (hotItem == 0 ? HICF_ENTERING : 0));
}

LRESULT ScriptedToolbar::LeaveToolbar() { return SendHotItemChange(0, HICF_MOUSE | HICF_LEAVING); }

bool ScriptedToolbar::ClickButton(int32_t commandId) {
  if (!Find(commandId)) return false;
  parent_.Send(WM_COMMAND, MAKEWPARAM(commandId, 0), reinterpret_cast<LPARAM>(Handle()));
  return true;
}

void ScriptedToolbar::SetPressed(int32_t commandId, bool pressed) {
  for (RecordedButton& b : buttons)
    if (b.button.idCommand == commandId && !(b.button.fsStyle & BTNS_SEP)) b.pressed = pressed;
}

ToolbarPaint ScriptedToolbar::PaintToolbar() {
  ToolbarPaint result;
  ScriptedDeviceContext dc(&parent_.surface, Point{rect.left, rect.top});
  NMTBCUSTOMDRAW cd;
  cd.nmcd.hdr.hwndFrom = Handle();
  cd.nmcd.hdr.code = NM_CUSTOMDRAW;
  cd.nmcd.dwDrawStage = CDDS_PREPAINT;
  cd.nmcd.hdc = &dc;
  cd.nmcd.rc = Rect{0, 0, rect.Width(), rect.Height()};
  result.prepaintAnswer = parent_.Send(WM_NOTIFY, 0, reinterpret_cast<LPARAM>(&cd));
  const bool perItem = (result.prepaintAnswer & CDRF_NOTIFYITEMDRAW) != 0;
  for (const RecordedButton& b : buttons) {
    if (b.button.fsStyle & BTNS_SEP) continue;
    ToolbarItemPaint item;
    item.commandId = b.button.idCommand;
    item.itemRect = ItemRect(b.button.idCommand);
    // The label sits under the 48-pixel icon, relative to the item.
    Rect text{2, buttonSize.cy - 20, buttonSize.cx - 2, buttonSize.cy - 4};
    item.rcTextBefore = text;
    if (perItem) {
      NMTBCUSTOMDRAW icd;
      icd.nmcd.hdr = cd.nmcd.hdr;
      icd.nmcd.dwDrawStage = CDDS_ITEMPREPAINT;
      icd.nmcd.hdc = &dc;
      icd.nmcd.rc = item.itemRect;
      icd.nmcd.dwItemSpec = uintptr_t(b.button.idCommand);
      icd.nmcd.uItemState = b.pressed ? CDIS_SELECTED : 0;
      icd.rcText = text;
      item.answer = parent_.Send(WM_NOTIFY, 0, reinterpret_cast<LPARAM>(&icd));
      text = icd.rcText;
    }
    item.rcTextAfter = text;
    item.labelDrawnByToolbar = !b.label.empty() && !text.Empty();
    if (item.labelDrawnByToolbar) result.labelsDrawnByToolbar.push_back(b.label);
    result.items.push_back(item);
  }
  return result;
}

}  // namespace platform::scripted
