#include "tamblor/lang/format_text.h"

#include <gtest/gtest.h>

#include "tamblor/lang/string_ids.h"

namespace tamblor::lang {
namespace {

TEST(FormatTextTest, FormatsTheBuiltInTexts) {
  EXPECT_EQ(FormatText(BuiltInText(kStrInsertDisc), {"E:\\disc2\\a.txt", "Games", 2}),
            "Locating File: E:\\disc2\\a.txt.\nPlease insert Games CDROM\nDisc #2 and click OK.");
  EXPECT_EQ(FormatText(BuiltInText(kStrRootTitle), {"Tools"}), "Tools CDROM Root Directory");
  EXPECT_EQ(FormatText("|%-5s|%5s|%.2s|%03d|%-3d|%c|100%%", {"ab", "cd", "xyz", 7, -1, 'q'}),
            "|ab   |   cd|xy|007|-1 |q|100%");
}

TEST(FormatTextTest, ConversionsThatDoNotFitTheirArgumentGiveNothing) {
  // A language library whose string asks for more or other arguments than the
  // program passes must not read what is not there.
  EXPECT_EQ(FormatText("Disc #%d of %s and %s %n", {"title", 3}), "Disc # of  and  ");
  EXPECT_EQ(FormatText("%s%s%s%s", {}), "");
  EXPECT_EQ(FormatText("%", {"x"}), "");
  EXPECT_EQ(FormatText("%999999999s|", {"x"}).size(), 511u);  // width bounded, result cut
}

TEST(FormatTextTest, ResultIsCutToTheCapacity) {
  EXPECT_EQ(FormatText("%s", {std::string(600, 'a')}).size(), 511u);
  EXPECT_EQ(FormatText("abcdef", {}, 4), "abc");
}

}  // namespace
}  // namespace tamblor::lang
