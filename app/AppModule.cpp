#include "app/AppModule.h"

namespace app {

void CAppModule::Init() {}

void CAppModule::Term() {
  std::lock_guard<std::mutex> guard(lock_);
  loops_.clear();
}

bool CAppModule::AddMessageLoop(CMessageLoop* loop) {
  if (!loop) return false;
  std::lock_guard<std::mutex> guard(lock_);
  return loops_.emplace(std::this_thread::get_id(), loop).second;
}

bool CAppModule::RemoveMessageLoop() {
  std::lock_guard<std::mutex> guard(lock_);
  return loops_.erase(std::this_thread::get_id()) != 0;
}

CMessageLoop* CAppModule::GetMessageLoop() const {
  std::lock_guard<std::mutex> guard(lock_);
  auto it = loops_.find(std::this_thread::get_id());
  return it == loops_.end() ? nullptr : it->second;
}

CAppModule& AppModule() {
  static CAppModule module;
  return module;
}

}  // namespace app
