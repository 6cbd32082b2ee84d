#pragma once

#include <array>
#include <cstdint>
#include <memory>
#include <string>

#include "app/MessageLoop.h"
#include "app/MessageMap.h"
#include "engine/CardTemplate.h"
#include "engine/ImageReader.h"
#include "engine/PhotoPlacement.h"
#include "platform/Platform.h"

namespace app {

// The program's one top-level window and the owner of the whole card.
class CTessaryWnd : public platform::WindowHandler, public CMessageFilter, public CIdleHandler {
 public:
  class CSimpleDropTarget;  // interaction/SimpleDropTarget.h

  static constexpr int IdSave = 100;
  static constexpr int IdTemplate = 101;
  static constexpr int IdDonate = 102;
  static constexpr int IdHelp = 103;

  using Row = MessageRow<CTessaryWnd>;
  static constexpr size_t kMessageRows = 18;
  static const std::array<Row, kMessageRows> kMessageTable;

  CTessaryWnd(platform::Platform& platform, int32_t dpi, const engine::ImageReader& reader);
  ~CTessaryWnd() override;
  CTessaryWnd(const CTessaryWnd&) = delete;
  CTessaryWnd& operator=(const CTessaryWnd&) = delete;

  platform::LRESULT WindowProc(platform::Window& window, uint32_t message,
                               platform::WPARAM wParam, platform::LPARAM lParam) override;
  bool PreTranslateMessage(platform::Window&, uint32_t, platform::WPARAM,
                           platform::LPARAM) override {
    return false;
  }
  bool OnIdle() override { return false; }

  // Lays out the card area, the toolbar column and the hint line for a
  // client area of this size.
  void ArrangeClientArea(int32_t width, int32_t height);

  // Message handlers, in the order of kMessageTable.
  using WPARAM = platform::WPARAM;
  using LPARAM = platform::LPARAM;
  using LRESULT = platform::LRESULT;
  LRESULT OnCustomDraw(uint32_t message, WPARAM wParam, LPARAM lParam, bool& bHandled);
  LRESULT OnSetCursor(uint32_t message, WPARAM wParam, LPARAM lParam, bool& bHandled);
  LRESULT OnEraseBackground(uint32_t message, WPARAM wParam, LPARAM lParam, bool& bHandled);
  LRESULT OnPaint(uint32_t message, WPARAM wParam, LPARAM lParam, bool& bHandled);
  LRESULT OnSize(uint32_t message, WPARAM wParam, LPARAM lParam, bool& bHandled);
  LRESULT OnMouseMove(uint32_t message, WPARAM wParam, LPARAM lParam, bool& bHandled);
  LRESULT OnLButtonUp(uint32_t message, WPARAM wParam, LPARAM lParam, bool& bHandled);
  LRESULT OnLButtonDown(uint32_t message, WPARAM wParam, LPARAM lParam, bool& bHandled);
  LRESULT OnLButtonDblClk(uint32_t message, WPARAM wParam, LPARAM lParam, bool& bHandled);
  LRESULT SaveCard(uint32_t message, WPARAM wParam, LPARAM lParam, bool& bHandled);
  LRESULT NextBuiltInTemplate(uint32_t message, WPARAM wParam, LPARAM lParam, bool& bHandled);
  LRESULT OnDonate(uint32_t message, WPARAM wParam, LPARAM lParam, bool& bHandled);
  LRESULT OnHelp(uint32_t message, WPARAM wParam, LPARAM lParam, bool& bHandled);
  LRESULT OnCreate(uint32_t message, WPARAM wParam, LPARAM lParam, bool& bHandled);
  LRESULT OnDestroy(uint32_t message, WPARAM wParam, LPARAM lParam, bool& bHandled);
  LRESULT OnClose(uint32_t message, WPARAM wParam, LPARAM lParam, bool& bHandled);
  LRESULT OnCompositionChanged(uint32_t message, WPARAM wParam, LPARAM lParam, bool& bHandled);
  LRESULT OnToolbarHotItemChange(uint32_t message, WPARAM wParam, LPARAM lParam,
                                 bool& bHandled);

  // Pointer and drop work on the card (interaction/).
  int32_t HitTestSlot(int32_t x, int32_t y) const;
  bool IsOverSlot(platform::Point screen) const;
  void DropFiles(platform::IDataObject* data, platform::Point screen);
  void ChoosePhotoForSlot(int32_t slot);

  // Read access for tests and for the drop target.
  platform::Window* GetWindow() const { return window; }
  platform::Platform& GetPlatform() const { return platform_; }
  const engine::ImageReader& GetReader() const { return reader_; }
  engine::Card& GetCard() { return card; }
  const engine::Card& GetCard() const { return card; }
  platform::Rect GetCardRect() const { return cardRect; }
  platform::Rect GetHintRect() const { return hintRect; }
  const char* GetHintText() const { return hintText; }
  bool IsGlass() const { return glass; }
  int32_t GetDpi() const { return dpi; }
  int32_t GetToolbarWidth() const { return toolbarWidth; }
  int32_t GetToolbarGap() const { return toolbarGap; }
  platform::ThemeHandle GetTheme() const { return theme; }
  platform::Toolbar* GetToolbar() const { return toolbar; }
  platform::ImageList* GetToolbarImages() const { return toolbarImages.get(); }
  CSimpleDropTarget* GetDropTarget() const { return dropTarget; }
  const engine::DragState& GetDragState() const { return drag; }

 private:
  void ThemeSupport(uint32_t message);
  void CentreOnWorkArea();
  void SetWindowIcons();
  void CreateToolbar(const platform::Rect& rect);
  void OnTemplateInstalled();
  void ExtendFrame(int32_t width, int32_t height);
  void PaintHintLine(platform::DeviceContext& dc);
  // Stores a different sentence and repaints the hint line; the same one
  // again changes nothing.
  void ShowHint(const char* sentence);
  const char* GeneralHint() const;
  // cardRect as the engine's rectangle type.
  engine::Rect ShownCard() const {
    return engine::Rect{cardRect.left, cardRect.top, cardRect.right, cardRect.bottom};
  }

  platform::Platform& platform_;
  const engine::ImageReader& reader_;

  // The window's state, in the order it is documented.
  platform::Window* window = nullptr;
  platform::ThemeHandle theme = nullptr;
  std::string themeClassList = "globals";
  CSimpleDropTarget* dropTarget = nullptr;  // one counted reference
  platform::Toolbar* toolbar = nullptr;     // a child, owned by the window
  std::unique_ptr<platform::ImageList> toolbarImages;
  int32_t dpi;
  int32_t toolbarWidth = 0;
  int32_t toolbarGap = 0;
  bool glass = false;
  platform::Cursor arrowCursor = nullptr;
  platform::Cursor handCursor = nullptr;
  platform::Cursor moveCursor = nullptr;
  engine::DragState drag;  // dragSlot -1: nothing pressed
  engine::Card card;       // template (with builtInTemplateIndex), slots, PlaceholderTile
  platform::Rect cardRect;
  platform::Rect hintRect;
  const char* hintText = nullptr;  // one of HintTexts.h, compared by identity
};

}  // namespace app
