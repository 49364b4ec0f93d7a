// Notices and confirmations, read from the real message box by a second thread.
#include "coretest.h"

TEST(corebox, noticeshowsthetextandtitlepassed) {
  boxanswerer boxes;
  guinotice("device not fount !", "notice");
  guinotice("a \"quoted\" line", "guiaddcontrol");
  EXPECT_EQ(boxes.seen(), (std::vector<seenbox>{{"notice", "device not fount !"},
                                                {"guiaddcontrol", "a \"quoted\" line"}}));
}

TEST(corebox, confirmanswersyesonlyforok) {
  boxanswerer boxes({IDOK, IDCANCEL, 0});
  std::string answer = "unset";
  guiconfirm("quit ?", "confirm", answer);
  EXPECT_EQ(answer, "yes");
  guiconfirm("quit ?", "confirm", answer);
  EXPECT_EQ(answer, "no");
  answer = "yes";
  guiconfirm("overwrite ?", "confirm", answer);  // closed from its title bar
  EXPECT_EQ(answer, "no");
  EXPECT_EQ(boxes.seen(), (std::vector<seenbox>{{"confirm", "quit ?"},
                                                {"confirm", "quit ?"},
                                                {"confirm", "overwrite ?"}}));
}
