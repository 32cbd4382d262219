#include "install/os/pe_version.h"

#include <algorithm>
#include <cstring>
#include <vector>

namespace install::os {
namespace {

// Field offsets.
constexpr uint32_t kDosHeaderSize = 64;
constexpr uint32_t kPeHeaderOffsetAt = 0x3C;
constexpr uint32_t kFileHeaderSize = 24;  // "PE\0\0" and the file header
constexpr uint32_t kSectionCountAt = 6;
constexpr uint32_t kOptionalHeaderSizeAt = 20;
constexpr uint16_t kPe32Magic = 0x10B;
constexpr uint16_t kPe32PlusMagic = 0x20B;
constexpr uint32_t kSectionHeaderSize = 40;
constexpr uint32_t kResourceDirectoryIndex = 2;
constexpr uint32_t kResourceDirectorySize = 16;
constexpr uint32_t kResourceEntrySize = 8;
constexpr uint32_t kResourceDataEntrySize = 16;
constexpr uint32_t kVersionResourceType = 16;
constexpr uint32_t kSubdirectoryBit = 0x80000000u;
constexpr uint32_t kNamedEntryBit = 0x80000000u;
// The format allows 96 sections; a few more do no harm.
constexpr uint32_t kMaxSections = 256;
constexpr uint32_t kMaxEntriesPerDirectory = 4096;
constexpr uint32_t kBlockHeaderSize = 6;
constexpr uint32_t kUsEnglish = 0x409;
constexpr uint32_t kNeutralLanguage = 0;

uint16_t Le16(const uint8_t* p) { return static_cast<uint16_t>(p[0] | p[1] << 8); }
uint32_t Le32(const uint8_t* p) {
  return uint32_t(p[0]) | uint32_t(p[1]) << 8 | uint32_t(p[2]) << 16 | uint32_t(p[3]) << 24;
}

struct Section {
  uint32_t virtual_address = 0;
  uint32_t raw_size = 0;
  uint32_t raw_offset = 0;
};

class PeFile {
 public:
  PeFile(const PeReadAt& read_at, uint64_t size) : read_at_(read_at), size_(size) {}

  bool Read(uint64_t offset, void* out, uint32_t count) const {
    if (offset > size_ || count > size_ - offset) return false;
    return read_at_(offset, out, count);
  }

  bool LoadHeaders() {
    uint8_t dos[kDosHeaderSize];
    if (!Read(0, dos, sizeof dos) || dos[0] != 'M' || dos[1] != 'Z') return false;
    uint64_t pe = Le32(dos + kPeHeaderOffsetAt);
    uint8_t file_header[kFileHeaderSize];
    if (!Read(pe, file_header, sizeof file_header)) return false;
    if (std::memcmp(file_header, "PE\0\0", 4) != 0) return false;
    uint32_t section_count = Le16(file_header + kSectionCountAt);
    uint32_t optional_size = Le16(file_header + kOptionalHeaderSizeAt);
    if (section_count == 0 || section_count > kMaxSections) return false;

    std::vector<uint8_t> optional(optional_size);
    if (optional_size < 2 || !Read(pe + kFileHeaderSize, optional.data(), optional_size)) return false;
    uint32_t count_at, entries_at;
    uint16_t magic = Le16(optional.data());
    if (magic == kPe32Magic) {
      count_at = 92;
      entries_at = 96;
    } else if (magic == kPe32PlusMagic) {
      count_at = 108;
      entries_at = 112;
    } else {
      return false;
    }
    uint32_t resource_entry_at = entries_at + kResourceDirectoryIndex * 8;
    if (optional_size < resource_entry_at + 8) return false;
    if (Le32(optional.data() + count_at) <= kResourceDirectoryIndex) return false;
    resource_rva_ = Le32(optional.data() + resource_entry_at);
    resource_size_ = Le32(optional.data() + resource_entry_at + 4);
    if (resource_rva_ == 0 || resource_size_ < kResourceDirectorySize) return false;

    uint64_t table = pe + kFileHeaderSize + optional_size;
    for (uint32_t i = 0; i < section_count; ++i) {
      uint8_t header[kSectionHeaderSize];
      if (!Read(table + uint64_t(i) * kSectionHeaderSize, header, sizeof header)) return false;
      sections_.push_back(Section{Le32(header + 12), Le32(header + 16), Le32(header + 20)});
    }
    return true;
  }

  // The file offset of `rva` and how many bytes of its section follow it in
  // the file; false when no section holds it.
  bool MapRva(uint32_t rva, uint64_t* offset, uint64_t* available) const {
    for (const Section& s : sections_) {
      if (rva < s.virtual_address) continue;
      uint64_t into = uint64_t(rva) - s.virtual_address;
      if (into >= s.raw_size) continue;
      uint64_t start = uint64_t(s.raw_offset) + into;
      if (start >= size_) return false;
      *offset = start;
      *available = std::min<uint64_t>(s.raw_size - into, size_ - start);
      return true;
    }
    return false;
  }

  // The version resource's bytes.
  bool ReadVersionResource(std::vector<uint8_t>* out) {
    uint64_t base, available;
    if (!MapRva(resource_rva_, &base, &available)) return false;
    resource_base_ = base;
    resource_length_ = std::min<uint64_t>(available, resource_size_);

    uint32_t names;
    if (!FindEntry(0, /*want_id=*/true, kVersionResourceType, /*want_subdirectory=*/true, &names)) {
      return false;
    }
    uint32_t languages;
    if (!FindEntry(names, false, 0, true, &languages)) return false;
    // The language an English system's lookup settles on: US English (the
    // language of the tables asked for), else neutral, else the first.
    uint32_t data_entry;
    if (!FindEntry(languages, true, kUsEnglish, false, &data_entry) &&
        !FindEntry(languages, true, kNeutralLanguage, false, &data_entry) &&
        !FindEntry(languages, false, 0, false, &data_entry)) {
      return false;
    }

    uint8_t leaf[kResourceDataEntrySize];
    if (!ReadResource(data_entry, leaf, sizeof leaf)) return false;
    uint32_t data_rva = Le32(leaf), data_size = Le32(leaf + 4);
    if (data_size < kBlockHeaderSize || data_size > kMaxVersionResourceSize) return false;
    uint64_t data_offset, data_available;
    if (!MapRva(data_rva, &data_offset, &data_available) || data_size > data_available) return false;
    out->resize(data_size);
    return Read(data_offset, out->data(), data_size);
  }

 private:
  bool ReadResource(uint32_t offset, void* out, uint32_t count) const {
    if (offset > resource_length_ || count > resource_length_ - offset) return false;
    return Read(resource_base_ + offset, out, count);
  }

  // In the resource directory at `directory`: the first entry with id `id`
  // (want_id) or the first entry at all, whose target is a subdirectory
  // (want_subdirectory) or a data entry. *target: its offset in the resources.
  bool FindEntry(uint32_t directory, bool want_id, uint32_t id, bool want_subdirectory,
                 uint32_t* target) const {
    uint8_t header[kResourceDirectorySize];
    if (!ReadResource(directory, header, sizeof header)) return false;
    uint32_t count = uint32_t(Le16(header + 12)) + Le16(header + 14);
    if (count > kMaxEntriesPerDirectory) return false;
    for (uint32_t i = 0; i < count; ++i) {
      uint8_t entry[kResourceEntrySize];
      uint64_t at = uint64_t(directory) + kResourceDirectorySize + uint64_t(i) * kResourceEntrySize;
      if (at > UINT32_MAX || !ReadResource(uint32_t(at), entry, sizeof entry)) return false;
      uint32_t name = Le32(entry), offset = Le32(entry + 4);
      if (want_id && ((name & kNamedEntryBit) || name != id)) continue;
      bool is_subdirectory = (offset & kSubdirectoryBit) != 0;
      if (is_subdirectory != want_subdirectory) continue;
      *target = offset & ~kSubdirectoryBit;
      return true;
    }
    return false;
  }

  const PeReadAt& read_at_;
  uint64_t size_;
  uint32_t resource_rva_ = 0;
  uint32_t resource_size_ = 0;
  uint64_t resource_base_ = 0;
  uint64_t resource_length_ = 0;
  std::vector<Section> sections_;
};

uint32_t AlignUp4(uint32_t n) { return (n + 3u) & ~3u; }

// One block of the version tree, inside [start, start + length).
struct Block {
  uint32_t start = 0;
  uint32_t end = 0;
  uint16_t value_length = 0;
  uint16_t type = 0;
  std::u16string key;
  uint32_t value_start = 0;
  uint32_t children_start = 0;
};

bool ParseBlock(const std::vector<uint8_t>& data, uint32_t start, uint32_t limit, Block* block) {
  if (start > limit || limit - start < kBlockHeaderSize) return false;
  uint16_t length = Le16(data.data() + start);
  if (length < kBlockHeaderSize || length > limit - start) return false;
  block->start = start;
  block->end = start + length;
  block->value_length = Le16(data.data() + start + 2);
  block->type = Le16(data.data() + start + 4);
  block->key.clear();
  uint32_t at = start + kBlockHeaderSize;
  while (true) {
    if (block->end - at < 2) return false;  // no NUL inside the block
    char16_t c = static_cast<char16_t>(Le16(data.data() + at));
    at += 2;
    if (c == 0) break;
    block->key.push_back(c);
  }
  block->value_start = std::min(AlignUp4(at), block->end);
  uint32_t value_bytes = block->type == 1 ? uint32_t(block->value_length) * 2 : block->value_length;
  uint64_t after_value = uint64_t(block->value_start) + value_bytes;
  block->children_start =
      after_value >= block->end ? block->end : std::min(AlignUp4(uint32_t(after_value)), block->end);
  return true;
}

bool KeyEquals(const std::u16string& key, const char* wanted) {
  size_t n = std::strlen(wanted);
  if (key.size() != n) return false;
  for (size_t i = 0; i < n; ++i) {
    char16_t a = key[i];
    char b = wanted[i];
    if (a >= 'a' && a <= 'z') a = static_cast<char16_t>(a - 'a' + 'A');
    if (b >= 'a' && b <= 'z') b = static_cast<char>(b - 'a' + 'A');
    if (a != static_cast<unsigned char>(b)) return false;
  }
  return true;
}

// The child of `parent` whose key is `wanted`.
bool FindChild(const std::vector<uint8_t>& data, const Block& parent, const char* wanted,
               Block* child) {
  uint32_t at = parent.children_start;
  while (at < parent.end) {
    Block candidate;
    if (!ParseBlock(data, at, parent.end, &candidate)) return false;
    if (KeyEquals(candidate.key, wanted)) {
      *child = candidate;
      return true;
    }
    at = AlignUp4(candidate.end);
  }
  return false;
}

bool FindVersionText(const std::vector<uint8_t>& data, const char* table, std::string* text) {
  Block root, string_info, string_table, value;
  if (!ParseBlock(data, 0, static_cast<uint32_t>(data.size()), &root)) return false;
  if (!FindChild(data, root, "StringFileInfo", &string_info)) return false;
  if (!FindChild(data, string_info, table, &string_table)) return false;
  if (!FindChild(data, string_table, "FileVersion", &value)) return false;
  // The text runs to its NUL, never past its block; the recorded length is
  // not trusted (writers disagree on whether it counts bytes or characters).
  std::string out;
  if (value.value_length > 0) {
    for (uint32_t at = value.value_start; value.end - at >= 2; at += 2) {
      uint16_t c = Le16(data.data() + at);
      if (c == 0) break;
      if (out.size() < kVersionTextCapacity) out.push_back(c <= 0xFF ? static_cast<char>(c) : '?');
    }
  }
  *text = out;
  return true;
}

}  // namespace

bool ReadPeVersionText(const PeReadAt& read_at, uint64_t file_size, std::string* text) {
  PeFile file(read_at, file_size);
  std::vector<uint8_t> resource;
  if (!file.LoadHeaders() || !file.ReadVersionResource(&resource)) return false;
  return FindVersionText(resource, "040904E4", text) || FindVersionText(resource, "040904B0", text);
}

bool ReadPeVersionText(const uint8_t* data, size_t size, std::string* text) {
  PeReadAt read_at = [data, size](uint64_t offset, void* out, uint32_t count) {
    if (offset > size || count > size - offset) return false;
    std::memcpy(out, data + offset, count);
    return true;
  };
  return ReadPeVersionText(read_at, size, text);
}

}  // namespace install::os
