#include "platform/scripted/ScriptedPlatform.h"

namespace platform::scripted {

namespace {

// One distinct handle per system cursor.
Cursor CursorFor(CursorId id) {
  static const char arrow = 0, wait = 0, sizeAll = 0, hand = 0;
  switch (id) {
    case CursorId::Arrow: return &arrow;
    case CursorId::Wait: return &wait;
    case CursorId::SizeAll: return &sizeAll;
    case CursorId::Hand: return &hand;
  }
  return nullptr;
}

bool Answer(std::deque<DialogAnswer>& answers, OPENFILENAME& ofn) {
  if (answers.empty()) return false;
  const DialogAnswer a = answers.front();
  answers.pop_front();
  if (!a.chosen) return false;
  ofn.file = a.path;
  ofn.filterIndex = a.filterIndex;
  return true;
}

}  // namespace

ScriptedPlatform::ScriptedPlatform(ScriptedConfig c)
    : config(c), currentCursor(CursorFor(CursorId::Arrow)) {}

ScriptedPlatform::~ScriptedPlatform() {
  if (dropHelper) dropHelper->Release();
}

void ScriptedPlatform::OleInitialize() {
  calls.push_back("OleInitialize");
  ++oleInitialized;
}

void ScriptedPlatform::OleUninitialize() {
  calls.push_back("OleUninitialize");
  ++oleUninitialized;
}

void ScriptedPlatform::InitCommonControls() {
  calls.push_back("InitCommonControls");
  ++commonControls;
}

int32_t ScriptedPlatform::ScreenDpi() {
  calls.push_back("ScreenDpi");
  return config.dpi;
}

int32_t ScriptedPlatform::GetSystemMetrics(int index) {
  calls.push_back("GetSystemMetrics(" + std::to_string(index) + ")");
  switch (index) {
    case SM_CXFRAME: return config.frameX;
    case SM_CYFRAME: return config.frameY;
    case SM_CYCAPTION: return config.captionHeight;
    case SM_CXFULLSCREEN: return config.screenW;
    case SM_CYFULLSCREEN: return config.screenH;
    case SM_CXICON:
    case SM_CYICON: return config.iconSize;
    case SM_CXSMICON:
    case SM_CYSMICON: return config.smallIconSize;
    default: return 0;
  }
}

Colour ScriptedPlatform::GetSysColor(int index) {
  return index == COLOR_BTNFACE ? config.buttonFace : RGB(0, 0, 0);
}

int ScriptedPlatform::StartupShowCommand() {
  calls.push_back("StartupShowCommand");
  return config.showCommand;
}

uint32_t ScriptedPlatform::WindowsMajorVersion() { return config.windowsMajor; }

Window* ScriptedPlatform::CreateWindowEx(WindowHandler* handler, const Rect& rect,
                                         const char* title, uint32_t style) {
  calls.push_back("CreateWindowEx");
  if (config.failCreateWindow || !handler) return nullptr;
  windows.push_back(std::make_unique<ScriptedWindow>(*this, handler, rect, title, style));
  ScriptedWindow* window = windows.back().get();
  CREATESTRUCT cs;
  cs.rect = rect;
  cs.title = title;
  cs.style = style;
  if (window->Send(WM_CREATE, 0, reinterpret_cast<LPARAM>(&cs)) == -1) {
    window->DestroyWindow();
    return nullptr;
  }
  // A visible new window is wholly invalid until its first paint.
  if (style & WS_VISIBLE) {
    window->Validate();
    window->InvalidateRect(nullptr, true);
    window->invalidations.pop_back();  // the system's, not the program's
  }
  return window;
}

void ScriptedPlatform::QueueAction(std::function<void()> action) {
  LoopStep step;
  step.action = std::move(action);
  loop_.push_back(std::move(step));
}

void ScriptedPlatform::QueueMessage(ScriptedWindow* window, uint32_t message, WPARAM wParam,
                                    LPARAM lParam) {
  LoopStep step;
  step.window = window;
  step.message = message;
  step.wParam = wParam;
  step.lParam = lParam;
  loop_.push_back(std::move(step));
}

int ScriptedPlatform::RunMessageLoop(MessageLoopHooks* hooks) {
  calls.push_back("RunMessageLoop");
  int idleCount = 0;
  while (!quitCode && !loop_.empty()) {
    if (hooks) {
      ++idleCalls;
      hooks->OnIdle(idleCount++);
    }
    LoopStep step = std::move(loop_.front());
    loop_.pop_front();
    if (step.action) {
      step.action();
    } else if (step.window) {
      if (hooks && hooks->PreTranslateMessage(*step.window, step.message, step.wParam,
                                              step.lParam)) {
        ++filteredMessages;
        continue;
      }
      step.window->Send(step.message, step.wParam, step.lParam);
    }
  }
  return quitCode ? *quitCode : kLoopRanDry;
}

void ScriptedPlatform::PostQuitMessage(int exitCode) {
  calls.push_back("PostQuitMessage(" + std::to_string(exitCode) + ")");
  if (!quitCode) quitCode = exitCode;
}

Cursor ScriptedPlatform::LoadCursor(CursorId id) { return CursorFor(id); }

Cursor ScriptedPlatform::SetCursor(Cursor cursor) {
  const Cursor previous = currentCursor;
  currentCursor = cursor;
  cursorLog.push_back(cursor);
  return previous;
}

int ScriptedPlatform::TimesSet(Cursor cursor) const {
  int n = 0;
  for (Cursor c : cursorLog) n += c == cursor ? 1 : 0;
  return n;
}

void ScriptedPlatform::QueueOpenFile(std::string path, uint32_t filterIndex) {
  openAnswers_.push_back(DialogAnswer{true, std::move(path), filterIndex});
}

void ScriptedPlatform::QueueSaveFile(std::string path, uint32_t filterIndex) {
  saveAnswers_.push_back(DialogAnswer{true, std::move(path), filterIndex});
}

void ScriptedPlatform::QueueOpenCancel() { openAnswers_.push_back(DialogAnswer{}); }
void ScriptedPlatform::QueueSaveCancel() { saveAnswers_.push_back(DialogAnswer{}); }

bool ScriptedPlatform::GetOpenFileName(OPENFILENAME& ofn) {
  openDialogs.push_back(ofn);
  return Answer(openAnswers_, ofn);
}

bool ScriptedPlatform::GetSaveFileName(OPENFILENAME& ofn) {
  saveDialogs.push_back(ofn);
  return Answer(saveAnswers_, ofn);
}

int ScriptedPlatform::MessageBox(Window* owner, const char* text, const char* caption,
                                 uint32_t type) {
  messageBoxes.push_back(
      MessageBoxRecord{owner, text ? text : "", caption ? caption : "", type});
  return IDOK;
}

void ScriptedPlatform::ShellExecute(Window* owner, const char* verb, const char* file,
                                    int showCommand) {
  shellExecutes.push_back(
      ShellExecuteRecord{owner, verb ? verb : "", file ? file : "", showCommand});
}

HRESULT ScriptedPlatform::DwmIsCompositionEnabled(bool* enabled) {
  ++compositionQueries;
  if (config.compositionQueryFails || !enabled) return E_FAIL;
  *enabled = config.composition;
  return S_OK;
}

ThemeHandle ScriptedPlatform::OpenThemeData(Window*, const char* classList) {
  themeOpens.push_back(classList ? classList : "");
  return config.themes ? ThemeToken() : nullptr;
}

void ScriptedPlatform::CloseThemeData(ThemeHandle theme) {
  if (theme) ++themeCloses;
}

std::unique_ptr<ImageList> ScriptedPlatform::CreateImageList(int32_t cx, int32_t cy,
                                                             uint32_t flags) {
  return std::make_unique<ScriptedImageList>(*this, cx, cy, flags);
}

HRESULT ScriptedPlatform::CreateDropTargetHelper(IDropTargetHelper** helper) {
  if (!helper) return E_FAIL;
  if (!config.dropHelper) {
    *helper = nullptr;
    return E_NOINTERFACE;
  }
  if (dropHelper) dropHelper->Release();
  dropHelper = new RecordingDropTargetHelper();  // the platform's own reference
  dropHelper->AddRef();                         // the caller's
  *helper = dropHelper;
  return S_OK;
}

}  // namespace platform::scripted
