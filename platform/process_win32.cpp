#include <windows.h>

#include <vector>

#include "platform/process.h"

namespace tavrin::platform {

unsigned long CurrentThreadId() { return GetCurrentThreadId(); }

std::string CurrentDirectory() {
  DWORD needed = GetCurrentDirectoryA(0, nullptr);
  if (needed == 0) return std::string();
  std::vector<char> buffer(needed + 1);
  DWORD length = GetCurrentDirectoryA(static_cast<DWORD>(buffer.size()), buffer.data());
  if (length == 0 || length >= buffer.size()) return std::string();
  return std::string(buffer.data(), length);
}

struct Lock::Impl {
  CRITICAL_SECTION section;
};

Lock::Lock() : impl_(new Impl) { InitializeCriticalSection(&impl_->section); }
Lock::~Lock() { DeleteCriticalSection(&impl_->section); }
void Lock::Enter() { EnterCriticalSection(&impl_->section); }
void Lock::Leave() { LeaveCriticalSection(&impl_->section); }

}  // namespace tavrin::platform
