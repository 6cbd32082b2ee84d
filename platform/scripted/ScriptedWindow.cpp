#include "platform/scripted/ScriptedWindow.h"

#include <algorithm>
#include <cstring>

#include "platform/scripted/ScriptedPlatform.h"

namespace platform::scripted {

namespace {

Rect Clip(const Rect& r, Size size) {
  return Rect{std::max(r.left, 0), std::max(r.top, 0), std::min(r.right, size.width),
              std::min(r.bottom, size.height)};
}

// Paints into the window's framebuffer; text and focus rings are recorded,
// not rasterised.
class FramebufferCanvas : public Canvas {
 public:
  FramebufferCanvas(ScriptedWindow& window, const Rect& clip, int32_t ratio)
      : w_(window), clip_(clip), ratio_(ratio) {}

  void FillRect(const Rect& rect, Colour colour) override {
    w_.fills.push_back(DrawnFill{rect, colour});
    const Rect r = Clipped(rect);
    for (int32_t y = r.top * ratio_; y < r.bottom * ratio_; ++y)
      for (int32_t x = r.left * ratio_; x < r.right * ratio_; ++x) {
        uint8_t* p = &w_.pixels[(size_t(y) * size_t(w_.pixelsWidth) + size_t(x)) * 3];
        p[0] = colour.r, p[1] = colour.g, p[2] = colour.b;
      }
  }
  void DrawRgb(const Rect& target, const uint8_t* rgb, int32_t width, int32_t height,
               int32_t stride) override {
    w_.images.push_back(DrawnImage{target, width, height, stride});
    const Rect r = Clipped(target);
    for (int32_t y = r.top * ratio_; y < r.bottom * ratio_; ++y) {
      const int32_t sy = y - target.top * ratio_;
      if (sy < 0 || sy >= height) continue;
      for (int32_t x = r.left * ratio_; x < r.right * ratio_; ++x) {
        const int32_t sx = x - target.left * ratio_;
        if (sx < 0 || sx >= width) continue;
        std::memcpy(&w_.pixels[(size_t(y) * size_t(w_.pixelsWidth) + size_t(x)) * 3],
                    rgb + size_t(sy) * size_t(stride) + size_t(sx) * 3, 3);
      }
    }
  }
  void DrawTextLine(const std::string& text, const Rect& rect, const TextStyle& style) override {
    w_.texts.push_back(DrawnText{text, rect, style});
  }
  // Recorded, and painted where the pieces are device pixels of the target.
  void DrawFocusOutline(const Rect& target, Size picture,
                        const std::vector<Rect>& pieces) override {
    w_.outlines.push_back(DrawnOutline{target, picture, pieces});
    if (picture.width != target.Width() * ratio_ || picture.height != target.Height() * ratio_)
      return;
    const Rect c{clip_.left * ratio_, clip_.top * ratio_, clip_.right * ratio_,
                 clip_.bottom * ratio_};
    for (const Rect& piece : pieces)
      for (int32_t y = piece.top; y < piece.bottom; ++y)
        for (int32_t x = piece.left; x < piece.right; ++x) {
          const Point p{target.left * ratio_ + x, target.top * ratio_ + y};
          if (!c.Contains(p) || p.x >= w_.pixelsWidth || p.y >= w_.pixelsHeight) continue;
          uint8_t* out = &w_.pixels[(size_t(p.y) * size_t(w_.pixelsWidth) + size_t(p.x)) * 3];
          out[0] = kScriptedSelection.r, out[1] = kScriptedSelection.g, out[2] = kScriptedSelection.b;
        }
  }

 private:
  Rect Clipped(const Rect& r) const {
    return Rect{std::max(r.left, clip_.left), std::max(r.top, clip_.top),
                std::min(r.right, clip_.right), std::min(r.bottom, clip_.bottom)};
  }

  ScriptedWindow& w_;
  Rect clip_;
  int32_t ratio_;
};

}  // namespace

ScriptedWindow::ScriptedWindow(ScriptedPlatform& platform, WindowHandler& handler,
                               const Rect& frame, const std::string& title_)
    : title(title_), canPrint(platform.config.canPrint), platform_(platform), handler_(handler),
      composition_(platform.config.composition) {
  const FrameMetrics& m = platform.config.frame;
  frameTopLeft_ = Point{frame.left, frame.top};
  client_ = Size{std::max(0, frame.Width() - 2 * m.frameX),
                 std::max(0, frame.Height() - m.captionHeight - 2 * m.frameY)};
}

ScriptedWindow::~ScriptedWindow() {
  if (platform_.window == this) platform_.window = nullptr;
}

Rect ScriptedWindow::FrameRect() const {
  const FrameMetrics& m = platform_.config.frame;
  return Rect{frameTopLeft_.x, frameTopLeft_.y, frameTopLeft_.x + client_.width + 2 * m.frameX,
              frameTopLeft_.y + client_.height + m.captionHeight + 2 * m.frameY};
}

void ScriptedWindow::MoveTo(Point frameTopLeft) { frameTopLeft_ = frameTopLeft; }

Rect ScriptedWindow::WorkArea() const { return platform_.config.workArea; }

double ScriptedWindow::DevicePixelRatio() const { return platform_.config.devicePixelRatio; }

// --- events ------------------------------------------------------------------

void ScriptedWindow::Move(Point p, uint32_t modifiers) {
  // Without capture only moves over the client area reach the window.
  if (!Alive() || (!captured_ && !Rect{0, 0, client_.width, client_.height}.Contains(p))) return;
  handler_.OnPointerMoved(PointerEvent{p, Button::Left, modifiers});
}

bool ScriptedWindow::KeyPress(Key key, uint32_t modifiers) {
  if (!Alive()) return false;
  for (const Shortcut& s : shortcuts) {
    if (s.key.key != key || s.key.modifiers != modifiers) continue;
    if (std::find(disabledCommands.begin(), disabledCommands.end(), s.command) ==
        disabledCommands.end())
      handler_.OnCommand(s.command);
    return true;  // a disabled command's key does nothing else either
  }
  return handler_.OnKey(KeyEvent{key, modifiers});
}

bool ScriptedWindow::DragFiles(const std::vector<std::string>& paths, Point p, bool copyAllowed) {
  dragAccepted_ = Alive() && handler_.OnFilesDragged(FileDrag{p, paths, copyAllowed});
  return dragAccepted_;
}

bool ScriptedWindow::DropFiles(const std::vector<std::string>& paths, Point p, bool copyAllowed) {
  if (!DragFiles(paths, p, copyAllowed)) return false;
  dragAccepted_ = false;
  handler_.OnFilesDropped(FileDrag{p, paths, copyAllowed});
  return true;
}

void ScriptedWindow::SetClientSize(Size size) {
  clientSizeRequests.push_back(size);
  Resize(size.width, size.height);
}

void ScriptedWindow::Resize(int32_t width, int32_t height) {
  client_ = Size{width, height};
  if (Alive()) handler_.OnResized(client_);
}

bool ScriptedWindow::RequestClose() {
  if (!Alive() || !handler_.OnCloseRequested()) return false;
  closed = true;
  captured_ = false;
  return true;
}

void ScriptedWindow::SetComposition(bool on) {
  composition_ = on;
  if (Alive()) handler_.OnCompositionChanged();
}

void ScriptedWindow::Paint(Rect area) {
  if (!Alive()) return;
  const int32_t ratio = platform_.config.devicePixelRatio;
  if (pixelsWidth != client_.width * ratio || pixelsHeight != client_.height * ratio) {
    pixelsWidth = client_.width * ratio;
    pixelsHeight = client_.height * ratio;
    pixels.assign(size_t(pixelsWidth) * size_t(pixelsHeight) * 3, 0);
  }
  if (area.Empty()) area = Rect{0, 0, client_.width, client_.height};
  area = Clip(area, client_);
  FramebufferCanvas canvas(*this, area, ratio);
  ++paints;
  handler_.OnPaint(canvas, area);
}

void ScriptedWindow::RunIdle() {
  for (int rounds = 0; idleRequests > 0 && rounds < 100000; ++rounds) {
    idleRequests = 0;
    if (Alive() && handler_.OnIdle()) idleRequests = 1;
  }
}

bool ScriptedWindow::FireTimer(int timer) {
  if (!Alive() || timers.count(timer) == 0) return false;
  handler_.OnTimer(timer);
  return true;
}

// --- services ----------------------------------------------------------------

Colour ScriptedWindow::PixelAt(int32_t x, int32_t y) const {
  const uint8_t* p = &pixels[(size_t(y) * size_t(pixelsWidth) + size_t(x)) * 3];
  return Colour{p[0], p[1], p[2]};
}

void ScriptedWindow::ClearLogs() {
  invalidations.clear();
  cursorLog.clear();
  captureLog.clear();
  busyStarts = 0;
  texts.clear();
  images.clear();
  fills.clear();
  outlines.clear();
  frameExtensions.clear();
  toolbarFocusLog.clear();
}

void ScriptedWindow::Invalidate(const Rect& rect) {
  if (!rect.Empty()) invalidations.push_back(rect);
}

void ScriptedWindow::SetCursor(CursorShape shape) {
  cursor_ = shape;
  cursorLog.push_back(shape);
}

void ScriptedWindow::SetBusy(bool busy) {
  busyDepth += busy ? 1 : -1;
  if (busy) ++busyStarts;
}

void ScriptedWindow::CapturePointer() {
  captured_ = true;
  captureLog.push_back(true);
}

void ScriptedWindow::ReleasePointer() {
  captured_ = false;
  captureLog.push_back(false);
}

Size ScriptedWindow::SetToolbar(const std::vector<ToolbarButton>& buttons, int32_t buttonWidth) {
  toolbar = buttons;
  toolbarButtonWidth = buttonWidth;
  int32_t height = 0;
  for (const ToolbarButton& b : buttons) height += 70 + (b.separatorBefore ? 6 : 0);
  return Size{buttonWidth, height};
}

void ScriptedWindow::EnableCommand(int command, bool enabled) {
  disabledCommands.erase(std::remove(disabledCommands.begin(), disabledCommands.end(), command),
                         disabledCommands.end());
  if (!enabled) disabledCommands.push_back(command);
}

std::optional<FileChoice> ScriptedWindow::ChooseFileToOpen(const FileDialog& dialog) {
  openDialogs.push_back(dialog);
  return Pop(openAnswers, std::optional<FileChoice>());
}

std::optional<FileChoice> ScriptedWindow::ChooseFileToSave(const FileDialog& dialog) {
  saveDialogs.push_back(dialog);
  return Pop(saveAnswers, std::optional<FileChoice>());
}

MessageAnswer ScriptedWindow::ShowMessage(const Message& message) {
  messages.push_back(ShownMessage{message, busyDepth});
  const MessageAnswer first = message.buttons == MessageButtons::YesNo ? MessageAnswer::Yes
                              : message.buttons == MessageButtons::Ok  ? MessageAnswer::Ok
                                                                       : MessageAnswer::Save;
  return Pop(messageAnswers, first);
}

int ScriptedWindow::ShowContextMenu(Point, const std::vector<MenuItem>& items) {
  menus.push_back(items);
  return Pop(menuAnswers, 0);
}

std::optional<size_t> ScriptedWindow::ChooseDesign(const DesignChoices& choices) {
  designChoosers.push_back(choices);
  std::optional<size_t> answer = Pop(designAnswers, std::optional<size_t>());
  // As a real chooser: only a choice it shows can be taken.
  if (answer && *answer >= choices.choices.size()) answer.reset();
  return answer;
}

bool ScriptedWindow::EditTextPanel(const std::function<void(TextPanelModel&)>& edit,
                                   TextPanelChange what) {
  if (!textPanelHandler_ || !Alive()) return false;
  edit(textPanel);
  const TextPanelModel shown = textPanel;  // the handler may show it again
  textPanelHandler_->TextPanelChanged(shown, what);
  return true;
}

void ScriptedWindow::CloseTextPanelByHand() {
  TextPanelHandler* handler = textPanelHandler_;
  textPanelHandler_ = nullptr;
  if (handler && Alive()) handler->TextPanelClosed();
}

}  // namespace platform::scripted

namespace platform::scripted {

namespace {

class ScriptedPrinter : public Printer {
 public:
  ScriptedPrinter(ScriptedWindow& window, PrinterDescription description)
      : window_(window), description_(std::move(description)) {}
  const PrinterDescription& Description() const override { return description_; }
  std::string Print(const PrintPage& page) override {
    if (!window_.printFailure.empty()) return window_.printFailure;
    ScriptedWindow::PrintedPage printed{page, {}};
    printed.page.rgb = nullptr;
    for (int32_t y = 0; y < page.height; ++y) {
      const uint8_t* row = page.rgb + size_t(y) * page.stride;
      printed.picture.insert(printed.picture.end(), row, row + size_t(page.width) * 3);
    }
    printed.page.stride = size_t(page.width) * 3;
    window_.printed.push_back(std::move(printed));
    return std::string();
  }

 private:
  ScriptedWindow& window_;
  PrinterDescription description_;
};

}  // namespace

std::unique_ptr<Printer> ScriptedWindow::ChoosePrinter(const std::string&) {
  if (!canPrint || !printer) return nullptr;
  return std::make_unique<ScriptedPrinter>(*this, *printer);
}

bool ScriptedWindow::ShowPageSetup(PageSetupModel& model, PageSetupHandler& handler) {
  bool accepted = true;
  if (!pageSetupAnswers.empty()) {
    auto answer = std::move(pageSetupAnswers.front());
    pageSetupAnswers.pop_front();
    accepted = answer(model, handler);
  }
  pageSetups.push_back(model);
  return accepted;
}

}  // namespace platform::scripted
