#pragma once

#include <cstddef>
#include <cstdint>

namespace platform::win32 {

// One row of a window's message table: the message, a further condition
// where one is needed (a command id, a notification code), and the handler.
// A handler is called with `handled` preset to true; leaving it so makes its
// answer the message's result and ends the search, setting it false lets
// the following rows try.
template <typename Owner>
struct MessageRow {
  using Condition = bool (*)(const Owner& owner, uintptr_t wParam, intptr_t lParam);
  using Handler = intptr_t (Owner::*)(uintptr_t wParam, intptr_t lParam, bool& handled);

  uint32_t message;
  Condition condition;  // null: every message of the kind
  Handler handler;
};

// Tries the rows in order. True with `*result` set when a row handled the
// message; false sends it on to the default window procedure.
template <typename Owner, size_t N>
bool RouteMessage(Owner& owner, const MessageRow<Owner> (&rows)[N], uint32_t message,
                  uintptr_t wParam, intptr_t lParam, intptr_t* result) {
  for (const MessageRow<Owner>& row : rows) {
    if (row.message != message) continue;
    if (row.condition && !row.condition(owner, wParam, lParam)) continue;
    bool handled = true;
    const intptr_t answer = (owner.*row.handler)(wParam, lParam, handled);
    if (handled) {
      *result = answer;
      return true;
    }
  }
  return false;
}

}  // namespace platform::win32
