// coreboxes: a second thread that reads and answers this process's message
// boxes while a test runs on the user-interface thread. The answers given
// (IDOK, IDCANCEL, or 0 for closing the box) are used in turn, then every box
// is OK'd; seen() lists each box as {title, text}.
#pragma once
#include <windows.h>

#include <atomic>
#include <deque>
#include <mutex>
#include <string>
#include <thread>
#include <utility>
#include <vector>

using seenbox = std::pair<std::string, std::string>;  // title, text

// This process's visible dialog (a message box or the file dialog), or 0.
inline BOOL CALLBACK pickdialog(HWND h, LPARAM out) {
  char cls[16] = {};
  DWORD pid = 0;
  GetWindowThreadProcessId(h, &pid);
  if (pid != GetCurrentProcessId() || !IsWindowVisible(h) || !GetClassNameA(h, cls, sizeof cls) ||
      std::string(cls) != "#32770")
    return TRUE;
  *(HWND *)out = h;
  return FALSE;
}
inline HWND finddialog() {
  HWND found = 0;
  EnumWindows(pickdialog, (LPARAM)&found);
  return found;
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

  void run() {
    while (!stop) {
      HWND box = finddialog();
      if (!box) {
        Sleep(20);
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
      PostMessageA(box, answer ? WM_COMMAND : WM_CLOSE, answer, 0);
      for (int i = 0; i < 500 && IsWindow(box); i++) Sleep(10);
    }
  }
};
