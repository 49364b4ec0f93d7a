// Combo boxes and list boxes filled from arrays, their 1-based positions, and
// the 3999-character cut of texts read back.
#include "tests/gui_quarn/coretest.h"

struct ControlLists : CoreTest {
  void SetUp() override {
    CoreTest::SetUp();
    addcombobox("w.combo", 0, 10, 10, 150, 200);
    addlistbox("w.list", 0, 170, 10, 150, 200, 0);
    addedit("w.edit", "", 0, 10, 220, 300, 30, 0);
    openplain("w");
  }
  LRESULT ask(const char *name, UINT msg) { return SendMessageA(gethandle(name), msg, 0, 0); }
};

TEST_F(ControlLists, FillingSkipsAnEmptyFirstElementAndStopsAtTheNextOne) {
  guistrings names = {"", "a", "b", "c"};
  setcombolist("w.combo", names);
  EXPECT_EQ(ask("w.combo", CB_GETCOUNT), 3);
  selectcombotext("w.combo", "b", names);
  int position = -7;
  getcomboindex("w.combo", position);
  EXPECT_EQ(position, 2);
  EXPECT_EQ(getcombotext("w.combo", names), "b");

  setcombolist("w.combo", {"a", "", "c"});
  addcomboitem("w.combo", "");
  EXPECT_EQ(ask("w.combo", CB_GETCOUNT), 1) << "only a; an empty item is refused";
  addlistboxitem("w.list", "");
  EXPECT_EQ(ask("w.list", LB_GETCOUNT), 1) << "an empty list line is added";
}

TEST_F(ControlLists, PositionsCountFromOneAndZeroMeansNone) {
  guistrings names = {"x", "y", "z"};  // element 0 is shown: no shift
  setlistboxlist("w.list", names);
  setcombolist("w.combo", names);
  int position = 9;
  getcomboindex("w.combo", position);
  EXPECT_EQ(position, 0);
  setcomboindex("w.combo", 3);
  EXPECT_EQ(ask("w.combo", CB_GETCURSEL), 2);
  selectlistboxtext("w.list", "y", names);
  getlistboxindex("w.list", position);
  EXPECT_EQ(position, 2);
  EXPECT_EQ(getlistboxtext("w.list") + getlistboxitem("w.list", 3), "yz");
  getcomboindex("w.nosuch", position);
  EXPECT_EQ(position, 2) << "an unknown name leaves it alone";
}

TEST_F(ControlLists, TextsReadBackAreCutAt3999Characters) {
  std::string longtext(5000, 'k');
  longtext[3998] = 'L';
  settext("w.edit", longtext);
  EXPECT_EQ(gettext("w.edit"), longtext.substr(0, 3999));
  addlistboxitem("w.list", longtext);
  EXPECT_EQ(getlistboxitem("w.list", 1), longtext.substr(0, 3999));
}
