#pragma once

#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "platform/Window.h"

namespace platform {

// Sizes of a top-level window's frame; a window rectangle is its client
// area grown by these.
struct FrameMetrics {
  int32_t frameX = 0;        // sizing border, left and right
  int32_t frameY = 0;        // sizing border, top and bottom
  int32_t captionHeight = 0;  // title bar
};

// The window system as the program sees it. One per process.
class Platform {
 public:
  virtual ~Platform() = default;

  virtual int32_t ScreenDpi() = 0;       // logical pixels per inch
  virtual Size MaximisedClientSize() = 0;  // client area of a maximised window
  virtual FrameMetrics Frame() = 0;
  virtual ShowState StartupShowState() = 0;  // how the program was asked to show

  // A top-level window with this frame rectangle (screen coordinates) and
  // title, reporting to `handler`; null if it cannot be made. Hidden until Show.
  virtual std::unique_ptr<Window> MakeWindow(WindowHandler& handler, const Rect& frame,
                                               const std::string& title) = 0;

  // Runs until Quit; returns Quit's code.
  virtual int Run() = 0;
  virtual void Quit(int exitCode) = 0;

  // A web address or a file: address in the desktop's browser. False when
  // the desktop has nothing to open it with (no browser, no launcher).
  virtual bool OpenAddress(const std::string& address) = 0;

  virtual Colour FaceColour() = 0;  // background of buttons and dialogs

  // Settings kept from one run to the next (the recent projects): a list of
  // strings under a key. An unknown key reads as an empty list; a failed
  // write is not the program's to report.
  virtual std::vector<std::string> ReadSetting(const std::string& key) = 0;
  virtual void WriteSetting(const std::string& key, const std::vector<std::string>& values) = 0;

  // The folder for what the program keeps of the user's work between runs
  // that is not a setting (the autosaved card), UTF-8; empty when there is
  // none. It may not exist yet.
  virtual std::string StateFolder() = 0;

  // How many photos may decode at once on threads of their own; 0: each on
  // the user-interface thread when it is asked for.
  virtual unsigned BackgroundThreads() { return 2; }
  // Work done on other threads comes back here: `task` runs on the
  // user-interface thread, soon and in the order posted, also while a modal
  // dialog is open. Any thread may call it; tasks still waiting when the
  // platform ends are dropped unrun.
  virtual void PostToMainThread(std::function<void()> task) = 0;
  // Runs posted tasks and repaints, but no input of the user, until `done`
  // answers true (checked on this thread) or `timeoutMs` milliseconds
  // pass; true when `done` did. The window stays drawn while the program
  // waits for work it cannot go on without.
  virtual bool WaitUntil(const std::function<bool()>& done, int32_t timeoutMs) = 0;
};

// Shows the wait cursor for the life of the scope.
class BusyCursor {
 public:
  explicit BusyCursor(Window& window) : window_(window) { window_.SetBusy(true); }
  ~BusyCursor() { window_.SetBusy(false); }
  BusyCursor(const BusyCursor&) = delete;
  BusyCursor& operator=(const BusyCursor&) = delete;

 private:
  Window& window_;
};

}  // namespace platform
