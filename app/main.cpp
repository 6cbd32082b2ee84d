#include "app/Startup.h"
#include "platform/qt/QtPlatform.h"

int main(int argc, char** argv) {
  platform::qt::QtPlatform platform(argc, argv);
  return app::TessaryMain(platform);
}
