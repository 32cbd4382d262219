#include "install/script/ask_questions.h"

#include <gtest/gtest.h>

#include <deque>

#include "install/ui/host/host_desktop.h"

namespace install::script {
namespace {

TEST(AskQuestionsTest, AnswersAreTrimmedAndCancelAsksToQuit) {
  InstallPlan plan;
  plan.prompts.quit = "Quit?";
  plan.asks[0] = AskPrompt{"Jane", "Name?"};
  plan.macros.answers[0] = "Jane";
  plan.asks[3] = AskPrompt{"", "Firm?"};
  ui::HostDesktop desktop;
  desktop.QueueReply({ui::kIdOk, " ,(Joe)", {}});
  desktop.QueueReply({ui::kIdCancel, {}, {}});
  desktop.QueueAnswer(ui::kIdNo);  // not quitting: the question stays
  desktop.QueueReply({ui::kIdOk, "Acme", {}});
  EXPECT_EQ(AskQuestions(plan, desktop), 0);
  EXPECT_EQ(plan.macros.answers[0], "Joe)");
  EXPECT_EQ(plan.macros.answers[3], "Acme");
  EXPECT_EQ(desktop.Shown(), (std::vector<std::string>{"ask1 Name? [Jane]", "ask4 Firm? []"}));
  ASSERT_EQ(desktop.Messages().size(), 1u);
  EXPECT_EQ(desktop.Messages()[0].text, "Quit?");
  EXPECT_EQ(desktop.Messages()[0].caption, " ");

  desktop.QueueReply({ui::kIdCancel, {}, {}});
  EXPECT_EQ(AskQuestions(plan, desktop), -1);  // Yes by default
}

}  // namespace
}  // namespace install::script
