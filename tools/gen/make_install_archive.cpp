// make_install_archive — build-time generator for install.exe.
//
// Appends to a program file the install archive that the installer carries:
// one member, "install.pif", a DOS program information file that runs
// COMMAND.COM in a window titled "Quillmarsh DOS shell". The multi-disk restart
// copies it out and runs the clean-up batch file through it.
//
//   make_install_archive PROGRAM.EXE      appends the archive (once: a program
//                                         that already ends in the trailer is
//                                         left as it is)
//   make_install_archive --pif OUT.PIF    writes the information file alone
//
// Archive layout (little-endian, offsets absolute in the program file):
//   "[Tarsk]" NUL | entry header (276 bytes) | member bytes | trailer (16 bytes)
//   entry header: next(4)=0, attributes(4)=0x20, DOS time(4), DOS date(4),
//                 size(4), name(256, NUL-padded)
//   trailer: "[Tarsk]" NUL, directory offset(4), second offset(4) = the same
//
// Program information file: a basic section of 0x171 bytes, followed by the
// "MICROSOFT PIFEX" heading and a "WINDOWS 386 3.0" section (16-byte name,
// next heading offset, data offset, data length; 0xFFFF ends the chain).
//
// Built and run with the host compiler; it uses only the standard library.
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

namespace {

constexpr char kMagic[8] = {'[', 'T', 'a', 'r', 's', 'k', ']', '\0'};
// 12 October 1993, 02:00:00.
constexpr uint32_t kDosDate = 0x1B4C;
constexpr uint32_t kDosTime = 0x1000;

void Put16(std::vector<uint8_t>& out, size_t at, uint32_t v) {
  out[at] = static_cast<uint8_t>(v);
  out[at + 1] = static_cast<uint8_t>(v >> 8);
}

void Append32(std::vector<uint8_t>& out, uint32_t v) {
  for (int i = 0; i < 4; ++i) out.push_back(static_cast<uint8_t>(v >> (8 * i)));
}

void PutText(std::vector<uint8_t>& out, size_t at, const std::string& text) {
  std::memcpy(out.data() + at, text.data(), text.size());
}

std::vector<uint8_t> MakePif() {
  constexpr size_t kBasicSize = 0x171;
  constexpr size_t kHeadingSize = 22;
  constexpr size_t kEnhancedSize = 0x68;
  std::vector<uint8_t> pif(kBasicSize + 2 * kHeadingSize + kEnhancedSize, 0);

  // Basic section.
  std::string title = "Quillmarsh DOS shell";
  title.resize(30, ' ');
  PutText(pif, 0x02, title);
  Put16(pif, 0x20, 640);  // memory required at most, KB
  Put16(pif, 0x22, 128);  // at least
  PutText(pif, 0x24, "COMMAND.COM");
  pif[0x63] = 0x10;  // close the window on exit
  pif[0xE6] = 1;     // screen pages
  pif[0xE8] = 0xFF;  // last interrupt vector
  pif[0xE9] = 25;    // rows
  pif[0xEA] = 80;    // columns
  uint8_t sum = 0;
  for (size_t i = 2; i < kBasicSize; ++i) sum = static_cast<uint8_t>(sum + pif[i]);
  pif[0x01] = sum;

  // Section headings.
  size_t heading = kBasicSize;
  PutText(pif, heading, "MICROSOFT PIFEX");
  Put16(pif, heading + 16, static_cast<uint32_t>(heading + kHeadingSize));
  Put16(pif, heading + 18, 0);
  Put16(pif, heading + 20, static_cast<uint32_t>(kBasicSize));
  heading += kHeadingSize;
  PutText(pif, heading, "WINDOWS 386 3.0");
  Put16(pif, heading + 16, 0xFFFF);
  Put16(pif, heading + 18, static_cast<uint32_t>(heading + kHeadingSize));
  Put16(pif, heading + 20, static_cast<uint32_t>(kEnhancedSize));

  // Enhanced-mode section: memory limits and priorities, windowed.
  size_t data = heading + kHeadingSize;
  Put16(pif, data + 0, 640);   // conventional memory at most
  Put16(pif, data + 2, 128);   // at least
  Put16(pif, data + 4, 100);   // foreground priority
  Put16(pif, data + 6, 50);    // background priority
  Put16(pif, data + 12, 1024); // XMS at most
  pif[data + 16] = 0x08;       // windowed
  return pif;
}

bool ReadFile(const char* path, std::vector<uint8_t>* out) {
  FILE* f = std::fopen(path, "rb");
  if (!f) return false;
  uint8_t buffer[65536];
  size_t n;
  while ((n = std::fread(buffer, 1, sizeof buffer, f)) > 0) out->insert(out->end(), buffer, buffer + n);
  bool ok = !std::ferror(f);
  std::fclose(f);
  return ok;
}

bool WriteFile(const char* path, const std::vector<uint8_t>& bytes, const char* mode) {
  FILE* f = std::fopen(path, mode);
  if (!f) return false;
  bool ok = std::fwrite(bytes.data(), 1, bytes.size(), f) == bytes.size();
  return std::fclose(f) == 0 && ok;
}

bool EndsWithTrailer(const std::vector<uint8_t>& program) {
  return program.size() >= 16 && std::memcmp(program.data() + program.size() - 16, kMagic, 8) == 0;
}

}  // namespace

int main(int argc, char** argv) {
  if (argc == 3 && std::strcmp(argv[1], "--pif") == 0) {
    if (WriteFile(argv[2], MakePif(), "wb")) return 0;
    std::fprintf(stderr, "make_install_archive: cannot write %s\n", argv[2]);
    return 1;
  }
  if (argc != 2) {
    std::fprintf(stderr, "usage: make_install_archive PROGRAM.EXE | --pif OUT.PIF\n");
    return 2;
  }
  std::vector<uint8_t> program;
  if (!ReadFile(argv[1], &program)) {
    std::fprintf(stderr, "make_install_archive: cannot read %s\n", argv[1]);
    return 1;
  }
  if (EndsWithTrailer(program)) return 0;

  const std::vector<uint8_t> pif = MakePif();
  const uint32_t archive_start = static_cast<uint32_t>(program.size());
  const uint32_t entry_offset = archive_start + 8;
  std::vector<uint8_t> archive(kMagic, kMagic + 8);
  Append32(archive, 0);  // next: the only entry
  Append32(archive, 0x20);
  Append32(archive, kDosTime);
  Append32(archive, kDosDate);
  Append32(archive, static_cast<uint32_t>(pif.size()));
  std::vector<uint8_t> name(256, 0);
  std::memcpy(name.data(), "install.pif", 11);
  archive.insert(archive.end(), name.begin(), name.end());
  archive.insert(archive.end(), pif.begin(), pif.end());
  archive.insert(archive.end(), kMagic, kMagic + 8);
  Append32(archive, entry_offset);
  Append32(archive, entry_offset);
  if (!WriteFile(argv[1], archive, "ab")) {
    std::fprintf(stderr, "make_install_archive: cannot append to %s\n", argv[1]);
    return 1;
  }
  return 0;
}
