#pragma once

#include <cstddef>
#include <cstdint>

#include "platform/Messages.h"
#include "platform/Types.h"

namespace app {

// One row of a window's message table. `condition` is the command id for
// WM_COMMAND rows and the notification code for WM_NOTIFY rows; other rows
// match on the message alone.
template <class T>
struct MessageRow {
  uint32_t message;
  int32_t condition;
  platform::LRESULT (T::*handler)(uint32_t message, platform::WPARAM wParam,
                                  platform::LPARAM lParam, bool& bHandled);
};

template <class T>
bool RowMatches(const MessageRow<T>& row, uint32_t message, platform::WPARAM wParam,
                platform::LPARAM lParam) {
  if (row.message != message) return false;
  if (message == platform::WM_COMMAND) return platform::LOWORD(wParam) == uint16_t(row.condition);
  if (message == platform::WM_NOTIFY)
    return lParam != 0 && reinterpret_cast<const platform::NMHDR*>(lParam)->code == row.condition;
  return true;
}

// Tries the rows in order. A handler that leaves bHandled set ends the search
// with its result; one that clears it lets the following rows have a go.
// False when no row kept the message (the caller then runs the default).
template <class T>
bool RouteMessage(T& target, const MessageRow<T>* rows, size_t count, uint32_t message,
                  platform::WPARAM wParam, platform::LPARAM lParam, platform::LRESULT* result) {
  for (size_t i = 0; i < count; ++i) {
    if (!RowMatches(rows[i], message, wParam, lParam)) continue;
    bool handled = true;
    const platform::LRESULT r = (target.*(rows[i].handler))(message, wParam, lParam, handled);
    if (handled) {
      *result = r;
      return true;
    }
  }
  return false;
}

}  // namespace app
