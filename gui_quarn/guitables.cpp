// guitables: this module's instance of the toolkit's tables and event record.
// Thread: user-interface thread only.
#include "gui_quarn/guitables.h"

guitables gui;
guieventrecord guievent;

#include "gui_quarn/guicore.h"

// Start-up runs once the tables above exist (same file, so in this order).
static const bool guistartedup = (guistartup(), true);
