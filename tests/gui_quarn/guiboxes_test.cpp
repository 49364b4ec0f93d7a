// Notices and confirmations, read from the real message box by a second thread.
#include "tests/gui_quarn/coretest.h"

TEST(CoreBox, NoticeShowsItsTextAndTitleAndConfirmAnswersYesOnlyForOk) {
  boxanswerer boxes({IDOK, IDOK, IDCANCEL, 0});
  guinotice("device not fount !", "notice");
  std::vector<std::string> answers(3, "unset");
  answers[2] = "yes";
  guiconfirm("quit ?", "confirm", answers[0]);
  guiconfirm("quit ?", "confirm", answers[1]);
  guiconfirm("overwrite ?", "confirm", answers[2]);  // closed from its title bar
  EXPECT_EQ(answers, (std::vector<std::string>{"yes", "no", "no"}));
  EXPECT_EQ(boxes.seen(), (std::vector<seenbox>{{"notice", "device not fount !"},
                                                {"confirm", "quit ?"},
                                                {"confirm", "quit ?"},
                                                {"confirm", "overwrite ?"}}));
}
