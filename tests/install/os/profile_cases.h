// Cases of the profile functions, run against the host model natively
// (host_profile_test.cpp) and against the system's own functions under Wine
// (win32/win32_profile_test.cpp): the same calls, the same results, the same
// bytes on disk.
#pragma once

#include <gtest/gtest.h>

#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "install/os/profile.h"

namespace install::os::testing {

using namespace std::string_literals;

struct ProfileCall {
  enum Kind { kGet, kWrite } kind;
  const char* section;
  const char* key;
  const char* text;          // the default of a kGet, the value of a kWrite
  uint32_t buffer_size;      // kGet only
  std::string expected;      // kGet: the result; kWrite: "true" or "false"
};

inline ProfileCall Get(const char* section, const char* key, std::string expected,
                       uint32_t buffer_size = 998, const char* default_text = "~Tarsk") {
  return {ProfileCall::kGet, section, key, default_text, buffer_size, std::move(expected)};
}
inline ProfileCall Write(const char* section, const char* key, const char* value, bool expected = true) {
  return {ProfileCall::kWrite, section, key, value, 0, expected ? "true" : "false"};
}

struct ProfileCase {
  const char* name;
  std::optional<std::string> before;  // nullopt: no file at the start
  bool directory = false;             // a directory takes the file's place
  std::vector<ProfileCall> calls;
  std::optional<std::string> after;   // nullopt: no file at the end
};

inline std::vector<ProfileCase> ProfileCases() {
  const std::string extensions =
      "[Extensions]\r\ntxt=write.exe ^.txt\r\ndoc = winword.exe ^.doc \r\n\r\n; comment\r\n"
      "[Other]\r\nx=1";
  return {
      {"LookupsOfKeysSectionsAndTheirAbsence",
       extensions,
       false,
       {Get("Extensions", nullptr, "txt\0doc\0"s), Get("extensions", "TXT", "write.exe ^.txt"),
        Get(" extensions ", " doc ", "winword.exe ^.doc"), Get("Missing", nullptr, "~Tarsk"),
        Get("Other", "y", "~Tarsk"), Get(nullptr, nullptr, "Extensions\0Other\0"s),
        Get("Other", "", "~Tarsk"), Get("Other", "y", "dflt", 998, "dflt  "),
        Get("Missing", nullptr, "dflt  ", 998, "dflt  ")},
       extensions},
      {"AReplacedValueRewritesTheFileWithoutEmptyLines",
       extensions,
       false,
       {Write("Extensions", "txt", "notepad.exe ^.txt")},
       "[Extensions]\r\ntxt=notepad.exe ^.txt\r\ndoc=winword.exe ^.doc\r\n; comment\r\n[Other]\r\nx=1\r\n"},
      {"ANewKeyGoesAtTheEndOfItsSection",
       extensions,
       false,
       {Write("EXTENSIONS", "bmp", "pbrush.exe ^.bmp")},
       "[Extensions]\r\ntxt=write.exe ^.txt\r\ndoc=winword.exe ^.doc\r\n; comment\r\nbmp=pbrush.exe ^.bmp\r\n"
       "[Other]\r\nx=1\r\n"},
      {"ANewSectionGoesAtTheEndOfTheFile",
       "[Extensions]\r\ntxt=write.exe ^.txt\r\n\r\n[Other]\r\nx=1\r\n",
       false,
       {Get("New", nullptr, "~Tarsk"), Write("New", "k", "v"), Get("new", nullptr, "k\0"s)},
       "[Extensions]\r\ntxt=write.exe ^.txt\r\n[Other]\r\nx=1\r\n[New]\r\nk=v\r\n"},
      {"AMissingFileIsCreatedByTheFirstWrite",
       std::nullopt,
       false,
       {Get("S", nullptr, "~Tarsk"), Get("S", "k", "~Tarsk"), Write("S", "k", "v")},
       "[S]\r\nk=v\r\n"},
      {"QuotesEmptySectionsAndTheBufferLimit",
       "[Empty]\r\n[Q]\r\nq=\"quoted\"\r\nr='x\r\nlong=0123456789\r\n",
       false,
       {Get("Empty", nullptr, "~Tarsk"), Get("Q", "q", "quoted"), Get("Q", "q", "quoted", 8),
        Get("Q", "q", "quote", 7), Get("Q", "r", "'x"), Get("Q", "long", "0123456789", 11),
        Get("Q", "long", "012345678", 10), Get("Q", "long", "0123", 5), Get("Q", nullptr, "q\0r"s, 5),
        Get("Q", nullptr, "q\0r\0long\0"s, 11)},
       "[Empty]\r\n[Q]\r\nq=\"quoted\"\r\nr='x\r\nlong=0123456789\r\n"},
      {"LinesBeforeTheFirstSectionAndAClosingCtrlZ",
       "x=1\r\n[A]\r\na=1\r\n\x1a",
       false,
       {Get("A", "x", "~Tarsk"), Write("A", "b", "2")},
       "x=1\r\n[A]\r\na=1\r\nb=2\r\n"},
      {"OnlyTheFirstOfTwoSectionsOfOneNameIsFound",
       "[A]\r\na=1\r\n[a]\r\nb=2\r\n",
       false,
       {Get("A", "b", "~Tarsk"), Write("a", "b", "3")},
       "[A]\r\na=1\r\nb=3\r\n[a]\r\nb=2\r\n"},
      {"BlanksAroundNamesAndValuesAndLinesWithoutEquals",
       "[A]\n a = 1 \nb\n=skipped\n==too\nc=x=y\n",
       false,
       {Get("A", nullptr, "a\0\0c\0"s), Get("A", "", "skipped"), Get("A", "c", "x=y"), Get("A", "b", "~Tarsk"),
        Write("A", "d", " sp "), Get("A", "d", "sp")},
       "[A]\r\na=1\r\nb\r\n=skipped\r\nc=x=y\r\nd=sp \r\n"},
      {"TheSameValueLeavesTheFileUntouched",
       "[A]\r\na = 1\r\n\r\n",
       false,
       {Write("A", "A", "1"), Write("a", "a", "  1")},
       "[A]\r\na = 1\r\n\r\n"},
      {"KeysAndSectionsAreDeleted",
       "[A]\r\na=1\r\nb=2\r\n[B]\r\nc=3\r\n",
       false,
       {Write("A", "a", nullptr), Write("B", nullptr, nullptr), Write("C", "z", nullptr),
        Write(nullptr, nullptr, nullptr, false)},
       "[A]\r\nb=2\r\n"},
      {"SectionNamesAreTrimmedAndListsNeedTheExactName",
       "[ Fonts ] trailing\r\nx=1\r\n[C\r\n",
       false,
       {Get("Fonts", "x", "1"), Get(" fonts ", "x", "1"), Get(" Fonts ", nullptr, "~Tarsk"),
        Get("fonts", nullptr, "x\0"s), Get(nullptr, nullptr, "Fonts\0"s), Get("C", "x", "~Tarsk"),
        Write("Fonts", "y", "2")},
       "[Fonts]\r\nx=1\r\n[C\r\ny=2\r\n"},
      {"LinesBeforeTheFirstHeaderAndKeysWithoutAName",
       "top=1\r\n=v\r\n[A]\r\n=w\r\na=1\r\n;c=2\r\n",
       false,
       {Get("", "top", "1"), Get("", nullptr, "top\0\0"s), Get("A", "", "w"), Get("A", nullptr, "~Tarsk"),
        Get("A", ";c", "2")},
       "top=1\r\n=v\r\n[A]\r\n=w\r\na=1\r\n;c=2\r\n"},
      {"CarriageReturnsAloneEndLinesToo",
       "[A]\ra=1\rb=2\r\n[B]\r\nc=3",
       false,
       {Get("A", "b", "2"), Get("B", nullptr, "c\0"s), Write("A", "e", ""), Get("A", "e", ""),
        Get("A", nullptr, "a\0b\0e\0"s)},
       "[A]\r\na=1\r\nb=2\r\ne=\r\n[B]\r\nc=3\r\n"},
      {"ANewSectionAndKeyKeepTheirTrailingBlanks",
       "",
       false,
       {Get("A", nullptr, "~Tarsk"), Write("  New  ", "  k  ", "v"), Get("new", "K", "v")},
       "[New  ]\r\nk  =v\r\n"},
      {"ADirectoryInPlaceOfTheFileIsNeitherReadNorWritten",
       std::nullopt,
       true,
       {Get("A", "a", "dflt", 998, "dflt  "), Get("A", nullptr, "~Tarsk"), Write("A", "a", "2", false),
        Write("A", nullptr, nullptr, false)},
       std::nullopt},
  };
}

// How a test reaches the file of a case.
struct ProfileFiles {
  std::function<void(const std::optional<std::string>& bytes, bool directory)> put;
  std::function<std::optional<std::string>()> read;
};

// Runs one case on the file `path`, flushing the system's cached copy of the
// file before the case and after every call so that each call sees the file
// as it is on disk.
inline void RunProfileCase(const ProfileCase& c, Profile& profile, const std::string& path,
                           const ProfileFiles& files) {
  SCOPED_TRACE(c.name);
  profile.WritePrivateProfileString(nullptr, nullptr, nullptr, path);
  files.put(c.before, c.directory);
  for (std::size_t i = 0; i < c.calls.size(); ++i) {
    const ProfileCall& call = c.calls[i];
    SCOPED_TRACE("call " + std::to_string(i));
    if (call.kind == ProfileCall::kGet) {
      EXPECT_EQ(profile.GetPrivateProfileString(call.section, call.key, call.text, call.buffer_size, path),
                call.expected);
    } else {
      EXPECT_EQ(profile.WritePrivateProfileString(call.section, call.key, call.text, path) ? "true" : "false",
                call.expected);
    }
    profile.WritePrivateProfileString(nullptr, nullptr, nullptr, path);
  }
  EXPECT_EQ(files.read(), c.after);
}

}  // namespace install::os::testing
