#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "app/AutosaveKeeper.h"
#include "app/CardActions.h"
#include "app/CardView.h"
#include "app/Commands.h"
#include "app/PhotoLoads.h"
#include "app/ProjectActions.h"
#include "app/PrintActions.h"
#include "app/TextActions.h"
#include "document/CardDocument.h"
#include "engine/raster/ImageReader.h"
#include "interaction/CardGestures.h"
#include "platform/Platform.h"

namespace app {

// The program's one top-level window: a view and controller of one card
// document. The window system's events go to the card's gestures, the
// commands and the view; whatever changes the document, the window shows
// once the document tells it.
class MainWindow : public platform::WindowHandler,
                   public document::DocumentObserver,
                   private interaction::CardHost {
 public:
  using Point = geometry::Point;
  using Rect = geometry::Rect;
  using Size = geometry::Size;

  MainWindow(platform::Platform& platform, int32_t dpi, const engine::ImageReader& reader);
  ~MainWindow() override;
  MainWindow(const MainWindow&) = delete;
  MainWindow& operator=(const MainWindow&) = delete;

  // Makes the window with this frame rectangle and title, then the toolbar
  // and a new card on the first built-in design. False when the window
  // system cannot make the window. The window stays hidden until Show.
  bool Create(const Rect& frame, const std::string& title);
  void Show(platform::ShowState state);

  // The parts, for the program's start and for tests.
  document::CardDocument& Document() override { return document_; }
  const CardView& View() const { return view_; }
  const interaction::CardGestures& Gestures() const { return gestures_; }
  CardActions& Actions() { return actions_; }
  ProjectActions& Projects() { return projects_; }
  TextActions& Texts() { return texts_; }
  PrintActions& Printing() { return printing_; }
  AutosaveKeeper& Autosave() { return autosave_; }
  // The files the program was started with: a project (the first one)
  // opens in place of the card; a layout and photos go into it.
  void OpenFiles(const std::vector<std::string>& paths);
  // Photos start to load once the window has been drawn: the program's
  // start shows the card first.
  void HoldLoadsUntilPainted();
  // The photos being read (null when the platform decodes each at once).
  PhotoLoads* Loads() { return loads_.get(); }
  platform::Window* GetWindow() const { return window_.get(); }

  // platform::WindowHandler
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
  void OnFilesDragLeft() override;
  void OnFilesDropped(const platform::FileDrag& drag) override;
  void OnCommand(int command) override;
  void OnCommandHovered(int command) override;
  bool OnCloseRequested() override;
  bool OnIdle() override;
  void OnCompositionChanged() override;
  void OnTimer(int timer) override;

  // document::DocumentObserver
  void DocumentChanged(uint32_t what) override;

 private:
  // interaction::CardHost
  Rect CardRect() const override { return view_.CardRect(); }
  platform::Window& HostWindow() override { return *window_; }
  void ChoosePhotoForSlot(int32_t slot) override { actions_.ChoosePhoto(slot); }
  bool LoadLayout(const std::string& path) override { return actions_.OpenLayout(path); }
  bool OpenProject(const std::string& path) override { return projects_.OpenProject(path); }
  engine::ImageStatus LoadPhoto(int32_t slot, const std::string& path) override;
  void ReportPhotoFailure(const std::string& path, const engine::ImageStatus& status) override;
  void PlacePhotos(int32_t slot, const std::vector<std::string>& paths) override {
    actions_.PlacePhotos(slot, paths);
  }
  void ShowRegionMenu(Point at, int32_t slot) override;
  void HintAbout(const interaction::HintSubject& subject) override;
  void RepaintArea(const Rect& area) override;
  void TextSelected(int32_t index) override;
  void EditText(int32_t index) override { texts_.Edit(index); }
  int32_t TextGrip() const override;
  // The card's words and the selected box, to the view.
  void ShowTexts();
  // The regions being filled: their marks, and their quick copies in the
  // card shown (never in the document).
  void ShowLoads();
  void FitPreviewSide();
  // What an empty region shows while its photo is read.
  PhotoLoads::Preview DimmedPlaceholder();
  const engine::Card& ShownCard() const {
    return previewsShown_ ? shown_ : document_.Card();
  }
  static constexpr int kLoadTimer = 3;

  CommandContext ContextFor(int32_t slot);
  void RunCommand(const Command& command, int32_t slot);
  // The toolbar's buttons and the window's keys, enabled as the card allows.
  void UpdateCommands();
  // The sentence for what the hint line is about, for the card as it is.
  void UpdateHint();
  // A sentence about what was just done, shown until the next change of the
  // card or until the hint is about something else.
  void Tell(const std::string& sentence);
  // The soft-print sentence for a region whose photo would print soft;
  // false when it would not.
  bool ShowSoftPhotoHint(int32_t slot);
  // A design of other proportions gets a window shaped for it.
  void FitWindowToDesign();
  // The project's name and whether it is saved.
  void UpdateTitle();
  // The title names the design; photos that would print soft are marked.
  // `repaint`: the marks' change is the only one on the card.
  void ShowDesignState(bool repaint);

  platform::Platform& platform_;
  const engine::ImageReader& reader_;
  document::CardDocument document_;
  CardView view_;
  CardActions actions_;
  ProjectActions projects_;
  AutosaveKeeper autosave_;
  TextActions texts_{document_};
  PrintActions printing_{platform_, document_};
  interaction::CardGestures gestures_{*this};
  interaction::HintSubject hintSubject_;
  std::string told_;                     // what Tell said, while it holds
  interaction::HintSubject toldOver_;    // what the hint was about then
  std::unique_ptr<platform::Window> window_;
  int32_t dpi_;
  Size minimumClient_;
  double shownAspect_ = 0;  // width over height of the design last shown
  std::string title_;
  std::unique_ptr<PhotoLoads> loads_;
  engine::Card shown_;          // the document's card with the quick copies
  bool previewsShown_ = false;
  PhotoLoads::Preview dimmed_;
  const void* dimmedFrom_ = nullptr;  // the placeholder tile it was made from
  bool loadTimer_ = false;
  bool holdUntilPainted_ = false;
  std::shared_ptr<int> alive_ = std::make_shared<int>(0);  // for posted tasks
};

}  // namespace app
