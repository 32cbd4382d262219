// Fuzz target for the host registry's REGEDIT4 reader and writer (libFuzzer).
//
// The input is loaded as REGEDIT4 text (what loads before a bad line stays);
// whatever registry results is saved, the saved text must load whole into a
// fresh registry, and saving that must give the same text again.
#include <cstdint>
#include <string>
#include <string_view>

#include "fuzz/fuzz_support.h"
#include "install/os/host/host_registry.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  using install::os::HostRegistry;
  HostRegistry first;
  first.LoadRegedit4(std::string_view(reinterpret_cast<const char*>(data), size));
  const std::string saved = first.SaveRegedit4();
  HostRegistry second;
  if (!second.LoadRegedit4(saved)) fuzz::Broken("a saved registry does not load:\n" + saved);
  if (second.SaveRegedit4() != saved) fuzz::Broken("save, load, save changed the text:\n" + saved);
  return 0;
}
