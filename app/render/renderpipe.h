// renderpipe.h: the file through the engine a block at a time, so memory stays
// flat however long the file is.
//
//   renderstream(reader, writer, 400, engineblock, progress, error);
//
// Blocks of `buffersize` frames at 44100 Hz go to the engine, the last one
// shorter. A reader at another rate is converted to 44100 Hz on the way in, and
// the engine's output to the writer's rate on the way out (resampler.h, in
// doubles, rounded once to 16 bits as float samples are); at 44100 Hz on both
// sides nothing is converted and the file's samples go in as they are read.
// The output has the input's frames x the writer's rate / the input's rate,
// rounded up: the input's frames exactly when the rates are alike.
#pragma once
#include <string>

#include "app/render/renderterminal.h"
#include "engine/wavfile.h"

// One engine block: frames of 16-bit stereo in, the same number out.
using RenderBlock = void (*)(int16_t *in, int frames, int16_t *out);

bool renderstream(WavReader &in, WavWriter &out, int buffersize, RenderBlock block, ProgressLine &progress,
                  std::string &error);
