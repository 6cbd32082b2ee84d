#pragma once

// Bytes that end where an unreadable page begins: a read one byte past them
// stops the test with a crash. Data() is null where no such page can be had.

#include <cstddef>
#include <cstdint>

#if defined(_WIN32)
#include <windows.h>
#elif defined(__unix__)
#include <sys/mman.h>
#include <unistd.h>
#endif

namespace enginetest {

class GuardedBytes {
 public:
  explicit GuardedBytes(size_t size) {
#if defined(_WIN32)
    SYSTEM_INFO info;
    GetSystemInfo(&info);
    const size_t page = info.dwPageSize;
    mapped_ = (size + page - 1) / page * page + page;
    base_ = static_cast<uint8_t*>(
        VirtualAlloc(nullptr, mapped_, MEM_COMMIT | MEM_RESERVE, PAGE_READWRITE));
    DWORD old = 0;
    if (base_ && !VirtualProtect(base_ + mapped_ - page, page, PAGE_NOACCESS, &old)) Release();
#elif defined(__unix__)
    const size_t page = size_t(sysconf(_SC_PAGESIZE));
    mapped_ = (size + page - 1) / page * page + page;
    void* p = mmap(nullptr, mapped_, PROT_READ | PROT_WRITE, MAP_PRIVATE | MAP_ANONYMOUS, -1, 0);
    base_ = p == MAP_FAILED ? nullptr : static_cast<uint8_t*>(p);
    if (base_ && mprotect(base_ + mapped_ - page, page, PROT_NONE) != 0) Release();
#else
    const size_t page = 0;
#endif
    if (base_) data_ = base_ + mapped_ - page - size;
  }
  ~GuardedBytes() { Release(); }
  GuardedBytes(const GuardedBytes&) = delete;
  GuardedBytes& operator=(const GuardedBytes&) = delete;

  uint8_t* Data() const { return data_; }

 private:
  void Release() {
#if defined(_WIN32)
    if (base_) VirtualFree(base_, 0, MEM_RELEASE);
#elif defined(__unix__)
    if (base_) munmap(base_, mapped_);
#endif
    base_ = data_ = nullptr;
  }

  uint8_t* base_ = nullptr;
  uint8_t* data_ = nullptr;
  size_t mapped_ = 0;
};

}  // namespace enginetest
