// Every failure point of the browser's write paths, walked on the
// fault-injecting machine: the generated indexes of a program install, Copy
// File, and the removal of an installed tree on close. A dry run counts the
// operations; then each failure point gets a fresh hard disk and one run, and
// the test checks that every file is either as it was or wholly the new one,
// that no working file is left, that the failure is reported and that the
// browser goes on.
#include <gtest/gtest.h>

#include <map>
#include <set>
#include <string>

#include "tests/tamblor/actions/actions_fixture.h"

namespace tamblor::testing {
namespace {

using Files = std::map<std::string, std::string>;  // path under C: -> bytes

std::string Pattern(size_t size, char seed) {
  std::string out(size, ' ');
  for (size_t i = 0; i < size; ++i) out[i] = static_cast<char>(i % 61 == 60 ? '\n' : 'a' + (i * 7 + seed) % 26);
  return out;
}

class WriteFaultsTest : public BrowserActionsTest {
 protected:
  // Every file under C:, read back.
  Files DriveC() const {
    Files files;
    const fs::path c = root_ / "c";
    for (auto it = fs::recursive_directory_iterator(c); it != fs::recursive_directory_iterator(); ++it) {
      if (it->is_regular_file()) files[it->path().lexically_relative(c).generic_string()] = ReadFile(it->path());
    }
    return files;
  }
  // Makes C: hold exactly `files`.
  void PutDriveC(const Files& files) {
    fs::remove_all(root_ / "c");
    fs::create_directories(root_ / "c");
    for (const auto& [path, bytes] : files) {
      fs::create_directories((root_ / "c" / path).parent_path());
      std::ofstream(root_ / "c" / path, std::ios::binary) << bytes;
    }
  }
  // Back to the disc's root view with a fresh dialog script, the current
  // directory on C:\ and nothing armed.
  void Reset(const Files& files) {
    machine_.Arm(FaultPoint{});
    ui_.yes = false;  // a generated view left over is closed keeping its files
    while (stack_->Count() > 1) views::DestroyView(stack_->Pop());
    ui_ = ScriptedUi();
    machine_.ChangeDirectory("C:\\");
    PutDriveC(files);
  }
  static std::set<std::string> WorkingFilesIn(const Files& files) {
    std::set<std::string> found;
    for (const auto& [path, bytes] : files) {
      std::string name = path.substr(path.rfind('/') + 1);
      if (name.find('~') != std::string::npos) found.insert(path);
    }
    return found;
  }
};

// --- Generated indexes of a program install -------------------------------------

TEST_F(WriteFaultsTest, EveryFailureOfTheGeneratedIndexesLeavesWholeIndexesAndIsReported) {
  // Two worlds: a fresh destination, and one that holds an earlier install
  // with its indexes.
  const Files fresh;
  const Files earlier{{"GAME/00_index._wc", "the old top index\r\n"},
                      {"GAME/DOCS/00_index._wc", "the old DOCS index\r\n"},
                      {"GAME/OLD.DAT", Pattern(100, 'o')}};
  UnpackOnCommand();
  for (const Files* world : {&fresh, &earlier}) {
    auto install = [this] {
      SelectLine("GAME.ZIP");
      ui_.answers = {"C:\\GAME", kCancel};
      Command(lang::kCmdSelect);
    };
    Reset(*world);
    install();
    ASSERT_TRUE(ui_.messages.empty());
    ASSERT_EQ(stack_->Count(), 2u);
    const Files after = DriveC();
    const OperationCounts counts = machine_.counts();
    ASSERT_GT(counts.writes, 0);
    const std::vector<FaultPoint> points = FailurePointsOf(counts);

    for (const FaultPoint& point : points) {
      SCOPED_TRACE(Describe(point) + (world == &fresh ? " (fresh)" : " (over an earlier install)"));
      Reset(*world);
      machine_.Arm(point);
      install();
      ASSERT_TRUE(machine_.fired());
      const Files now = DriveC();
      bool all_new = true;
      for (const char* index : {"GAME/00_index._wc", "GAME/DOCS/00_index._wc"}) {
        auto old_file = world->find(index);
        auto now_file = now.find(index);
        bool is_new = now_file != now.end() && now_file->second == after.at(index);
        bool is_old = old_file == world->end() ? now_file == now.end()
                                               : now_file != now.end() && now_file->second == old_file->second;
        EXPECT_TRUE(is_new || is_old) << index << " is half-written";
        all_new = all_new && is_new;
      }
      std::set<std::string> working = WorkingFilesIn(now);
      if (point.fault == Fault::FailDelete && all_new && world == &earlier) {
        // The old index could not be deleted after the new one took its name:
        // it is kept whole under its working name, nothing is lost.
        ASSERT_EQ(working.size(), 1u);
        const std::string& kept = now.at(*working.begin());
        EXPECT_TRUE(kept == earlier.at("GAME/00_index._wc") || kept == earlier.at("GAME/DOCS/00_index._wc")) << kept;
      } else {
        EXPECT_TRUE(working.empty()) << *working.begin();
      }
      if (all_new) {
        EXPECT_TRUE(ui_.messages.empty());
        EXPECT_EQ(stack_->Count(), 2u) << "the install is shown";
      } else {
        EXPECT_EQ(ui_.messages, (Texts{"Tamblor: Program Install: Destination directory is invalid."}));
        EXPECT_EQ(stack_->Count(), 1u) << "nothing half-indexed is shown; the dialog stayed open";
      }
    }
  }
}

// --- Copy File -------------------------------------------------------------------

TEST_F(WriteFaultsTest, EveryFailureOfCopyFileKeepsTheOldFileAndIsReported) {
  const std::string source = Pattern(20000, 's');  // several writes through the stream's buffer
  Write("BIG.TXT", source);
  Write("00_index.txt", "BIG.TXT     A long text\r\n");
  stack_->Refresh();
  machine_.SetCommandRunner([this](const std::string& command) { return StandInCopy(machine_, command); });
  const Files fresh{{"OTHER.TXT", "another file"}};
  const Files earlier{{"OTHER.TXT", "another file"}, {"DEST/BIG.TXT", Pattern(3000, 'o')}};
  for (const Files* world : {&fresh, &earlier}) {
    auto copy = [this] {
      SelectLine("BIG.TXT");
      ui_.answers = {"C:\\DEST", kCancel};
      Command(lang::kCmdCopyFile);
    };
    Reset(*world);
    copy();
    ASSERT_TRUE(ui_.messages.empty());
    ASSERT_EQ(DriveC().at("DEST/BIG.TXT"), source);
    const std::vector<FaultPoint> points = FailurePointsOf(machine_.counts());
    ASSERT_GT(machine_.counts().writes, 1);

    for (const FaultPoint& point : points) {
      SCOPED_TRACE(Describe(point) + (world == &fresh ? " (fresh)" : " (over an old file)"));
      Reset(*world);
      machine_.Arm(point);
      copy();
      ASSERT_TRUE(machine_.fired());
      Files now = DriveC();
      EXPECT_EQ(now.at("OTHER.TXT"), "another file");
      auto old_file = world->find("DEST/BIG.TXT");
      auto now_file = now.find("DEST/BIG.TXT");
      bool is_new = now_file != now.end() && now_file->second == source;
      bool is_old = old_file == world->end() ? now_file == now.end()
                                             : now_file != now.end() && now_file->second == old_file->second;
      EXPECT_TRUE(is_new || is_old) << "a half-written copy under the file's name";
      std::set<std::string> working = WorkingFilesIn(now);
      if (point.fault == Fault::FailDelete && is_new && world == &earlier) {
        ASSERT_EQ(working.size(), 1u);  // the old file, kept whole: nothing lost
        EXPECT_EQ(now.at(*working.begin()), old_file->second);
      } else {
        EXPECT_TRUE(working.empty()) << *working.begin();
      }
      if (is_new) {
        EXPECT_TRUE(ui_.messages.empty());
      } else {
        EXPECT_EQ(ui_.messages, (Texts{"Tamblor: Copy File: Could not copy E:\\BIG.TXT to C:\\DEST."}));
      }
      EXPECT_EQ(stack_->Count(), 1u);
    }
  }
}

// --- Removing an installed tree ---------------------------------------------------

TEST_F(WriteFaultsTest, EveryFailureOfTheTreeRemovalIsReportedAndDeletesNothingHalfway) {
  const Files installed{{"GAME/README.TXT", "readme"},
                        {"GAME/GAME.EXE", Pattern(500, 'g')},
                        {"GAME/DOCS/MANUAL.TXT", "manual"},
                        {"GAME/DOCS/DEEP/NOTE.TXT", "note"},
                        {"KEEP/OUTSIDE.TXT", "not part of it"}};
  auto close_installed = [this] {
    text::GeneratedIndexTexts texts{"Directory", "| header |\n", "d", "d", "t", "b", "p", " "};
    ASSERT_TRUE(text::WriteGeneratedIndex(machine_, *directories_, "C:\\GAME", texts));
    views::GeneratedIndexView view(*context_, "E:\\GAME.ZIP", "C:\\GAME", text::kGeneratedIndexName, true);
    ui_.yes = true;
    machine_.Arm(FaultPoint{});  // counts the removal alone
    browser_actions_->CloseGeneratedIndex(view);
    ui_.yes = false;  // the view's own close, as it goes, keeps what is left
  };
  Reset(installed);
  machine_.ChangeDirectory("C:\\GAME\\DOCS");
  close_installed();
  ASSERT_TRUE(ui_.messages.empty());
  ASSERT_FALSE(fs::exists(root_ / "c" / "GAME"));
  const OperationCounts counts = machine_.counts();
  ASSERT_GT(counts.deletes, 4);
  ASSERT_GT(counts.directory_removals, 2);

  for (const FaultPoint& point : FailurePointsOf(counts)) {
    SCOPED_TRACE(Describe(point));
    Reset(installed);
    machine_.ChangeDirectory("C:\\GAME\\DOCS");
    text::GeneratedIndexTexts texts{"Directory", "| header |\n", "d", "d", "t", "b", "p", " "};
    ASSERT_TRUE(text::WriteGeneratedIndex(machine_, *directories_, "C:\\GAME", texts));
    const Files before = DriveC();
    views::GeneratedIndexView view(*context_, "E:\\GAME.ZIP", "C:\\GAME", text::kGeneratedIndexName, true);
    ui_.yes = true;
    machine_.Arm(point);
    browser_actions_->CloseGeneratedIndex(view);
    ASSERT_TRUE(machine_.fired());
    Files now = DriveC();
    for (const auto& [path, bytes] : now) {
      ASSERT_TRUE(before.count(path)) << path;
      EXPECT_EQ(bytes, before.at(path)) << path << " changed";
    }
    EXPECT_EQ(now.at("KEEP/OUTSIDE.TXT"), "not part of it");
    EXPECT_TRUE(fs::exists(root_ / "c" / "GAME")) << "a failure leaves the directory";
    EXPECT_EQ(ui_.messages, (Texts{"Tamblor: Not everything in C:\\GAME could be deleted."}));
    // The browser goes on: a second close, with nothing armed, removes the rest.
    machine_.Arm(FaultPoint{});
    ui_.messages.clear();
    browser_actions_->CloseGeneratedIndex(view);
    EXPECT_TRUE(ui_.messages.empty());
    EXPECT_FALSE(fs::exists(root_ / "c" / "GAME"));
    ui_.yes = false;
  }
}

}  // namespace
}  // namespace tamblor::testing
