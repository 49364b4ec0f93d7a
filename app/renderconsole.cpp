// renderconsole.cpp: is stderr a terminal? (POSIX)
#include <unistd.h>

#include <cstdio>

#include "app/renderterminal.h"

bool stderristerminal() { return isatty(fileno(stderr)) != 0; }
