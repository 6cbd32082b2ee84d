#include "platform/win32/MessageLoop.h"

#include <windows.h>

#include <algorithm>

namespace platform::win32 {

namespace {

constexpr UINT kSystemTimer = 0x0118;  // the caret's blink timer

template <typename List>
void RemoveById(List& list, int id) {
  list.erase(std::remove_if(list.begin(), list.end(), [id](const auto& e) { return e.id == id; }),
             list.end());
}

}  // namespace

int MessageLoop::AddFilter(Filter filter) {
  filters_.push_back({nextId_, std::move(filter)});
  return nextId_++;
}

void MessageLoop::RemoveFilter(int id) { RemoveById(filters_, id); }

int MessageLoop::AddIdleHandler(IdleHandler handler) {
  idleHandlers_.push_back({nextId_, std::move(handler)});
  return nextId_++;
}

void MessageLoop::RemoveIdleHandler(int id) { RemoveById(idleHandlers_, id); }

bool MessageLoop::ArmsIdle(uint32_t message) {
  return message != WM_MOUSEMOVE && message != WM_NCMOUSEMOVE && message != WM_PAINT &&
         message != kSystemTimer;
}

bool MessageLoop::PreTranslate(MSG& message) {
  // A filter may remove itself or another while it runs: iterate a copy.
  const auto filters = filters_;
  for (auto it = filters.rbegin(); it != filters.rend(); ++it)
    if (it->callback(message)) return true;
  return false;
}

bool MessageLoop::RunIdle() {
  const auto handlers = idleHandlers_;
  bool more = false;
  for (const auto& handler : handlers) more = handler.callback() || more;
  return more;
}

int MessageLoop::Run() {
  bool idle = true;
  MSG message{};
  for (;;) {
    while (idle && !PeekMessageW(&message, nullptr, 0, 0, PM_NOREMOVE)) idle = RunIdle();
    const BOOL got = GetMessageW(&message, nullptr, 0, 0);
    if (got == -1) continue;  // an invalid window handle; nothing to undo
    if (got == 0) return int(message.wParam);
    if (!PreTranslate(message)) {
      TranslateMessage(&message);
      DispatchMessageW(&message);
    }
    if (ArmsIdle(message.message)) idle = true;
  }
}

MessageLoop& ThreadLoop() {
  static MessageLoop loop;
  return loop;
}

}  // namespace platform::win32
