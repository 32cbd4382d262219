// Fuzz target for the install archive appended to the installer's program
// file (libFuzzer).
//
// The input is the program file. The members any script or start-up asks for
// ("install.pif", "SETUP.CFG", a one-letter name and one named by the input's
// first bytes) are opened through the archive: reading one must give exactly
// its recorded size, seeking must stay inside it, and reading it as lines must
// end within size + 1 calls with every line inside the capacity.
#include <cstdint>
#include <string>
#include <vector>

#include "fuzz/fuzz_support.h"
#include "install/archive/source_stream.h"
#include "install/os/host/host_machine.h"
#include "tests/support/fixture_builder.h"

namespace {

using install::archive::SourceReader;
using install::archive::SourceStream;

void CheckMember(SourceReader& reader, const std::string& path, uint32_t chunk) {
  std::unique_ptr<SourceStream> stream = reader.OpenSource(path);
  if (!stream) return;
  const uint32_t size = SourceReader::SourceSize(*stream);
  std::vector<uint8_t> buffer(chunk);
  uint64_t total = 0;
  for (;;) {
    const int32_t got = reader.ReadSource(*stream, buffer.data(), chunk);
    if (got < 0) return;  // a read error ends it; nothing to check
    if (got == 0) break;
    total += uint32_t(got);
    if (total > size) fuzz::Broken("read beyond the member's size");
  }
  if (stream->file == nullptr && total != size) fuzz::Broken("a member read short of its size");
  if (reader.SeekSource(*stream, -1, 0) > size || reader.SeekSource(*stream, 5, 2) > size) {
    fuzz::Broken("a seek left the member");
  }
  if (reader.SeekSource(*stream, 0, 0) != 0) return;
  constexpr size_t kCapacity = 999;
  uint64_t lines = 0;
  while (auto line = reader.ReadSourceLine(*stream, kCapacity)) {
    if (line->size() > kCapacity - 1) fuzz::Broken("a line beyond its capacity");
    if (++lines > uint64_t(size) + 1) fuzz::Broken("reading lines does not end");
  }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const std::filesystem::path& dir = fuzz::ScratchDirectory("archive");
  const std::vector<uint8_t> bytes(data, data + size);
  if (!test_support::WriteLocalFile(dir / "SETUP.EXE", bytes)) fuzz::Broken("cannot write the input");
  install::os::HostMachine machine;
  machine.MapDrive('A', dir, install::os::DriveType::Removable);
  SourceReader reader(machine);
  reader.SetInstallArchive("A:\\SETUP.EXE");
  std::string named;
  for (size_t i = 0; i < size && i < 8 && data[i] >= 'A' && data[i] <= 'Z'; ++i) named += char(data[i]);
  const uint32_t chunk = size > 0 ? 1u + data[size - 1] % 97u : 1u;
  for (const std::string& name : {std::string("install.pif"), std::string("SETUP.CFG"), std::string("A"), named}) {
    if (!name.empty()) CheckMember(reader, "A:\\SUB\\" + name, chunk);
  }
  return 0;
}
