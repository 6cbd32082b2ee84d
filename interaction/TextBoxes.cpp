#include "interaction/TextBoxes.h"

#include <algorithm>
#include <cmath>

#include "document/DesignSizes.h"

namespace interaction {

namespace {

constexpr double kSafeInches = 0.125;

int32_t Along(int32_t from, int32_t span, double fraction) {
  const double at = from + std::floor(fraction * span + 0.5);
  return int32_t(std::clamp(at, double(INT32_MIN / 2), double(INT32_MAX / 2)));
}

// `from` within [low, high]; `low` wins when the range is empty.
double Within(double from, double low, double high) { return std::max(low, std::min(from, high)); }

}  // namespace

namespace {

document::DesignSize PhysicalSize(const document::CardState& state) {
  const document::DesignInfo info = document::DescribeDesign(state);
  const document::DesignSize* print = info.PrintSize();
  return print ? *print : info.sizes.empty() ? document::DesignSize{} : info.sizes.front();
}

}  // namespace

double DesignWidthInches(const document::CardState& state) {
  return PhysicalSize(state).WidthInches();
}

SafeArea SafeAreaOf(const document::CardState& state) {
  const document::DesignSize size = PhysicalSize(state);
  SafeArea safe;
  const double w = size.WidthInches(), h = size.HeightInches();
  // A design too small for margins on both sides has none.
  if (w > 4 * kSafeInches) safe.left = kSafeInches / w, safe.right = 1 - safe.left;
  if (h > 4 * kSafeInches) safe.top = kSafeInches / h, safe.bottom = 1 - safe.top;
  return safe;
}

geometry::Rect TextBoxOnScreen(const text::TextBox& box, const geometry::Rect& cardRect) {
  const int32_t w = cardRect.Width(), h = cardRect.Height();
  return geometry::Rect{Along(cardRect.left, w, box.left), Along(cardRect.top, h, box.top),
                        Along(cardRect.left, w, box.left + box.width),
                        Along(cardRect.top, h, box.top + box.height)};
}

std::vector<geometry::Rect> TextHandles(const geometry::Rect& r, int32_t grip) {
  const int32_t midX = r.left + (r.right - r.left) / 2, midY = r.top + (r.bottom - r.top) / 2;
  const geometry::Point centres[] = {{r.left, midY},  {midX, r.top},    {r.right, midY},
                                     {midX, r.bottom}, {r.left, r.top},  {r.right, r.top},
                                     {r.left, r.bottom}, {r.right, r.bottom}};
  std::vector<geometry::Rect> handles;
  const int32_t half = grip / 2;
  for (const geometry::Point& c : centres)
    handles.push_back(geometry::Rect{c.x - half, c.y - half, c.x - half + grip, c.y - half + grip});
  return handles;
}

TextHit HitTestText(const std::vector<text::TextBox>& boxes, const geometry::Rect& cardRect,
                    geometry::Point p, int32_t selected, int32_t grip) {
  if (selected >= 0 && size_t(selected) < boxes.size()) {
    const std::vector<geometry::Rect> handles =
        TextHandles(TextBoxOnScreen(boxes[size_t(selected)], cardRect), grip);
    // Corners before edges: on a small box they overlap.
    for (size_t i = handles.size(); i-- > 0;)
      if (handles[i].Contains(p)) return TextHit{selected, TextPart(uint8_t(TextPart::Left) + i)};
  }
  for (size_t i = boxes.size(); i-- > 0;)
    if (TextBoxOnScreen(boxes[i], cardRect).Contains(p)) return TextHit{int32_t(i), TextPart::Body};
  return TextHit{};
}

text::TextBox MoveTextBox(const text::TextBox& start, double dx, double dy, const SafeArea& safe,
                          bool keepInside) {
  text::TextBox box = start;
  box.left = start.left + dx;
  box.top = start.top + dy;
  if (keepInside) {
    box.left = Within(box.left, safe.left, safe.right - box.width);
    box.top = Within(box.top, safe.top, safe.bottom - box.height);
  }
  return box;
}

text::TextBox ResizeTextBox(const text::TextBox& start, TextPart part, double dx, double dy,
                            const SafeArea& safe, bool keepInside, double minWidth,
                            double minHeight) {
  const bool left = part == TextPart::Left || part == TextPart::TopLeft ||
                    part == TextPart::BottomLeft;
  const bool right = part == TextPart::Right || part == TextPart::TopRight ||
                     part == TextPart::BottomRight;
  const bool top = part == TextPart::Top || part == TextPart::TopLeft ||
                   part == TextPart::TopRight;
  const bool bottom = part == TextPart::Bottom || part == TextPart::BottomLeft ||
                      part == TextPart::BottomRight;
  double l = start.left, t = start.top;
  double r = start.left + start.width, b = start.top + start.height;
  // The edges that stay put keep their place exactly; only moved ones are
  // clamped, first into the safe area, then away from the opposite edge.
  if (left) {
    l += dx;
    if (keepInside) l = std::max(l, safe.left);
    l = std::min(l, r - minWidth);
  }
  if (right) {
    r += dx;
    if (keepInside) r = std::min(r, safe.right);
    r = std::max(r, l + minWidth);
  }
  if (top) {
    t += dy;
    if (keepInside) t = std::max(t, safe.top);
    t = std::min(t, b - minHeight);
  }
  if (bottom) {
    b += dy;
    if (keepInside) b = std::min(b, safe.bottom);
    b = std::max(b, t + minHeight);
  }
  text::TextBox box = start;
  if (left || right) box.left = l, box.width = r - l;
  if (top || bottom) box.top = t, box.height = b - t;
  return box;
}

}  // namespace interaction
