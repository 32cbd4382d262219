// Fuzz target for the installation script's reader and parser, run the way
// `quill check --dump` runs them: start-up on the host model (a multi-disk
// script restarts from its temporary copy), the plan with its defaults, the
// parse, and the dump of the plan (libFuzzer).
//
// The input is the script. It is checked twice: as it is, and with a carriage
// return put before every line feed, which the line reader drops; both runs
// must end with the same status and the same output. A dump (status 0) writes
// every text quoted, with control characters escaped: no line of it may hold
// a control character.
#include <fcntl.h>
#include <unistd.h>

#include <cstdint>
#include <cstdio>
#include <string>
#include <vector>

#include "fuzz/fuzz_support.h"
#include "tests/support/fixture_builder.h"
#include "tools/quill/command.h"

namespace {

struct CheckRun {
  int status = 0;
  std::string output;
};

// Runs "quill check SCRIPT --dump" in this process, its standard output and
// error caught in a file.
CheckRun Check(const std::filesystem::path& script, const std::filesystem::path& output) {
  const quill::Command* check = quill::FindCommand("check");
  if (!check) fuzz::Broken("no check command");
  std::fflush(stdout);
  std::fflush(stderr);
  const int saved_out = dup(1), saved_err = dup(2);
  const int fd = open(output.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0600);
  if (fd < 0 || saved_out < 0 || saved_err < 0) fuzz::Broken("cannot catch the output");
  dup2(fd, 1);
  dup2(fd, 2);
  CheckRun run;
  run.status = check->run({script.string(), "--dump"});
  std::fflush(stdout);
  std::fflush(stderr);
  dup2(saved_out, 1);
  dup2(saved_err, 2);
  close(fd);
  close(saved_out);
  close(saved_err);
  auto bytes = test_support::ReadLocalFile(output);
  if (bytes) run.output.assign(bytes->begin(), bytes->end());
  return run;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const std::filesystem::path& dir = fuzz::ScratchDirectory("script");
  const std::vector<uint8_t> script(data, data + size);
  std::vector<uint8_t> with_cr;
  for (uint8_t byte : script) {
    if (byte == '\n') with_cr.push_back('\r');
    with_cr.push_back(byte);
  }
  test_support::WriteLocalFile(dir / "SETUP.CFG", script);
  const CheckRun plain = Check(dir / "SETUP.CFG", dir / "output.txt");
  test_support::WriteLocalFile(dir / "SETUP.CFG", with_cr);
  const CheckRun crlf = Check(dir / "SETUP.CFG", dir / "output.txt");
  if (plain.status != crlf.status || plain.output != crlf.output) {
    fuzz::Broken("carriage returns changed the result:\n" + plain.output + "\n---\n" + crlf.output);
  }
  if (plain.status < 0 || plain.status > 3) fuzz::Broken("an exit status outside 0..3");
  if (plain.status == 0) {
    for (char c : plain.output) {
      if (static_cast<unsigned char>(c) < 0x20 && c != '\n') fuzz::Broken("a control character in the dump");
    }
  }
  return 0;
}
