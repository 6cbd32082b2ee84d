#include "platform/qt/QtPlatform.h"

#include <QAbstractEventDispatcher>
#include <QApplication>
#include <QCursor>
#include <QDesktopServices>
#include <QDir>
#include <QFileDialog>
#include <QFileInfo>
#include <QMessageBox>
#include <QPalette>
#include <QScreen>
#include <QUrl>
#include <cmath>

#include "platform/qt/QtImageList.h"
#include "platform/qt/QtWindow.h"

namespace platform::qt {

struct QtCursor {
  CursorId id;
  Qt::CursorShape shape;
};

namespace {

constexpr QtCursor kCursors[] = {
    {CursorId::Arrow, Qt::ArrowCursor},
    {CursorId::Wait, Qt::WaitCursor},
    {CursorId::SizeAll, Qt::SizeAllCursor},
    {CursorId::Hand, Qt::PointingHandCursor},
};

const QtCursor* FindCursor(Cursor cursor) {
  for (const QtCursor& c : kCursors)
    if (cursor == &c) return &c;
  return nullptr;
}

// An idle handler that keeps asking for more is not allowed to starve the
// event loop.
constexpr int kMaxIdleRounds = 64;

// The theme handle only has to be non-null; nothing reads it.
constexpr char kThemeToken = 0;

Colour ToColour(const QColor& c) { return RGB(uint8_t(c.red()), uint8_t(c.green()), uint8_t(c.blue())); }

QWidget* OwnerWidget(Window* owner) {
  auto* window = dynamic_cast<QtWindow*>(owner);
  return window ? window->Widget() : nullptr;
}

// "Description (*.jpg *.png)" from a description and "*.jpg;*.png".
QString NameFilter(const FileFilter& filter) {
  QString patterns = QString::fromUtf8(filter.pattern).replace(QLatin1Char(';'), QLatin1Char(' '));
  return QString::fromUtf8(filter.description) + QStringLiteral(" (") + patterns.simplified() +
         QLatin1Char(')');
}

// The extension a filter stands for when it names exactly one ("*.png").
QString FilterExtension(const FileFilter& filter) {
  const QString pattern = QString::fromUtf8(filter.pattern).trimmed();
  if (!pattern.startsWith(QLatin1String("*.")) || pattern.contains(QLatin1Char(';'))) return {};
  const QString extension = pattern.mid(2);
  if (extension.isEmpty() || extension.contains(QLatin1Char('*')) ||
      extension.contains(QLatin1Char('?')))
    return {};
  return extension;
}

}  // namespace

QtPlatform::QtPlatform(int& argc, char** argv) {
  if (!QCoreApplication::instance()) ownedApp_ = std::make_unique<QApplication>(argc, argv);
  // Only the program's own WM_CLOSE handling ends the loop.
  QApplication::setQuitOnLastWindowClosed(false);
  currentCursor_ = &kCursors[0];
}

QtPlatform::~QtPlatform() {
  if (waitOverride_) QGuiApplication::restoreOverrideCursor();
  windows_.clear();
  ownedApp_.reset();
}

int32_t QtPlatform::ScreenDpi() {
  QScreen* screen = QGuiApplication::primaryScreen();
  if (!screen) return 96;
  return int32_t(std::lround(screen->logicalDotsPerInchX()));
}

int32_t QtPlatform::GetSystemMetrics(int index) {
  QScreen* screen = QGuiApplication::primaryScreen();
  const QRect available = screen ? screen->availableGeometry() : QRect(0, 0, 1024, 768);
  switch (index) {
    case SM_CXFRAME:
    case SM_CYFRAME:
      return FrameThickness();
    case SM_CYCAPTION:
      return CaptionHeight();
    case SM_CXFULLSCREEN:
      return available.width();
    case SM_CYFULLSCREEN:
      return available.height() - CaptionHeight();
    case SM_CXICON:
    case SM_CYICON:
      return 32;
    case SM_CXSMICON:
    case SM_CYSMICON:
      return 16;
    default:
      return 0;
  }
}

Colour QtPlatform::GetSysColor(int index) {
  const QPalette palette = QApplication::palette();
  if (index == COLOR_BTNFACE) return ToColour(palette.color(QPalette::Button));
  return ToColour(palette.color(QPalette::Window));
}

Window* QtPlatform::CreateWindowEx(WindowHandler* handler, const Rect& rect, const char* title,
                                   uint32_t style) {
  if (!handler) return nullptr;
  windows_.push_back(std::make_unique<QtWindow>(*this, handler, rect, title));
  QtWindow* window = windows_.back().get();
  // A refused window stays in the list: the handler may hold its reference.
  return window->Create(rect, title, style) ? window : nullptr;
}

// --- message loop -----------------------------------------------------------

int QtPlatform::RunMessageLoop(MessageLoopHooks* hooks) {
  if (quitPending_) {
    quitPending_ = false;
    return quitCode_;
  }
  hooks_ = hooks;
  idleArmed_ = true;
  QMetaObject::Connection idle;
  if (auto* dispatcher = QAbstractEventDispatcher::instance())
    idle = QObject::connect(dispatcher, &QAbstractEventDispatcher::aboutToBlock,
                            [this] { RunIdle(); });
  loopRunning_ = true;
  int code = QApplication::exec();
  loopRunning_ = false;
  QObject::disconnect(idle);
  hooks_ = nullptr;
  if (quitPending_) code = quitCode_;
  quitPending_ = false;
  return code;
}

void QtPlatform::PostQuitMessage(int exitCode) {
  quitPending_ = true;
  quitCode_ = exitCode;
  if (loopRunning_) QCoreApplication::exit(exitCode);
}

bool QtPlatform::PreTranslate(Window& window, uint32_t message, WPARAM wParam, LPARAM lParam) {
  // As in the classic loop, idle work is due again after anything but
  // pointer moves and paints.
  if (message != WM_MOUSEMOVE && message != WM_NCMOUSEMOVE && message != WM_PAINT &&
      message != WM_TIMER_SYSTEM)
    idleArmed_ = true;
  if (!hooks_ || modalDepth_ > 0) return false;
  return hooks_->PreTranslateMessage(window, message, wParam, lParam);
}

void QtPlatform::RunIdle() {
  if (!hooks_ || !idleArmed_ || modalDepth_ > 0 || quitPending_) return;
  idleArmed_ = false;
  for (int round = 0; round < kMaxIdleRounds; ++round)
    if (!hooks_->OnIdle(round)) break;
}

// --- cursors ----------------------------------------------------------------

Cursor QtPlatform::LoadCursor(CursorId id) {
  for (const QtCursor& c : kCursors)
    if (c.id == id) return &c;
  return nullptr;
}

Cursor QtPlatform::SetCursor(Cursor cursor) {
  const Cursor previous = currentCursor_;
  const QtCursor* next = FindCursor(cursor);
  currentCursor_ = next;
  if (next && next->id == CursorId::Wait) {
    // The wait cursor shows over every window while the program is busy
    // and not processing events.
    if (!waitOverride_) QGuiApplication::setOverrideCursor(Qt::WaitCursor);
    waitOverride_ = true;
    return previous;
  }
  if (waitOverride_) {
    QGuiApplication::restoreOverrideCursor();
    waitOverride_ = false;
  }
  const Qt::CursorShape shape = next ? next->shape : Qt::BlankCursor;
  for (const auto& window : windows_) window->ApplyCursor(shape);
  return previous;
}

void QtPlatform::SetEventCursorPos(const Point* screen) {
  haveEventCursor_ = screen != nullptr;
  if (screen) eventCursor_ = *screen;
}

Point QtPlatform::GetCursorPos() {
  // QCursor::pos can lag behind the event being handled (it is a separate
  // query, and on Wayland only the last known position).
  if (haveEventCursor_) return eventCursor_;
  const QPoint p = QCursor::pos();
  return Point{p.x(), p.y()};
}

// --- dialogs ----------------------------------------------------------------

bool QtPlatform::GetOpenFileName(OPENFILENAME& ofn) { return FileDialog(ofn, false); }

bool QtPlatform::GetSaveFileName(OPENFILENAME& ofn) { return FileDialog(ofn, true); }

bool QtPlatform::FileDialog(OPENFILENAME& ofn, bool save) {
  QFileDialog dialog(OwnerWidget(ofn.owner), QString::fromUtf8(ofn.title));
  dialog.setAcceptMode(save ? QFileDialog::AcceptSave : QFileDialog::AcceptOpen);
  dialog.setFileMode(!save && (ofn.flags & OFN_FILEMUSTEXIST) ? QFileDialog::ExistingFile
                                                                : QFileDialog::AnyFile);
  if (save && !(ofn.flags & OFN_OVERWRITEPROMPT))
    dialog.setOption(QFileDialog::DontConfirmOverwrite);
  QStringList filters;
  for (const FileFilter& filter : ofn.filters) filters << NameFilter(filter);
  if (!filters.isEmpty()) {
    dialog.setNameFilters(filters);
    const uint32_t first = ofn.filterIndex == 0 ? 1 : ofn.filterIndex;
    if (first <= uint32_t(filters.size())) dialog.selectNameFilter(filters[int(first - 1)]);
  }
  if (!ofn.file.empty()) dialog.selectFile(QString::fromUtf8(ofn.file));

  QString path;
  for (;;) {
    ++modalDepth_;
    const bool accepted = dialog.exec() == QDialog::Accepted;
    --modalDepth_;
    if (!accepted || dialog.selectedFiles().isEmpty()) return false;
    path = dialog.selectedFiles().first();
    if (!(ofn.flags & OFN_PATHMUSTEXIST) || QFileInfo(path).absoluteDir().exists()) break;
    // As the classic dialog does: a name in a folder that is not there is
    // refused on the spot, and the user picks again.
    ++modalDepth_;
    QMessageBox::warning(&dialog, dialog.windowTitle(),
                         QStringLiteral("The folder \"%1\" does not exist.")
                             .arg(QFileInfo(path).absolutePath()));
    --modalDepth_;
  }
  const int chosen = filters.indexOf(dialog.selectedNameFilter());
  const uint32_t filterIndex = chosen >= 0 ? uint32_t(chosen + 1) : 1;
  if (save && QFileInfo(path).suffix().isEmpty() && !ofn.defaultExtension.empty()) {
    // A bare name gets the extension of the type chosen (the program picks
    // the format by the filter), else the default one.
    QString extension;
    if (filterIndex <= ofn.filters.size()) extension = FilterExtension(ofn.filters[filterIndex - 1]);
    if (extension.isEmpty()) extension = QString::fromUtf8(ofn.defaultExtension);
    if (!path.endsWith(QLatin1Char('.'))) path += QLatin1Char('.');
    path += extension;
  }
  const std::string chosenFile = path.toStdString();
  if (ofn.maxFile > 0 && Utf16Length(chosenFile) >= ofn.maxFile) return false;  // no room for it
  ofn.file = chosenFile;
  ofn.filterIndex = filterIndex;
  return true;
}

int QtPlatform::MessageBox(Window* owner, const char* text, const char* caption, uint32_t) {
  QMessageBox box(QMessageBox::NoIcon, QString::fromUtf8(caption ? caption : ""),
                  QString::fromUtf8(text ? text : ""), QMessageBox::Ok, OwnerWidget(owner));
  ++modalDepth_;
  box.exec();
  --modalDepth_;
  return IDOK;
}

void QtPlatform::ShellExecute(Window*, const char* verb, const char* file, int) {
  if (!file || !*file) return;
  if (verb && QString::fromUtf8(verb) != QLatin1String("open")) return;
  const QString target = QString::fromUtf8(file);
  const QUrl url(target);
  // A one-letter scheme is a drive letter ("C:\..."), not an address.
  if (url.isValid() && url.scheme().size() > 1) {
    QDesktopServices::openUrl(url);
  } else {
    QDesktopServices::openUrl(QUrl::fromLocalFile(target));
  }
}

// --- composition, themes, image lists, drag images -------------------------

HRESULT QtPlatform::DwmIsCompositionEnabled(bool* enabled) {
  if (enabled) *enabled = false;  // no glass frames on this toolkit
  return S_OK;
}

ThemeHandle QtPlatform::OpenThemeData(Window*, const char*) { return &kThemeToken; }

std::unique_ptr<ImageList> QtPlatform::CreateImageList(int32_t cx, int32_t cy, uint32_t) {
  return std::make_unique<QtImageList>(cx, cy);
}

HRESULT QtPlatform::CreateDropTargetHelper(IDropTargetHelper** helper) {
  if (helper) *helper = nullptr;
  return E_NOINTERFACE;
}

}  // namespace platform::qt
