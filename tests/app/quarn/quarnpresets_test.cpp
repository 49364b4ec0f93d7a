// Presets through the real file dialogs: saving under a typed name, loading with
// the window rebuilt from the preset, and the names that do nothing.
#include <gtest/gtest.h>

#include "tests/app/quarndriver.h"

namespace {

// Types a name into the open file dialog of that title and presses its OK button
// (IDCANCEL cancels instead). False when no such dialog came.
bool answerfiledialog(const std::string &title, const std::string &name, int button = IDOK) {
  HWND dialog = 0;
  if (!waituntil([&] { return (dialog = FindWindowA("#32770", title.c_str())) && IsWindowVisible(dialog); }, 10000))
    return false;
  Sleep(300);
  // The name field: edit 0x480, or the edit inside the combo 0x47c (an extended
  // combo box holding a combo box holding the edit).
  HWND field = GetDlgItem(dialog, 0x480);
  for (HWND h = GetDlgItem(dialog, 0x47c); !field && h;) {
    field = FindWindowExA(h, nullptr, "Edit", nullptr);
    h = FindWindowExA(h, nullptr, "ComboBox", nullptr);
  }
  if (!field) return false;
  SendMessageA(field, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(name.c_str()));
  PostMessageA(dialog, WM_COMMAND, button, 0);
  return waituntil([&] { return !IsWindow(dialog); }, 10000);
}

QuarnRun startwithsavefolder(const std::string &name) {
  const std::string folder = scratchfolder(name);
  CreateDirectoryA((folder + "\\save").c_str(), nullptr);
  writefile(folder + "\\roomcaster_quarn.ini", settings1500);
  return startquarn(folder);
}

void quit(QuarnRun &q) {
  click(q, "win.quit");
  EXPECT_EQ(waitquarn(q), 0);
  // Both flows put the current directory back: the settings land beside the program.
  EXPECT_NE(readfile(q.folder + "\\roomcaster_quarn.ini"), "");
  EXPECT_EQ(readfile(q.folder + "\\save\\roomcaster_quarn.ini"), "");
}

TEST(QuarnPresets, SavedUnderATypedNameThenLoadedBack) {
  QuarnRun q = startwithsavefolder("presets");
  ASSERT_TRUE(q.win);
  choose(q, "win.gain", 21);  // krev50: gain 0.5
  choose(q, "win.pan", 4);
  Sleep(300);
  click(q, "win.save");
  ASSERT_TRUE(answerfiledialog("save", "hall"));
  const std::string question = answerbox("confirm", IDOK);
  EXPECT_EQ(question.rfind("save in ", 0), 0u) << question;
  EXPECT_NE(question.find("\\save\\hall.dspquarn ?"), std::string::npos) << question;
  std::string saved;
  waituntil([&] { return !(saved = readfile(q.folder + "\\save\\hall.dspquarn")).empty(); }, 5000);
  EXPECT_EQ(saved,
            " 0.5\r\n 1500\r\n 2\r\n 1\r\n 200\r\n 0.1\r\n 250\r\n 0.1\r\n 0.5\r\n 1\r\n 1\r\n 1\r\n 0\r\n 0\r\n 0\r\n"
            " 0\r\n 3\r\n 0\r\n 100\r\n 0.77\r\n 0.3\r\n");

  // A preset of another colour, gain and block size, with a ceiling that is not taken.
  writefile(q.folder + "\\save\\red.dspquarn",
            " 2\r\n 2000\r\n 2\r\n 1\r\n 200\r\n 0.1\r\n 250\r\n 0.1\r\n 0.5\r\n 1\r\n 1\r\n 1\r\n 1\r\n 0\r\n 0\r\n"
            " 0\r\n 0.01\r\n 2\r\n 100\r\n 0.77\r\n 0\r\n");
  click(q, "win.load");
  ASSERT_TRUE(answerfiledialog("load", "red.dspquarn"));
  EXPECT_EQ(answerbox("notice", IDOK), "ok");
  EXPECT_TRUE(waituntil([&] {
    HWND w = FindWindowA("GUIQUARN", "roomcaster_quarn");
    if (!w || w == q.win) return false;
    q.win = w;
    return true;
  }, 10000)) << "the window was not rebuilt";
  EXPECT_TRUE(waituntil([&] { return clientpixel(q, 3, 3) == 0xFF3134u; }, 5000));
  EXPECT_EQ(comboselection(control(q, "win.gain")), 81);
  EXPECT_EQ(comboselection(control(q, "win.buffersize")), 2);
  EXPECT_TRUE(waituntil([&] { return capturedsamples(q) == 4000; }, 10000)) << "devices not reopened at 2000 frames";
  EXPECT_NE(windowtext(control(q, "win.msg")).find("testgain=3\r\n"), std::string::npos);

  // Saving again keeps line 17 as the ceiling in memory; mono is off after the rebuild.
  click(q, "win.save");
  ASSERT_TRUE(answerfiledialog("save", "again"));
  answerbox("confirm", IDOK);
  std::string again;
  waituntil([&] { return !(again = readfile(q.folder + "\\save\\again.dspquarn")).empty(); }, 5000);
  EXPECT_EQ(again,
            " 2\r\n 2000\r\n 2\r\n 1\r\n 200\r\n 0.1\r\n 250\r\n 0.1\r\n 0.5\r\n 1\r\n 1\r\n 1\r\n 0\r\n 0\r\n 0\r\n"
            " 0\r\n 3\r\n 2\r\n 100\r\n 0.77\r\n 0\r\n");
  quit(q);
}

// Another extension, the extension in capitals, and a cancelled dialog do nothing.
TEST(QuarnPresets, OtherNamesAndCancelDoNothing) {
  QuarnRun q = startwithsavefolder("presetnames");
  ASSERT_TRUE(q.win);
  click(q, "win.save");
  ASSERT_TRUE(answerfiledialog("save", "hall.txt"));
  click(q, "win.save");
  ASSERT_TRUE(answerfiledialog("save", "hall.DSPQUARN"));
  click(q, "win.save");
  ASSERT_TRUE(answerfiledialog("save", "cancelled", IDCANCEL));
  EXPECT_EQ(answerbox("confirm", 0, 1500), "");
  writefile(q.folder + "\\save\\x.DSPQUARN", " 2\r\n");
  click(q, "win.load");
  ASSERT_TRUE(answerfiledialog("load", "x.DSPQUARN"));
  EXPECT_EQ(answerbox("notice", IDOK, 1500), "");
  click(q, "win.load");
  ASSERT_TRUE(answerfiledialog("load", "", IDCANCEL));
  EXPECT_EQ(answerbox("notice", IDOK, 1500), "");
  WIN32_FIND_DATAA found;
  HANDLE search = FindFirstFileA((q.folder + "\\save\\hall*").c_str(), &found);
  EXPECT_EQ(search, INVALID_HANDLE_VALUE) << found.cFileName;
  if (search != INVALID_HANDLE_VALUE) FindClose(search);
  EXPECT_EQ(comboselection(control(q, "win.gain")), 41);
  quit(q);
}

}  // namespace
