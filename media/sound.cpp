#include "media/sound.h"

#include <algorithm>
#include <atomic>
#include <cstring>
#include <mutex>

#include "foundation/report.h"
#include "platform/audio_mixer.h"
#include "platform/host_file.h"

const int g_nSoundVolumeTable[11] = {-10000, -3000, -2000, -1300, -800, -500,
                                     -300,   -150,  -80,   -30,   0};

cVector<DSSOUNDDATA> g_SoundList;
cVector<DSSOUNDINFO> g_SoundFiles;

namespace {

// A wave bigger than this is not a sound effect; refusing it keeps a hostile file from
// taking all memory.
constexpr std::size_t kMaxWaveBytes = 256u << 20;
// Duplicates share their data, but each is a voice of the mixer: a damaged count must not
// make millions of them.
constexpr int kMaxBuffers = 256;

std::atomic<bool> g_bReady{false};
std::atomic<PlaySoundSender> g_sender{nullptr};
// Plays come from the main thread and from the menus' thread; the rotation index and the
// registered lists are kept consistent under this lock.
std::recursive_mutex g_mutex;
cVector<DSSOUNDDATA>* g_pSounds = nullptr;
cVector<DSSOUNDINFO>* g_pFiles = nullptr;

std::uint32_t Le32(const std::uint8_t* p) {
  return p[0] | (p[1] << 8) | (p[2] << 16) | (static_cast<std::uint32_t>(p[3]) << 24);
}
std::uint16_t Le16(const std::uint8_t* p) { return static_cast<std::uint16_t>(p[0] | (p[1] << 8)); }

struct sChunk {
  std::size_t nOffset = 0;  // of the chunk's data
  std::uint32_t nSize = 0;  // as declared
};

// Finds the chunk id among the chunks in [begin, end); chunks are padded to even sizes.
bool FindChunk(const std::vector<std::uint8_t>& b, std::size_t begin, std::size_t end,
               const char* id, sChunk& out) {
  std::size_t pos = begin;
  while (pos + 8 <= end) {
    std::uint32_t size = Le32(&b[pos + 4]);
    if (std::memcmp(&b[pos], id, 4) == 0) {
      out.nOffset = pos + 8;
      out.nSize = size;
      return true;
    }
    std::size_t next = pos + 8 + static_cast<std::size_t>(size) + (size & 1);
    if (next <= pos) break;
    pos = next;
  }
  return false;
}

void CopyName(char (&dst)[260], const char* src) {
  std::snprintf(dst, sizeof(dst), "%s", src ? src : "");
}

}  // namespace

bool DS_Init(void* hwnd, int rate, int bits, int channels) {
  // The device mixes in its own format; the primary format asked for is only a wish.
  (void)rate;
  (void)bits;
  (void)channels;
  if (g_bReady) return true;
  if (!platform::AudioOpenDevice()) {
    ErrLog("DIRECTSOUNDCREATE_ERR!");
    Report("sound output cannot be opened: %s", platform::AudioError().c_str());
    return false;
  }
  std::lock_guard lock(g_mutex);
  g_pSounds = nullptr;
  g_pFiles = nullptr;
  g_bReady = true;
  return true;
}

bool DS_IsReady() { return g_bReady; }

void DS_Release() {
  std::lock_guard lock(g_mutex);
  if (!g_bReady) return;
  if (g_pSounds) {
    for (int i = 0; i < static_cast<int>(g_pSounds->size()); ++i) DS_DeleteSound((*g_pSounds)[i]);
  }
  g_pSounds = nullptr;
  g_pFiles = nullptr;
  g_bReady = false;
  platform::AudioClose();
}

bool LoadWave(const char* file, WAVEDATA& out) {
  std::vector<std::uint8_t> b;
  if (platform::ReadHostFile(file, b, kMaxWaveBytes) != platform::eReadResult::Ok) return false;
  if (b.size() < 12 || std::memcmp(&b[0], "RIFF", 4) != 0 || std::memcmp(&b[8], "WAVE", 4) != 0) {
    ReportErr("%s の読み込みに失敗しました…\n不正なファイルです。", file);
    return false;
  }
  // The RIFF chunk may claim more than the file holds; only what is there is read.
  const std::size_t riffEnd = std::min<std::size_t>(b.size(), 8 + std::size_t{Le32(&b[4])});
  sChunk fmt;
  if (!FindChunk(b, 12, riffEnd, "fmt ", fmt)) return false;
  if (fmt.nSize >= 19 || fmt.nSize < 16 || fmt.nOffset + fmt.nSize > riffEnd) {
    ReportErr(
        "%s の読み込みに失敗しました…\n対応していない形式か、不正なwavファイルです。\n"
        "本ソフトではPCM形式のみ再生できます。",
        file);
    return false;
  }
  const std::uint8_t* f = &b[fmt.nOffset];
  if (Le16(f) != 1) {
    ReportErr(
        "%s "
        "の読み込みに失敗しました…\nPCM形式以外の形式です。\n本ソフトではPCM形式のみ再生できます。",
        file);
    return false;
  }
  sChunk data;
  if (!FindChunk(b, 12, riffEnd, "data", data) || data.nSize == 0) return false;
  // A data chunk longer than the file is played as far as it goes.
  std::size_t size = std::min<std::size_t>(data.nSize, riffEnd - std::min(riffEnd, data.nOffset));
  if (size == 0) return false;
  out.wFormatTag = Le16(f);
  out.nChannels = Le16(f + 2);
  out.nSamplesPerSec = Le32(f + 4);
  out.nAvgBytesPerSec = Le32(f + 8);
  out.nBlockAlign = Le16(f + 12);
  out.wBitsPerSample = Le16(f + 14);
  out.data.assign(b.begin() + static_cast<std::ptrdiff_t>(data.nOffset),
                  b.begin() + static_cast<std::ptrdiff_t>(data.nOffset + size));
  return true;
}

bool DS_LoadBuffer(int* buffer, const char* file) {
  if (!g_bReady) return true;
  WAVEDATA wave;
  if (!LoadWave(file, wave)) {
    ReportErr("%s の読み込みに失敗しました！", file);
    return false;
  }
  platform::sPcmFormat format;
  format.nRate = static_cast<int>(std::min<std::uint32_t>(wave.nSamplesPerSec, 1u << 30));
  format.nBits = wave.wBitsPerSample;
  format.nChannels = wave.nChannels;
  format.nBlockAlign = wave.nBlockAlign;
  *buffer = platform::VoiceCreate(format, wave.data.data(), wave.data.size());
  if (*buffer == 0) {
    ErrLogF("%s生成失敗！", file);
    Report("%s: %d Hz, %d bits, %d channels cannot be played", file, format.nRate, format.nBits,
           format.nChannels);
    return false;
  }
  return true;
}

bool DS_Duplicate(int* copy, int buffer) {
  *copy = platform::VoiceDuplicate(buffer);
  return *copy != 0;
}

bool DS_CreateSound(DSSOUNDDATA& sound, const char* file, int count, int volume) {
  if (!g_bReady) return true;
  std::lock_guard lock(g_mutex);
  DS_DeleteSound(sound);
  sound = DSSOUNDDATA{};
  count = std::clamp(count, 1, kMaxBuffers);
  std::vector<int> buffers(static_cast<std::size_t>(count), 0);
  // A failure releases what was made, so that the record is either whole or empty.
  auto fail = [&] {
    for (int b : buffers)
      if (b != 0) platform::VoiceDestroy(b);
    return false;
  };
  if (!DS_LoadBuffer(&buffers[0], file)) return fail();
  for (int i = 1; i < count; ++i) {
    if (!DS_Duplicate(&buffers[static_cast<std::size_t>(i)], buffers[0])) {
      ErrLogF("%sのメモリ共用バッファの生成失敗！", file);
      return fail();
    }
  }
  sound.lpBuffers = std::move(buffers);
  sound.nCount = count;
  CopyName(sound.szName, file);
  if (volume != 0)
    for (int i = 0; i < count; ++i) DS_SetVolume(sound, i, volume, 0);
  return true;
}

void DS_DeleteSound(DSSOUNDDATA& sound) {
  std::lock_guard lock(g_mutex);
  if (!g_bReady || sound.lpBuffers.empty()) return;
  for (std::size_t i = sound.lpBuffers.size(); i-- > 0;) platform::VoiceDestroy(sound.lpBuffers[i]);
  sound.lpBuffers.clear();
  sound.nCount = 0;
  sound.nNext = 0;
}

int DS_LoadSounds(cVector<DSSOUNDDATA>& sounds, cVector<DSSOUNDINFO>& files, int volume) {
  std::lock_guard lock(g_mutex);
  g_pSounds = &sounds;
  g_pFiles = &files;
  for (int i = 0; i < static_cast<int>(sounds.size()); ++i) {
    if (!sounds[i].lpBuffers.empty()) continue;
    const DSSOUNDINFO& info = files[i];
    // An entry without a file is an unused slot, not a damaged sound.
    if (info.szFile[0] == '\0') continue;
    char name[260];
    CopyName(name, info.szFile);
    // A sound that cannot be loaded stays silent; the logs say which and why.
    DS_CreateSound(sounds[i], name, info.nCount, volume != 0 ? volume : info.nVolume);
  }
  return 1;
}

void DS_Play(DSSOUNDDATA& sound, int flags) {
  std::lock_guard lock(g_mutex);
  if (!g_bReady || sound.lpBuffers.empty()) return;
  const int count = static_cast<int>(sound.lpBuffers.size());
  if (sound.nNext < 0 || sound.nNext >= count) sound.nNext = 0;
  platform::VoicePlay(sound.lpBuffers[static_cast<std::size_t>(sound.nNext)], (flags & 1) != 0);
  sound.nNext = sound.nNext + 1 >= std::min(sound.nCount, count) ? 0 : sound.nNext + 1;
}

void DS_Play(int index, int flags) {
  std::lock_guard lock(g_mutex);
  if (!g_bReady || !g_pSounds) return;
  DS_Play((*g_pSounds)[index], flags);
}

int DS_SetVolume(DSSOUNDDATA& sound, int buffer, int volume, int relative) {
  std::lock_guard lock(g_mutex);
  if (!g_bReady || buffer < 0 || buffer >= static_cast<int>(sound.lpBuffers.size())) return 0;
  const int voice = sound.lpBuffers[static_cast<std::size_t>(buffer)];
  if (voice == 0) return 0;
  long long v = volume;
  if (relative == 1) v += platform::VoiceGetVolume(voice);
  const int clamped = static_cast<int>(std::clamp<long long>(v, -10000, 0));
  platform::VoiceSetVolume(voice, clamped);
  return clamped;
}

int DS_GetVolume(const DSSOUNDDATA& sound, int buffer) {
  std::lock_guard lock(g_mutex);
  if (!g_bReady || buffer < 0 || buffer >= static_cast<int>(sound.lpBuffers.size())) return 0;
  return platform::VoiceGetVolume(sound.lpBuffers[static_cast<std::size_t>(buffer)]);
}

void SetPlaySoundSender(PlaySoundSender sender) { g_sender = sender; }

void PlaySystemSound(int n) {
  if (PlaySoundSender sender = g_sender) {
    sender(n);
  } else {
    DS_Play(n, 0);
  }
}

void PlayDatabaseSound(std::int16_t n) {
  if (n == 0) return;
  PlaySystemSound(n + 16);
}

void PlayCursorSound(int keys, int mask, int index) {
  if ((mask & 1) && (keys & 3)) DS_Play(index, 0);
  if ((mask & 2) && (keys & 12)) DS_Play(index, 0);
}
