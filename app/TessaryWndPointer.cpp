// The pointer over the card and files dropped on the window: the window
// hands the work to interaction/ and keeps the hint line and the dialogs.
#include <cerrno>

#include "app/PathNames.h"
#include "app/TessaryWnd.h"
#include "imagefiles/ImageStatusText.h"
#include "imagefiles/LayoutFile.h"
#include "interaction/Hints.h"
#include "interaction/LayoutFileName.h"

namespace app {

using namespace platform;

namespace {

// Why and where to look, in words: a file: address in a message cannot be
// followed.
std::string LayoutFailure(const std::string& path, imagefiles::LayoutStatus status,
                          const engine::ImageStatus& read) {
  return "The custom layout failed to load: \"" + FileNameOf(path) + "\" " +
         imagefiles::LayoutFailureText(status, read) +
         ". Please ensure it follows all the guidelines for custom layouts - see Custom layouts "
         "in the help.";
}

}  // namespace

void CTessaryWnd::OnPointerPressed(const PointerEvent& event) {
  wheelSlot = -1;
  history.CloseGesture();
  // The keys go on with the region the pointer chose.
  const int32_t slot = HitTestSlot(event.point);
  if (slot != -1 && slot != focus.Slot()) FocusRegion(slot, false);
  if (event.button == Button::Left) OnLButtonDown(event.point);
}

void CTessaryWnd::OnPointerMoved(const PointerEvent& event) {
  if (!window->HasPointerCapture()) OnSetCursor(event.point);
  if (wheelSlot != -1 && HitTestSlot(event.point) != wheelSlot) {
    wheelSlot = -1;
    history.CloseGesture();
  }
  OnMouseMove(event.point);
}

void CTessaryWnd::OnPointerReleased(const PointerEvent& event) {
  if (event.button == Button::Left) OnLButtonUp(event.point);
}

void CTessaryWnd::OnDoubleClicked(const PointerEvent& event) {
  if (event.button == Button::Left) OnLButtonDblClk(event.point);
}

void CTessaryWnd::OnPointerLeft() {
  wheelSlot = -1;
  history.CloseGesture();
  // Outside the window the sentence about the region under the pointer
  // would be stale; a drag keeps its hint until the button comes up.
  if (editor.CurrentGesture() == interaction::PointerEditor::Gesture::Idle)
    ShowHint(interaction::GeneralHint(card));
}

void CTessaryWnd::OnSetCursor(Point point) { window->SetCursor(editor.CursorAt(point)); }

void CTessaryWnd::OnMouseMove(Point point) {
  // While a region is pressed the hint stays as it was.
  if (editor.Move(point)) return;
  ShowHint(interaction::PointerHint(card, HitTestSlot(point)));
}

void CTessaryWnd::OnLButtonDown(Point point) { editor.Press(point); }

void CTessaryWnd::OnLButtonUp(Point point) { editor.Release(point); }

void CTessaryWnd::OnLButtonDblClk(Point point) { editor.DoubleClick(point); }

void CTessaryWnd::RepaintCard() { window->Invalidate(cardRect); }

void CTessaryWnd::DragFinished() {
  history.Commit(card);
  window->RequestIdle();  // full quality comes back once the photo rests
}

void CTessaryWnd::RememberFolderOf(const std::string& path) {
  const std::string folder = FolderOf(path);
  if (!folder.empty()) lastFolder = folder;
}

void CTessaryWnd::ChoosePhotoForSlot(int32_t slot) {
  FileDialog dialog;
  dialog.title = "Open picture";
  // The picture is known by its content, not its name; the names here only
  // keep other files out of the way.
  dialog.filters = {{"Picture files", {"*.jpg", "*.jpeg", "*.jpe", "*.jfif", "*.png"}},
                    {"JPEG picture files", {"*.jpg", "*.jpeg", "*.jpe", "*.jfif"}},
                    {"PNG picture files", {"*.png"}}};
  dialog.initialFolder = lastFolder;
  const std::optional<FileChoice> choice = window->ChooseFileToOpen(dialog);
  if (!choice) return;
  RememberFolderOf(choice->path);
  engine::ImageStatus status;
  {
    BusyCursor busy(*window);
    status = LoadPhoto(slot, choice->path);
  }
  if (!status) ReportPhotoFailure(choice->path, status);
  // The hint follows at the next pointer move.
}

void CTessaryWnd::OpenLayout() {
  FileDialog dialog;
  dialog.title = "Open layout";
  dialog.filters = {{"Card layouts", {"*.jli"}}};
  dialog.initialFolder = lastFolder;
  const std::optional<FileChoice> choice = window->ChooseFileToOpen(dialog);
  if (!choice) return;
  RememberFolderOf(choice->path);
  BusyCursor busy(*window);
  LoadLayout(choice->path);
}

engine::ImageStatus CTessaryWnd::LoadPhoto(int32_t slot, const std::string& path) {
  engine::ImageStatus status = engine::ImageStatus::Unreadable(EINVAL);
  if (slot >= 0 && engine::LoadPhotoIntoSlot(card.slots, size_t(slot), path, reader_, &status))
    CardChanged();
  return status;
}

void CTessaryWnd::ReportPhotoFailure(const std::string& path, const engine::ImageStatus& status) {
  ShowMessage(imagefiles::PhotoFailureMessage(FileNameOf(path), status));
}

bool CTessaryWnd::LoadLayout(const std::string& path) {
  imagefiles::LayoutStatus status = imagefiles::LayoutStatus::Ok;
  engine::ImageStatus read;
  if (imagefiles::LoadLayoutFile(card, path, reader_, &status, &read)) {  // the new layout repaints
    history.Commit(card);
    focus.Validate(card);
    return true;
  }
  ShowMessage(LayoutFailure(path, status, read));
  return false;
}

void CTessaryWnd::OpenFiles(const std::vector<std::string>& paths) {
  if (paths.empty()) return;
  BusyCursor busy(*window);
  for (const std::string& path : paths)
    if (interaction::IsLayoutFileName(path)) {
      LoadLayout(path);
      break;
    }
  size_t next = 0;
  for (const std::string& path : paths) {
    if (interaction::IsLayoutFileName(path)) continue;
    while (next < card.slots.size() &&
           (card.slots[next].Hidden() || card.slots[next].HasPhoto()))
      ++next;
    if (next == card.slots.size()) {
      ShowMessage("\"" + FileNameOf(path) + "\" was not opened: the card has no empty region left.");
      continue;
    }
    const engine::ImageStatus status = LoadPhoto(int32_t(next), path);
    if (status) {
      ++next;
    } else {
      ReportPhotoFailure(path, status);
    }
  }
}

bool CTessaryWnd::OnFilesDragged(const FileDrag& drag) { return dropper.Accepts(drag); }

void CTessaryWnd::OnFilesDropped(const FileDrag& drag) { DropFiles(drag); }

void CTessaryWnd::DropFiles(const FileDrag& drag) { dropper.Drop(drag); }

}  // namespace app
