#pragma once

#include <deque>
#include <functional>
#include <map>
#include <optional>
#include <string>
#include <vector>

#include "platform/Window.h"

namespace platform::scripted {

class ScriptedPlatform;

// What a paint drew, besides the pixels.
struct DrawnText {
  std::string text;
  Rect rect;
  TextStyle style;
};
struct DrawnImage {
  Rect target;
  int32_t width, height, stride;
};
struct DrawnFill {
  Rect rect;
  Colour colour;
};
struct DrawnOutline {
  Rect target;
  Size picture;
  std::vector<Rect> pieces;
};

// The selection colour outlines are painted in.
constexpr Colour kScriptedSelection{0, 120, 215};

// A window that exists only in memory, for tests: events are injected by
// the test, every service call is recorded, dialogs and questions answer
// from queues the test fills, and paints land in an RGB framebuffer.
class ScriptedWindow : public Window {
 public:
  ScriptedWindow(ScriptedPlatform& platform, WindowHandler& handler, const Rect& frame,
                 const std::string& title);
  ~ScriptedWindow() override;

  // --- events, as a user's would arrive -----------------------------------
  void Press(Point p, Button button = Button::Left, uint32_t modifiers = 0) {
    if (Alive()) handler_.OnPointerPressed(PointerEvent{p, button, modifiers});
  }
  void Move(Point p, uint32_t modifiers = 0);  // outside the window only while captured
  void Release(Point p, Button button = Button::Left, uint32_t modifiers = 0) {
    if (Alive()) handler_.OnPointerReleased(PointerEvent{p, button, modifiers});
  }
  void DoubleClick(Point p, Button button = Button::Left) {
    if (Alive()) handler_.OnDoubleClicked(PointerEvent{p, button, 0});
  }
  void Click(Point p) { Press(p), Release(p); }
  void Leave() {
    if (Alive()) handler_.OnPointerLeft();
  }
  void Wheel(Point p, int32_t angleDelta, uint32_t modifiers = 0) {
    if (Alive()) handler_.OnWheel(WheelEvent{p, angleDelta, modifiers});
  }
  bool KeyPress(Key key, uint32_t modifiers = 0);  // the window's shortcuts first
  void ContextMenu(Point p, bool fromKeyboard = false) {
    if (Alive()) handler_.OnContextMenu(p, fromKeyboard);
  }
  void Focus(bool gained, FocusReason reason = FocusReason::Other) {
    if (Alive()) handler_.OnFocusChanged(gained, reason);
  }
  bool DragFiles(const std::vector<std::string>& paths, Point p, bool copyAllowed = true);
  void DragLeave() {
    dragAccepted_ = false;
    if (Alive()) handler_.OnFilesDragLeft();
  }
  // A drop happens only where the last drag was accepted, as on the desktop.
  bool DropFiles(const std::vector<std::string>& paths, Point p, bool copyAllowed = true);
  void Command(int command) {
    if (Alive()) handler_.OnCommand(command);
  }
  void Hover(int command) {  // 0: the pointer left the toolbar
    if (Alive()) handler_.OnCommandHovered(command);
  }
  void Resize(int32_t width, int32_t height);
  // The user's hand in the text panel: `edit` changes what it shows, then
  // the program hears of it. False when the panel is not open.
  bool EditTextPanel(const std::function<void(TextPanelModel&)>& edit, TextPanelChange what);
  // The user closes the panel.
  void CloseTextPanelByHand();
  bool RequestClose();
  void TakeCaptureAway() { captured_ = false; }
  void SetComposition(bool on);
  // Paints `area` (the whole client area when empty) into the framebuffer.
  void Paint(Rect area = {});
  void RunIdle();  // OnIdle until it asks for no more
  // Makes a running timer come due, as its time would; false when it is
  // not running.
  bool FireTimer(int timer);

  // --- what the program did -------------------------------------------------
  std::string title;
  std::vector<IconImage> icons;
  Size minimumClientSize;
  std::vector<ShowState> shows;
  std::vector<Rect> invalidations;
  std::vector<CursorShape> cursorLog;
  int busyDepth = 0;
  int busyStarts = 0;
  std::vector<bool> captureLog;  // true: captured, false: released
  std::vector<ToolbarButton> toolbar;
  std::vector<Shortcut> shortcuts;
  std::vector<Size> clientSizeRequests;
  int32_t toolbarButtonWidth = 0;
  Rect toolbarRect;
  std::vector<int> disabledCommands;
  std::vector<bool> toolbarFocusLog;  // true: first button, false: last
  std::vector<FileDialog> openDialogs, saveDialogs;
  std::deque<std::optional<FileChoice>> openAnswers, saveAnswers;  // empty: cancelled
  struct ShownMessage {
    Message message;
    int busyDepth;  // the wait cursor's depth while the message was up
  };
  std::vector<ShownMessage> messages;
  std::deque<MessageAnswer> messageAnswers;  // empty: the first button
  std::vector<std::vector<MenuItem>> menus;
  std::deque<int> menuAnswers;  // empty: dismissed
  struct ShownPage {
    std::string path, title;
  };
  std::vector<ShownPage> localPages;
  bool localPagesShow = true;  // what ShowLocalPage answers
  std::vector<DesignChoices> designChoosers;
  std::deque<std::optional<size_t>> designAnswers;  // empty: closed without a choice
  std::vector<Margins> frameExtensions;
  TextPanelModel textPanel;     // what the panel shows, while it is open
  int textPanelShows = 0;       // ShowTextPanel calls
  bool textPanelFocusedWords = false;  // the last show put the keyboard on the words
  // Printing: the printer the system dialog gives (none: cancelled), the
  // page setups shown (with the preview the program drew), how each is
  // answered (empty: Print as it stands; a function may change the choices
  // first, as a user does, and return false to cancel), and every page
  // printed, its picture copied.
  bool canPrint = true;
  std::optional<PrinterDescription> printer;
  std::vector<PageSetupModel> pageSetups;
  std::deque<std::function<bool(PageSetupModel&, PageSetupHandler&)>> pageSetupAnswers;
  struct PrintedPage {
    PrintPage page;  // its `rgb` points nowhere; see `picture`
    std::vector<uint8_t> picture;
  };
  std::vector<PrintedPage> printed;
  std::string printFailure;  // what Print answers: empty for success
  int idleRequests = 0;
  std::map<int, int32_t> timers;  // running: id to milliseconds
  bool closed = false;

  // The framebuffer: device pixels, bytes R, G, B, rows packed.
  std::vector<uint8_t> pixels;
  int32_t pixelsWidth = 0, pixelsHeight = 0;
  Colour PixelAt(int32_t x, int32_t y) const;  // device pixels
  std::vector<DrawnText> texts;
  std::vector<DrawnImage> images;
  std::vector<DrawnFill> fills;
  std::vector<DrawnOutline> outlines;
  int paints = 0;

  void ClearLogs();
  CursorShape Cursor() const { return cursor_; }

  // --- Window ----------------------------------------------------------------
  Size ClientSize() const override { return client_; }
  Rect FrameRect() const override;
  void MoveTo(Point frameTopLeft) override;
  Rect WorkArea() const override;
  double DevicePixelRatio() const override;
  void SetTitle(const std::string& text) override { title = text; }
  void SetIcons(const std::vector<IconImage>& shown) override { icons = shown; }
  void SetMinimumClientSize(Size size) override { minimumClientSize = size; }
  // The desktop grants it (a test calls Resize for one that does not).
  void SetClientSize(Size size) override;
  void Show(ShowState state) override { shows.push_back(state); }
  void Invalidate(const Rect& rect) override;
  void RequestIdle() override { ++idleRequests; }
  void SetCursor(CursorShape shape) override;
  void SetBusy(bool busy) override;
  void CapturePointer() override;
  void ReleasePointer() override;
  bool HasPointerCapture() const override { return captured_; }
  // Buttons of 70 pixels and separators of 6, as a desktop might draw them.
  Size SetToolbar(const std::vector<ToolbarButton>& buttons, int32_t buttonWidth) override;
  void PlaceToolbar(const Rect& rect) override { toolbarRect = rect; }
  void SetShortcuts(const std::vector<Shortcut>& keys) override { shortcuts = keys; }
  void EnableCommand(int command, bool enabled) override;
  void FocusToolbar(bool first) override { toolbarFocusLog.push_back(first); }
  std::optional<FileChoice> ChooseFileToOpen(const FileDialog& dialog) override;
  std::optional<FileChoice> ChooseFileToSave(const FileDialog& dialog) override;
  MessageAnswer ShowMessage(const Message& message) override;
  int ShowContextMenu(Point at, const std::vector<MenuItem>& items) override;
  bool ShowLocalPage(const std::string& path, const std::string& pageTitle) override {
    localPages.push_back(ShownPage{path, pageTitle});
    return localPagesShow;
  }
  void StartTimer(int timer, int32_t milliseconds) override { timers[timer] = milliseconds; }
  void StopTimer(int timer) override { timers.erase(timer); }
  std::optional<size_t> ChooseDesign(const DesignChoices& choices) override;
  void ShowTextPanel(const TextPanelModel& model, TextPanelHandler& handler,
                     bool focusWords) override {
    textPanel = model;
    textPanelHandler_ = &handler;
    ++textPanelShows;
    textPanelFocusedWords = focusWords;
  }
  void CloseTextPanel() override { textPanelHandler_ = nullptr; }
  bool TextPanelOpen() const override { return textPanelHandler_ != nullptr; }
  bool CanPrint() const override { return canPrint; }
  std::unique_ptr<Printer> ChoosePrinter(const std::string& jobTitle) override;
  bool ShowPageSetup(PageSetupModel& model, PageSetupHandler& handler) override;
  bool CompositionEnabled() const override { return composition_; }
  void ExtendFrame(const Margins& margins) override { frameExtensions.push_back(margins); }

 private:
  bool Alive() const { return !closed; }
  // The next queued answer, or `otherwise` when the test queued none.
  template <typename Queue, typename T>
  static T Pop(Queue& queue, T otherwise) {
    if (queue.empty()) return otherwise;
    T answer = queue.front();
    queue.pop_front();
    return answer;
  }

  ScriptedPlatform& platform_;
  WindowHandler& handler_;
  Point frameTopLeft_;
  Size client_;
  bool captured_ = false;
  bool dragAccepted_ = false;
  bool composition_ = false;
  CursorShape cursor_ = CursorShape::Arrow;
  TextPanelHandler* textPanelHandler_ = nullptr;
};

}  // namespace platform::scripted
