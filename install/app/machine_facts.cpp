#include "install/app/machine_facts.h"

#include <cstdio>
#include <cstdlib>

namespace install::app {
namespace {

// Writes "major.minor" and reads it back, so minor 10 and minor 1 both give .1
// and minor 95 gives .95 — the way version tests in scripts compare them.
double DecimalVersion(unsigned major, unsigned minor) {
  char text[32];
  std::snprintf(text, sizeof text, "%u.%u", major, minor);
  return std::strtod(text, nullptr);
}

}  // namespace

double WindowsVersionFrom(uint32_t platform_version) {
  return DecimalVersion(platform_version & 0xFF, (platform_version >> 8) & 0xFF);
}

double DosVersionFrom(uint32_t platform_version) {
  uint32_t high = platform_version >> 16;
  return DecimalVersion((high >> 8) & 0xFF, high & 0xFF);
}

MachineFacts ReadMachineFacts(os::Machine& machine, os::SystemInfo& system) {
  MachineFacts facts;
  facts.hard_disk_letter = machine.GetDriveType("A:\\") == os::DriveType::Fixed ? 'A' : 'C';
  uint32_t version = system.GetVersion();
  facts.windows_version = WindowsVersionFrom(version);
  facts.dos_version = DosVersionFrom(version);
  return facts;
}

}  // namespace install::app
