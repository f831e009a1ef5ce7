#pragma once
// MIDI files written by an external writer (abc2midi, Debian package abcmidi) from abc
// notation, in the current folder. A missing writer fails the calling test.
#include <gtest/gtest.h>

#include <cstdint>
#include <cstdlib>
#include <fstream>
#include <string>
#include <vector>

#include "tests/support/temp_folder.h"

inline std::vector<std::uint8_t> Abc2Midi(const std::string& abc) {
  {
    std::ofstream out("tune.abc");
    out << abc;
  }
  const int rc = std::system("abc2midi tune.abc -o tune.mid > abc2midi.log 2>&1");
  EXPECT_EQ(rc, 0) << "abc2midi (Debian package abcmidi) is needed for this test";
  return ReadBytes("tune.mid");
}

// Two voices of two quarter notes each at 120 quarters a minute: C D on channel 1 and E F on
// channel 2.
inline const char* kTwoVoiceAbc = "X:1\nT:t\nM:4/4\nL:1/4\nQ:1/4=120\nK:C\nV:1\nC D|\nV:2\nE F|\n";
