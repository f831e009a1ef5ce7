#pragma once
// Sound effects: wave files loaded once into a buffer and its duplicates, which are played in
// turn so that one sound can sound several times at once. Volumes are in hundredths of a
// decibel (0 full, -10000 silent).
#include <cstdint>
#include <string>
#include <vector>

#include "foundation/containers.h"

struct DSSOUNDDATA {
  char szName[260] = {};
  // Mixer voices: entry 0 the loaded buffer, the others its duplicates. Empty until loaded.
  std::vector<int> lpBuffers;
  int nCount = 0;
  int nNext = 0;
};

struct DSSOUNDINFO {
  char szFile[260] = {};
  std::int32_t nCount = 1;
  std::int32_t nVolume = 0;
  std::int32_t nReserved = 0;
};

// What LoadWave hands back: the stored format block and the sample data.
struct WAVEDATA {
  std::uint16_t wFormatTag = 0;
  std::uint16_t nChannels = 0;
  std::uint32_t nSamplesPerSec = 0;
  std::uint32_t nAvgBytesPerSec = 0;
  std::uint16_t nBlockAlign = 0;
  std::uint16_t wBitsPerSample = 0;
  std::vector<std::uint8_t> data;
};

// The options' sound-effect volume by level 0 to 10.
extern const int g_nSoundVolumeTable[11];

// The program's sound lists, parallel by index: 17 system sounds, then database sound n at
// entry 16 + n.
extern cVector<DSSOUNDDATA> g_SoundList;
extern cVector<DSSOUNDINFO> g_SoundFiles;

bool DS_Init(void* hwnd, int rate, int bits, int channels);
void DS_Release();
bool DS_IsReady();
int DS_LoadSounds(cVector<DSSOUNDDATA>& sounds, cVector<DSSOUNDINFO>& files, int volume);
bool DS_CreateSound(DSSOUNDDATA& sound, const char* file, int count, int volume);
void DS_DeleteSound(DSSOUNDDATA& sound);
bool DS_LoadBuffer(int* buffer, const char* file);
bool DS_Duplicate(int* copy, int buffer);
bool LoadWave(const char* file, WAVEDATA& out);
void DS_Play(DSSOUNDDATA& sound, int flags);
// Plays entry index of the registered list; an index outside it is a logged fault.
void DS_Play(int index, int flags);
int DS_SetVolume(DSSOUNDDATA& sound, int buffer, int volume, int relative);
int DS_GetVolume(const DSSOUNDDATA& sound, int buffer);

// Requests from other threads: the main window plays system sound n when asked. Until the
// window installs its sender, the sound is played at once on the calling thread.
using PlaySoundSender = void (*)(int n);
void SetPlaySoundSender(PlaySoundSender sender);
void PlaySystemSound(int n);
void PlayDatabaseSound(std::int16_t n);
void PlayCursorSound(int keys, int mask, int index);
