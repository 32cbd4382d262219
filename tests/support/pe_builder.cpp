#include "tests/support/pe_builder.h"

#include <algorithm>

namespace test_support {
namespace {

constexpr uint32_t kPeOffset = 0x40;
constexpr uint32_t kFileAlignment = 0x200;
constexpr uint32_t kSectionAlignment = 0x1000;
constexpr uint32_t kResourceRva = 0x1000;

uint32_t AlignUp(uint32_t n, uint32_t a) { return (n + a - 1) / a * a; }

void Pad4(Bytes& out) {
  while (out.size() % 4) out.push_back(0);
}

void AppendUtf16(Bytes& out, const std::u16string& text) {
  for (char16_t c : text) AppendLe16(out, uint16_t(c));
  AppendLe16(out, 0);
}

std::u16string Widen(const std::string& text) { return std::u16string(text.begin(), text.end()); }

// One version block: header, key, value, children (each 4-aligned). The
// block's length leaves out the padding after its last byte.
struct VersionBlock {
  std::u16string key;
  uint16_t type = 1;
  Bytes value;
  uint16_t value_length = 0;  // characters for text values, bytes otherwise
  std::vector<VersionBlock> children;
};

Bytes Serialize(const VersionBlock& block) {
  Bytes out;
  AppendLe16(out, 0);  // length, filled below
  AppendLe16(out, block.value_length);
  AppendLe16(out, block.type);
  AppendUtf16(out, block.key);
  Pad4(out);
  out.insert(out.end(), block.value.begin(), block.value.end());
  for (const VersionBlock& child : block.children) {
    Pad4(out);
    Bytes bytes = Serialize(child);
    out.insert(out.end(), bytes.begin(), bytes.end());
  }
  PutLe16(out, 0, uint16_t(out.size()));
  return out;
}

Bytes FixedFileInfo() {
  Bytes out;
  AppendLe32(out, 0xFEEF04BD);  // signature
  AppendLe32(out, 0x00010000);  // structure version
  AppendLe32(out, 0x00010000);  // file version 1.0.0.0
  AppendLe32(out, 0);
  AppendLe32(out, 0x00010000);  // product version
  AppendLe32(out, 0);
  AppendLe32(out, 0x3F);        // flags mask
  AppendLe32(out, 0);           // flags
  AppendLe32(out, 0x00040004);  // VOS_NT_WINDOWS32
  AppendLe32(out, 2);           // VFT_DLL
  AppendLe32(out, 0);
  AppendLe32(out, 0);
  AppendLe32(out, 0);
  return out;
}

Bytes VersionInfoBlock(const std::string& table_name, const std::optional<std::u16string>& file_version) {
  VersionBlock root{u"VS_VERSION_INFO", 0, FixedFileInfo(), 52, {}};
  VersionBlock table{Widen(table_name), 1, {}, 0, {}};
  if (file_version) {
    Bytes text;
    AppendUtf16(text, *file_version);
    table.children.push_back(VersionBlock{u"FileVersion", 1, text, uint16_t(file_version->size() + 1), {}});
  }
  Bytes product;
  AppendUtf16(product, u"Fixture");
  table.children.push_back(VersionBlock{u"ProductName", 1, product, 8, {}});
  VersionBlock strings{u"StringFileInfo", 1, {}, 0, {table}};
  Bytes translation;
  AppendLe16(translation, 0x0409);
  AppendLe16(translation, 0x04E4);
  VersionBlock vars{u"VarFileInfo", 1, {}, 0, {VersionBlock{u"Translation", 0, translation, 4, {}}}};
  root.children = {strings, vars};
  return Serialize(root);
}

}  // namespace

Bytes BuildPeWithVersion(const PeVersionOptions& options, PeLayout* layout) {
  PeLayout where;
  const uint32_t optional_size = options.pe32_plus ? 240 : 224;
  where.pe_header = kPeOffset;
  where.optional_header = kPeOffset + 24;
  where.section_header = where.optional_header + optional_size;
  where.resource_directory_entry = where.optional_header + (options.pe32_plus ? 112 : 96) + 2 * 8;

  // --- Resource section -------------------------------------------------
  Bytes rsrc;
  auto directory = [&rsrc](uint16_t id_entries) {
    AppendLe32(rsrc, 0);
    AppendLe32(rsrc, 0);
    AppendLe16(rsrc, 4);
    AppendLe16(rsrc, 0);
    AppendLe16(rsrc, 0);           // named entries
    AppendLe16(rsrc, id_entries);  // id entries
  };
  if (options.with_version_resource) {
    // An earlier language's block (when asked for) comes first in the tree.
    std::vector<std::pair<uint16_t, Bytes>> blocks;
    if (options.earlier_language_version) {
      blocks.push_back({0x407, VersionInfoBlock(options.table, *options.earlier_language_version)});
    }
    blocks.push_back({options.language, VersionInfoBlock(options.table, options.file_version)});
    const uint32_t count = uint32_t(blocks.size());
    directory(1);
    AppendLe32(rsrc, 16);               // RT_VERSION
    AppendLe32(rsrc, 0x80000000u | 24);
    directory(1);
    AppendLe32(rsrc, 1);                // VS_VERSION_INFO
    AppendLe32(rsrc, 0x80000000u | 48);
    directory(uint16_t(count));
    const uint32_t leaves = 48 + 16 + 8 * count;
    for (uint32_t i = 0; i < count; ++i) {
      AppendLe32(rsrc, blocks[i].first);
      AppendLe32(rsrc, leaves + 16 * i);
    }
    uint32_t block_at = leaves + 16 * count;
    for (uint32_t i = 0; i < count; ++i) {
      AppendLe32(rsrc, kResourceRva + block_at);
      AppendLe32(rsrc, uint32_t(blocks[i].second.size()));
      AppendLe32(rsrc, 0);
      AppendLe32(rsrc, 0);
      block_at += AlignUp(uint32_t(blocks[i].second.size()), 8);
    }
    for (uint32_t i = 0; i < count; ++i) {
      // The last block is the one the layout describes.
      where.resource_data_entry = kFileAlignment + leaves + 16 * i;
      where.version_block = kFileAlignment + uint32_t(rsrc.size());
      rsrc.insert(rsrc.end(), blocks[i].second.begin(), blocks[i].second.end());
      while (rsrc.size() % 8) rsrc.push_back(0);
    }
  } else {
    directory(0);
  }
  const uint32_t rsrc_size = uint32_t(rsrc.size());

  // --- Headers ------------------------------------------------------------
  Bytes out(kFileAlignment, 0);
  out[0] = 'M';
  out[1] = 'Z';
  PutLe32(out, 0x3C, kPeOffset);
  out[kPeOffset] = 'P';
  out[kPeOffset + 1] = 'E';
  const uint32_t coff = kPeOffset + 4;
  PutLe16(out, coff + 0, options.pe32_plus ? 0x8664 : 0x014C);
  PutLe16(out, coff + 2, 1);  // sections
  PutLe16(out, coff + 16, uint16_t(optional_size));
  PutLe16(out, coff + 18, options.pe32_plus ? 0x2022 : 0x2102);  // DLL, executable

  const uint32_t opt = where.optional_header;
  const uint32_t image_size = kSectionAlignment + AlignUp(rsrc_size, kSectionAlignment);
  PutLe16(out, opt + 0, options.pe32_plus ? 0x20B : 0x10B);
  PutLe32(out, opt + 8, AlignUp(rsrc_size, kFileAlignment));  // initialised data
  if (options.pe32_plus) {
    PutLe32(out, opt + 24, 0x10000000);  // image base (low half)
  } else {
    PutLe32(out, opt + 28, 0x10000000);
  }
  PutLe32(out, opt + 32, kSectionAlignment);
  PutLe32(out, opt + 36, kFileAlignment);
  PutLe16(out, opt + 40, 4);  // OS version
  PutLe16(out, opt + 48, 4);  // subsystem version
  PutLe32(out, opt + 56, image_size);
  PutLe32(out, opt + 60, kFileAlignment);  // size of headers
  PutLe16(out, opt + 68, 2);               // GUI
  const uint32_t count_at = options.pe32_plus ? 108 : 92;
  PutLe32(out, opt + count_at, 16);
  PutLe32(out, where.resource_directory_entry, kResourceRva);
  PutLe32(out, where.resource_directory_entry + 4, rsrc_size);

  const uint32_t sec = where.section_header;
  const char name[8] = {'.', 'r', 's', 'r', 'c', 0, 0, 0};
  for (int i = 0; i < 8; ++i) out[sec + i] = uint8_t(name[i]);
  PutLe32(out, sec + 8, rsrc_size);
  PutLe32(out, sec + 12, kResourceRva);
  PutLe32(out, sec + 16, AlignUp(rsrc_size, kFileAlignment));
  PutLe32(out, sec + 20, kFileAlignment);
  PutLe32(out, sec + 36, 0x40000040);  // initialised data, readable

  out.insert(out.end(), rsrc.begin(), rsrc.end());
  out.resize(kFileAlignment + AlignUp(rsrc_size, kFileAlignment), 0);

  if (options.with_version_resource && options.file_version) {
    // The "FileVersion" block: its key follows the 6-byte block header.
    Bytes key;
    for (char16_t c : std::u16string(u"FileVersion")) AppendLe16(key, uint16_t(c));
    auto it = std::search(out.begin() + where.version_block, out.end(), key.begin(), key.end());
    if (it != out.end()) where.file_version_block = uint32_t(it - out.begin()) - 6;
  }
  if (layout) *layout = where;
  return out;
}

Bytes PeWithVersion(const std::string& version) {
  PeVersionOptions options;
  options.file_version = Widen(version);
  return BuildPeWithVersion(options);
}

}  // namespace test_support
