#pragma once

#include <cstdint>
#include <functional>
#include <vector>

struct tagMSG;

namespace platform::win32 {

// The thread's message loop. Before a message is dispatched the filters see
// it, the last registered first; one that answers true has used it up (a
// keyboard shortcut, say). While no message waits, the idle handlers run,
// once after every message that can change what the program shows (moves
// of the pointer, paints and the caret's timer do not).
class MessageLoop {
 public:
  using Filter = std::function<bool(tagMSG& message)>;
  // True asks for another round while the queue stays empty.
  using IdleHandler = std::function<bool()>;

  int AddFilter(Filter filter);
  void RemoveFilter(int id);
  int AddIdleHandler(IdleHandler handler);
  void RemoveIdleHandler(int id);

  // Runs until the quit message and answers its code.
  int Run();

  // Whether a message of this kind arms the idle handlers again.
  static bool ArmsIdle(uint32_t message);

  // Offers the message to the filters; true when one used it.
  bool PreTranslate(tagMSG& message);
  // Runs the idle handlers once; true when one asks for another round.
  bool RunIdle();

 private:
  template <typename T>
  struct Entry {
    int id;
    T callback;
  };
  std::vector<Entry<Filter>> filters_;
  std::vector<Entry<IdleHandler>> idleHandlers_;
  int nextId_ = 1;
};

// The loop of the user-interface thread; the program has one thread.
MessageLoop& ThreadLoop();

}  // namespace platform::win32
