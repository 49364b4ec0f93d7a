// guitables: this module's instance of the toolkit's tables and event record.
// Thread: user-interface thread only.
#include "guitables.h"

guitables gui;
guieventrecord guievent;
