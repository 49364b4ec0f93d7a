// pluginkit.cpp: the shared test helpers of pluginkit.h.
#include "pluginkit.h"

#include <atomic>
#include <cctype>
#include <fstream>
#include <sstream>

#include <gtest/gtest.h>

std::string hostpath(const char *path) {
  std::string p = path;
  if (!p.empty() && p[0] == '/') p = "Z:" + p;
  for (char &c : p)
    if (c == '/') c = '\\';
  return p;
}

std::string fixturemodule(const char *name) {
  return hostpath(QUARN_FIXTUREDIR) + "\\" + name + ".dll";
}

static void removetree(const std::string &path) {
  WIN32_FIND_DATAA entry;
  HANDLE find = FindFirstFileA((path + "\\*").c_str(), &entry);
  if (find != INVALID_HANDLE_VALUE) {
    do {
      std::string name = entry.cFileName;
      if (name == "." || name == "..") continue;
      std::string child = path + "\\" + name;
      SetFileAttributesA(child.c_str(), FILE_ATTRIBUTE_NORMAL);
      if (entry.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY)
        removetree(child);
      else
        DeleteFileA(child.c_str());
    } while (FindNextFileA(find, &entry));
    FindClose(find);
  }
  RemoveDirectoryA(path.c_str());
}

TempFolder::TempFolder() {
  static std::atomic<int> made;
  char temp[MAX_PATH];
  GetTempPathA(sizeof temp, temp);
  std::string base = temp;
  if (!base.empty() && base.back() == '\\') base.pop_back();
  path = base + "\\quarnplugins_" + std::to_string(GetCurrentProcessId()) + "_" + std::to_string(++made);
  removetree(path);
  CreateDirectoryA(path.c_str(), nullptr);
}

TempFolder::~TempFolder() { removetree(path); }

std::string TempFolder::at(const std::string &relative) const { return path + "\\" + relative; }

void TempFolder::makefolder(const std::string &relative) const {
  std::string sofar = path;
  std::stringstream parts(relative);
  std::string part;
  while (std::getline(parts, part, '\\')) {
    sofar += "\\" + part;
    CreateDirectoryA(sofar.c_str(), nullptr);
  }
}

void TempFolder::copymodule(const char *fixture, const std::string &relative) const {
  size_t cut = relative.find_last_of('\\');
  if (cut != std::string::npos) makefolder(relative.substr(0, cut));
  ASSERT_TRUE(CopyFileA(fixturemodule(fixture).c_str(), at(relative).c_str(), FALSE))
      << "copying " << fixturemodule(fixture) << " to " << at(relative);
}

void TempFolder::writefile(const std::string &relative, const std::string &bytes) const {
  size_t cut = relative.find_last_of('\\');
  if (cut != std::string::npos) makefolder(relative.substr(0, cut));
  std::ofstream(at(relative), std::ios::binary) << bytes;
}

std::string readfile(const std::string &path) {
  std::ifstream in(path, std::ios::binary);
  std::stringstream all;
  all << in.rdbuf();
  return all.str();
}

bool fileexists(const std::string &path) {
  DWORD a = GetFileAttributesA(path.c_str());
  return a != INVALID_FILE_ATTRIBUTES && !(a & FILE_ATTRIBUTE_DIRECTORY);
}

std::string currentdirectory() {
  char dir[MAX_PATH * 4];
  DWORD n = GetCurrentDirectoryA(sizeof dir, dir);
  return std::string(dir, n < sizeof dir ? n : 0);
}

std::string samepathkey(const std::string &path) {
  char full[MAX_PATH * 4];
  DWORD n = GetFullPathNameA(path.c_str(), sizeof full, full, nullptr);
  std::string key(full, n < sizeof full ? n : 0);
  for (char &c : key) c = c == '/' ? '\\' : (char)std::tolower((unsigned char)c);
  while (key.size() > 3 && key.back() == '\\') key.pop_back();
  return key;
}

int slotcounter(int slot, const char *name) {
  auto counter = moduleexport<int(QUARN_PLUGINCALL *)(void)>(pluginslots[slot].module, name);
  EXPECT_NE(counter, nullptr) << "slot " << slot << " has no " << name;
  return counter ? counter() : -1;
}

void HostTest::SetUp() {
  for (int slot = 1; slot <= pluginslotcount; ++slot)
    ASSERT_EQ(pluginslots[slot].module, nullptr) << "a previous test left slot " << slot << " loaded";
  startcwd = currentdirectory();
  tree.makefolder("prog");
  prog = tree.at("prog");
  setpluginprogramfolder(prog.c_str());
  enter(prog);
}

void HostTest::TearDown() {
  unloadplugins();
  SetCurrentDirectoryA(startcwd.c_str());
  setpluginprogramfolder(nullptr);
}

void HostTest::enter(const std::string &folder) { ASSERT_TRUE(SetCurrentDirectoryA(folder.c_str())) << folder; }
