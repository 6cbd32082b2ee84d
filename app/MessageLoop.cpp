#include "app/MessageLoop.h"

#include <algorithm>

namespace app {

namespace {

template <class T>
bool Remove(std::vector<T*>& list, T* item) {
  auto it = std::find(list.begin(), list.end(), item);
  if (it == list.end()) return false;
  list.erase(it);
  return true;
}

}  // namespace

bool CMessageLoop::AddMessageFilter(CMessageFilter* filter) {
  if (!filter) return false;
  filters_.push_back(filter);
  return true;
}

bool CMessageLoop::RemoveMessageFilter(CMessageFilter* filter) { return Remove(filters_, filter); }

bool CMessageLoop::AddIdleHandler(CIdleHandler* handler) {
  if (!handler) return false;
  idleHandlers_.push_back(handler);
  return true;
}

bool CMessageLoop::RemoveIdleHandler(CIdleHandler* handler) {
  return Remove(idleHandlers_, handler);
}

bool CMessageLoop::PreTranslateMessage(platform::Window& window, uint32_t message,
                                       platform::WPARAM wParam, platform::LPARAM lParam) {
  for (auto it = filters_.rbegin(); it != filters_.rend(); ++it)
    if ((*it)->PreTranslateMessage(window, message, wParam, lParam)) return true;
  return false;
}

bool CMessageLoop::OnIdle(int) {
  // A handler may unregister itself while running, so walk a copy.
  const std::vector<CIdleHandler*> handlers = idleHandlers_;
  for (CIdleHandler* handler : handlers) handler->OnIdle();
  return false;
}

}  // namespace app
