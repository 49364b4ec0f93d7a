// wavfile.h: reading and writing 16-bit PCM stereo 44100 Hz WAV files.
//
//   WavAudio audio; std::string error;
//   if (!readwav("in.wav", audio, error)) { report(error); }
//   if (!writewav("out.wav", audio.samples, error)) { report(error); }
//
// Reading accepts exactly the engine's format (format tag 1, or the extensible
// form with the PCM sub-format; 2 channels; 44100 Hz; 16 bits) and refuses
// anything else with one line naming the problem. Writing goes to a temporary
// file beside the target and renames it over the target, so an existing file is
// either replaced whole or left untouched.
#pragma once
#include <cstdint>
#include <string>
#include <vector>

struct WavAudio {
  std::vector<int16_t> samples;  // interleaved left, right; 2 x frames
};

bool parsewav(const std::vector<uint8_t> &bytes, WavAudio &audio, std::string &error);
bool readwav(const std::string &path, WavAudio &audio, std::string &error);

std::vector<uint8_t> encodewav(const std::vector<int16_t> &samples);
bool writewav(const std::string &path, const std::vector<int16_t> &samples, std::string &error);
