// The file dialog: its filter list as a pure function, and the real dialog
// found, read and answered from a second thread.
#include <gtest/gtest.h>
#include <windows.h>

#include <atomic>
#include <fstream>
#include <thread>

#include "gui_quarn.h"

using namespace std::string_literals;

TEST(filesfilter, itemsgivedisplaytextandpatternthenall) {
  EXPECT_EQ(guibuildfilter("*.wav,Wave files;*.txt,Text"),
            "Wave files (*.wav)\0*.wav\0Text (*.txt)\0*.txt\0All  (*.*)\0*.*\0\0"s);
  EXPECT_EQ(guibuildfilter("*.dspquarn"), " (*.dspquarn)\0*.dspquarn\0All  (*.*)\0*.*\0\0"s);
  EXPECT_EQ(guibuildfilter("*.a,A,extra;;*.b,B"), "A (*.a)\0*.a\0All  (*.*)\0*.*\0\0"s)
      << "an empty item ends the list";
  EXPECT_EQ(guibuildfilter(""), "All  (*.*)\0*.*\0\0"s);
}

// "*.x" with an n-character description takes n + 6 + 4 bytes, "All" and the
// end 16: n = 173 fills exactly 200.
TEST(filesfilter, twohundredbytesfitandonemoreemptiesthelist) {
  EXPECT_EQ(guibuildfilter("*.x," + std::string(173, 'd')).size(), 200u);
  EXPECT_EQ(guibuildfilter("*.x," + std::string(174, 'd')), "");
}

static HWND finddialog() {
  HWND found = 0;
  EnumWindows(
      [](HWND h, LPARAM out) -> BOOL {
        char cls[16] = {};
        DWORD pid = 0;
        GetWindowThreadProcessId(h, &pid);
        if (pid != GetCurrentProcessId() || !IsWindowVisible(h) ||
            !GetClassNameA(h, cls, sizeof cls) || std::string(cls) != "#32770")
          return TRUE;
        *(HWND *)out = h;
        return FALSE;
      },
      (LPARAM)&found);
  return found;
}

// Waits for the dialog, notes its title and OK button, then types `typed`
// and presses OK, or cancels when nothing is to be typed.
struct dialoganswerer {
  std::string typed, title, okbutton;
  std::thread worker;
  explicit dialoganswerer(std::string name = "") : typed(std::move(name)) {
    worker = std::thread([this] {
      HWND box = 0;
      for (int i = 0; i < 1500 && !(box = finddialog()); i++) Sleep(20);
      if (!box) return;
      Sleep(300);  // let it settle
      char text[256] = {};
      GetWindowTextA(box, text, sizeof text);
      title = text;
      GetDlgItemTextA(box, IDOK, text, sizeof text);
      for (char c : std::string(text)) okbutton += c == '&' ? "" : std::string(1, c);
      if (typed.empty()) {
        PostMessageA(box, WM_COMMAND, IDCANCEL, 0);
        return;
      }
      SendMessageA(box, CDM_SETCONTROLTEXT, 0x47c, (LPARAM)typed.c_str());  // name combo
      SendMessageA(box, CDM_SETCONTROLTEXT, 0x480, (LPARAM)typed.c_str());  // name edit
      PostMessageA(box, WM_COMMAND, IDOK, 0);
    });
  }
  ~dialoganswerer() { wait(); }
  void wait() {
    if (worker.joinable()) worker.join();
  }
};

// A folder of its own, as a Windows path ending in "\", with one file in it.
struct filesdialog : ::testing::Test {
  std::string folder;
  void SetUp() override {
    char temp[MAX_PATH] = {};
    GetTempPathA(sizeof temp, temp);
    folder = std::string(temp) + "quarndialog" + std::to_string(GetCurrentProcessId()) + "\\";
    CreateDirectoryA(folder.c_str(), 0);
    std::ofstream(folder + "there.txt") << "x";
  }
  void TearDown() override {
    DeleteFileA((folder + "there.txt").c_str());
    RemoveDirectoryA(folder.c_str());
  }
};

TEST_F(filesdialog, cancellinggivesanemptystring) {
  dialoganswerer answer;
  std::string title = "load " + std::string(40, 't');
  EXPECT_EQ(guifiledialog(title, folder + "*.txt,Text"), "");
  answer.wait();
  EXPECT_EQ(answer.title, title.substr(0, 31));
  EXPECT_EQ(answer.okbutton, "Open");
}

TEST_F(filesdialog, achosenfileisfoundinthepathsfolder) {
  dialoganswerer answer("there.txt");
  EXPECT_EQ(guifiledialog("load", folder + "*.txt,Text"), folder + "there.txt");
}

TEST_F(filesdialog, onlyalowercasesaveinthetitleshowsthesavedialog) {
  for (auto [title, button] : {std::pair{"Save", "Open"}, std::pair{"please save it", "Save"}}) {
    dialoganswerer answer;
    guifiledialog(title, folder + "*.txt");
    answer.wait();
    EXPECT_EQ(answer.okbutton, button) << title;
  }
  dialoganswerer answer("new.txt");  // the file need not exist yet
  EXPECT_EQ(guifiledialog("save", folder + "*.txt"), folder + "new.txt");
}

TEST_F(filesdialog, afilterthatdoesnotfitshowsnodialog) {
  std::atomic<bool> done{false}, sawdialog{false};
  std::thread watcher([&] {  // a dialog that appears after all is cancelled, not waited on
    for (; !done; Sleep(20))
      if (HWND box = finddialog()) {
        sawdialog = true;
        PostMessageA(box, WM_COMMAND, IDCANCEL, 0);
      }
  });
  EXPECT_EQ(guifiledialog("load", folder + "*.x," + std::string(174, 'd')), "");
  done = true;
  watcher.join();
  EXPECT_FALSE(sawdialog);
}
