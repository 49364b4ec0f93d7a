// The file dialog: its filter list as a pure function, and the real dialog
// found and answered from a second thread.
#include <gtest/gtest.h>

#include <fstream>

#include "tests/gui_quarn/coreboxes.h"
#include "gui_quarn/gui_quarn.h"

using namespace std::string_literals;

TEST(FilesFilter, ItemsGiveDisplayTextAndPatternThenAll) {
  EXPECT_EQ(guibuildfilter("*.wav,Wave files;*.txt,Text"),
            "Wave files (*.wav)\0*.wav\0Text (*.txt)\0*.txt\0All  (*.*)\0*.*\0\0"s);
  EXPECT_EQ(guibuildfilter("*.dspquarn"), " (*.dspquarn)\0*.dspquarn\0All  (*.*)\0*.*\0\0"s);
  EXPECT_EQ(guibuildfilter("*.a,A;;*.b,B"), "A (*.a)\0*.a\0All  (*.*)\0*.*\0\0"s)
      << "an empty item ends the list";
  // "*.x" with an n-character description takes n + 10 bytes, "All" and the
  // end 16: n = 173 fills exactly 200.
  EXPECT_EQ(guibuildfilter("*.x," + std::string(173, 'd')).size(), 200u);
  EXPECT_EQ(guibuildfilter("*.x," + std::string(174, 'd')), "");
}

// Shows the dialog while a second thread notes its title and OK button, then
// types `name` and presses OK, or cancels when there is no name. Gives
// {chosen path, title, OK button}.
static std::vector<std::string> answered(const std::string &title, const std::string &path,
                                         const std::string &name) {
  std::string seen, ok;
  std::thread answerer([&] {
    HWND box = 0;
    for (int i = 0; i < 1500 && !(box = finddialog()); i++) Sleep(20);
    if (!box) return;
    Sleep(300);  // let it settle
    char text[256] = {};
    GetWindowTextA(box, text, sizeof text);
    seen = text;
    GetDlgItemTextA(box, IDOK, text, sizeof text);
    for (char c : std::string(text)) ok += c == '&' ? "" : std::string(1, c);
    SendMessageA(box, CDM_SETCONTROLTEXT, 0x47c, (LPARAM)name.c_str());  // name combo
    SendMessageA(box, CDM_SETCONTROLTEXT, 0x480, (LPARAM)name.c_str());  // name edit
    PostMessageA(box, WM_COMMAND, name.empty() ? IDCANCEL : IDOK, 0);
  });
  std::string chosen = guifiledialog(title, path);
  answerer.join();
  return {chosen, seen, ok};
}

TEST(FilesDialog, OpensInThePathsFolderAndSaveInTheTitleMakesItASaveDialog) {
  char temp[MAX_PATH] = {};
  GetTempPathA(sizeof temp, temp);
  std::string folder = std::string(temp) + "quarndialog\\";
  CreateDirectoryA(folder.c_str(), 0);
  std::ofstream(folder + "there.txt") << "x";
  std::string longtitle = "load " + std::string(40, 't');
  EXPECT_EQ(answered(longtitle, folder + "*.txt,Text", ""),
            (std::vector<std::string>{"", longtitle.substr(0, 31), "Open"}));
  EXPECT_EQ(answered("Save", folder + "*.txt,Text", "there.txt"),
            (std::vector<std::string>{folder + "there.txt", "Save", "Open"}))
      << "a capital S is not save";
  EXPECT_EQ(answered("please save it", folder + "*.txt", "new.txt"),
            (std::vector<std::string>{folder + "new.txt", "please save it", "Save"}));
}
