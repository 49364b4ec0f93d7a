// Combo boxes and list boxes filled from arrays, their 1-based positions, and
// the 3999-character cut of texts read back.
#include "coretest.h"

struct controlslists : coretest {
  HWND combo = 0, list = 0;
  void SetUp() override {
    coretest::SetUp();
    addcombobox("w.combo", 0, 10, 10, 150, 200);
    addlistbox("w.list", 0, 170, 10, 150, 200, 0);
    addedit("w.edit", "", 0, 10, 220, 300, 30, 0);
    openplain("w");
    combo = gethandle("w.combo");
    list = gethandle("w.list");
  }
  int count(HWND h, UINT msg) { return (int)SendMessageA(h, msg, 0, 0); }
};

TEST_F(controlslists, anemptyfirstelementisskippedandpositionsstayonebased) {
  guistrings names = {"", "a", "b", "c"};
  setcombolist("w.combo", names);
  EXPECT_EQ(count(combo, CB_GETCOUNT), 3);
  selectcombotext("w.combo", "b", names);
  EXPECT_EQ(SendMessageA(combo, CB_GETCURSEL, 0, 0), 1) << "b is the second entry";
  int position = -7;
  getcomboindex("w.combo", position);
  EXPECT_EQ(position, 2);
  EXPECT_EQ(getcombotext("w.combo", names), "b");
  EXPECT_EQ(getcombotext("w.combo", {"", "one", "two"}), "two") << "read from the array";

  guistrings full = {"x", "y"};  // element 0 shown: no shift
  setlistboxlist("w.list", full);
  selectlistboxtext("w.list", "y", full);
  getlistboxindex("w.list", position);
  EXPECT_EQ(position, 2);
  EXPECT_EQ(getlistboxtext("w.list"), "y");
}

TEST_F(controlslists, thefirstemptyelementafterthestartendsthelist) {
  setcombolist("w.combo", {"a", "", "c"});
  EXPECT_EQ(count(combo, CB_GETCOUNT), 1);
  addcomboitem("w.combo", "");
  EXPECT_EQ(count(combo, CB_GETCOUNT), 1) << "an empty combo item is refused";
  addlistboxitem("w.list", "");
  addlistboxitem("w.list", "y");
  EXPECT_EQ(count(list, LB_GETCOUNT), 2) << "an empty list line is added";
  EXPECT_EQ(getlistboxitem("w.list", 1), "");
  EXPECT_EQ(getlistboxitem("w.list", 2), "y");
  EXPECT_EQ(getlistboxitem("w.list", 3), "");
}

TEST_F(controlslists, positionsgotothenativeindexlessone) {
  setcombolist("w.combo", {"a", "b", "c"});
  int position = 9;
  getcomboindex("w.combo", position);
  EXPECT_EQ(position, 0) << "no selection";
  setcomboindex("w.combo", 3);
  EXPECT_EQ(SendMessageA(combo, CB_GETCURSEL, 0, 0), 2);
  deletecomboitem("w.combo", 1);
  char first[8] = {};
  SendMessageA(combo, CB_GETLBTEXT, 0, (LPARAM)first);
  EXPECT_STREQ(first, "b");
  setlistboxlist("w.list", {"p", "q"});
  setlistboxindex("w.list", 2);
  EXPECT_EQ(getlistboxtext("w.list"), "q");
}

TEST_F(controlslists, unknownnamesleaveoutargumentsaloneandsaynothing) {
  int position = 42;
  getcomboindex("w.nosuch", position);
  getlistboxindex("nosuch", position);
  EXPECT_EQ(position, 42);
  EXPECT_EQ(getcombotext("w.nosuch", {"a"}), "");
  EXPECT_EQ(gettext("w.nosuch"), "");
  EXPECT_TRUE(boxes.seen().empty());
}

TEST_F(controlslists, textsreadbackarecutat3999characters) {
  std::string longtext(5000, 'k');
  longtext[3998] = 'L';
  settext("w.edit", longtext);
  std::string back = gettext("w.edit");
  ASSERT_EQ(back.size(), 3999u);
  EXPECT_EQ(back.back(), 'L');
  addlistboxitem("w.list", longtext);
  EXPECT_EQ(getlistboxitem("w.list", 1).size(), 3999u);
  settext("w.edit", std::string(3999, 'm'));
  EXPECT_EQ(gettext("w.edit").size(), 3999u) << "3999 fit whole";
}
