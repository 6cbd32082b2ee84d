#pragma once

#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "platform/Canvas.h"
#include "platform/Dialogs.h"
#include "platform/Events.h"
#include "platform/Geometry.h"
#include "platform/Printing.h"
#include "platform/TextPanel.h"

namespace platform {

// The Size shapes are a box's handles: left-right, up-down, the diagonal
// from top left to bottom right, and the other one.
enum class CursorShape { Arrow, Hand, Move, SizeHorizontal, SizeVertical, SizeDiagonal,
                         SizeAntiDiagonal };

enum class ShowState { Normal, Minimized, Maximized };

// A command button of the window's toolbar: icon above label.
struct ToolbarButton {
  int command = 0;
  std::string label;
  IconImage icon;
  bool separatorBefore = false;
};

// A key that runs a command wherever the keyboard is in the window, while
// the command is enabled.
struct Shortcut {
  KeyEvent key;
  int command = 0;
};

// Frame extension into the client area, for glass.
struct Margins {
  int32_t left = 0;
  int32_t right = 0;
  int32_t top = 0;
  int32_t bottom = 0;
};

// What the window system tells the program's window. Everything arrives on
// the one user-interface thread, never during Platform::MakeWindow.
class WindowHandler {
 public:
  virtual ~WindowHandler() = default;

  virtual void OnPaint(Canvas& canvas, const Rect& area) = 0;
  virtual void OnResized(Size client) = 0;  // 0 x 0 while minimised

  virtual void OnPointerPressed(const PointerEvent&) {}
  virtual void OnPointerMoved(const PointerEvent&) {}
  virtual void OnPointerReleased(const PointerEvent&) {}
  virtual void OnDoubleClicked(const PointerEvent&) {}
  virtual void OnPointerLeft() {}
  virtual void OnWheel(const WheelEvent&) {}
  // A key while the window's own area (the card) has the keyboard. True when
  // the key was used; Tab and Shift+Tab that are not used move the focus on
  // to the toolbar.
  virtual bool OnKey(const KeyEvent&) { return false; }
  // The right button or the Menu key; `point` is where the menu belongs.
  virtual void OnContextMenu(Point /*point*/, bool /*fromKeyboard*/) {}
  virtual void OnFocusChanged(bool /*gained*/, FocusReason) {}

  // True when a drop at the drag's point would copy the files.
  virtual bool OnFilesDragged(const FileDrag&) { return false; }
  // The drag went away without a drop (left the window, or was given up).
  virtual void OnFilesDragLeft() {}
  virtual void OnFilesDropped(const FileDrag&) {}

  virtual void OnCommand(int /*command*/) {}
  // The toolbar button under the pointer, or 0 when the pointer left the toolbar.
  virtual void OnCommandHovered(int /*command*/) {}

  // The title bar's button, Alt+F4, logging out. False keeps the window.
  virtual bool OnCloseRequested() { return true; }

  // Work asked for with Window::RequestIdle, once the input queue is empty.
  // True asks for another round.
  virtual bool OnIdle() { return false; }

  // Desktop composition came on or went off (glass).
  virtual void OnCompositionChanged() {}

  // A timer started with Window::StartTimer came due.
  virtual void OnTimer(int /*timer*/) {}
};

// The program's one top-level window as the window system shows it.
class Window {
 public:
  virtual ~Window() = default;

  virtual Size ClientSize() const = 0;
  virtual Rect FrameRect() const = 0;  // screen coordinates, frame included
  virtual void MoveTo(Point frameTopLeft) = 0;  // no resize, no activation
  virtual Rect WorkArea() const = 0;  // of the monitor the window is on
  virtual double DevicePixelRatio() const = 0;  // device pixels per client pixel
  virtual void SetTitle(const std::string& title) = 0;
  virtual void SetIcons(const std::vector<IconImage>& icons) = 0;  // every size there is
  virtual void SetMinimumClientSize(Size size) = 0;
  // Resizes the window so that its client area has this size (a maximised
  // window keeps its size).
  virtual void SetClientSize(Size size) = 0;
  virtual void Show(ShowState state) = 0;

  // Asks for a paint of `rect` (clipped to the client area) once events are done.
  virtual void Invalidate(const Rect& rect) = 0;
  virtual void RequestIdle() = 0;

  virtual void SetCursor(CursorShape shape) = 0;  // over the window's own area
  // The wait cursor over the program; calls nest. Dialogs, messages and
  // menus show the ordinary cursor while they are up.
  virtual void SetBusy(bool busy) = 0;
  // Pointer moves keep coming while captured, also outside the window,
  // until ReleasePointer or until the system takes the capture away.
  virtual void CapturePointer() = 0;
  virtual void ReleasePointer() = 0;
  virtual bool HasPointerCapture() const = 0;

  // Returns the size the buttons need, one above the other.
  virtual Size SetToolbar(const std::vector<ToolbarButton>& buttons, int32_t buttonWidth) = 0;
  virtual void PlaceToolbar(const Rect& rect) = 0;
  virtual void SetShortcuts(const std::vector<Shortcut>& shortcuts) = 0;
  // The toolbar's button and the shortcuts of a command.
  virtual void EnableCommand(int command, bool enabled) = 0;
  // The toolbar's buttons take part in Tab focus after the window's own area.
  virtual void FocusToolbar(bool first) = 0;

  // Modal, owned by this window.
  virtual std::optional<FileChoice> ChooseFileToOpen(const FileDialog& dialog) = 0;
  virtual std::optional<FileChoice> ChooseFileToSave(const FileDialog& dialog) = 0;
  virtual MessageAnswer ShowMessage(const Message& message) = 0;
  // The command chosen, or 0 when the menu was dismissed.
  virtual int ShowContextMenu(Point at, const std::vector<MenuItem>& items) = 0;
  // A page of the program's own (its help, an HTML file at `path`) shown
  // without a browser: in a window of its own where the toolkit can show
  // HTML, else a message that names the file and offers to copy its path.
  // Not modal. False when the file cannot be shown.
  virtual bool ShowLocalPage(const std::string& path, const std::string& title) = 0;
  // The index of the design chosen, or nothing when the chooser was closed
  // without one.
  virtual std::optional<size_t> ChooseDesign(const DesignChoices& choices) = 0;

  // The editor of a text box: a panel of its own beside the window, not
  // modal, reporting every change to `handler` as it is made. Shown while
  // it is open, `model` replaces what it shows without any report; fields
  // equal to what it shows are left alone, so a caret in the words stays
  // where it is. The panel keeps the keyboard when it opens (`focusWords`:
  // on the words).
  virtual void ShowTextPanel(const TextPanelModel& model, TextPanelHandler& handler,
                             bool focusWords) = 0;
  // Closes it without a report; nothing when it is not open.
  virtual void CloseTextPanel() = 0;
  virtual bool TextPanelOpen() const = 0;

  // Printing: the system's print dialog, then the program's page setup.
  // Where the backend cannot print, CanPrint is false and the others do
  // nothing.
  virtual bool CanPrint() const { return false; }
  // The printer chosen and its settings, or null when the user cancelled.
  virtual std::unique_ptr<Printer> ChoosePrinter(const std::string& /*jobTitle*/) {
    return nullptr;
  }
  // Modal; true when the user chose to print, `model` as the dialog left it.
  virtual bool ShowPageSetup(PageSetupModel& /*model*/, PageSetupHandler& /*handler*/) {
    return false;
  }

  // Timer `timer` (a number the program chooses) calls OnTimer every
  // `milliseconds`, on the user-interface thread, until stopped; starting
  // it again restarts it.
  virtual void StartTimer(int timer, int32_t milliseconds) = 0;
  virtual void StopTimer(int timer) = 0;

  // Glass: whether composition is on, and the frame extended over the
  // client area by these margins. Off, and nothing, where there is none.
  virtual bool CompositionEnabled() const = 0;
  virtual void ExtendFrame(const Margins& margins) = 0;
};

}  // namespace platform
