// The file dialog: its filter list as a pure function, and the real dialog
// found and answered from a second thread.
#include <gtest/gtest.h>
#include <windows.h>

#include <fstream>
#include <thread>

#include "gui_quarn.h"

using namespace std::string_literals;

TEST(filesfilter, itemsgivedisplaytextandpatternthenall) {
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

// Waits for this process's dialog, notes its title and OK button, then types
// `typed` and presses OK, or cancels when there is nothing to type.
struct dialoganswerer {
  std::string typed, title, okbutton;
  std::thread worker;
  static BOOL CALLBACK pick(HWND h, LPARAM out) {
    char cls[16] = {};
    DWORD pid = 0;
    GetWindowThreadProcessId(h, &pid);
    if (pid != GetCurrentProcessId() || !IsWindowVisible(h) ||
        !GetClassNameA(h, cls, sizeof cls) || std::string(cls) != "#32770")
      return TRUE;
    *(HWND *)out = h;
    return FALSE;
  }
  explicit dialoganswerer(std::string name = "") : typed(std::move(name)) {
    worker = std::thread([this] {
      HWND box = 0;
      for (int i = 0; i < 1500 && !box; i++, Sleep(20)) EnumWindows(pick, (LPARAM)&box);
      if (!box) return;
      Sleep(300);  // let it settle
      char text[256] = {};
      GetWindowTextA(box, text, sizeof text);
      title = text;
      GetDlgItemTextA(box, IDOK, text, sizeof text);
      for (char c : std::string(text)) okbutton += c == '&' ? "" : std::string(1, c);
      SendMessageA(box, CDM_SETCONTROLTEXT, 0x47c, (LPARAM)typed.c_str());  // name combo
      SendMessageA(box, CDM_SETCONTROLTEXT, 0x480, (LPARAM)typed.c_str());  // name edit
      PostMessageA(box, WM_COMMAND, typed.empty() ? IDCANCEL : IDOK, 0);
    });
  }
  void wait() {  // until the dialog was answered, or never came
    if (worker.joinable()) worker.join();
  }
  ~dialoganswerer() { wait(); }
};

// A folder of its own, as a Windows path ending in "\", with one file in it.
struct filesdialog : ::testing::Test {
  char temp[MAX_PATH] = {};
  std::string folder = (GetTempPathA(sizeof temp, temp), std::string(temp) + "quarndialog\\");
  void SetUp() override {
    CreateDirectoryA(folder.c_str(), 0);
    std::ofstream(folder + "there.txt") << "x";
  }
};

TEST_F(filesdialog, theopendialogopensinthepathsfolderandcancelsempty) {
  std::string title = "load " + std::string(40, 't');
  dialoganswerer cancel;
  EXPECT_EQ(guifiledialog(title, folder + "*.txt,Text"), "");
  cancel.wait();
  EXPECT_EQ(cancel.title, title.substr(0, 31));
  EXPECT_EQ(cancel.okbutton, "Open");

  dialoganswerer choose("there.txt");
  EXPECT_EQ(guifiledialog("Save", folder + "*.txt,Text"), folder + "there.txt");
  choose.wait();
  EXPECT_EQ(choose.okbutton, "Open") << "a capital S is not save";
}

TEST_F(filesdialog, alowercasesaveshowsthesavedialogwhichtakesanewname) {
  dialoganswerer answer("new.txt");
  EXPECT_EQ(guifiledialog("please save it", folder + "*.txt"), folder + "new.txt");
  answer.wait();
  EXPECT_EQ(answer.okbutton, "Save");
}
