#include <limits.h>
#include <pthread.h>
#include <sys/syscall.h>
#include <unistd.h>

#include <vector>

#include "platform/process.h"

namespace tavrin::platform {

unsigned long CurrentThreadId() {
  // Asked for on every log line; the kernel's answer never changes for a thread.
  thread_local const unsigned long id = static_cast<unsigned long>(syscall(SYS_gettid));
  return id;
}

std::string CurrentDirectory() {
  std::vector<char> buffer(PATH_MAX + 1);
  if (getcwd(buffer.data(), buffer.size()) == nullptr) return std::string();
  return buffer.data();
}

struct Lock::Impl {
  pthread_mutex_t mutex = PTHREAD_MUTEX_INITIALIZER;
};

Lock::Lock() : impl_(new Impl) {}
Lock::~Lock() { pthread_mutex_destroy(&impl_->mutex); }
void Lock::Enter() { pthread_mutex_lock(&impl_->mutex); }
void Lock::Leave() { pthread_mutex_unlock(&impl_->mutex); }

}  // namespace tavrin::platform
