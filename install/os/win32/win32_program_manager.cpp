#include "install/os/win32/win32_program_manager.h"

#include "install/os/win32/windows_api.h"

#include <ddeml.h>

namespace install::os {

namespace {

// The client takes part in no transaction of its own accord.
HDDEDATA CALLBACK IgnoreDdeEvents(UINT, UINT, HCONV, HSZ, HSZ, HDDEDATA, ULONG_PTR, ULONG_PTR) {
  return nullptr;
}

class DdeString {
 public:
  DdeString(DWORD instance, const char* text)
      : instance_(instance), handle_(DdeCreateStringHandleA(instance, text, CP_WINANSI)) {}
  ~DdeString() {
    if (handle_) DdeFreeStringHandle(instance_, handle_);
  }
  DdeString(const DdeString&) = delete;
  DdeString& operator=(const DdeString&) = delete;
  HSZ get() const { return handle_; }

 private:
  DWORD instance_;
  HSZ handle_;
};

class DdeConversation {
 public:
  DdeConversation(DWORD instance, HSZ service, HSZ topic)
      : handle_(DdeConnect(instance, service, topic, nullptr)) {}
  ~DdeConversation() {
    if (handle_) DdeDisconnect(handle_);
  }
  DdeConversation(const DdeConversation&) = delete;
  DdeConversation& operator=(const DdeConversation&) = delete;
  HCONV get() const { return handle_; }

 private:
  HCONV handle_;
};

}  // namespace

bool Win32ProgramManager::StartClient() {
  if (instance_ != 0) return true;
  DWORD instance = 0;
  if (DdeInitializeA(&instance, IgnoreDdeEvents, APPCMD_CLIENTONLY, 0) != DMLERR_NO_ERROR) {
    return false;
  }
  instance_ = instance;
  return true;
}

bool Win32ProgramManager::SendCommand(const std::string& command) {
  if (instance_ == 0) return false;
  DdeString name(instance_, kProgmanService);
  if (!name.get()) return false;
  DdeConversation conversation(instance_, name.get(), name.get());
  if (!conversation.get()) return false;
  // The command goes with its terminating zero byte.
  auto* data = reinterpret_cast<BYTE*>(const_cast<char*>(command.c_str()));
  DWORD answer = 0;
  HDDEDATA result = DdeClientTransaction(data, static_cast<DWORD>(command.size() + 1),
                                         conversation.get(), nullptr, CF_TEXT, XTYP_EXECUTE,
                                         kProgmanTimeoutMs, &answer);
  return result != nullptr;
}

}  // namespace install::os
