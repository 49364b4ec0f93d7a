// guitables: this module's instance of the toolkit's tables and event record.
// Thread: user-interface thread only.
#include "guitables.h"

guitables gui;
guieventrecord guievent;

#include "guicore.h"

// Start-up runs once the tables above exist (same file, so in this order).
static const bool guistartedup = (guistartup(), true);
