#include "install/script/conditions.h"

#include <charconv>
#include <cstdint>
#include <vector>

#include "install/os/ascii_case.h"
#include "install/script/file_conditions.h"
#include "install/script/macros.h"

namespace install::script {
namespace {

constexpr char kNoVersion[] = "0.0.0.0";
constexpr std::size_t kServerPathCapacity = 998;  // a 999-byte buffer
constexpr std::size_t kLocateDirCapacity = 499;
constexpr int kMaxGroupNumbers = 100;

bool Is(std::string_view word, std::string_view name) { return os::EqualsIgnoringCase(word, name); }

template <typename T>
int OrderOf(T left, T right) {
  return left < right ? -1 : (left > right ? 1 : 0);
}

int Truth(bool value) { return value ? 1 : 0; }

// Leading decimal digits as an unsigned number, saturated; 0 without digits.
uint64_t LeadingUnsigned(std::string_view text) {
  uint64_t value = 0;
  for (char c : text) {
    if (!os::IsDecimalDigit(c)) break;
    value = value > (UINT64_MAX - 9) / 10 ? UINT64_MAX : value * 10 + static_cast<uint64_t>(c - '0');
  }
  return value;
}

int IsFile(ScriptCursor& cursor, const InstallPlan& plan, os::Machine& machine) {
  std::string path;
  cursor.ReadText(path);
  if (path.empty()) return -1;
  ExpandPrefix(path, plan.macros);
  return Truth(FileExists(machine, path));
}

int Search(ScriptCursor& cursor, InstallPlan& plan, os::Machine& machine) {
  if (cursor.AtEnd()) return -1;
  std::string text, path, prefix;
  cursor.ReadText(text);
  if (cursor.AtEnd()) return -1;
  cursor.ReadText(path);
  cursor.ReadText(prefix);
  ExpandAll(text, plan.macros);
  ExpandPrefix(path, plan.macros);
  std::optional<TextHit> hit = SearchTextFile(machine, path, text, prefix);
  if (!hit) return 0;
  SearchResults& results = plan.macros.search;
  results.line_number = std::to_string(hit->line_number);
  results.left = hit->left.substr(0, kSearchResultCapacity);
  results.right = hit->right.substr(0, kSearchResultCapacity);
  return 1;
}

// Any other word, compared as text with the value after the operator.
int CompareWord(ScriptCursor& cursor, const std::string& word) {
  const Comparison comparison = ReadOperator(cursor);
  if (comparison == Comparison::Invalid) return -1;
  std::string value;
  cursor.ReadQuoted(value);
  if (value.empty()) cursor.ReadWord(value);
  return Truth(OrderSatisfies(comparison, os::CompareIgnoringCase(word, value)));
}

int GroupCondition(ScriptCursor& cursor, const InstallPlan& plan) {
  if (!cursor.TakeEquals()) return -1;
  bool selected = false;
  int count = 0;
  for (std::string number; cursor.ReadWord(number), !number.empty();) {
    if (number.size() > 2 || !os::IsDecimalDigit(number[0]) || ++count > kMaxGroupNumbers) return -1;
    const int item = plan.group_map.ItemOf(static_cast<int>(LeadingUnsigned(number)));
    if (item >= 0 && static_cast<std::size_t>(item) < plan.group_selected.size() &&
        plan.group_selected[static_cast<std::size_t>(item)]) {
      selected = true;
    }
  }
  return Truth(selected);
}

// "$ASKn" with n from 1 to 5: the answer against a quoted text, or within a
// range of numbers.
int AnswerCondition(ScriptCursor& cursor, const InstallPlan& plan, const std::string& word) {
  if (word.size() < 5 || word[4] < '1' || word[4] > '5') return -1;
  const std::string& answer = plan.macros.answers[static_cast<std::size_t>(word[4] - '1')];
  const Comparison comparison = ReadOperator(cursor);
  if (comparison == Comparison::Invalid) return -1;
  std::string text;
  if (cursor.ReadQuotedRequired(text) >= 0) {
    // Equality is exact; the orderings ignore letter case.
    if (comparison == Comparison::Equal) return Truth(answer == text);
    if (comparison == Comparison::NotEqual) return Truth(answer != text);
    return Truth(OrderSatisfies(comparison, os::CompareIgnoringCase(answer, text)));
  }
  std::string range, low, high;
  cursor.ReadWord(range);
  if (!Is(range, "range")) return -1;
  cursor.ReadWord(low);
  cursor.ReadWord(high);
  if (low.empty() || high.empty()) return -1;
  const double value = DecimalFraction(answer);
  return Truth(DecimalFraction(low) <= value && value <= DecimalFraction(high));
}

}  // namespace

Comparison ReadOperator(ScriptCursor& cursor) {
  cursor.SkipSeparatorsA();
  const uint32_t at = cursor.Position();
  const char first = cursor.Current();
  if (first == '\0') return Comparison::Invalid;
  const char second = cursor.CharAt(at + 1);
  if (second == '=' || second == '>') {
    cursor.SetPosition(at + 2);
    if (first == '=' && second == '=') return Comparison::Equal;
    if (first == '>' && second == '=') return Comparison::GreaterOrEqual;
    if (first == '<' && second == '=') return Comparison::LessOrEqual;
    if (first == '<' && second == '>') return Comparison::NotEqual;
    return Comparison::Invalid;
  }
  cursor.SetPosition(at + 1);
  switch (first) {
    case '=': return Comparison::Equal;
    case '>': return Comparison::Greater;
    case '<': return Comparison::Less;
    default: return Comparison::Invalid;
  }
}

bool OrderSatisfies(Comparison comparison, int order) {
  switch (comparison) {
    case Comparison::Equal: return order == 0;
    case Comparison::Greater: return order > 0;
    case Comparison::Less: return order < 0;
    case Comparison::GreaterOrEqual: return order >= 0;
    case Comparison::LessOrEqual: return order <= 0;
    case Comparison::NotEqual: return order != 0;
    default: return false;
  }
}

double DecimalFraction(std::string_view text) {
  // The leading number alone, read with correct rounding so that "3.95"
  // equals the machine's version made from the text "3.95".
  std::size_t i = 0;
  const bool negative = i < text.size() && text[i] == '-';
  if (i < text.size() && (text[i] == '-' || text[i] == '+')) ++i;
  std::string whole, fraction;
  for (; i < text.size() && os::IsDecimalDigit(text[i]); ++i) whole.push_back(text[i]);
  if (i < text.size() && text[i] == '.') {
    for (++i; i < text.size() && os::IsDecimalDigit(text[i]); ++i) fraction.push_back(text[i]);
  }
  if (whole.empty() && fraction.empty()) return 0;
  std::string number = whole.empty() ? std::string("0") : whole;
  if (!fraction.empty()) number += "." + fraction;
  double value = 0;
  std::from_chars(number.data(), number.data() + number.size(), value);
  return negative ? -value : value;
}

uint64_t ColorCount(int color_bits) {
  if (color_bits <= 0) return 1;
  return uint64_t{1} << (color_bits > 32 ? 32 : color_bits);
}

bool DisplayMatches(DisplayForm form, bool less, const os::DisplayMode& display, uint64_t colors,
                    uint64_t width, uint64_t height) {
  const uint64_t have_colors = ColorCount(display.color_bits);
  const uint64_t have_width = display.width > 0 ? static_cast<uint64_t>(display.width) : 0;
  const uint64_t have_height = display.height > 0 ? static_cast<uint64_t>(display.height) : 0;
  switch (form) {
    case DisplayForm::Colors:
      return less ? have_colors <= colors : have_colors >= colors;
    case DisplayForm::Resolution:
      return less ? have_height <= height && have_width < width
                  : have_height >= height && have_width >= width;
    case DisplayForm::Both:
      return less ? have_colors <= colors && have_height < height && have_width < width
                  : have_colors >= colors && have_height >= height && have_width >= width;
  }
  return false;
}

int MachineConditions::Evaluate(ScriptCursor& cursor, ScriptParser& parser) {
  InstallPlan& plan = parser.plan();
  std::string word;
  cursor.ReadWordB(word);
  if (Is(word, "group") || os::StartsWithIgnoringCase(word, "$ask")) return parser.CaptureDeferredBlock();
  if (Is(word, "isfile")) return IsFile(cursor, plan, services_.machine);
  if (Is(word, "ocxfilever")) return ComponentVersion(cursor);
  if (Is(word, "search")) return Search(cursor, plan, services_.machine);
  if (Is(word, "locate")) return Locate(cursor, plan);
  if (Is(word, "videocolor") || Is(word, "videoresolution") || Is(word, "video")) return Display(cursor, word);
  if (Is(word, "memory")) return Memory(cursor);
  if (Is(word, "winver")) return Version(cursor, plan.windows_version);
  if (Is(word, "dosver")) return Version(cursor, plan.dos_version);
  return CompareWord(cursor, word);
}

int MachineConditions::EvaluateDeferred(ScriptCursor& cursor, ScriptParser& parser) {
  const InstallPlan& plan = parser.plan();
  std::string word;
  cursor.ReadWord(word);
  if (Is(word, "group")) return GroupCondition(cursor, plan);
  if (os::StartsWithIgnoringCase(word, "$ASK")) return AnswerCondition(cursor, plan, word);
  return -1;
}

int MachineConditions::Version(ScriptCursor& cursor, double machine_version) {
  const Comparison comparison = ReadOperator(cursor);
  if (comparison == Comparison::Invalid) return -1;
  std::string number;
  cursor.ReadWordB(number);
  if (number.empty()) return -1;
  if (comparison == Comparison::Equal && Is(number, "range")) {
    std::string low, high;
    cursor.ReadWordB(low);
    cursor.ReadWordB(high);
    if (low.empty() || high.empty()) return -1;
    return Truth(DecimalFraction(low) <= machine_version && machine_version <= DecimalFraction(high));
  }
  return Truth(OrderSatisfies(comparison, OrderOf(machine_version, DecimalFraction(number))));
}

// Kilobytes in the script, bytes on the machine.
int MachineConditions::Memory(ScriptCursor& cursor) {
  const Comparison comparison = ReadOperator(cursor);
  if (comparison == Comparison::Invalid) return -1;
  cursor.SkipSeparatorsA();
  if (cursor.AtEnd()) return -1;
  const int32_t kilobytes = cursor.ReadNumber();
  if (kilobytes < 0) return -1;
  const uint64_t wanted = static_cast<uint64_t>(kilobytes) * 1024;
  const uint64_t total = services_.system.TotalPhysicalMemory();
  return Truth(OrderSatisfies(comparison, OrderOf(total, wanted)));
}

// "videocolor OP C", "videoresolution OP W H", "video OP C | W H | C W H".
// Only the operator's first character counts ("<" or ">"); a number written
// against it ("<640") is the first number, and an "=" after it is passed over.
int MachineConditions::Display(ScriptCursor& cursor, const std::string& kind) {
  std::string op;
  cursor.ReadWordB(op);
  if (op.empty() || (op[0] != '<' && op[0] != '>')) return -1;
  if (op.size() == 1) cursor.TakeEquals();
  std::vector<uint64_t> numbers;
  if (op.size() > 1) numbers.push_back(LeadingUnsigned(std::string_view(op).substr(1)));
  for (std::string word; numbers.size() < 3 && (cursor.ReadWordB(word), !word.empty());) {
    numbers.push_back(LeadingUnsigned(word));
  }
  DisplayForm form;
  uint64_t colors = 0, width = 0, height = 0;
  const std::size_t count = numbers.size();
  if (Is(kind, "videocolor") || (Is(kind, "video") && count == 1)) {
    if (count < 1) return -1;
    form = DisplayForm::Colors;
    colors = numbers[0];
  } else if (Is(kind, "videoresolution") || (Is(kind, "video") && count == 2)) {
    if (count < 2) return -1;
    form = DisplayForm::Resolution;
    width = numbers[0];
    height = numbers[1];
  } else if (count == 3) {
    form = DisplayForm::Both;
    colors = numbers[0];
    width = numbers[1];
    height = numbers[2];
  } else {
    return -1;
  }
  return Truth(DisplayMatches(form, op[0] == '<', services_.system.GetDisplayMode(), colors, width, height));
}

// "ocxfilever CLSID 16|32 OP VERSION": the file version of the component's
// in-process server, compared as text.
int MachineConditions::ComponentVersion(ScriptCursor& cursor) {
  std::string clsid, bits, version;
  cursor.ReadText(clsid);
  if (clsid.empty()) return -1;
  cursor.ReadWord(bits);
  if (bits != "16" && bits != "32") return -1;
  const Comparison comparison = ReadOperator(cursor);
  if (comparison == Comparison::Invalid) return -1;
  cursor.ReadText(version);
  if (version.empty()) return -1;
  std::string installed;
  const std::string server = InstalledServer(clsid, bits == "32");
  if (server.empty() || !services_.machine.GetFileVersionText(server, &installed) || installed.empty()) {
    installed = kNoVersion;
  }
  return Truth(OrderSatisfies(comparison, os::CompareIgnoringCase(installed, version)));
}

// The path registered for the component's in-process server; empty when
// there is none.
std::string MachineConditions::InstalledServer(const std::string& clsid, bool thirty_two) {
  if (!services_.registry) return {};
  std::string key = "CLSID\\";
  if (clsid.front() != '{') key += '{';
  key += clsid;
  if (clsid.back() != '}') key += '}';
  key += thirty_two ? "\\InprocServer32" : "\\InprocServer";
  std::unique_ptr<os::RegistryKey> opened = services_.registry->OpenKeyForReading(os::kHkeyClassesRoot, key);
  os::RegistryData data;
  if (!opened || !opened->QueryValue("", &data)) return {};
  std::string path(data.bytes.begin(), data.bytes.end());
  path = path.substr(0, path.find('\0'));
  if (path.size() > kServerPathCapacity) path.resize(kServerPathCapacity);
  return path;
}

// "locate FILE [DRIVES]": the please-wait box, then the drives searched.
int MachineConditions::Locate(ScriptCursor& cursor, InstallPlan& plan) {
  std::string pattern, drives;
  cursor.ReadText(pattern);
  if (pattern.empty()) return -1;
  cursor.ReadWord(drives);
  std::optional<DriveSpec> spec = ParseDriveSpec(drives);
  if (!spec) return -1;
  services_.desktop.ShowPleaseWait(plan.prompts.locate);
  const char source_drive = plan.macros.source_drive.empty() ? '\0' : plan.macros.source_drive[0];
  std::optional<std::string> found = LocateFile(services_.machine, pattern, *spec, source_drive);
  plan.found = Truth(found.has_value());
  if (!found) return 0;
  plan.macros.Set(Macro::LocateDir, found->substr(0, kLocateDirCapacity));
  plan.macros.Set(Macro::LocateDrive, found->substr(0, 1));
  return 1;
}

int ReplayDeferredBlocks(InstallPlan& plan, const ParserServices& services) {
  for (std::size_t i = 0; i < plan.deferred_blocks.size(); ++i) {
    // A copy: the replay may add to the plan's lists.
    const DeferredBlock block = plan.deferred_blocks[i];
    ScriptParser parser(plan, services);
    if (parser.ParseDeferredBlock(block) != 0) return -1;
  }
  return 0;
}

}  // namespace install::script
