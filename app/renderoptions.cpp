// renderoptions.cpp: the renderer's command line, checked whole before any work.
#include <cerrno>
#include <cmath>
#include <cstdlib>

#include "app/render.h"

#ifndef QUARN_VERSION
#error "QUARN_VERSION: the project's version, from CMake"
#endif

const char *renderversion = "roomcaster_render " QUARN_VERSION "\n";

const char *renderusage =
    "usage: roomcaster_render [--settings FILE] [--preset FILE] [--buffersize N] [--set NAME=VALUE]...\n"
    "                         [--plugin PATH]... [--quiet] INPUT.wav OUTPUT.wav\n"
    "\n"
    "Runs a 44100 Hz WAV file through the roomcaster_quarn engine, block by block, and\n"
    "writes the result (16-bit stereo 44100 Hz, the same frames). INPUT is mono or stereo,\n"
    "PCM of 8, 16, 24 or 32 bits or 32-bit float; it is rounded to 16 bits and mono goes\n"
    "to both channels. The engine starts as it does when the devices open: 3 s of silence,\n"
    "then a 3 s fade-in.\n"
    "\n"
    "  --settings FILE    the values of a settings file (roomcaster_quarn.ini), as the program reads them\n"
    "  --preset FILE      then the values of a preset (.dspquarn), as the program loads it\n"
    "  --buffersize N     frames per block, 150 to 16000 (default 400, or the files' block size)\n"
    "  --set NAME=VALUE   set one engine value before processing:\n"
    "                       gain 0..3, testgain 0.001..3, pan 0..2, wet 0|1, tplug 0|1,\n"
    "                       inputmode 0|1|99, outputmode 0|1|99, loopteststate (integer >= 0),\n"
    "                       play 0|1 (above 1: every block dropped, written as silence),\n"
    "                       starttime (seconds on the stream clock; -6 skips the silence and fade)\n"
    "  --plugin PATH      load a plug-in module into the next slot (1 to 6, in order)\n"
    "  --quiet            no progress line (it shows only when stderr is a console)\n"
    "  --version          the version\n"
    "  --help             this text\n";

namespace {

struct ValueRule {
  const char *name;
  bool integer;
  double low, high;
};

// Ranges accepted on the command line (the engine's own ranges).
const ValueRule valuerules[] = {
    {"gain", false, 0, 3},         {"testgain", false, 0.001, 3}, {"pan", false, 0, 2},
    {"wet", true, 0, 1},           {"tplug", true, 0, 1},         {"inputmode", true, 0, 99},
    {"outputmode", true, 0, 99},   {"loopteststate", true, 0, 1999999},
    {"play", true, 0, 1000},       {"starttime", false, -1e9, 1e9},
};

bool parsenumber(const std::string &text, double &value) {
  if (text.empty()) return false;
  char *end = nullptr;
  errno = 0;
  value = std::strtod(text.c_str(), &end);
  return end == text.c_str() + text.size() && errno != ERANGE && std::isfinite(value);
}

bool parseset(const std::string &arg, RenderOptions &o, std::string &error) {
  size_t eq = arg.find('=');
  if (eq == std::string::npos) {
    error = "--set needs NAME=VALUE, got '" + arg + "'";
    return false;
  }
  std::string name = arg.substr(0, eq), text = arg.substr(eq + 1);
  const ValueRule *rule = nullptr;
  for (const ValueRule &r : valuerules)
    if (name == r.name) rule = &r;
  if (!rule) {
    error = "--set: unknown name '" + name + "'";
    return false;
  }
  double v;
  if (!parsenumber(text, v)) {
    error = "--set " + name + ": '" + text + "' is not a number";
    return false;
  }
  if (rule->integer && v != std::floor(v)) {
    error = "--set " + name + ": '" + text + "' is not a whole number";
    return false;
  }
  bool modes = name == "inputmode" || name == "outputmode";
  if (v < rule->low || v > rule->high || (modes && v != 0 && v != 1 && v != 99)) {
    error = "--set " + name + ": " + text + " is out of range";
    return false;
  }
  o.sets.emplace_back(name, v);
  return true;
}

}  // namespace

bool parserenderoptions(int argc, char **argv, RenderOptions &o, std::string &error) {
  std::vector<std::string> files;
  for (int i = 1; i < argc; ++i) {
    std::string a = argv[i];
    bool hasvalue = i + 1 < argc;
    if (a == "--help" || a == "-h") {
      o.help = true;
      return true;
    } else if (a == "--version") {
      o.version = true;
      return true;
    } else if (a == "--quiet") {
      o.quiet = true;
    } else if (a == "--buffersize") {
      double v;
      if (!hasvalue) {
        error = "--buffersize needs a value";
        return false;
      }
      std::string text = argv[++i];
      if (!parsenumber(text, v) || v != std::floor(v)) {
        error = "--buffersize: '" + text + "' is not a whole number";
        return false;
      }
      if (v < 150 || v > 16000) {
        error = "--buffersize: " + text + " is out of range (150 to 16000)";
        return false;
      }
      o.buffersize = static_cast<int>(v);
      o.buffersizegiven = true;
    } else if (a == "--settings" || a == "--preset") {
      if (!hasvalue) {
        error = a + " needs a file";
        return false;
      }
      (a == "--settings" ? o.settingsfile : o.presetfile) = argv[++i];
    } else if (a == "--set") {
      if (!hasvalue) {
        error = "--set needs NAME=VALUE";
        return false;
      }
      if (!parseset(argv[++i], o, error)) return false;
    } else if (a == "--plugin") {
      if (!hasvalue) {
        error = "--plugin needs a path";
        return false;
      }
      if (o.plugins.size() == 6) {
        error = "--plugin: at most six plug-ins (slots 1 to 6)";
        return false;
      }
      o.plugins.push_back(argv[++i]);
    } else if (a.size() > 1 && a[0] == '-') {
      error = "unknown option '" + a + "'";
      return false;
    } else {
      files.push_back(a);
    }
  }
  if (files.size() != 2) {
    error = files.size() < 2 ? "missing INPUT.wav and OUTPUT.wav (see --help)" : "too many file names (see --help)";
    return false;
  }
  o.input = files[0];
  o.output = files[1];
  return true;
}
