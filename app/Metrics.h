#pragma once

#include <cstdint>

namespace app {

// The window is designed at 96 dpi; every length scales with integer
// arithmetic, truncating. The toolbar icons stay 48 x 48 at every resolution,
// so the column never gets narrower than an icon with its button border.
constexpr int32_t ToolbarWidthFor(int32_t dpi) {
  return dpi * 60 / 96 < 64 ? 64 : dpi * 60 / 96;
}
constexpr int32_t ToolbarGapFor(int32_t dpi) { return dpi * 4 / 96; }
constexpr int32_t HintHeightFor(int32_t dpi) { return dpi * 20 / 96; }
constexpr int32_t TextInsetFor(int32_t dpi) { return dpi * 2 / 96; }
// The least room the card keeps when the window is made small.
constexpr int32_t MinimumCardSideFor(int32_t dpi) { return dpi * 150 / 96; }

// Size of the built-in templates, which start-up makes room for.
constexpr int32_t kBuiltInCardWidth = 900;
constexpr int32_t kBuiltInCardHeight = 600;

}  // namespace app
