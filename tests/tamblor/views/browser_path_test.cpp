#include "tamblor/views/browser_path.h"

#include <gtest/gtest.h>

#include "tamblor/views/intrusive_list.h"

namespace tamblor::views {
namespace {

TEST(BrowserPathTest, NormaliseTurnsSlashesAndDropsATrailingSeparatorExceptInADriveRoot) {
  struct {
    const char* path;
    const char* normalised;
  } cases[] = {
      {"E:/utils/", "E:\\utils"},   {"E:\\utils\\", "E:\\utils"}, {"E:\\", "E:\\"},
      {"E:/", "E:\\"},              {"e:\\", "e:\\"},             {"\\docs\\a.txt", "\\docs\\a.txt"},
      {"/docs/", "\\docs"},         {"\\", ""},                   {"", ""},
      {"E:", "E:"},                 {"1:\\", "1:"},               {"E:\\a\\\\", "E:\\a\\"},
  };
  for (const auto& c : cases) EXPECT_EQ(NormalisePath(c.path), c.normalised) << c.path;
  EXPECT_TRUE(IsDriveRoot("X:\\"));
  EXPECT_FALSE(IsDriveRoot("X:\\a"));
  EXPECT_FALSE(IsDriveRoot("X:"));
}

TEST(BrowserPathTest, JoinLeavesOutTheSeparatorWhenTheDirectoryEndsWithOne) {
  EXPECT_EQ(JoinPath("E:\\", "00_index.txt"), "E:\\00_index.txt");
  EXPECT_EQ(JoinPath("E:\\utils", "00_index.txt"), "E:\\utils\\00_index.txt");
  EXPECT_EQ(JoinPath("E:/utils/", "sub/"), "E:\\utils\\sub");
  EXPECT_EQ(JoinPath("", "a.txt"), "\\a.txt");
  EXPECT_TRUE(FitsPath(std::string(259, 'a')));
  EXPECT_FALSE(FitsPath(std::string(260, 'a')));
}

struct Member : ListNode {
  explicit Member(int v) : value(v) {}
  int value;
};

TEST(IntrusiveListTest, CountsMembersAndReportsALeakAtDestruction) {
  Member a(1), b(2), c(3);
  {
    IntrusiveList<Member> list;
    EXPECT_TRUE(list.PushBack(&a));
    EXPECT_TRUE(list.PushBack(&b));
    EXPECT_FALSE(list.PushBack(&b)) << "a member is linked once";
    list.PushBack(&c);
    EXPECT_EQ(list.Count(), 3u);
    list.Remove(&b);
    EXPECT_EQ(IntrusiveList<Member>::Next(&a), &c);
    EXPECT_EQ(IntrusiveList<Member>::Previous(&c), &a);
    EXPECT_EQ(list.PopBack()->value, 3);
    EXPECT_EQ(list.Front(), &a);
    EXPECT_EQ(list.Back(), &a);
    EXPECT_FALSE(c.Linked());
    ::testing::internal::CaptureStderr();
  }
  EXPECT_EQ(::testing::internal::GetCapturedStderr(), "Leaking Mem...\n");
  ::testing::internal::CaptureStderr();
  { IntrusiveList<Member> empty; }
  EXPECT_EQ(::testing::internal::GetCapturedStderr(), "");
}

}  // namespace
}  // namespace tamblor::views
