// presetflows.cpp: the "save" and "load" buttons: a preset chosen in the file
// dialog, in the folder "save" beside the program. Either flow leaves the
// current directory as it found it and hands the focus back to "win.msg".

#include "app/settings/presetflows.h"

#include "app/quarn/quarnapp.h"
#include "app/settings/presetfile.h"
#include "engine/engine.h"
#include "gui_quarn/guifolders.h"

static std::string trimspaces(const std::string &s) {
  const size_t first = s.find_first_not_of(' ');
  if (first == std::string::npos) return "";
  return s.substr(first, s.find_last_not_of(' ') - first + 1);
}

static bool haspresetextension(const std::string &path) {
  const size_t n = std::char_traits<char>::length(presetextension);
  return path.size() >= n && path.compare(path.size() - n, n, presetextension) == 0;
}

// Steps 1 to 4 of both flows: the dialog opened in the save folder, the
// current directory put back, the chosen path without spaces at either end.
static std::string choosepreset(const char *title, const std::string &remembered) {
  const std::string folder = guiprogramfolder() + "\\save\\";
  SetCurrentDirectoryA(folder.c_str());  // a missing folder is not an error
  const std::string path = trimspaces(guifiledialog(title, folder + "*" + presetextension));
  SetCurrentDirectoryA(remembered.c_str());
  return path;
}

static void finishflow(const std::string &remembered) {
  SetCurrentDirectoryA(remembered.c_str());
  guisetfocus("win.msg");
}

void savepresetflow() {
  const std::string remembered = guicurrentdirectory();
  std::string path = choosepreset("save", remembered);
  if (!path.empty() && path.find('.') == std::string::npos) path += presetextension;
  if (haspresetextension(path)) {
    std::string answer;
    guiconfirm("save in " + path + " ?", "confirm", answer);
    if (answer == "yes") savepreset(path);
  }
  finishflow(remembered);
}

void loadpresetflow() {
  const std::string remembered = guicurrentdirectory();
  const std::string path = choosepreset("load", remembered);
  if (haspresetextension(path) && loadpreset(path)) {
    engine.quitrequest = 1;
    app.restartrequest = 2;
    guinotice("ok", "notice");
  }
  finishflow(remembered);
}
