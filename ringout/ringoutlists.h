// ringoutlists.h: the five lists of ringout's window, portable.
//
//   for (int p = 1; p <= ringoutlistcount[gainlist]; p++)
//     addcomboitem("win.gain", ringoutlistentry(gainlist, p));       // "vol99" ...
//   setcomboindex("win.gain", ringoutlistposition(gainlist, params)); // 0: none
//   params.gain.store(ringoutlistvalue(gainlist, p));                // the user's choice
//
// Positions are 1-based, 0 meaning no selection, as the toolkit counts them.
// The value of a position and the position of a value are the window's own
// arithmetic; each entry's text shows the value its position stores.
#pragma once
#include <string>

#include "ringout/ringoutdsp.h"

enum RingoutList { gainlist, decaylist, tdecaylist, kdecaylist, ratelist };
constexpr int ringoutlists = 5;

// Entries in each list, indexed by RingoutList.
constexpr int ringoutlistcount[ringoutlists] = {28, 41, 100, 50, 21};

// The text of entry `position` (1..count): "vol99", "decayoff", "decay1.05",
// "tdecay5", "kdec0.50", "rate100%" ...; "" outside the list.
std::string ringoutlistentry(RingoutList list, int position);

// The value the list's callback stores for a selected position (0 for none),
// worked out in double and rounded to float once.
float ringoutlistvalue(RingoutList list, int position);

// The position of the entry that shows the parameter's current value; 0 when
// the value lies beyond the list (a decay of 3.05 or more read from the file).
int ringoutlistposition(RingoutList list, const RingoutParams &params);
