// Where the question dialogs, the pop-up message windows and the progress
// dialog go on the screen.
#include "install/ui/dialog_placement.h"

#include <gtest/gtest.h>

namespace install::ui {
namespace {

TEST(DialogPlacementTest, QuestionDialogsCentre) {
  EXPECT_EQ(CentreOnScreen(1024, 768, 270, 104), (WindowOrigin{377, 332}));
  EXPECT_EQ(CentreOnScreen(640, 480, 641, 100), (WindowOrigin{0, 190}));
}

TEST(DialogPlacementTest, PopupsSitAboveTheMiddle) {
  // (768 - 100 - 244) / 2 + 60 = 272.
  EXPECT_EQ(PlacePopup(1024, 768, 300, 100), (WindowOrigin{362, 272}));
  EXPECT_EQ(PlacePopup(640, 480, 200, 80), (WindowOrigin{220, 138}));
}

TEST(DialogPlacementTest, ProgressGoesBelowTheLastPopupOrCentres) {
  PopupTrace none;
  EXPECT_EQ(PlaceProgress(none, 1024, 768, 270, 110), (WindowOrigin{377, 329}));

  // A pop-up created at the top of the screen (bottom 100 as created) and
  // then placed at 272: the progress dialog goes to 272 + 100 + 24.
  PopupTrace popup{true, 272, 100};
  EXPECT_EQ(PlaceProgress(popup, 1024, 768, 270, 110), (WindowOrigin{377, 396}));
  // A trace with a top of 0 still counts once a pop-up was shown.
  EXPECT_EQ(PlaceProgress(PopupTrace{true, 0, 40}, 1024, 768, 270, 110).y, 64);
}

}  // namespace
}  // namespace install::ui
