// Preset files: 21 lines, line 17 written but not taken, defaults for a short file.
#include <gtest/gtest.h>

#include <filesystem>

#include "app/settings/presetfile.h"
#include "app/settings/settingsfile.h"
#include "engine/engine.h"

namespace {

TEST(PresetFile, SavedValuesComeBackButTheCeilingStays) {
  readsettingstext("");
  engine.gain = 0.75f;
  engine.buffersize = 2500;
  engine.autovol = 3;
  engine.treverba = 123.456f;
  engine.decay = 2.5f;
  engine.mono = 1;
  engine.remove50 = 2;
  engine.testgain = 0.5f;
  settings.color = 2;
  engine.kdecay = 0.9f;
  engine.pan = 1.2f;
  const std::string text = writepresettext();
  EXPECT_EQ(text,
            " 0.75\r\n 2500\r\n 3\r\n 1\r\n 123.456\r\n 0.1\r\n 250\r\n 0.1\r\n 0.5\r\n 1\r\n 1\r\n 2.5\r\n 1\r\n 0\r\n"
            " 2\r\n 0\r\n 0.5\r\n 2\r\n 100\r\n 0.9\r\n 1.2\r\n");
  readsettingstext("");
  engine.testgain = 0.125f;
  readpresettext(text);
  EXPECT_EQ(writepresettext(), text.substr(0, text.find(" 0.5\r\n 2\r\n 100")) + " 0.125\r\n 2\r\n 100\r\n 0.9\r\n 1.2\r\n");
  EXPECT_EQ(engine.testgain, 0.125f);
  EXPECT_EQ(settings.color, 2);
}

TEST(PresetFile, ShortAndDamagedFilesGiveDefaultsAndRanges) {
  readsettingstext("");
  engine.pan = 1.5f;
  settings.color = 3;
  readpresettext(" 2\r\n 99999\r\n x\r\n");
  EXPECT_EQ(engine.gain, 2.0f);
  EXPECT_EQ(engine.buffersize, 16000);
  EXPECT_EQ(engine.autovol, 0);
  EXPECT_EQ(engine.reverb, 1);
  EXPECT_EQ(engine.decay, 1.0f);
  EXPECT_EQ(engine.pan, 0.0f);
  EXPECT_EQ(settings.color, 0);
  readpresettext(" 1\r\n 10\r\n 2\r\n 1\r\n 200\r\n 0.1\r\n 250\r\n 0.1\r\n 0.5\r\n 1\r\n 1\r\n 7\r\n");
  EXPECT_EQ(engine.buffersize, 150);
  EXPECT_EQ(engine.decay, 4.0f);
}

// (Saving replaces the file whole through the number-per-line codec:
// tests/numberlines/numberlines_test.cpp; a save and a load in the running program:
// tests/app/quarn/quarnpresets_test.cpp.)
TEST(PresetFile, AMissingFileChangesNothing) {
  readsettingstext("");
  engine.gain = 0.5f;
  EXPECT_FALSE(loadpreset((std::filesystem::temp_directory_path() / "quarn_no_such.dspquarn").string()));
  EXPECT_EQ(engine.gain, 0.5f);
}

}  // namespace
