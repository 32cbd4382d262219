// GoogleTest's hook for platform adjustments, used for the mingw builds.
//
// The programs are built with mingw's win32 thread model, whose C++ library
// has no std::mutex or std::condition_variable. GoogleTest needs them only for
// Notification, a helper of its own threading tests; this one waits on an
// atomic flag instead. Everything else in GoogleTest uses Windows critical
// sections.
#ifndef QM_GTEST_CUSTOM_PORT_H_
#define QM_GTEST_CUSTOM_PORT_H_

#include <atomic>

#define GTEST_HAS_NOTIFICATION_ 1

namespace testing {
namespace internal {

class Notification {
 public:
  Notification() = default;
  Notification(const Notification&) = delete;
  Notification& operator=(const Notification&) = delete;

  void Notify() { notified_.store(true, std::memory_order_release); }
  void WaitForNotification() {
    while (!notified_.load(std::memory_order_acquire)) {
    }
  }

 private:
  std::atomic<bool> notified_{false};
};

}  // namespace internal
}  // namespace testing

#endif  // QM_GTEST_CUSTOM_PORT_H_
