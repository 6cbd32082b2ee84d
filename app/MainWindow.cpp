#include "app/MainWindow.h"

#include <algorithm>
#include <cmath>
#include <cstdlib>

#include "app/Metrics.h"
#include "app/WindowSetup.h"
#include "engine/card/PhotoPlacement.h"
#include "interaction/HintTexts.h"
#include "interaction/LayoutFileName.h"
#include "interaction/TextBoxes.h"

namespace app {

using namespace platform;

MainWindow::MainWindow(Platform& platform, int32_t dpi, const engine::ImageReader& reader)
    : platform_(platform),
      reader_(reader),
      document_(reader),
      view_(platform, dpi),
      actions_(platform, document_),
      projects_(platform, document_, reader, actions_),
      autosave_(platform, document_, reader, projects_),
      dpi_(dpi) {
  if (const unsigned threads = platform.BackgroundThreads())
    loads_ = std::make_unique<PhotoLoads>(platform, reader, threads);
}

MainWindow::~MainWindow() {
  // The workers stop before the document and the reader they use go.
  actions_.CancelLoads();
  actions_.UseLoads(nullptr);
  loads_.reset();
  document_.RemoveObserver(this);
  window_.reset();  // no event reaches a half-destroyed window
}

bool MainWindow::Create(const Rect& frame, const std::string& title) {
  window_ = platform_.MakeWindow(*this, frame, title);
  if (!window_) return false;
  title_ = title;
  // The first sentence is part of the first paint, not a repaint of its own.
  view_.ShowHint(interaction::kHintAddMorePhotos);
  view_.Attach(window_.get());
  actions_.Attach(window_.get());
  actions_.OnTell([this](const std::string& sentence) { Tell(sentence); });
  projects_.Attach(window_.get());
  autosave_.Attach(window_.get());
  texts_.Attach(window_.get());
  texts_.OnSelect([this](int32_t index) { gestures_.SelectText(index); });
  printing_.Attach(window_.get());
  printing_.OnTell([this](const std::string& sentence) { Tell(sentence); });
  view_.SetGlass(window_->CompositionEnabled());
  CentreOnWorkArea(*window_);
  const std::vector<IconImage> icons = WindowIcons(reader_);
  if (!icons.empty()) window_->SetIcons(icons);
  std::vector<ToolbarButton> buttons = ToolbarButtons(reader_);
  // No button that could never work where the desktop cannot print.
  if (!window_->CanPrint())
    buttons.erase(std::remove_if(buttons.begin(), buttons.end(),
                                 [](const ToolbarButton& b) {
                                   return b.command == int(CommandId::Print);
                                 }),
                  buttons.end());
  const Size toolbar = window_->SetToolbar(buttons, view_.ToolbarWidth());
  window_->SetShortcuts(WindowShortcuts());
  // Never so small that the toolbar is cut off; a card of some size stays
  // beside it.
  minimumClient_ = Size{view_.ToolbarWidth() + view_.ToolbarGap() + MinimumCardSideFor(dpi_),
                        std::max(toolbar.height, MinimumCardSideFor(dpi_)) + HintHeightFor(dpi_)};
  window_->SetMinimumClientSize(minimumClient_);
  document_.AddObserver(this);
  document_.Start(0);
  if (loads_) {
    actions_.UseLoads(loads_.get());
    actions_.HoldArrivalsWhile([this] { return gestures_.Busy(); });
    loads_->OnPreview([this](int32_t) {
      ShowLoads();
      view_.RepaintCard();
    });
  }
  return true;
}

void MainWindow::HoldLoadsUntilPainted() {
  if (!loads_) return;
  loads_->Hold();
  holdUntilPainted_ = true;
}

void MainWindow::FitPreviewSide() {
  if (!loads_) return;
  // A quick copy about as large as a region of the card on the screen.
  const Size device = view_.DeviceCardSize();
  loads_->SetPreviewSide(uint32_t(std::max(0, std::max(device.width, device.height) / 2)));
}

PhotoLoads::Preview MainWindow::DimmedPlaceholder() {
  const engine::PlaceholderTile& tile = document_.Card().placeholderTile;
  if (dimmed_.pixels && dimmedFrom_ == tile.get()) return dimmed_;
  uint64_t sum[3] = {200, 190, 180};
  uint64_t count = 1;
  if (tile && !tile->Empty() && tile->format == engine::PixelFormat::Rgb24) {
    sum[0] = sum[1] = sum[2] = 0;
    count = uint64_t(tile->width) * tile->height;
    for (uint32_t y = 0; y < tile->height; ++y) {
      const uint8_t* row = tile->Row(y);
      for (uint32_t x = 0; x < tile->width; ++x)
        for (int c = 0; c < 3; ++c) sum[c] += row[x * 3 + uint32_t(c)];
    }
  }
  constexpr uint32_t kSide = 8;
  std::shared_ptr<uint8_t[]> pixels(new uint8_t[kSide * kSide * 3]);
  for (uint32_t i = 0; i < kSide * kSide; ++i)
    for (int c = 0; c < 3; ++c) pixels[i * 3 + uint32_t(c)] = uint8_t(sum[c] / count * 3 / 4);
  dimmed_.pixels = std::move(pixels);
  dimmed_.width = dimmed_.height = kSide;
  dimmedFrom_ = tile.get();
  return dimmed_;
}

void MainWindow::ShowLoads() {
  std::vector<CardView::LoadingMark> marks;
  const bool wereShown = previewsShown_;
  previewsShown_ = false;
  if (loads_ && loads_->Busy()) {
    const engine::Card& card = document_.Card();
    for (int32_t slot : loads_->Slots()) {
      if (slot < 0 || size_t(slot) >= card.slots.size()) continue;
      marks.push_back(CardView::LoadingMark{size_t(slot), loads_->Progress(slot)});
      PhotoLoads::Preview preview = loads_->PreviewOf(slot);
      // Until there is something to show, an empty region is the
      // placeholder's colour dimmed: no longer an invitation to click.
      if (!preview.pixels && !card.slots[size_t(slot)].HasPhoto()) preview = DimmedPlaceholder();
      if (!preview.pixels) continue;
      if (!previewsShown_) shown_ = card;
      previewsShown_ = true;
      engine::PhotoSlot& shown = shown_.slots[size_t(slot)];
      shown.photoPixels = preview.pixels;
      shown.photoWidth = preview.width;
      shown.photoHeight = preview.height;
      // Where the photo itself will sit when it comes.
      shown.panX = shown.panY = 0.5f;
      shown.zoom = 1.0f;
    }
  }
  if (!previewsShown_) shown_ = engine::Card{};
  if (wereShown && !previewsShown_) view_.RepaintCard();
  view_.SetLoading(ShownCard(), marks);
  // The marks follow the decodes while any goes on.
  const bool busy = !marks.empty();
  if (busy != loadTimer_) {
    loadTimer_ = busy;
    if (busy)
      window_->StartTimer(kLoadTimer, 100);
    else
      window_->StopTimer(kLoadTimer);
  }
}

void MainWindow::Show(ShowState state) {
  if (window_) window_->Show(state);
}

// --- what the document tells ---------------------------------------------------

void MainWindow::DocumentChanged(uint32_t what) {
  if (!window_) return;
  if (what & document::kDesignChanged) {
    // Where the pointer was may now be another region, or none.
    if (hintSubject_.kind == interaction::HintSubject::Kind::PointerRegion)
      hintSubject_ = interaction::HintSubject{};
    view_.Arrange(window_->ClientSize(), document_.Card().cardTemplate);
    FitWindowToDesign();
    FitPreviewSide();
    view_.RepaintAll();
  } else if (what & document::kCardChanged) {
    view_.RepaintCard();
  }
  gestures_.DocumentChanged();
  if (loads_) ShowLoads();
  ShowTexts();
  texts_.Follow(gestures_.SelectedText());
  told_.clear();  // it spoke of the card before this change
  ShowDesignState((what & (document::kDesignChanged | document::kCardChanged)) == 0);
  UpdateCommands();
  UpdateHint();
  autosave_.DocumentChanged(gestures_.Busy());
}

void MainWindow::UpdateTitle() {
  // A project goes by its own name; a card that is none by its design's.
  std::string name = projects_.Title();
  if (name.empty()) name = document::DescribeDesign(document_.State()).name;
  const std::string title = name.empty() ? std::string("Tessary") : name + " \xE2\x80\x94 Tessary";
  if (title == title_) return;
  title_ = title;
  window_->SetTitle(title);
}

void MainWindow::ShowDesignState(bool repaint) {
  UpdateTitle();
  if (view_.SetSoftPhotos(document::SoftPhotos(document_.Card(), actions_.OutputSize())) &&
      repaint)
    view_.RepaintCard();
}

void MainWindow::FitWindowToDesign() {
  const engine::CardTemplate& t = document_.Card().cardTemplate;
  if (t.width == 0 || t.height == 0) return;
  // Only a design whose proportions differ from the last one's reshapes the
  // window; one of the same proportions keeps the window the user made.
  const double aspect = double(t.width) / t.height;
  const double before = shownAspect_;
  shownAspect_ = aspect;
  if (before == 0 || std::abs(aspect / before - 1.0) < 0.01) return;
  window_->SetClientSize(view_.ClientSizeFor(t, minimumClient_));
}

void MainWindow::UpdateCommands() {
  const CommandContext context = ContextFor(gestures_.KeyboardSlot());
  // The buttons and the window's keys; menu items are enabled as the menu opens.
  for (const Command& command : AllCommands())
    if (command.icon != 0 || (!command.regionKeys && !command.keys.empty()))
      window_->EnableCommand(int(command.id), CommandEnabled(command, context));
}

void MainWindow::UpdateHint() {
  using Kind = interaction::HintSubject::Kind;
  const engine::Card& card = document_.Card();
  // What was just done outranks where the pointer happens to be, and what it
  // was told over (the Save button, say), but not the keyboard, a zoom or a drag.
  if (!told_.empty() && (hintSubject_.kind == Kind::PointerRegion ||
                         hintSubject_.kind == Kind::Card || hintSubject_ == toldOver_)) {
    view_.ShowHintText(told_);
    return;
  }
  switch (hintSubject_.kind) {
    case Kind::Command: {
      const Command* command = FindCommand(CommandId(hintSubject_.command));
      if (command && command->hint) view_.ShowHint(command->hint(card));
      break;  // a button without a sentence leaves the line as it is
    }
    case Kind::KeyboardRegion:
      if (gestures_.Focus().RingVisible()) {
          if (!ShowSoftPhotoHint(gestures_.Focus().Slot())) {
            std::string name;
            const char* hint =
                interaction::KeyboardHint(document_.State(), gestures_.Focus().Slot(), &name);
            view_.ShowHint(hint, name);
          }
        break;
      }
      hintSubject_ = interaction::HintSubject{};
      view_.ShowHint(interaction::GeneralHint(card));
      break;
    case Kind::PointerRegion: {
      if (!ShowSoftPhotoHint(hintSubject_.slot)) {
        std::string name;
        const char* hint = interaction::PointerHint(document_.State(), hintSubject_.slot, &name);
        view_.ShowHint(hint, name);
      }
      break;
    }
    case Kind::Card:
      view_.ShowHint(interaction::GeneralHint(card));
      break;
    case Kind::Zoom:
      if (hintSubject_.slot >= 0 && size_t(hintSubject_.slot) < card.slots.size())
        view_.ShowHintText(interaction::ZoomHint(
            int(std::lround(engine::ClampZoom(card.slots[size_t(hintSubject_.slot)].zoom) * 100))));
      break;
    case Kind::DropPhoto:
      view_.ShowHint(interaction::kHintDropPhoto);
      break;
    case Kind::DropLayout:
      view_.ShowHint(interaction::kHintDropLayout);
      break;
    case Kind::Text: {
      const std::vector<text::TextBox>& texts = document_.State().texts;
      if (hintSubject_.slot < 0 || size_t(hintSubject_.slot) >= texts.size()) {
        hintSubject_ = interaction::HintSubject{};
        view_.ShowHint(interaction::GeneralHint(card));
        break;
      }
      const std::string& font = texts[size_t(hintSubject_.slot)].font;
      const std::vector<std::string>& missing = view_.TextNotes().missingFonts;
      if (std::find(missing.begin(), missing.end(), font) != missing.end())
        view_.ShowHint(interaction::kHintTextFontMissing, font);
      else
        view_.ShowHint(interaction::kHintText);
      break;
    }
  }
}

void MainWindow::Tell(const std::string& sentence) {
  told_ = sentence;
  toldOver_ = hintSubject_;
  UpdateHint();
}

bool MainWindow::ShowSoftPhotoHint(int32_t slot) {
  for (const document::SoftPhoto& soft : view_.SoftPhotos()) {
    if (int32_t(soft.slot) != slot) continue;
    view_.ShowHintText(document::SoftPhotoSentence(soft.ppi));
    return true;
  }
  return false;
}

void MainWindow::HintAbout(const interaction::HintSubject& subject) {
  hintSubject_ = subject;
  UpdateHint();
}

// --- commands -------------------------------------------------------------------

CommandContext MainWindow::ContextFor(int32_t slot) {
  CommandContext context{document_, actions_, slot, gestures_.Busy(), &projects_};
  context.texts = &texts_;
  context.printing = &printing_;
  context.text = gestures_.SelectedText();
  return context;
}

void MainWindow::RunCommand(const Command& command, int32_t slot) {
  gestures_.EndWheelGesture(command.id == CommandId::ZoomIn || command.id == CommandId::ZoomOut);
  CommandContext context = ContextFor(slot);
  if (!CommandEnabled(command, context)) return;
  command.run(context);
  // The zoom keys say how far, as the wheel does.
  if (command.id == CommandId::ZoomIn || command.id == CommandId::ZoomOut)
    gestures_.ZoomedByKey(slot);
  // A save may have changed the size saves are for, and with it the marks.
  ShowDesignState(true);
  UpdateHint();
}

void MainWindow::OnCommand(int id) {
  if (const Command* command = FindCommand(CommandId(id)))
    RunCommand(*command, gestures_.KeyboardSlot());
}

void MainWindow::OnCommandHovered(int id) {
  HintAbout(id == 0 ? interaction::HintSubject{}
                    : interaction::HintSubject{interaction::HintSubject::Kind::Command, -1, id});
}

bool MainWindow::OnKey(const KeyEvent& event) {
  // Keys of the selected text box's commands, then of the focused region's;
  // the window's own shortcuts arrive as commands.
  if (gestures_.SelectedText() != -1 && !gestures_.Busy()) {
    if (const Command* command = CommandForTextKey(event)) {
      RunCommand(*command, gestures_.Focus().Slot());
      return true;
    }
  }
  if (const Command* command = CommandForKey(event, true)) {
    const int32_t slot = gestures_.Focus().Slot();
    if (slot == -1 || gestures_.Busy()) return gestures_.Key(event);
    RunCommand(*command, slot);
    return true;
  }
  return gestures_.Key(event);
}

void MainWindow::ShowRegionMenu(Point at, int32_t slot) {
  const CommandContext context = ContextFor(slot);
  std::vector<MenuItem> items;
  const Command* listed = nullptr;  // the one command whose item opens a list
  for (int group = 1; group <= kMenuGroups; ++group) {
    if (!items.empty()) items.push_back(MenuItem{0, "", true, "", {}});
    for (const Command& command : AllCommands()) {
      if (command.menuGroup != group || !command.label || !CommandShown(command, context))
        continue;
      MenuItem item{int(command.id), command.label, CommandEnabled(command, context),
                    command.keys.empty() ? "" : KeyName(command.keys.front()), {}};
      if (command.list && item.enabled) {
        const std::vector<std::string> labels = command.list(context);
        for (size_t i = 0; i < labels.size(); ++i)
          item.submenu.push_back(MenuItem{kRecentProjectItem + int(i), labels[i], true, "", {}});
        listed = &command;
      }
      items.push_back(std::move(item));
    }
  }
  const int chosen = window_->ShowContextMenu(at, items);
  if (listed && chosen >= kRecentProjectItem) {
    gestures_.EndWheelGesture();
    CommandContext choice = ContextFor(slot);
    choice.item = size_t(chosen - kRecentProjectItem);
    if (CommandEnabled(*listed, choice)) listed->run(choice);
    return;
  }
  if (const Command* command = chosen ? FindCommand(CommandId(chosen)) : nullptr)
    RunCommand(*command, slot);
}

// --- the window system's events -------------------------------------------------

void MainWindow::OnPaint(Canvas& canvas, const Rect& area) {
  const interaction::RegionFocus& focus = gestures_.Focus();
  const int32_t ring = gestures_.HasKeyboard() && focus.RingVisible() ? focus.Slot() : -1;
  const std::vector<std::string> missing = view_.TextNotes().missingFonts;
  view_.Paint(canvas, area, ShownCard(), ring, gestures_.DropSlot());
  if (holdUntilPainted_) {
    // Once this paint is on the screen, not while it is made.
    holdUntilPainted_ = false;
    std::weak_ptr<int> alive = alive_;
    PhotoLoads* loads = loads_.get();
    platform_.PostToMainThread([alive, loads] {
      if (alive.lock()) loads->Release();
    });
  }
  // Only a paint finds out which fonts are missing; the hint follows.
  if (view_.TextNotes().missingFonts != missing) UpdateHint();
}

void MainWindow::OnResized(Size client) {
  view_.Arrange(client, document_.Card().cardTemplate);
  FitPreviewSide();
  window_->Invalidate(Rect{0, 0, client.width, client.height});
}

void MainWindow::OnPointerPressed(const PointerEvent& event) { gestures_.Press(event); }

void MainWindow::OnPointerMoved(const PointerEvent& event) { gestures_.Move(event); }

void MainWindow::OnPointerReleased(const PointerEvent& event) {
  const bool dragging = gestures_.Busy();
  gestures_.Release(event);
  if (loads_ && !gestures_.Busy()) actions_.DeliverHeld();
  // Full quality comes back once the photo rests.
  if (dragging && !gestures_.Busy()) window_->RequestIdle();
}

void MainWindow::OnDoubleClicked(const PointerEvent& event) { gestures_.DoubleClick(event); }

void MainWindow::OnPointerLeft() { gestures_.Left(); }

void MainWindow::OnWheel(const WheelEvent& event) { gestures_.Wheel(event); }

void MainWindow::OnContextMenu(Point point, bool fromKeyboard) {
  gestures_.ContextMenu(point, fromKeyboard);
}

void MainWindow::OnFocusChanged(bool gained, FocusReason reason) {
  gestures_.FocusChanged(gained, reason);
}

bool MainWindow::OnFilesDragged(const FileDrag& drag) { return gestures_.FilesDragged(drag); }

void MainWindow::OnFilesDragLeft() { gestures_.FilesDragLeft(); }

void MainWindow::OnFilesDropped(const FileDrag& drag) { gestures_.FilesDropped(drag); }

bool MainWindow::OnCloseRequested() {
  gestures_.CancelDrag();
  if (!projects_.AskBeforeClosing()) return false;
  actions_.CancelLoads();
  autosave_.Closed();
  platform_.Quit(0);
  return true;
}

void MainWindow::OnTimer(int timer) {
  if (timer == kLoadTimer && loads_) ShowLoads();
  autosave_.OnTimer(timer);
  texts_.OnTimer(timer);
}

void MainWindow::OpenFiles(const std::vector<std::string>& paths) {
  std::vector<std::string> rest;
  std::string project;
  for (const std::string& path : paths) {
    if (!interaction::IsProjectFileName(path)) {
      rest.push_back(path);
    } else if (project.empty()) {
      project = path;
    }
  }
  if (!project.empty()) projects_.OpenProject(project);
  actions_.OpenFiles(rest);
}

bool MainWindow::OnIdle() {
  // Photos that came in during a drag go in once it ends.
  if (loads_ && !gestures_.Busy()) actions_.DeliverHeld();
  return view_.Idle(ShownCard(), gestures_.Busy());
}

void MainWindow::OnCompositionChanged() {
  const Size client = window_->ClientSize();
  view_.SetGlass(window_->CompositionEnabled());
  view_.Arrange(client, document_.Card().cardTemplate);
  // The extension is lost while composition is off, so it is made again
  // even when the layout kept the card where it was.
  if (view_.Glass()) view_.ExtendFrame(client);
}

// --- the card's host --------------------------------------------------------------

engine::ImageStatus MainWindow::LoadPhoto(int32_t slot, const std::string& path) {
  return actions_.LoadPhoto(slot, path);
}

void MainWindow::ReportPhotoFailure(const std::string& path, const engine::ImageStatus& status) {
  actions_.ReportPhotoFailure(path, status);
}

void MainWindow::RepaintArea(const Rect& area) { window_->Invalidate(area); }

int32_t MainWindow::TextGrip() const { return std::max(6, dpi_ * 8 / 96); }

void MainWindow::ShowTexts() {
  const document::CardState& state = document_.State();
  if (view_.SetTexts(state.texts, interaction::DesignWidthInches(state), gestures_.SelectedText(),
                     TextGrip()))
    view_.RepaintCard();
}

void MainWindow::TextSelected(int32_t index) {
  if (!window_) return;
  ShowTexts();
  texts_.Follow(index);
  UpdateCommands();
  HintAbout(index == -1 ? interaction::HintSubject{}
                        : interaction::HintSubject{interaction::HintSubject::Kind::Text, index, 0});
}

}  // namespace app
