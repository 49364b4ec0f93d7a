// pluginslots.cpp: the slot table and the fault seam's state, shared by the host
// (which fills them) and the engine (which reads them per sample).
#include "pluginhost/pluginguard.h"
#include "pluginhost/pluginslot.h"

PluginSlot pluginslots[pluginslotcount + 1];
PluginGuard pluginguard{nullptr};
std::atomic<uint32_t> pluginfault[pluginslotcount + 1];
