#include "platform/qt/QtPlatform.h"

#include <QDesktopServices>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QThread>
#include <QGuiApplication>
#include <QPalette>
#include <QScreen>
#include <QSettings>
#include <QStringList>
#include <QStyle>
#include <QUrl>
#include <cmath>
#include <cstdlib>

#include "platform/qt/QtWindow.h"

namespace platform::qt {

QtPlatform::QtPlatform(int& argc, char** argv) {
  if (!QCoreApplication::instance()) ownedApp_ = std::make_unique<QApplication>(argc, argv);
  // Only the program's own answer to a close request ends the loop.
  QApplication::setQuitOnLastWindowClosed(false);
}

QtPlatform::~QtPlatform() { ownedApp_.reset(); }

int32_t QtPlatform::ScreenDpi() {
  QScreen* screen = QGuiApplication::primaryScreen();
  return screen ? int32_t(std::lround(screen->logicalDotsPerInchX())) : 96;
}

Size QtPlatform::MaximisedClientSize() {
  QScreen* screen = QGuiApplication::primaryScreen();
  const QRect available = screen ? screen->availableGeometry() : QRect(0, 0, 1024, 768);
  return Size{available.width(), available.height() - Frame().captionHeight};
}

FrameMetrics QtPlatform::Frame() {
  // Qt cannot know the window manager's decorations before a window is
  // shown; the style's own title-bar metrics are the estimate.
  QStyle* style = QApplication::style();
  const int32_t frame = std::max(1, style->pixelMetric(QStyle::PM_MdiSubWindowFrameWidth));
  const int32_t caption = std::max(1, style->pixelMetric(QStyle::PM_TitleBarHeight));
  return FrameMetrics{frame, frame, caption};
}

std::unique_ptr<Window> QtPlatform::MakeWindow(WindowHandler& handler, const Rect& frame,
                                               const std::string& title) {
  return std::make_unique<QtWindow>(handler, frame, Frame(), title);
}

int QtPlatform::Run() {
  // A quit asked for before the loop ran ends it at once.
  const int code = quitPending_ ? quitCode_ : QApplication::exec();
  const int result = quitPending_ ? quitCode_ : code;
  quitPending_ = false;
  return result;
}

void QtPlatform::Quit(int exitCode) {
  quitPending_ = true;
  quitCode_ = exitCode;
  QCoreApplication::exit(exitCode);
}

bool QtPlatform::OpenAddress(const std::string& address) {
  if (address.empty()) return false;
  const QString target = QString::fromStdString(address);
  const QUrl url(target);
  // A one-letter scheme is a drive letter ("C:\..."), not an address. Qt
  // answers false when it finds neither a launcher (xdg-open, a portal)
  // nor a browser.
  return QDesktopServices::openUrl(url.isValid() && url.scheme().size() > 1
                                       ? url
                                       : QUrl::fromLocalFile(target));
}

void QtPlatform::PostToMainThread(std::function<void()> task) {
  // A queued call on the application object runs on its thread, whichever
  // thread queued it.
  QCoreApplication* app = QCoreApplication::instance();
  if (!app) return;
  QMetaObject::invokeMethod(app, std::move(task), Qt::QueuedConnection);
}

bool QtPlatform::WaitUntil(const std::function<bool()>& done, int32_t timeoutMs) {
  QElapsedTimer clock;
  clock.start();
  for (;;) {
    if (done()) return true;
    if (clock.elapsed() >= timeoutMs) return false;
    // Input stays queued for after the wait; paints and posted work run.
    QCoreApplication::processEvents(QEventLoop::ExcludeUserInputEvents);
    if (!done()) QThread::msleep(2);
  }
}

Colour QtPlatform::FaceColour() {
  const QColor c = QApplication::palette().color(QPalette::Button);
  return Colour{uint8_t(c.red()), uint8_t(c.green()), uint8_t(c.blue())};
}

}  // namespace platform::qt

namespace platform::qt {

namespace {

// One file, tessary/tessary.conf in the desktop's configuration folder.
QSettings& Store() {
  static QSettings settings(QSettings::IniFormat, QSettings::UserScope, QStringLiteral("tessary"),
                            QStringLiteral("tessary"));
  return settings;
}

}  // namespace

std::vector<std::string> QtPlatform::ReadSetting(const std::string& key) {
  Store().sync();  // another copy of the program may have written since
  std::vector<std::string> values;
  for (const QString& value : Store().value(QString::fromStdString(key)).toStringList())
    values.push_back(value.toStdString());
  return values;
}

void QtPlatform::WriteSetting(const std::string& key, const std::vector<std::string>& values) {
  QStringList list;
  for (const std::string& value : values) list << QString::fromStdString(value);
  Store().setValue(QString::fromStdString(key), list);
  Store().sync();
}

std::string QtPlatform::StateFolder() {
  // The XDG base directories: a relative path in the variable is ignored.
  const char* state = std::getenv("XDG_STATE_HOME");
  if (state != nullptr && state[0] == '/') return std::string(state) + "/tessary";
  const char* home = std::getenv("HOME");
  if (home == nullptr || home[0] != '/') return std::string();
  return std::string(home) + "/.local/state/tessary";
}

}  // namespace platform::qt
