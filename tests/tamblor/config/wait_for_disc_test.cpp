#include "tamblor/config/wait_for_disc.h"

#include <gtest/gtest.h>

#include <vector>

#include "tests/tamblor/config/disc_fixture.h"

namespace tamblor::config {
namespace {

constexpr int kKindTextFile = 2;

// Answers each prompt from a list; the user "inserts" a disc by rewriting the
// drive's cdrom.cfg before answering OK.
class ScriptedPrompt : public DiscPrompt {
 public:
  explicit ScriptedPrompt(std::vector<bool> answers) : answers_(std::move(answers)) {}
  void BeginWait() override { ++waits_begun; }
  void EndWait() override { ++waits_ended; }
  bool AskForDisc(const std::string& path, const std::string& disc_title, int disc) override {
    asked.push_back(path + "|" + disc_title + "|" + std::to_string(disc));
    bool ok = answers_.at(asked.size() - 1);
    if (ok && on_ok) on_ok();
    return ok;
  }
  std::vector<std::string> asked;
  int waits_begun = 0;
  int waits_ended = 0;
  std::function<void()> on_ok;

 private:
  std::vector<bool> answers_;
};

class WaitForDiscTest : public testing::DiscFixture {
 protected:
  void SetUp() override {
    DiscFixture::SetUp();
    Write("cdrom.cfg", "DISC #1\n");
    config_.ApplyLine("DISC_TITLE \"Games\"");
    config_.ApplyLine("MULTIDISCS");
  }
  int Classify(const std::string&) { return ++classified_ >= files_appear_after_ ? kKindTextFile : kKindMissing; }
  std::function<int(const std::string&)> classify_ = [this](const std::string& p) { return Classify(p); };
  int classified_ = 0;
  int files_appear_after_ = 1000;
  DiscConfig config_{machine_, 'E'};
};

TEST_F(WaitForDiscTest, AsksUntilTheRightDiscIsIn) {
  ScriptedPrompt prompt({true, true});
  int oks = 0;
  prompt.on_ok = [&] {
    if (++oks == 2) Write("cdrom.cfg", "DISC #2\n");
  };
  files_appear_after_ = 2;
  DiscWaitResult result = WaitForDisc(config_, prompt, "E:\\disc2\\a.txt", "E:\\DISC2\\A.TXT", kKindMissing, classify_);
  EXPECT_FALSE(result.cancelled);
  EXPECT_EQ(result.kind, kKindTextFile);
  EXPECT_EQ(prompt.asked, (std::vector<std::string>{"E:\\disc2\\a.txt|Games|2", "E:\\disc2\\a.txt|Games|2"}));
  EXPECT_EQ(prompt.waits_begun, 1);
  EXPECT_EQ(prompt.waits_ended, 1);
}

TEST_F(WaitForDiscTest, CancelAbandonsAndRestoresTheCursor) {
  ScriptedPrompt prompt({false});
  DiscWaitResult result = WaitForDisc(config_, prompt, "E:\\disc2\\a.txt", "E:\\disc2\\a.txt", kKindMissing, classify_);
  EXPECT_TRUE(result.cancelled);
  EXPECT_EQ(prompt.waits_ended, 1);
}

TEST_F(WaitForDiscTest, NoPromptForThisDiscOrPathsOutsideTheSet) {
  ScriptedPrompt prompt({});
  EXPECT_EQ(WaitForDisc(config_, prompt, "E:\\disc1\\a.txt", "E:\\disc1\\a.txt", kKindMissing, classify_).kind,
            kKindMissing);
  EXPECT_EQ(WaitForDisc(config_, prompt, "E:\\docs\\a.txt", "E:\\docs\\a.txt", kKindMissing, classify_).kind,
            kKindMissing);
  EXPECT_EQ(WaitForDisc(config_, prompt, "E:\\disc2\\a.txt", "E:\\disc2\\a.txt", kKindTextFile, classify_).kind,
            kKindTextFile);  // found: nothing to ask
  DiscConfig single(machine_, 'E');
  ScriptedPrompt untouched({});
  WaitForDisc(single, untouched, "E:\\disc2\\a.txt", "E:\\disc2\\a.txt", kKindMissing, classify_);
  EXPECT_EQ(untouched.waits_begun, 0);  // not a multi-disc set
  EXPECT_TRUE(prompt.asked.empty());
}

}  // namespace
}  // namespace tamblor::config
