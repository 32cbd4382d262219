#include "install/sysedit/text_file.h"

#include <memory>

namespace install::sysedit {

std::string FromTextMode(std::string_view bytes) {
  const std::size_t end_of_file = bytes.find('\x1A');
  if (end_of_file != std::string_view::npos) bytes = bytes.substr(0, end_of_file);
  std::string text;
  text.reserve(bytes.size());
  for (std::size_t i = 0; i < bytes.size(); ++i) {
    if (bytes[i] == '\r' && i + 1 < bytes.size() && bytes[i + 1] == '\n') continue;
    text += bytes[i];
  }
  return text;
}

std::string ToTextMode(std::string_view text) {
  std::string bytes;
  bytes.reserve(text.size() + text.size() / 16 + 2);
  for (char c : text) {
    if (c == '\n') bytes += '\r';
    bytes += c;
  }
  return bytes;
}

std::vector<std::string> SplitLinePieces(std::string_view text, std::size_t unit) {
  std::vector<std::string> pieces;
  while (!text.empty()) {
    const std::size_t line_end = text.find('\n');
    const std::size_t line_length = line_end == std::string_view::npos ? text.size() : line_end + 1;
    const std::size_t length = line_length < unit ? line_length : unit;
    pieces.emplace_back(text.substr(0, length));
    text.remove_prefix(length);
  }
  return pieces;
}

std::string_view WithoutLineEnd(std::string_view line) {
  if (!line.empty() && line.back() == '\n') line.remove_suffix(1);
  return line;
}

std::optional<std::string> ReadFileBytes(os::Machine& machine, const std::string& path) {
  std::unique_ptr<os::File> file = machine.Open(path, os::OpenMode::Read);
  if (!file) return std::nullopt;
  std::string bytes;
  char buffer[4096];
  for (int32_t got; (got = file->Read(buffer, sizeof buffer)) != 0;) {
    if (got < 0) return std::nullopt;
    bytes.append(buffer, static_cast<std::size_t>(got));
  }
  return bytes;
}

TextFileState ReadTextFile(os::Machine& machine, const std::string& path, std::string* text) {
  text->clear();
  std::optional<std::string> bytes = ReadFileBytes(machine, path);
  if (bytes) {
    *text = FromTextMode(*bytes);
    return TextFileState::kRead;
  }
  return machine.GetAttributes(path) == os::kInvalidAttributes ? TextFileState::kMissing
                                                               : TextFileState::kUnreadable;
}

bool WriteWholeFile(os::Machine& machine, const std::string& path, std::string_view bytes) {
  std::unique_ptr<os::File> file = machine.Open(path, os::OpenMode::Create);
  if (!file) return false;
  if (bytes.empty()) return true;
  return file->Write(bytes.data(), static_cast<uint32_t>(bytes.size())) == static_cast<int32_t>(bytes.size());
}

std::string TemporaryFileBeside(const std::string& path) {
  const std::size_t slash = path.rfind('\\');
  if (slash == std::string::npos) return kTemporaryFileName;
  return path.substr(0, slash + 1) + kTemporaryFileName;
}

namespace {

bool Exists(os::Machine& machine, const std::string& path) {
  return machine.GetAttributes(path) != os::kInvalidAttributes;
}

// The new bytes in the temporary file beside `path`; false (and no
// temporary file) when they cannot all be written.
bool WriteTemporary(os::Machine& machine, const std::string& temporary, std::string_view bytes) {
  machine.DeleteFile(temporary);
  if (WriteWholeFile(machine, temporary, bytes)) return true;
  machine.DeleteFile(temporary);
  return false;
}

}  // namespace

bool ReplaceFile(os::Machine& machine, const std::string& path, std::string_view bytes) {
  const std::string temporary = TemporaryFileBeside(path);
  if (!WriteTemporary(machine, temporary, bytes)) return false;
  if (machine.MoveFileReplacing(temporary, path)) return true;
  machine.DeleteFile(temporary);
  return false;
}

bool ReplaceFileKeepingBackup(os::Machine& machine, const std::string& path, const std::string& backup,
                              std::string_view bytes) {
  const std::string temporary = TemporaryFileBeside(path);
  if (!WriteTemporary(machine, temporary, bytes)) return false;
  machine.DeleteFile(backup);
  const bool had_old = Exists(machine, path);
  // An earlier backup that stays would later be taken for this one.
  if (Exists(machine, backup) || (had_old && !machine.MoveFile(path, backup))) {
    machine.DeleteFile(temporary);
    return false;
  }
  if (machine.MoveFile(temporary, path)) return true;
  if (had_old) machine.MoveFile(backup, path);
  machine.DeleteFile(temporary);
  return false;
}

void PutBackBackup(os::Machine& machine, const std::string& path, const std::string& backup) {
  machine.DeleteFile(path);
  machine.MoveFile(backup, path);
}

}  // namespace install::sysedit
