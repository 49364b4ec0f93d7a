// render.cpp: runs a WAV file through the engine block by block, offline.
// Single-threaded: this thread plays the audio thread's part.
#include "app/render/render.h"

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
#include "app/render/renderpipe.h"
#include "app/render/renderterminal.h"
#include "app/render/resampler.h"

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

RenderPlayback playback;  // six buffers of up to 16000 frames

void renderqueue(void *context, int index) {
  RenderPlayback &p = *static_cast<RenderPlayback *>(context);
  p.output->insert(p.output->end(), p.data[index], p.data[index] + p.count);
  p.busy[index] = 0;
  p.queued = true;
}

// One block through the engine, as the audio thread runs it; a dropped block is silence.
void engineblock(int16_t *in, int frames, int16_t *out) {
  static std::vector<int16_t> queued;
  const int count = 2 * frames;
  queued.clear();
  playback.output = &queued;
  playback.count = count;
  playback.queued = false;
  processblock(in, count);
  if (playback.queued) std::copy(queued.begin(), queued.end(), out);
  else std::fill(out, out + count, int16_t{0});
}

// Fills slots 1.. with the --plugin modules in order, then, with --plugins,
// the slots still empty from their folders beside the program, as
// roomcaster_live does. A module that loaded but faulted in plugininit is
// switched off, told at once and counted in `faults`; the render goes on
// without it.
bool renderloadplugins(const RenderOptions &o, int &faults) {
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
  if (o.pluginfolders) {
    loadplugins();
    faults += reportpluginfaults("roomcaster_render");
  }
  return true;
#else
  (void)faults;
  if (!o.plugins.empty() || o.pluginfolders) {
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
  engineswitchesoff();  // as the window does when it is built
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
  WavReader in;
  std::string error;
  if (!openwavreader(o.input, in, error)) {
    std::fprintf(stderr, "roomcaster_render: %s\n", error.c_str());
    return 2;
  }
  int faults = 0;
  if (!renderloadplugins(o, faults)) return 2;

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

  playback.storage.assign(static_cast<size_t>(playbackbuffers) * 2 * buffersize, 0);
  for (int i = 0; i < playbackbuffers; ++i) {
    playback.data[i] = playback.storage.data() + static_cast<size_t>(i) * 2 * buffersize;
    playback.busy[i] = 0;
  }
  PlaybackPort port{playbackbuffers, buffersize, playback.busy, &playback.current, playback.data, &playback,
                    renderqueue, nullptr};
  engineplayback.store(&port);

  const int outrate = o.rate ? o.rate : in.rate;
  const uint64_t frames =
      in.frames == wavunknownframes ? wavunknownframes : resampledframes(in.rate, outrate, static_cast<int64_t>(in.frames));
  WavWriter writer;
  if (!openwavwriter(o.output, outrate, frames, writer, error)) {
    std::fprintf(stderr, "roomcaster_render: %s\n", error.c_str());
    closewavreader(in);
    return 2;
  }

  // Subnormal floats are kept here, unlike on the live audio thread: flushing
  // them turns the decaying tail of a long silence (a tiny negative value,
  // floored to -1) into 0, and the renderer is the exact check of the chain.
  ProgressLine progress(o.progress, in.frames == wavunknownframes ? 0 : in.frames, in.rate);
  const bool ok = renderstream(in, writer, buffersize, engineblock, progress, error);
  engineplayback.store(nullptr);
  if (!in.warning.empty()) std::fprintf(stderr, "roomcaster_render: %s: warning: %s\n", in.name.c_str(), in.warning.c_str());
  closewavreader(in);

  faults += pluginsfaulted();
  if (!ok || !closewavwriter(writer, error)) {
    abandonwavwriter(writer);
    std::fprintf(stderr, "roomcaster_render: %s\n", error.c_str());
    return 2;
  }
  // The output is written, but it is not what was asked for: a faulting
  // plug-in was switched off (in pluginproc, its block is silence).
  return faults > 0 ? 3 : 0;
}
