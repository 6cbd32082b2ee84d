#pragma once

#include <cstdint>

#include "platform/Types.h"

namespace platform {

class DeviceContext;

// Window messages.
constexpr uint32_t WM_CREATE = 0x0001;
constexpr uint32_t WM_DESTROY = 0x0002;
constexpr uint32_t WM_SIZE = 0x0005;
constexpr uint32_t WM_SETREDRAW = 0x000B;
constexpr uint32_t WM_PAINT = 0x000F;
constexpr uint32_t WM_CLOSE = 0x0010;
constexpr uint32_t WM_QUIT = 0x0012;
constexpr uint32_t WM_ERASEBKGND = 0x0014;   // wParam: DeviceContext*
constexpr uint32_t WM_SETCURSOR = 0x0020;    // wParam: HWND under the pointer, LOWORD(lParam): hit-test code
constexpr uint32_t WM_NOTIFY = 0x004E;       // lParam: NMHDR*
constexpr uint32_t WM_SETICON = 0x0080;
constexpr uint32_t WM_NCPAINT = 0x0085;
constexpr uint32_t WM_COMMAND = 0x0111;      // LOWORD(wParam): command id
constexpr uint32_t WM_MOUSEMOVE = 0x0200;    // lParam: client point as two signed words
constexpr uint32_t WM_LBUTTONDOWN = 0x0201;
constexpr uint32_t WM_LBUTTONUP = 0x0202;
constexpr uint32_t WM_LBUTTONDBLCLK = 0x0203;
constexpr uint32_t WM_THEMECHANGED = 0x031A;
constexpr uint32_t WM_DWMCOMPOSITIONCHANGED = 0x031E;
constexpr uint32_t WM_TIMER_SYSTEM = 0x0118;
constexpr uint32_t WM_NCMOUSEMOVE = 0x00A0;

constexpr uint16_t HTCLIENT = 1;

// Window style bits used by start-up.
constexpr uint32_t WS_OVERLAPPEDWINDOW = 0x00CF0000;
constexpr uint32_t WS_VISIBLE = 0x10000000;
constexpr uint32_t WS_CHILD = 0x40000000;

// Show commands.
constexpr int SW_HIDE = 0;
constexpr int SW_SHOWNORMAL = 1;
constexpr int SW_SHOWMINIMIZED = 2;
constexpr int SW_SHOWMAXIMIZED = 3;
constexpr int SW_SHOW = 5;
constexpr int SW_SHOWMINNOACTIVE = 7;
constexpr int SW_SHOWDEFAULT = 10;

// System metrics.
constexpr int SM_CXICON = 11;
constexpr int SM_CYICON = 12;
constexpr int SM_CXFULLSCREEN = 16;
constexpr int SM_CYFULLSCREEN = 17;
constexpr int SM_CYCAPTION = 4;
constexpr int SM_CXFRAME = 32;
constexpr int SM_CYFRAME = 33;
constexpr int SM_CXSMICON = 49;
constexpr int SM_CYSMICON = 50;

constexpr int COLOR_BTNFACE = 15;

constexpr int ICON_SMALL = 0;
constexpr int ICON_BIG = 1;

// Text drawing flags.
constexpr uint32_t DT_CENTER = 0x0001;
constexpr uint32_t DT_BOTTOM = 0x0008;
constexpr uint32_t DT_SINGLELINE = 0x0020;
constexpr uint32_t DT_NOPREFIX = 0x0800;

// Glow text options.
constexpr uint32_t DTT_COMPOSITED = 0x2000;
constexpr uint32_t DTT_GLOWSIZE = 0x0800;
struct DTTOPTS {
  uint32_t dwSize = 64;
  uint32_t dwFlags = 0;
  int32_t iGlowSize = 0;
};

// Theme fonts.
constexpr int TMT_STATUSFONT = 804;
constexpr int TMT_ICONTITLEFONT = 806;

// Message boxes.
constexpr uint32_t MB_OK = 0x0000;
constexpr int IDOK = 1;

// Common notifications.
struct NMHDR {
  HWND hwndFrom = nullptr;
  uintptr_t idFrom = 0;
  int32_t code = 0;
};
constexpr int32_t NM_CUSTOMDRAW = -12;
constexpr int32_t TBN_HOTITEMCHANGE = -713;

// Toolbar hot-item change.
constexpr uint32_t HICF_MOUSE = 0x01;
constexpr uint32_t HICF_ENTERING = 0x10;
constexpr uint32_t HICF_LEAVING = 0x20;
struct NMTBHOTITEM {
  NMHDR hdr;
  int32_t idOld = 0;
  int32_t idNew = 0;
  uint32_t dwFlags = 0;
};

// Custom draw.
constexpr uint32_t CDDS_PREPAINT = 0x00000001;
constexpr uint32_t CDDS_POSTPAINT = 0x00000002;
constexpr uint32_t CDDS_ITEM = 0x00010000;
constexpr uint32_t CDDS_ITEMPREPAINT = CDDS_ITEM | CDDS_PREPAINT;
constexpr LRESULT CDRF_DODEFAULT = 0x00;
constexpr LRESULT CDRF_NOTIFYITEMDRAW = 0x20;
constexpr uint32_t CDIS_SELECTED = 0x0001;
struct NMCUSTOMDRAW {
  NMHDR hdr;
  uint32_t dwDrawStage = 0;
  DeviceContext* hdc = nullptr;
  Rect rc;
  uintptr_t dwItemSpec = 0;  // toolbar: the button's command id
  uint32_t uItemState = 0;
  LPARAM lItemlParam = 0;
};
struct NMTBCUSTOMDRAW {
  NMCUSTOMDRAW nmcd;
  Rect rcText;  // where the toolbar will draw the label; collapse it to suppress the label
};

}  // namespace platform
