#include "install/script/ask_questions.h"

#include <gtest/gtest.h>

#include <deque>

#include "install/ui/host/host_desktop.h"

namespace install::script {
namespace {

TEST(AskQuestionsTest, QuestionLayout) {
  EXPECT_EQ(SplitAskQuestion("Short one").second_line, "Short one");
  EXPECT_EQ(SplitAskQuestion("Short one").first_line, "");
  // 45 characters, then a space: split right there, leading spaces dropped.
  std::string at45 = std::string(45, 'a') + "   rest";
  EXPECT_EQ(SplitAskQuestion(at45).first_line, std::string(45, 'a'));
  EXPECT_EQ(SplitAskQuestion(at45).second_line, "rest");
  // Otherwise before the last space among the first 45.
  std::string words = "What is the name of the company that you work for today?";
  AskLayout layout = SplitAskQuestion(words);
  EXPECT_EQ(layout.first_line, "What is the name of the company that you work");
  EXPECT_EQ(layout.second_line, "for today?");
  // No space at all: 44 characters, then the rest.
  layout = SplitAskQuestion(std::string(50, 'x'));
  EXPECT_EQ(layout.first_line.size(), 44u);
  EXPECT_EQ(layout.second_line.size(), 6u);
}

class ScriptedDialog : public AskDialog {
 public:
  struct Reply {
    int button;
    std::string text;
  };
  std::deque<Reply> replies;
  std::vector<std::string> shown_answers;
  int Ask(const AskLayout&, std::string& answer) override {
    shown_answers.push_back(answer);
    Reply r = replies.front();
    replies.pop_front();
    if (r.button == ui::kIdOk) answer = r.text;
    return r.button;
  }
};

TEST(AskQuestionsTest, AnswersAreTrimmedAndCancelAsksToQuit) {
  InstallPlan plan;
  plan.prompts.quit = "Quit?";
  plan.asks[0] = AskPrompt{"Jane", "Name?"};
  plan.macros.answers[0] = "Jane";
  plan.asks[3] = AskPrompt{"", "Firm?"};
  ScriptedDialog dialog;
  ui::HostDesktop desktop;
  dialog.replies = {{ui::kIdOk, " ,(Joe)"}, {ui::kIdCancel, ""}, {ui::kIdOk, "Acme"}};
  desktop.QueueAnswer(ui::kIdNo);
  EXPECT_EQ(AskQuestions(plan, dialog, desktop), 0);
  EXPECT_EQ(plan.macros.answers[0], "Joe)");
  EXPECT_EQ(plan.macros.answers[3], "Acme");
  EXPECT_EQ(dialog.shown_answers, (std::vector<std::string>{"Jane", "", ""}));
  ASSERT_EQ(desktop.Messages().size(), 1u);
  EXPECT_EQ(desktop.Messages()[0].text, "Quit?");
  EXPECT_EQ(desktop.Messages()[0].caption, " ");

  dialog.replies = {{ui::kIdCancel, ""}};
  EXPECT_EQ(AskQuestions(plan, dialog, desktop), -1);  // Yes by default
}

}  // namespace
}  // namespace install::script
