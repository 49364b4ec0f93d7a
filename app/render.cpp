// render.cpp: runs a WAV file through the engine block by block, offline.
// Single-threaded: this thread plays the audio thread's part.
#include "app/render.h"

#include <cstdio>
#include <filesystem>

#include "numberlines/numberlines.h"
#include "app/settings/presetfile.h"
#include "app/settings/settingsfile.h"
#include "engine/engine.h"
#include "engine/wavfile.h"
#ifdef QUARN_HAVE_PLUGINHOST
#include "pluginhost/pluginfaults.h"
#include "pluginhost/pluginhost.h"
#endif
#include "app/renderterminal.h"

void applyenginevalue(const std::string &name, double v) {
  EngineState &e = engine;
  if (name == "gain") e.gain = static_cast<float>(v);
  else if (name == "testgain") e.testgain = static_cast<float>(v);
  else if (name == "pan") e.pan = static_cast<float>(v);
  else if (name == "wet") e.wet = static_cast<int>(v);
  else if (name == "tplug") e.tplug = static_cast<int>(v);
  else if (name == "inputmode") e.inputmode = static_cast<int>(v);
  else if (name == "outputmode") e.outputmode = static_cast<int>(v);
  else if (name == "loopteststate") e.loopteststate = static_cast<int>(v);
  else if (name == "play") e.play = static_cast<int>(v);
  else if (name == "starttime") e.starttime = v;
}

namespace {

constexpr int playbackbuffers = 6;

// An offline playback device: six buffers; a queued buffer is taken at once,
// so every block finds all six free.
struct RenderPlayback {
  std::vector<int16_t> storage;
  int16_t *data[playbackbuffers];
  std::atomic<int32_t> busy[playbackbuffers];
  int current = 0;
  int count = 0;       // samples of the block being processed
  bool queued = false;
  std::vector<int16_t> *output = nullptr;
};

void renderqueue(void *context, int index) {
  RenderPlayback &p = *static_cast<RenderPlayback *>(context);
  p.output->insert(p.output->end(), p.data[index], p.data[index] + p.count);
  p.busy[index] = 0;
  p.queued = true;
}

// Fills slots 1.. with the --plugin modules in order. A module that loaded but
// faulted in plugininit is switched off, told at once and counted in `faults`;
// the render goes on without it.
bool loadplugins(const RenderOptions &o, int &faults) {
#ifdef QUARN_HAVE_PLUGINHOST
  for (size_t i = 0; i < o.plugins.size(); ++i) {
    const std::string &path = o.plugins[i];
    const int slot = static_cast<int>(i) + 1;
    std::error_code ec;
    if (!std::filesystem::is_regular_file(path, ec)) {
      std::fprintf(stderr, "roomcaster_render: %s: no such plug-in file\n", path.c_str());
      return false;
    }
    if (loadpluginfile(path.c_str(), slot)) continue;
    if (pluginfault[slot].load() != 0) {
      faults += reportpluginfaults("roomcaster_render");
      continue;
    }
    std::fprintf(stderr, "roomcaster_render: %s: not a usable plug-in module (cannot be loaded, or lacks plugininit, pluginmain, pluginproc or pluginclose)\n", path.c_str());
    return false;
  }
  return true;
#else
  (void)faults;
  if (!o.plugins.empty()) {
    std::fprintf(stderr, "roomcaster_render: plug-ins are not available in this build\n");
    return false;
  }
  return true;
#endif
}

// The settings file and the preset, read as the program reads them, then the
// switches every window build turns off.
bool readfiles(const RenderOptions &o) {
  std::string text;
  if (!o.settingsfile.empty()) {
    if (!loadnumberfile(o.settingsfile.c_str(), text)) {
      std::fprintf(stderr, "roomcaster_render: %s: cannot read the settings file\n", o.settingsfile.c_str());
      return false;
    }
    readsettingstext(text);
  }
  if (!o.presetfile.empty()) {
    if (!loadpreset(o.presetfile)) {
      std::fprintf(stderr, "roomcaster_render: %s: cannot read the preset\n", o.presetfile.c_str());
      return false;
    }
  }
  EngineState &e = engine;
  e.noise = 0;
  e.antilarsen = 0;
  e.bypass = 0;
  e.mono = 0;
  if (e.remove50 != 1 && e.remove50 != 2) e.remove50 = 0;
  return true;
}

// Tells each plug-in that faulted during the render; how many did.
int pluginsfaulted() {
#ifdef QUARN_HAVE_PLUGINHOST
  return reportpluginfaults("roomcaster_render");
#else
  return 0;
#endif
}

}  // namespace

int runrender(const RenderOptions &o) {
  WavAudio in;
  std::string error;
  if (!readwav(o.input, in, error)) {
    std::fprintf(stderr, "roomcaster_render: %s\n", error.c_str());
    return 2;
  }
  int faults = 0;
  if (!loadplugins(o, faults)) return 2;

  // Program start-up, then what opening the devices sets, on the stream clock.
  engineinit();
  if (!readfiles(o)) return 2;
  const int buffersize = o.buffersizegiven || (o.settingsfile.empty() && o.presetfile.empty()) ? o.buffersize
                                                                                             : engine.buffersize.load();
  engine.buffersize = buffersize;
  engineclock.streamclock = true;
  engineclock.streamframe = 0;
  enginedevicesopened(0.0);
  engine.play = 1;
  for (const auto &[name, value] : o.sets) applyenginevalue(name, value);

  static RenderPlayback playback;  // six buffers of up to 16000 frames
  playback.storage.assign(static_cast<size_t>(playbackbuffers) * 2 * buffersize, 0);
  for (int i = 0; i < playbackbuffers; ++i) {
    playback.data[i] = playback.storage.data() + static_cast<size_t>(i) * 2 * buffersize;
    playback.busy[i] = 0;
  }
  std::vector<int16_t> out;
  out.reserve(in.samples.size());
  playback.output = &out;
  PlaybackPort port{playbackbuffers, buffersize, playback.busy, &playback.current, playback.data, &playback,
                    renderqueue};
  engineplayback.store(&port);

  // Subnormal floats are kept here, unlike on the live audio thread: flushing
  // them turns the decaying tail of a long silence (a tiny negative value,
  // floored to -1) into 0, and the renderer is the exact check of the chain.
  const size_t total = in.samples.size();
  const size_t blocksamples = static_cast<size_t>(2) * buffersize;
  ProgressLine progress(o.progress, total / 2);
  for (size_t pos = 0; pos < total; pos += blocksamples) {
    int count = static_cast<int>(std::min(blocksamples, total - pos));
    playback.count = count;
    playback.queued = false;
    processblock(in.samples.data() + pos, count);
    if (!playback.queued) out.insert(out.end(), count, 0);  // a dropped block is silence
    progress.update(pos / 2 + count / 2);
  }
  progress.finish();
  engineplayback.store(nullptr);

  faults += pluginsfaulted();
  if (!writewav(o.output, out, error)) {
    std::fprintf(stderr, "roomcaster_render: %s\n", error.c_str());
    return 2;
  }
  // The output is written, but it is not what was asked for: a faulting
  // plug-in was switched off (in pluginproc, its block is silence).
  return faults > 0 ? 3 : 0;
}
