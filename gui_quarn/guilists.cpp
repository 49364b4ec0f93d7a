// guilists: combo boxes and list boxes, filled from string arrays. Positions at
// this interface are 1-based (0 = none); the native index is one lower.
// A callback runs when the selection changes (notification code 1).
// Thread: user-interface thread only.
#include "gui_quarn/guicontrols.h"
#include "gui_quarn/guicore.h"

#include <climits>
#include <vector>

// The list's own 0-based index of a 1-based position; the lowest position (a
// gain of -3.4e38 from a file) stays the lowest index, which selects nothing.
static WPARAM listindex(int position) { return (WPARAM)(position > INT_MIN ? position - 1 : INT_MIN); }

// The native messages of one list kind.
struct listkind {
  UINT reset, add, setsel, getsel;
};
static const listkind combo = {CB_RESETCONTENT, CB_ADDSTRING, CB_SETCURSEL, CB_GETCURSEL};
static const listkind listbox = {LB_RESETCONTENT, LB_ADDSTRING, LB_SETCURSEL, LB_GETCURSEL};

static void add(HWND h, const listkind &k, const std::string &text) {
  SendMessageA(h, k.add, 0, (LPARAM)text.c_str());
}

// Empties the list, then appends the array's elements from 0: an empty element
// 0 is skipped, the first empty element after it ends the list.
static void filllist(HWND h, const listkind &k, const guistrings &list) {
  SendMessageA(h, k.reset, 0, 0);
  for (size_t i = 0; i < list.size(); i++) {
    if (!list[i].empty())
      add(h, k, list[i]);
    else if (i > 0)
      break;
  }
}

// Selects the entry that was filled from the first element equal to text.
static void selecttext(HWND h, const listkind &k, const std::string &text,
                       const guistrings &list) {
  for (size_t i = 0; i < list.size(); i++) {
    if (list[i] != text) continue;
    long position = (long)i - (list[0].empty() ? 1 : 0);
    SendMessageA(h, k.setsel, (WPARAM)position, 0);
    return;
  }
}

static int selection(HWND h, const listkind &k) {
  return (int)SendMessageA(h, k.getsel, 0, 0) + 1;  // none (-1) becomes 0
}

void addcombobox(const std::string &fullname, guicallback callback, int x, int y, int width,
                 int height) {
  guideclare("combobox", 0x200002, fullname, "combo", callback, x, y, width, height, 0);
}

void addlistbox(const std::string &fullname, guicallback callback, int x, int y, int width,
                int height, uint32_t style) {
  guideclare("listbox", 0x200001, fullname, "listebox", callback, x, y, width, height, style);
}

void setcombolist(const std::string &name, const guistrings &list) {
  HWND h = gethandle(name);
  if (!h) return;
  int index = guifind(name);
  if (gui.currentkind == "control") gui.currentcontrol = index;
  filllist(h, combo, list);
}

void addcomboitem(const std::string &name, const std::string &text) {
  HWND h = gethandle(name);
  if (h && !text.empty()) add(h, combo, text);
}

void selectcombotext(const std::string &name, const std::string &text, const guistrings &list) {
  if (HWND h = gethandle(name)) selecttext(h, combo, text, list);
}

void setcomboindex(const std::string &name, int position) {
  if (HWND h = gethandle(name)) SendMessageA(h, CB_SETCURSEL, listindex(position), 0);
}

void getcomboindex(const std::string &name, int &position) {
  if (HWND h = gethandle(name)) position = selection(h, combo);
}

void deletecomboitem(const std::string &name, int position) {
  if (HWND h = gethandle(name)) SendMessageA(h, CB_DELETESTRING, listindex(position), 0);
}

void resetcombo(const std::string &name) {
  if (HWND h = gethandle(name)) SendMessageA(h, CB_RESETCONTENT, 0, 0);
}

// The array element the selection was filled from; the text shown is not read.
std::string getcombotext(const std::string &name, const guistrings &list) {
  HWND h = gethandle(name);
  if (!h) return "";
  int s = (int)SendMessageA(h, CB_GETCURSEL, 0, 0);
  if (s < 0 || list.empty()) return "";
  size_t element = (size_t)s + (list[0].empty() ? 1 : 0);
  return element < list.size() ? list[element] : "";
}

void setlistboxlist(const std::string &name, const guistrings &list) {
  if (HWND h = gethandle(name)) filllist(h, listbox, list);
}

void selectlistboxtext(const std::string &name, const std::string &text,
                       const guistrings &list) {
  if (HWND h = gethandle(name)) selecttext(h, listbox, text, list);
}

void addlistboxitem(const std::string &name, const std::string &text) {
  if (HWND h = gethandle(name)) add(h, listbox, text);
}

// Text of the native entry n through a 4000-character buffer: cut to 3999.
// The length is asked first, since the list writes without a bound.
static std::string entrytext(HWND h, int n) {
  if (n < 0) return "";
  LRESULT length = SendMessageA(h, LB_GETTEXTLEN, (WPARAM)n, 0);
  if (length <= 0) return "";
  std::vector<char> text((size_t)length + 1, 0);
  LRESULT got = SendMessageA(h, LB_GETTEXT, (WPARAM)n, (LPARAM)text.data());
  if (got <= 0) return "";
  if (got > length) got = length;
  return std::string(text.data(), got < 3999 ? (size_t)got : 3999);
}

std::string getlistboxitem(const std::string &name, int position) {
  HWND h = gethandle(name);
  return h ? entrytext(h, (int)listindex(position)) : "";
}

void getlistboxindex(const std::string &name, int &position) {
  if (HWND h = gethandle(name)) position = selection(h, listbox);
}

void setlistboxindex(const std::string &name, int position) {
  if (HWND h = gethandle(name)) SendMessageA(h, LB_SETCURSEL, listindex(position), 0);
}

std::string getlistboxtext(const std::string &name) {
  HWND h = gethandle(name);
  return h ? entrytext(h, (int)SendMessageA(h, LB_GETCURSEL, 0, 0)) : "";
}
