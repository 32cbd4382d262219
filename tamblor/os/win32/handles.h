// Owners for the kernel handles the browser opens.
#pragma once

#include <windows.h>

#include <utility>

namespace tamblor::os::win32 {

// A FindFirstFileA search, closed with FindClose.
class FindHandle {
 public:
  FindHandle() = default;
  FindHandle(const char* pattern, WIN32_FIND_DATAA* data) : handle_(FindFirstFileA(pattern, data)) {}
  ~FindHandle() {
    if (valid()) FindClose(handle_);
  }
  FindHandle(FindHandle&& other) noexcept : handle_(std::exchange(other.handle_, INVALID_HANDLE_VALUE)) {}
  FindHandle& operator=(FindHandle&& other) noexcept {
    if (this != &other) {
      if (valid()) FindClose(handle_);
      handle_ = std::exchange(other.handle_, INVALID_HANDLE_VALUE);
    }
    return *this;
  }
  FindHandle(const FindHandle&) = delete;
  FindHandle& operator=(const FindHandle&) = delete;

  bool valid() const { return handle_ != INVALID_HANDLE_VALUE; }
  HANDLE get() const { return handle_; }

 private:
  HANDLE handle_ = INVALID_HANDLE_VALUE;
};

}  // namespace tamblor::os::win32
