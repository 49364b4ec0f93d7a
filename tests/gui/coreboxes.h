// coreboxes: a second thread that reads and answers the toolkit's message
// boxes while a test runs on the user-interface thread.
//
//   boxanswerer boxes;                  // from now on every box is read and OK'd
//   boxanswerer boxes({IDCANCEL});      // or: the first boxes get these answers
//   guinotice("text", "title");         // returns once the thread pressed OK
//   EXPECT_EQ(boxes.seen(), (std::vector<seenbox>{{"title", "text"}}));
//
// answers holds IDOK, IDCANCEL, or 0 for "close the box" (WM_CLOSE); when it
// runs out, boxes are OK'd. Only boxes of this process are touched.
#pragma once
#include <windows.h>

#include <atomic>
#include <chrono>
#include <deque>
#include <mutex>
#include <ostream>
#include <string>
#include <thread>
#include <vector>

struct seenbox {
  std::string title;
  std::string text;
  bool operator==(const seenbox &o) const { return title == o.title && text == o.text; }
};
inline std::ostream &operator<<(std::ostream &os, const seenbox &b) {
  return os << "{\"" << b.title << "\", \"" << b.text << "\"}";
}

struct boxanswerer {
  explicit boxanswerer(std::deque<int> given = {})
      : answers(std::move(given)), worker([this] { run(); }) {}
  ~boxanswerer() {
    stop = true;
    worker.join();
  }
  std::vector<seenbox> seen() {
    std::lock_guard<std::mutex> hold(lock);
    return boxes;
  }

 private:
  std::deque<int> answers;
  std::atomic<bool> stop{false};
  std::mutex lock;
  std::vector<seenbox> boxes;
  std::thread worker;

  static BOOL CALLBACK pick(HWND h, LPARAM out) {
    char cls[16] = {};
    DWORD pid = 0;
    GetWindowThreadProcessId(h, &pid);
    if (pid == GetCurrentProcessId() && GetClassNameA(h, cls, sizeof cls) &&
        std::string(cls) == "#32770" && IsWindowVisible(h)) {
      *(HWND *)out = h;
      return FALSE;
    }
    return TRUE;
  }

  void run() {
    while (!stop) {
      HWND box = 0;
      EnumWindows(pick, (LPARAM)&box);
      if (!box) {
        std::this_thread::sleep_for(std::chrono::milliseconds(20));
        continue;
      }
      char title[512] = {}, text[4096] = {};
      GetWindowTextA(box, title, sizeof title);
      GetDlgItemTextA(box, 0xFFFF, text, sizeof text);
      int answer = IDOK;
      {
        std::lock_guard<std::mutex> hold(lock);
        boxes.push_back({title, text});
        if (!answers.empty()) {
          answer = answers.front();
          answers.pop_front();
        }
      }
      if (answer)
        PostMessageA(box, WM_COMMAND, answer, 0);
      else
        PostMessageA(box, WM_CLOSE, 0, 0);
      for (int i = 0; i < 500 && IsWindow(box); i++)
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
    }
  }
};
