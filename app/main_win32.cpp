// tessary.exe: the program on its native Windows backend. The manifest
// (app/windows/tessary.manifest) asks for common controls 6, per-monitor
// DPI awareness and UTF-8 as the process code page.
#include "app/Startup.h"
#include "platform/win32/Win32Platform.h"

int main() {
  platform::win32::Win32Platform platform;
  // Files named on the command line open as on Linux: a layout file, then
  // photos into the empty regions.
  return app::TessaryMain(platform, platform::win32::Win32Platform::Arguments());
}
