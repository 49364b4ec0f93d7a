// pluginkit.cpp: the shared test helpers of pluginkit.h.
#include "tests/pluginhost/pluginkit.h"

#include "app/render/render.h"
#include "engine/wavfile.h"

#include <atomic>
#include <cctype>
#include <fstream>
#include <sstream>

// CMake gives a Unix path, which the program under Wine reaches through drive Z:.
std::string fixturemodule(const char *name) {
  std::string p = std::string(QUARN_FIXTUREDIR[0] == '/' ? "Z:" : "") + QUARN_FIXTUREDIR + "/" + name + ".dll";
  for (char &c : p) c = c == '/' ? '\\' : c;
  return p;
}

void HostTest::makefolder(const std::string &relative) const { fs::create_directories(tree.at(relative)); }

void HostTest::copymodule(const char *fixture, const std::string &relative) const {
  fs::create_directories(fs::path(tree.at(relative)).parent_path());
  ASSERT_TRUE(CopyFileA(fixturemodule(fixture).c_str(), tree.at(relative).c_str(), FALSE)) << fixture << " to " << relative;
}

void HostTest::writefile(const std::string &relative, const std::string &bytes) const {
  fs::create_directories(fs::path(tree.at(relative)).parent_path());
  std::ofstream(tree.at(relative), std::ios::binary) << bytes;
}

int HostTest::render(std::vector<std::string> args, const std::vector<std::string> &plugins,
                     std::vector<int16_t> &out) const {
  args.insert(args.begin(), "roomcaster_render");
  for (const std::string &p : plugins) args.insert(args.end(), {"--plugin", tree.at("lib\\" + p + ".dll")});
  args.insert(args.end(), {tree.at("in.wav"), tree.at("out.wav")});
  std::vector<char *> argv;
  for (std::string &a : args) argv.push_back(a.data());
  RenderOptions options;
  std::string error;
  out.clear();
  if (!parserenderoptions((int)argv.size(), argv.data(), options, error)) return -1;
  const int status = runrender(options);
  WavAudio audio;
  if (readwav(tree.at("out.wav"), audio, error)) out = audio.samples;
  return status;
}

std::string readfile(const std::string &path) {
  std::stringstream all;
  all << std::ifstream(path, std::ios::binary).rdbuf();
  return all.str();
}

std::string samepathkey(const std::string &path) {
  char full[MAX_PATH * 4];
  DWORD n = GetFullPathNameA(path.c_str(), sizeof full, full, nullptr);
  std::string key(full, n < sizeof full ? n : 0);
  for (char &c : key) c = c == '/' ? '\\' : (char)std::tolower((unsigned char)c);
  while (key.size() > 3 && key.back() == '\\') key.pop_back();
  return key;
}

std::string slotstates() {
  std::string states;
  for (int slot = 1; slot <= pluginslotcount; ++slot) {
    const PluginSlot &s = pluginslots[slot];
    int bound = !!s.plugininit + !!s.pluginmain + !!s.pluginproc + !!s.pluginclose;
    states += !s.module ? (bound ? '?' : '.') : bound == 4 ? 'b' : bound == 0 ? 'u' : '?';
  }
  return states;
}

int modulecounter(void *module, const char *name) {
  auto counter = moduleexport<int(QUARN_PLUGINCALL *)(void)>(module, name);
  EXPECT_NE(counter, nullptr) << "no " << name;
  return counter ? counter() : -1;
}

void HostTest::SetUp() {
  ASSERT_EQ(slotstates(), "......") << "a previous test left a slot loaded";
  static std::atomic<int> made;
  tree.path = (fs::temp_directory_path() /
               ("quarnplugins_" + std::to_string(GetCurrentProcessId()) + "_" + std::to_string(++made))).string();
  startcwd = fs::current_path().string();
  prog = tree.at("prog");
  fs::remove_all(tree.path);
  makefolder("prog");
  setpluginprogramfolder(prog.c_str());
  enter(prog);
}

void HostTest::TearDown() {
  unloadplugins();
  SetCurrentDirectoryA(startcwd.c_str());
  setpluginprogramfolder(nullptr);
  std::error_code ignored;
  fs::remove_all(tree.path, ignored);
}
