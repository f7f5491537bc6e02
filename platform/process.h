#pragma once
// Process and thread facts, and the one lock the library needs.
#include <memory>
#include <string>

namespace tavrin::platform {

unsigned long CurrentThreadId();
// The process's current folder, or an empty text when the system cannot tell.
std::string CurrentDirectory();

// A plain mutual-exclusion lock (a critical section on Windows).
class Lock {
 public:
  Lock();
  ~Lock();
  Lock(const Lock&) = delete;
  Lock& operator=(const Lock&) = delete;
  void Enter();
  void Leave();

 private:
  struct Impl;
  std::unique_ptr<Impl> impl_;
};

class LockGuard {
 public:
  explicit LockGuard(Lock& lock) : lock_(lock) { lock_.Enter(); }
  ~LockGuard() { lock_.Leave(); }
  LockGuard(const LockGuard&) = delete;
  LockGuard& operator=(const LockGuard&) = delete;

 private:
  Lock& lock_;
};

}  // namespace tavrin::platform
