#pragma once

#include <cstdint>
#include <string>

#include "platform/Types.h"

namespace platform {

// Toolbar control styles ("ToolbarWindow32").
constexpr uint32_t TBSTYLE_TOOLTIPS = 0x0100;
constexpr uint32_t TBSTYLE_FLAT = 0x0800;
constexpr uint32_t TBSTYLE_TRANSPARENT = 0x8000;
constexpr uint32_t TBSTYLE_CUSTOMERASE = 0x2000;
constexpr uint32_t CCS_NORESIZE = 0x0004;
constexpr uint32_t CCS_NOPARENTALIGN = 0x0008;
constexpr uint32_t CCS_NODIVIDER = 0x0040;
constexpr uint32_t CCS_VERT = 0x0080;
constexpr uint32_t TBSTYLE_EX_MIXEDBUTTONS = 0x0008;

constexpr uint8_t TBSTATE_ENABLED = 0x04;
constexpr uint8_t TBSTATE_WRAP = 0x20;
constexpr uint8_t BTNS_BUTTON = 0x00;
constexpr uint8_t BTNS_SEP = 0x01;
constexpr int32_t I_IMAGENONE = -2;

constexpr uint32_t ILC_MASK = 0x0001;
constexpr uint32_t ILC_COLOR24 = 0x0018;
constexpr uint32_t ILC_COLOR32 = 0x0020;

struct TBBUTTON {
  int32_t iBitmap = 0;
  int32_t idCommand = 0;
  uint8_t fsState = 0;
  uint8_t fsStyle = 0;
  uint8_t bReserved[2] = {0, 0};
  uintptr_t dwData = 0;
  const char* iString = nullptr;  // the label (UTF-8), a constant string
};

// Icons of one size for a toolbar.
class ImageList {
 public:
  virtual ~ImageList() = default;
  // Appends when index is -1; returns the image's index or -1.
  virtual int ReplaceIcon(int index, const IconImage& icon) = 0;
  virtual int Count() const = 0;
};

// A child toolbar control of a window. Button clicks reach the parent as
// WM_COMMAND (LOWORD(wParam) = command id, lParam = the toolbar's HWND);
// hover changes as WM_NOTIFY/TBN_HOTITEMCHANGE; drawing as WM_NOTIFY/NM_CUSTOMDRAW.
class Toolbar {
 public:
  virtual ~Toolbar() = default;
  virtual HWND Handle() const { return this; }
  virtual void SetExtendedStyle(uint32_t exStyle) = 0;   // TB_SETEXTENDEDSTYLE
  virtual void ButtonStructSize(size_t size) = 0;        // TB_BUTTONSTRUCTSIZE
  virtual void SetImageList(ImageList* images) = 0;      // TB_SETIMAGELIST, not owned
  virtual bool AddButtons(const TBBUTTON* buttons, int count) = 0;  // TB_ADDBUTTONS
  virtual Size GetButtonSize() const = 0;                // TB_GETBUTTONSIZE
  virtual void SetButtonSize(Size size) = 0;             // TB_SETBUTTONSIZE
  // TB_GETBUTTONTEXT: the label of the button with this command id, or
  // nothing (buffer left as it was) when there is none. Returns the length or -1.
  virtual int GetButtonText(int commandId, std::string* text) const = 0;
  virtual void MoveWindow(const Rect& rect, bool repaint) = 0;  // in parent client coordinates
  virtual Rect GetWindowRect() const = 0;                       // in parent client coordinates
};

}  // namespace platform
