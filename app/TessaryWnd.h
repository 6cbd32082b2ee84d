#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "engine/compose/CardPreview.h"
#include "engine/card/CardTemplate.h"
#include "engine/card/EditHistory.h"
#include "engine/raster/ImageReader.h"
#include "interaction/CardHost.h"
#include "interaction/Commands.h"
#include "interaction/FileDropper.h"
#include "interaction/PointerEditor.h"
#include "interaction/RegionFocus.h"
#include "platform/Platform.h"

namespace app {

// The program's one top-level window and the owner of the whole card.
class CTessaryWnd : public platform::WindowHandler, public interaction::CardHost {
 public:
  static constexpr int IdSave = interaction::kCommandSave;
  static constexpr int IdTemplate = interaction::kCommandTemplate;
  static constexpr int IdDonate = interaction::kCommandDonate;
  static constexpr int IdHelp = interaction::kCommandHelp;

  using Point = platform::Point;
  using Rect = platform::Rect;
  using Size = platform::Size;

  CTessaryWnd(platform::Platform& platform, int32_t dpi, const engine::ImageReader& reader);
  ~CTessaryWnd() override;
  CTessaryWnd(const CTessaryWnd&) = delete;
  CTessaryWnd& operator=(const CTessaryWnd&) = delete;

  // Makes the window with this frame rectangle and title, then the toolbar,
  // the first built-in card and the layout. False when the window system
  // cannot make the window. The window stays hidden until Show.
  bool Create(const Rect& frame, const std::string& title);
  void Show(platform::ShowState state);
  // The files the program was started with: the first layout file becomes
  // the template, then the photos go into the empty regions in slot order.
  // What cannot be used is reported as for a drop.
  void OpenFiles(const std::vector<std::string>& paths);

  // Lays out the card area, the toolbar column and the hint line for a
  // client area of this size.
  void ArrangeClientArea(int32_t width, int32_t height);

  // The window system's events.
  void OnPaint(platform::Canvas& canvas, const Rect& area) override;
  void OnResized(Size client) override;
  void OnPointerPressed(const platform::PointerEvent& event) override;
  void OnPointerMoved(const platform::PointerEvent& event) override;
  void OnPointerReleased(const platform::PointerEvent& event) override;
  void OnDoubleClicked(const platform::PointerEvent& event) override;
  void OnPointerLeft() override;
  void OnWheel(const platform::WheelEvent& event) override;
  bool OnKey(const platform::KeyEvent& event) override;
  void OnContextMenu(Point point, bool fromKeyboard) override;
  void OnFocusChanged(bool gained, platform::FocusReason reason) override;
  bool OnFilesDragged(const platform::FileDrag& drag) override;
  void OnFilesDropped(const platform::FileDrag& drag) override;
  void OnCommand(int command) override;
  void OnCommandHovered(int command) override;
  bool OnCloseRequested() override;
  bool OnIdle() override;
  void OnCompositionChanged() override;

  // The handlers they lead to.
  void OnSize(int32_t width, int32_t height);
  void OnMouseMove(Point point);
  void OnSetCursor(Point point);
  void OnLButtonDown(Point point);
  void OnLButtonUp(Point point);
  void OnLButtonDblClk(Point point);
  void OnToolbarHotItemChange(int command);
  // True when the card was saved.
  bool SaveCard();
  void NextBuiltInTemplate();
  void OnDonate();
  void OnHelp();
  void DropFiles(const platform::FileDrag& drag);
  void OpenLayout();
  bool Undo();
  bool Redo();
  void ChoosePhotoForSlot(int32_t slot) override;
  int32_t HitTestSlot(Point point) const;

  // Read access for tests.
  platform::Window* GetWindow() const { return window.get(); }
  const engine::Card& GetCard() const { return card; }
  engine::Card& GetCard() { return card; }
  Rect GetCardRect() const { return cardRect; }
  Rect GetHintRect() const { return hintRect; }
  const char* GetHintText() const { return hintText; }
  bool IsGlass() const { return glass; }
  int32_t GetDpi() const { return dpi; }
  int32_t GetToolbarWidth() const { return toolbarWidth; }
  int32_t GetToolbarGap() const { return toolbarGap; }
  const interaction::PointerEditor& GetEditor() const { return editor; }
  const interaction::RegionFocus& GetFocus() const { return focus; }
  const engine::EditHistory& GetHistory() const { return history; }
  // The card's size in device pixels (twice the client pixels on a
  // scale-2 screen), and whether the full-quality picture of it is shown.
  Size DeviceCardSize() const;
  bool FullQualityShown() const;

 private:
  // interaction::CardHost
  engine::Card& Card() override { return card; }
  geometry::Rect CardRect() const override { return cardRect; }
  platform::Window& HostWindow() override { return *window; }
  void RepaintCard() override;
  void DragFinished() override;
  bool LoadLayout(const std::string& path) override;
  engine::ImageStatus LoadPhoto(int32_t slot, const std::string& path) override;
  void ReportPhotoFailure(const std::string& path, const engine::ImageStatus& status) override;

  void CentreOnWorkArea();
  void SetWindowIcons();
  void CreateToolbar();
  void OnTemplateInstalled();
  void ExtendFrame(int32_t width, int32_t height);
  void PaintCard(platform::Canvas& canvas);
  void PaintHintLine(platform::Canvas& canvas);
  // Stores a different sentence and repaints the hint line; the same one
  // again changes nothing.
  void ShowHint(const char* sentence);
  void ShowMessage(const std::string& text);
  // After the card changed: one step of the history, and the screen.
  void CardChanged();
  void RepaintAll();  // the whole client area
  bool StepHistory(bool (engine::EditHistory::*step)(engine::Card&));
  // The region the keys and Ctrl+O act on: the focused one, else the first
  // empty visible one, else the first visible one; -1 when there is none.
  int32_t KeyboardSlot() const;
  void FocusRegion(int32_t slot, bool ring);
  // The sentence for the region with a visible focus ring, if there is one.
  void ShowFocusHint();
  void RunSlotCommand(int command, int32_t slot);
  void RememberFolderOf(const std::string& path);
  bool AskToSave();

  platform::Platform& platform_;
  const engine::ImageReader& reader_;

  std::unique_ptr<platform::Window> window;
  int32_t dpi;
  int32_t toolbarWidth = 0;
  int32_t toolbarGap = 0;
  bool glass = false;
  interaction::PointerEditor editor{*this};
  interaction::FileDropper dropper{*this};
  interaction::RegionFocus focus;
  bool hasFocus = false;
  engine::EditHistory history;
  int32_t wheelSlot = -1;  // the slot of the wheel gesture going on
  std::string lastFolder;  // of the last photo, layout or card opened or saved
  engine::Card card;       // template (with builtInTemplateIndex), slots, PlaceholderTile
  Rect cardRect;
  Rect hintRect;
  const char* hintText = nullptr;  // one of interaction/HintTexts.h, compared by identity
  // The card on screen: full quality at rest, computed on idle moments;
  // what moves is drawn in draft meanwhile.
  engine::CardPreview preview;
};

}  // namespace app
