#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "platform/Geometry.h"

namespace platform {

// Modifier bits of pointer, wheel and key events.
enum Modifier : uint32_t {
  kShift = 1,
  kControl = 2,
  kAlt = 4,
};

enum class Button { Left, Right, Middle };

// Points are in client pixels of the window.
struct PointerEvent {
  Point point;
  Button button = Button::Left;
  uint32_t modifiers = 0;
};

// The desktop reports a wheel in eighths of a degree: 120 is one notch.
// Smooth-scrolling devices send smaller steps.
struct WheelEvent {
  Point point;
  int32_t angleDelta = 0;  // positive: away from the user
  uint32_t modifiers = 0;
};

// Letters and digits carry their upper-case ASCII code, so Key('S') is S.
enum class Key : uint32_t {
  Other = 0,
  Digit0 = '0',
  Digit9 = '9',
  A = 'A',
  Z = 'Z',
  Tab = 0x100,
  Backtab,  // Shift+Tab as the desktop reports it
  Enter,
  Space,
  Escape,
  Delete,
  Backspace,
  Left,
  Right,
  Up,
  Down,
  PageUp,
  PageDown,
  Home,
  End,
  Plus,
  Minus,
  F1,
  Menu,
  BracketLeft,   // [ and ], where the layout has them without a modifier
  BracketRight,
};

constexpr Key Letter(char upper) { return Key(uint32_t(upper)); }
constexpr Key Digit(int digit) { return Key(uint32_t('0' + digit)); }

struct KeyEvent {
  Key key = Key::Other;
  uint32_t modifiers = 0;
};

// Files dragged over or dropped on the window, in the drag source's order.
// A drag of something that is not files (text, say) has no paths.
struct FileDrag {
  Point point;
  std::vector<std::string> paths;  // UTF-8, any length
  bool copyAllowed = false;        // the source lets the files be copied
};

// How focus came to the window's own area (the card), so Tab can go on
// from the right end.
enum class FocusReason { Forward, Backward, Other };

}  // namespace platform
