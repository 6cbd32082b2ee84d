// tessary-wine-probe: what the end-to-end check under Wine asks of Windows
// and of the engine.
//
//   tessary-wine-probe window
//     "client W H at X Y" for the program's main window (found by its class,
//     as its title names the design): its client area and where that lies on
//     the screen (which Wine's X screen shares).
//   tessary-wine-probe close
//     asks that window to close, as its title bar's button does.
//   tessary-wine-probe menu
//     0 when a pop-up menu is showing (within 10 s), 1 otherwise.
//   tessary-wine-probe drag-pan I=PATH I=DX,DY
//     "I=X,Y", the pan of built-in template 0's slot I, holding the picture
//     at PATH, after the window (card at natural size) dragged it by DX, DY;
//     exact, in the form tessary-render's --pan reads.
#include <windows.h>

#include <cstdio>
#include <string>
#include <utility>

#include "document/BuiltInDesigns.h"
#include "document/PhotoFile.h"
#include "engine/card/CardTemplate.h"
#include "engine/card/PhotoPlacement.h"
#include "imagefiles/ImageFiles.h"

namespace {

constexpr wchar_t kMainWindowClass[] = L"Tessary.MainWindow";

int Window() {
  // The program may still be starting: its window is made hidden, placed,
  // then shown.
  HWND window = nullptr;
  for (int i = 0; i < 300; ++i) {
    window = FindWindowW(kMainWindowClass, nullptr);
    if (window && IsWindowVisible(window)) break;
    Sleep(100);
  }
  if (!window || !IsWindowVisible(window)) return 1;
  RECT client{};
  POINT origin{0, 0};
  GetClientRect(window, &client);
  ClientToScreen(window, &origin);
  std::printf("client %ld %ld at %ld %ld\n", client.right, client.bottom, origin.x, origin.y);
  return 0;
}

int Menu() {
  // Every pop-up menu is a window of the system's menu class.
  for (int i = 0; i < 100; ++i) {
    const HWND menu = FindWindowW(L"#32768", nullptr);
    if (menu && IsWindowVisible(menu)) return 0;
    Sleep(100);
  }
  return 1;
}

int Close() {
  const HWND window = FindWindowW(kMainWindowClass, nullptr);
  return window && PostMessageW(window, WM_CLOSE, 0, 0) ? 0 : 1;
}

int DragPan(const std::string& photo, const std::string& drag) {
  size_t slot = 0;
  char path[4096] = "";
  int dx = 0, dy = 0;
  if (std::sscanf(photo.c_str(), "%zu=%4095[^\n]", &slot, path) != 2 ||
      std::sscanf(drag.c_str(), "%*[^=]=%d,%d", &dx, &dy) != 2)
    return 2;
  const imagefiles::ImageFiles files;
  engine::Card card;
  engine::Raster decoded;
  document::PhotoSource source;
  if (!document::MakeBuiltInCard(0, files, &card) ||
      !document::ReadPhotoFile(path, files, &decoded, &source) ||
      !engine::PutPhoto(card.slots, slot, std::move(decoded)))
    return 1;
  engine::DragState state;
  state.dragSlot = int32_t(slot);
  state.dragStartPanX = card.slots[slot].panX;
  state.dragStartPanY = card.slots[slot].panY;
  engine::DragPan(card.slots, state, geometry::Rect{0, 0, 900, 600}, 900, 600, dx, dy);
  std::printf("%zu=%.9g,%.9g\n", slot, double(card.slots[slot].panX),
              double(card.slots[slot].panY));
  return 0;
}

}  // namespace

int wmain(int argc, wchar_t** argv) {
  const std::wstring command = argc > 1 ? argv[1] : L"";
  if (command == L"window" && argc == 2) return Window();
  if (command == L"close" && argc == 2) return Close();
  if (command == L"menu" && argc == 2) return Menu();
  if (command == L"drag-pan" && argc == 4) {
    auto narrow = [](const wchar_t* w) {
      const int n = WideCharToMultiByte(CP_UTF8, 0, w, -1, nullptr, 0, nullptr, nullptr);
      std::string s(size_t(n > 0 ? n - 1 : 0), '\0');
      WideCharToMultiByte(CP_UTF8, 0, w, -1, s.data(), n, nullptr, nullptr);
      return s;
    };
    return DragPan(narrow(argv[2]), narrow(argv[3]));
  }
  std::fputs("usage: tessary-wine-probe window | close | menu | drag-pan I=PATH I=DX,DY\n",
             stderr);
  return 2;
}
