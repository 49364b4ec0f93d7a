// presetflows.cpp: the "save" and "load" buttons.
#include "app/quarn/quarnapp.h"

void savepresetflow() {}
void loadpresetflow() {}
