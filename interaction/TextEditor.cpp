#include "interaction/TextEditor.h"

#include <algorithm>

namespace interaction {

namespace {

bool Inside(const text::TextBox& box, const SafeArea& safe) {
  // A hair of slack: fractions that came back from pixels.
  constexpr double kSlack = 1e-9;
  return box.left >= safe.left - kSlack && box.top >= safe.top - kSlack &&
         box.left + box.width <= safe.right + kSlack &&
         box.top + box.height <= safe.bottom + kSlack;
}

platform::CursorShape CursorFor(TextPart part) {
  using platform::CursorShape;
  switch (part) {
    case TextPart::Left:
    case TextPart::Right:
      return CursorShape::SizeHorizontal;
    case TextPart::Top:
    case TextPart::Bottom:
      return CursorShape::SizeVertical;
    case TextPart::TopLeft:
    case TextPart::BottomRight:
      return CursorShape::SizeDiagonal;
    case TextPart::TopRight:
    case TextPart::BottomLeft:
      return CursorShape::SizeAntiDiagonal;
    default:
      return CursorShape::Move;
  }
}

}  // namespace

TextHit TextEditor::HitTest(Point p) const {
  return HitTestText(host_.Document().State().texts, host_.CardRect(), p, selected_,
                     host_.TextGrip());
}

bool TextEditor::CursorAt(Point p, platform::CursorShape* shape) const {
  const TextHit hit = HitTest(p);
  if (hit.index == -1) return false;
  *shape = CursorFor(hit.part);
  return true;
}

void TextEditor::Select(int32_t index) {
  if (index == selected_) return;
  selected_ = index;
  host_.TextSelected(index);
}

void TextEditor::DocumentChanged() {
  if (selected_ != -1 && size_t(selected_) >= host_.Document().State().texts.size()) {
    dragging_ = false;
    Select(-1);
  }
}

bool TextEditor::Press(const platform::PointerEvent& event) {
  const TextHit hit = HitTest(event.point);
  if (hit.index == -1) {
    Select(-1);
    return false;
  }
  Select(hit.index);
  if (event.button != platform::Button::Left) return true;
  dragging_ = true;
  part_ = hit.part;
  start_ = event.point;
  startBox_ = host_.Document().State().texts[size_t(hit.index)];
  host_.HostWindow().CapturePointer();
  return true;
}

bool TextEditor::Move(const platform::PointerEvent& event) {
  if (!dragging_) return false;
  if (!host_.HostWindow().HasPointerCapture()) return true;
  const geometry::Rect card = host_.CardRect();
  if (card.Empty() || selected_ < 0) return true;
  const double dx = double(event.point.x - start_.x) / card.Width();
  const double dy = double(event.point.y - start_.y) / card.Height();
  const bool keepInside = (event.modifiers & platform::kControl) == 0;
  const int32_t grip = host_.TextGrip();
  const text::TextBox box =
      part_ == TextPart::Body
          ? MoveTextBox(startBox_, dx, dy, Safe(), keepInside)
          : ResizeTextBox(startBox_, part_, dx, dy, Safe(), keepInside,
                          double(2 * grip) / card.Width(), double(2 * grip) / card.Height());
  // The history takes the whole drag as one step, at the release.
  host_.Document().ChangeText(size_t(selected_), box, document::Commit::Later);
  return true;
}

bool TextEditor::Release() {
  if (!dragging_) return false;
  dragging_ = false;
  platform::Window& window = host_.HostWindow();
  if (window.HasPointerCapture()) window.ReleasePointer();
  host_.Document().CommitPending();
  return true;
}

bool TextEditor::Cancel() {
  if (!dragging_) return false;
  dragging_ = false;
  platform::Window& window = host_.HostWindow();
  if (window.HasPointerCapture()) window.ReleasePointer();
  if (selected_ >= 0)
    host_.Document().ChangeText(size_t(selected_), startBox_, document::Commit::Later);
  return true;
}

bool TextEditor::Nudge(const platform::KeyEvent& e) {
  using platform::Key;
  const std::vector<text::TextBox>& texts = host_.Document().State().texts;
  if (selected_ < 0 || size_t(selected_) >= texts.size() || dragging_) return false;
  if (e.key != Key::Left && e.key != Key::Right && e.key != Key::Up && e.key != Key::Down)
    return false;
  const geometry::Rect card = host_.CardRect();
  if (card.Empty()) return true;
  const int32_t step = (e.modifiers & platform::kShift) ? 10 : 1;
  const double dx = (e.key == Key::Left ? -step : e.key == Key::Right ? step : 0) /
                    double(card.Width());
  const double dy = (e.key == Key::Up ? -step : e.key == Key::Down ? step : 0) /
                    double(card.Height());
  const text::TextBox& now = texts[size_t(selected_)];
  // A box the user put past the margin stays free; one inside stays in.
  const SafeArea safe = Safe();
  const text::TextBox box = MoveTextBox(now, dx, dy, safe, Inside(now, safe));
  host_.Document().ChangeText(size_t(selected_), box, document::Commit::Gesture,
                              document::Gesture::TextNudge);
  return true;
}

}  // namespace interaction
