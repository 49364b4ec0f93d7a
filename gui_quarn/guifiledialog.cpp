// guifiledialog: the common open and save dialogs in one call, the filter
// written inside the path.
// Thread: user-interface thread only.
#include "gui_quarn/guifiles.h"

#include <commdlg.h>

#include <cstring>

std::string guifield(const std::string &text, char sep, int k) {
  size_t start = 0;
  for (int n = 1; n < k; n++) {
    size_t at = text.find(sep, start);
    if (at == std::string::npos) return "";
    start = at + 1;
  }
  size_t end = text.find(sep, start);
  return text.substr(start, end == std::string::npos ? std::string::npos : end - start);
}

std::string guibuildfilter(const std::string &name) {
  std::string list;
  // Every byte goes through here: one that would be byte guifiltermax + 1
  // makes the whole list void.
  auto put = [&list](const std::string &s) {
    if (list.size() + s.size() + 1 > (size_t)guifiltermax) return false;
    list += s;
    list += '\0';
    return true;
  };
  for (int n = 1;; n++) {
    std::string item = guifield(name, ';', n);
    if (item.empty()) break;
    std::string pattern = guifield(item, ',', 1);
    std::string display = guifield(item, ',', 2) + " (" + pattern + ")";
    if (!put(display) || !put(pattern)) return "";
  }
  if (!put("All  (*.*)") || !put("*.*") || !put("")) return "";
  return list;
}

std::string guifiledialog(const std::string &title, const std::string &path) {
  size_t cut = path.rfind('\\');
  std::string name = cut == std::string::npos ? path : path.substr(cut + 1);
  std::string folder = cut == std::string::npos ? "" : path.substr(0, cut + 1);

  char folderbuf[256] = {};
  if (folder.empty())
    GetCurrentDirectoryA(sizeof folderbuf, folderbuf);
  else
    std::memcpy(folderbuf, folder.data(), folder.size() < 255 ? folder.size() : 255);

  std::string list = guibuildfilter(name);
  if (list.empty()) return "";
  char filter[256] = {};
  std::memcpy(filter, list.data(), list.size());

  char file[261] = {};
  char titlebuf[32] = {};
  std::memcpy(titlebuf, title.data(), title.size() < 31 ? title.size() : 31);

  OPENFILENAMEA ofn = {};
  ofn.lStructSize = sizeof ofn;
  ofn.hwndOwner = 0;
  ofn.hInstance = gui.instance ? gui.instance : GetModuleHandleA(0);
  ofn.lpstrFilter = filter;
  ofn.nFilterIndex = 1;
  ofn.lpstrFile = file;
  ofn.nMaxFile = sizeof file;
  ofn.lpstrInitialDir = folderbuf;
  ofn.lpstrTitle = titlebuf;
  // Explorer style, path must exist; "file must exist" (0x1000) only when
  // opening: on saving it would refuse every new name.
  const bool saving = title.find("save") != std::string::npos;
  ofn.Flags = saving ? 0x80800 : 0x81800;

  BOOL chosen = saving ? GetSaveFileNameA(&ofn) : GetOpenFileNameA(&ofn);
  return chosen ? std::string(file) : std::string();
}
