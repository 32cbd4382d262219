// The large index the browser's benchmarks read: index lines as a disc
// carries them (an entry line, a continuation line and a rule), repeated
// until the file holds `size` bytes.
#pragma once

#include <algorithm>
#include <cstdio>
#include <string>

inline bool WriteBenchIndex(const std::string& path, long long size) {
  std::FILE* out = std::fopen(path.c_str(), "wb");
  if (!out) return false;
  std::string chunk;
  long long written = 0;
  bool ok = true;
  for (long long entry = 0; ok && written < size; ++entry) {
    char lines[256];
    int n = std::snprintf(lines, sizeof lines,
                          "file%07lld.zip  A program for the collection, number %lld\r\n"
                          "                 with a second line of description text\r\n"
                          "|---------------------------------------------------------|\r\n",
                          entry, entry);
    chunk.append(lines, static_cast<size_t>(n));
    if (chunk.size() >= (1u << 20) || written + static_cast<long long>(chunk.size()) >= size) {
      size_t take = static_cast<size_t>(std::min<long long>(static_cast<long long>(chunk.size()), size - written));
      ok = std::fwrite(chunk.data(), 1, take, out) == take;
      written += static_cast<long long>(take);
      chunk.clear();
    }
  }
  return std::fclose(out) == 0 && ok;
}
