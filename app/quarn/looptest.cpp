// looptest.cpp: the loop test (the "testloop" button, key 8, after a device change).
#include "app/quarn/quarnapp.h"

void looptest() {}
