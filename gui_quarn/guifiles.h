// guifiles: the one-call file dialog.
//
//   std::string f = guifiledialog("load", folder + "\\*.wav,Wave files;*.txt,Text");
//   if (f.empty()) ... cancelled, or the filter did not fit
//
// The text after the last "\" of the path is the filter: items separated by
// ";", each a pattern, then "," and a description (which may be missing). The
// text before it is the folder the dialog opens in (empty: the current one).
// A title containing "save" (case-sensitive) shows the save dialog, any other
// the open dialog.
// Thread: user-interface thread only; the dialog is modal and dispatches messages.
#pragma once
#include <string>

#include "gui_quarn/guitables.h"

std::string guifiledialog(const std::string &title, const std::string &path);

// The dialog's native filter list built from a filter text: pairs of
// zero-terminated strings (display text, pattern) for each item, then
// "All  (*.*)" / "*.*", closed by an extra zero byte. Everything must fit in
// guifiltermax bytes; when it does not, the result is empty.
constexpr int guifiltermax = 200;
std::string guibuildfilter(const std::string &name);

// Field k (from 1) of text split at sep; fields beyond the last are empty.
std::string guifield(const std::string &text, char sep, int k);
