#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "platform/Window.h"
#include "platform/win32/MessageTable.h"

struct HWND__;
struct HICON__;
struct _IMAGELIST;
struct IDropTarget;

namespace platform::win32 {
class Win32TextPanel;
}

namespace platform::win32 {

// The program's top-level window on Win32. Messages reach the typed
// handler through one ordered message table (see kMessageTable in
// Win32Window.cpp); nothing reaches it while the window is being made.
class Win32Window : public Window {
 public:
  // A hidden window with this frame rectangle; null when the system
  // refuses to make it.
  static std::unique_ptr<Win32Window> Make(WindowHandler& handler, const Rect& frame,
                                           const std::string& title);
  ~Win32Window() override;
  Win32Window(const Win32Window&) = delete;
  Win32Window& operator=(const Win32Window&) = delete;

  Size ClientSize() const override;
  Rect FrameRect() const override;
  void MoveTo(Point frameTopLeft) override;
  Rect WorkArea() const override;
  double DevicePixelRatio() const override { return 1.0; }  // client pixels are device pixels
  void SetTitle(const std::string& title) override;
  void SetIcons(const std::vector<IconImage>& icons) override;
  void SetMinimumClientSize(Size size) override { minimumClient_ = size; }
  void SetClientSize(Size size) override;
  void Show(ShowState state) override;
  void Invalidate(const Rect& rect) override;
  void RequestIdle() override;
  void SetCursor(CursorShape shape) override;
  void SetBusy(bool busy) override;
  void CapturePointer() override;
  void ReleasePointer() override;
  bool HasPointerCapture() const override;
  Size SetToolbar(const std::vector<ToolbarButton>& buttons, int32_t buttonWidth) override;
  void PlaceToolbar(const Rect& rect) override;
  void SetShortcuts(const std::vector<Shortcut>& shortcuts) override { shortcuts_ = shortcuts; }
  void EnableCommand(int command, bool enabled) override;
  void FocusToolbar(bool first) override;
  std::optional<FileChoice> ChooseFileToOpen(const FileDialog& dialog) override;
  std::optional<FileChoice> ChooseFileToSave(const FileDialog& dialog) override;
  MessageAnswer ShowMessage(const Message& message) override;
  int ShowContextMenu(Point at, const std::vector<MenuItem>& items) override;
  bool ShowLocalPage(const std::string& path, const std::string& title) override;
  void StartTimer(int timer, int32_t milliseconds) override;
  void StopTimer(int timer) override;
  std::optional<size_t> ChooseDesign(const DesignChoices& choices) override;
  void ShowTextPanel(const TextPanelModel& model, TextPanelHandler& handler,
                     bool focusWords) override;
  void CloseTextPanel() override;
  bool TextPanelOpen() const override;
  // The text panel's dialog while it is open, for tests.
  HWND__* TextPanelHandle() const;
  bool CanPrint() const override { return true; }
  std::unique_ptr<Printer> ChoosePrinter(const std::string& jobTitle) override;
  bool ShowPageSetup(PageSetupModel& model, PageSetupHandler& handler) override;
  bool CompositionEnabled() const override { return composition_; }
  void ExtendFrame(const Margins& margins) override;

  // The window procedure's work: the theme support, the message table,
  // then the default window procedure.
  intptr_t HandleMessage(uint32_t message, uintptr_t wParam, intptr_t lParam);

  HWND__* Handle() const { return hwnd_; }
  HWND__* ToolbarHandle() const { return toolbar_; }
  // The registered drop target, for tests that play OLE's part.
  IDropTarget* DropTargetForTesting() const { return dropTarget_; }

  // What the drop target asks of the window.
  Point ClientFromScreen(int32_t x, int32_t y) const;
  bool OfferDrag(const FileDrag& drag);
  void EndDrag();
  void DeliverDrop(const FileDrag& drag);

 private:
  explicit Win32Window(WindowHandler& handler);
  friend struct WindowProcedure;

  // --- the message table's handlers, in table order ---------------------
  intptr_t OnToolbarCustomDraw(uintptr_t wParam, intptr_t lParam, bool& handled);
  intptr_t OnSetCursorMessage(uintptr_t wParam, intptr_t lParam, bool& handled);
  intptr_t OnEraseBackground(uintptr_t wParam, intptr_t lParam, bool& handled);
  intptr_t OnPaintMessage(uintptr_t wParam, intptr_t lParam, bool& handled);
  intptr_t OnSizeMessage(uintptr_t wParam, intptr_t lParam, bool& handled);
  intptr_t OnMouseMoveMessage(uintptr_t wParam, intptr_t lParam, bool& handled);
  intptr_t OnButtonUp(uintptr_t wParam, intptr_t lParam, bool& handled);
  intptr_t OnButtonDown(uintptr_t wParam, intptr_t lParam, bool& handled);
  intptr_t OnButtonDoubleClick(uintptr_t wParam, intptr_t lParam, bool& handled);
  intptr_t OnToolbarCommand(uintptr_t wParam, intptr_t lParam, bool& handled);
  intptr_t OnCreateMessage(uintptr_t wParam, intptr_t lParam, bool& handled);
  intptr_t OnDestroyMessage(uintptr_t wParam, intptr_t lParam, bool& handled);
  intptr_t OnCloseMessage(uintptr_t wParam, intptr_t lParam, bool& handled);
  intptr_t OnCompositionMessage(uintptr_t wParam, intptr_t lParam, bool& handled);
  intptr_t OnHotItemChange(uintptr_t wParam, intptr_t lParam, bool& handled);
  intptr_t OnMouseLeave(uintptr_t wParam, intptr_t lParam, bool& handled);
  intptr_t OnWheelMessage(uintptr_t wParam, intptr_t lParam, bool& handled);
  intptr_t OnKeyDown(uintptr_t wParam, intptr_t lParam, bool& handled);
  intptr_t OnContextMenuMessage(uintptr_t wParam, intptr_t lParam, bool& handled);
  intptr_t OnSetFocusMessage(uintptr_t wParam, intptr_t lParam, bool& handled);
  intptr_t OnKillFocusMessage(uintptr_t wParam, intptr_t lParam, bool& handled);
  intptr_t OnMinMaxInfo(uintptr_t wParam, intptr_t lParam, bool& handled);
  intptr_t OnDpiChanged(uintptr_t wParam, intptr_t lParam, bool& handled);
  intptr_t OnIdleRequest(uintptr_t wParam, intptr_t lParam, bool& handled);
  intptr_t OnTimerMessage(uintptr_t wParam, intptr_t lParam, bool& handled);

  // Conditions of table rows.
  static bool IsCustomDrawFromToolbar(const Win32Window& w, uintptr_t wParam, intptr_t lParam);
  static bool IsHotItemChange(const Win32Window& w, uintptr_t wParam, intptr_t lParam);
  static bool IsToolbarCommand(const Win32Window& w, uintptr_t wParam, intptr_t lParam);

  static const MessageRow<Win32Window> kMessageTable[];

  struct Command {
    int id;
    bool enabled;
  };

  // Keys the window takes before they are dispatched: the window's
  // shortcuts, and Tab inside the toolbar. True when used.
  bool FilterMessage(void* message);
  bool RunIdle();
  bool Delivering() const { return ready_ && hwnd_ != nullptr; }
  void ThemeSupport(uint32_t message);
  void ApplyCursor();
  void EndModal();
  void BeginModal();
  void FocusWindow(FocusReason reason);
  void DestroyToolbar();
  int CommandIndex(int command) const;
  std::optional<FileChoice> RunFileDialog(const FileDialog& dialog, bool save);
  // A message with buttons of the program's own words, as a task dialog;
  // -1 when the system has none (before Vista), else the button's index.
  int RunTaskDialog(const Message& message, const std::vector<std::string>& labels);
  // The text as one UTF-16 string on the clipboard; false when it is not there.
  bool CopyToClipboard(const std::string& text);

  WindowHandler& handler_;
  HWND__* hwnd_ = nullptr;
  bool ready_ = false;  // MakeWindow has returned
  void* theme_ = nullptr;
  bool composition_ = false;
  IDropTarget* dropTarget_ = nullptr;

  HWND__* toolbar_ = nullptr;
  _IMAGELIST* toolbarImages_ = nullptr;
  std::vector<Command> commands_;  // the toolbar's buttons
  std::vector<Shortcut> shortcuts_;
  std::vector<int> disabled_;  // commands whose buttons and shortcuts do nothing
  std::vector<std::wstring> labels_;  // the toolbar reads them while it lives
  int32_t buttonWidth_ = 0;

  HICON__* bigIcon_ = nullptr;
  HICON__* smallIcon_ = nullptr;
  Size minimumClient_;
  CursorShape cursor_ = CursorShape::Arrow;
  int busyDepth_ = 0;
  HICON__* cursorBeforeBusy_ = nullptr;
  bool trackingLeave_ = false;
  FocusReason pendingFocusReason_ = FocusReason::Other;
  bool idlePending_ = false;
  int filterId_ = 0;
  int idleId_ = 0;
  std::vector<uint8_t> scratch_;  // pictures in the device's byte order
  std::unique_ptr<Win32TextPanel> textPanel_;
};

// The design chooser's list of pictures, as a child of its dialog: tests
// find it by this id.
constexpr int kDesignListId = 1001;

// The page setup's controls, for tests that work it as a user would.
enum PageSetupControl : int {
  kPageSetupPaperId = 1301,
  kPageSetupPlacementId,
  kPageSetupPreviewId,
  kPageSetupDetailsId,
  kPageSetupWarningId,
};

// The printer of this name as its driver is set up, without the system's
// dialog (tests print through it); null when there is none by that name.
std::unique_ptr<Printer> OpenNamedPrinter(const std::string& name, int32_t copies = 1);

// A 32-bit icon with alpha made from RGBA pixels; null when the image is
// not whole. The caller destroys it.
HICON__* MakeIcon(const IconImage& image);

}  // namespace platform::win32
