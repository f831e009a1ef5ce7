#include "platform/ogg_stream.h"

#include <vorbis/vorbisfile.h>

#include <algorithm>
#include <cstdint>
#include <mutex>
#include <utility>
#include <vector>

#include "platform/audio_mixer.h"
#include "platform/host_file.h"
#include "platform/vorbis_trial.h"

namespace platform {

namespace {

// Music files are read whole; the longest soundtrack at a high bit rate is far below this.
constexpr std::size_t kMaxOggBytes = std::size_t{256} << 20;
// Reads the trial must have survived before a file counts as loaded: the setup headers are
// used by the first packets, so a stream the decoder cannot survive is nearly always refused
// here, where the caller can report it.
constexpr std::int64_t kLeadReads = 16;

// Streams found to kill the decoder (size and hash): loading one again is refused at once.
std::mutex g_refusedMutex;
std::vector<std::pair<std::size_t, std::uint64_t>> g_refused;

std::uint64_t HashBytes(const std::vector<std::uint8_t>& bytes) {
  std::uint64_t h = 14695981039346656037ull;
  for (std::uint8_t b : bytes) h = (h ^ b) * 1099511628211ull;
  return h;
}

void RememberRefused(const std::vector<std::uint8_t>& bytes) {
  std::lock_guard lock(g_refusedMutex);
  if (g_refused.size() >= 64) g_refused.erase(g_refused.begin());
  g_refused.emplace_back(bytes.size(), HashBytes(bytes));
}

bool KnownRefused(const std::vector<std::uint8_t>& bytes) {
  std::lock_guard lock(g_refusedMutex);
  std::uint64_t hash = 0;
  bool hashed = false;
  for (const auto& [size, h] : g_refused) {
    if (size != bytes.size()) continue;
    if (!hashed) hash = HashBytes(bytes), hashed = true;
    if (h == hash) return true;
  }
  return false;
}

}  // namespace

// Decodes on the audio thread a little ahead of what it hands out, resampling linearly to
// the mix rate. Every call into the decoder waits for the trial to have survived the same call.
struct cOggVoice::sStream : cAudioSource {
  mutable std::mutex mutex;
  std::shared_ptr<const std::vector<std::uint8_t>> bytes;
  std::unique_ptr<cVorbisTrial> trial;
  sVorbisMemory memory;
  OggVorbis_File file{};
  bool bOpen = false;
  bool bPlaying = false;
  int nLoops = 0;
  float fGain = 1.0f;
  int nRate = 0;
  int nChannels = 0;
  // Decoded stereo frames at the file's rate, from which output is interpolated.
  std::vector<float> pending;
  double dPos = 0.0;  // read position in pending, in frames
  bool bDecodedThisPass = false;
  std::int64_t nReadsThisPass = 0;

  ~sStream() override { CloseLocked(); }

  void CloseLocked() {
    if (bOpen) ov_clear(&file);
    bOpen = false;
    bPlaying = false;
    nRate = nChannels = 0;
    pending.clear();
    dPos = 0.0;
    trial.reset();
    bytes.reset();
  }

  // The trial died on this stream: it is closed and remembered, and the game goes on without it.
  void RefuseLocked() {
    if (bytes) RememberRefused(*bytes);
    CloseLocked();
  }

  void RewindLocked() {
    ov_pcm_seek(&file, 0);
    bDecodedThisPass = false;
    nReadsThisPass = 0;
  }

  enum class eDecode { kDecoded, kEnded, kWait };

  // Decodes one packet's worth into pending; kEnded at the end of the music, kWait when the
  // trial has not yet got as far.
  eDecode DecodeMore(std::int64_t deadline) {
    for (int attempts = 0; attempts < 64; ++attempts) {
      if (!trial->WaitToRead(nReadsThisPass, deadline))
        return trial->Refused() ? eDecode::kEnded : eDecode::kWait;
      float** pcm = nullptr;
      int section = 0;
      long n = ov_read_float(&file, &pcm, kVorbisReadFrames, &section);
      ++nReadsThisPass;
      if (n == OV_HOLE) continue;  // a gap in the data: play on after it
      if (n > 0) {
        // Chained streams may change the layout; the first link's layout is used throughout.
        vorbis_info* info = ov_info(&file, -1);
        int ch = info ? info->channels : nChannels;
        for (long i = 0; i < n; ++i) {
          float l = pcm[0][i];
          float r = ch > 1 ? pcm[1][i] : l;
          pending.push_back(l);
          pending.push_back(r);
        }
        bDecodedThisPass = true;
        return eDecode::kDecoded;
      }
      // End of file or damaged data: loop when asked, unless a whole pass gave nothing
      // (an empty stream must not spin for ever).
      if (n == 0 && nLoops > 0 && bDecodedThisPass) {
        if (!trial->WaitToRead(-1, deadline)) {
          if (trial->Refused()) return eDecode::kEnded;
          --nReadsThisPass;  // the end is asked again next time, which decodes nothing
          return eDecode::kWait;
        }
        if (nLoops != kLoopForever) --nLoops;
        RewindLocked();
        continue;
      }
      return eDecode::kEnded;
    }
    return eDecode::kEnded;
  }

  void Render(float* out, int frames) override {
    std::lock_guard lock(mutex);
    if (!bPlaying || !bOpen) return;
    // A trial that has fallen behind is waited for, at most half the time this block lasts.
    const std::int64_t deadline = TrialClock() + std::int64_t{frames} * 500000 / kMixRate;
    const double step = static_cast<double>(nRate) / kMixRate;
    for (int i = 0; i < frames; ++i) {
      std::size_t a = static_cast<std::size_t>(dPos);
      eDecode got = eDecode::kDecoded;
      while (a + 1 >= pending.size() / 2) {
        got = DecodeMore(deadline);
        if (got != eDecode::kDecoded) break;
      }
      if (trial->Refused()) {
        RefuseLocked();
        return;
      }
      std::size_t have = pending.size() / 2;
      if (got == eDecode::kWait && a + 1 >= have) return;  // silence until the trial is ahead
      if (a >= have) {
        bPlaying = false;
        return;
      }
      std::size_t b = std::min(a + 1, have - 1);
      float t = static_cast<float>(dPos - static_cast<double>(a));
      for (int c = 0; c < 2; ++c) {
        float sa = pending[2 * a + c];
        float sb = pending[2 * b + c];
        out[2 * i + c] += (sa + (sb - sa) * t) * fGain;
      }
      dPos += step;
      // Drop what has been played so that pending stays small.
      std::size_t used = static_cast<std::size_t>(dPos);
      if (used > 8192) {
        pending.erase(pending.begin(), pending.begin() + 2 * used);
        dPos -= static_cast<double>(used);
      }
    }
  }
};

cOggVoice::cOggVoice() : m_pStream(std::make_shared<sStream>()) {}

cOggVoice::~cOggVoice() { SourceRemove(m_pStream.get()); }

void cOggVoice::Reset() {
  SourceRemove(m_pStream.get());
  std::lock_guard lock(m_pStream->mutex);
  m_pStream->CloseLocked();
  m_pStream->fGain = 1.0f;
  m_pStream->nLoops = 0;
}

bool cOggVoice::Load(std::string_view programPath) {
  Stop();
  std::lock_guard lock(m_pStream->mutex);
  sStream& s = *m_pStream;
  s.CloseLocked();
  auto bytes = std::make_shared<std::vector<std::uint8_t>>();
  if (ReadHostFile(programPath, *bytes, kMaxOggBytes) != eReadResult::Ok) return false;
  if (KnownRefused(*bytes)) return false;
  s.bytes = bytes;
  s.trial = std::make_unique<cVorbisTrial>(s.bytes);
  s.trial->WaitForLead(kLeadReads);
  if (!s.trial->MayOpen()) {
    if (s.trial->Refused())
      s.RefuseLocked();
    else
      s.CloseLocked();
    return false;
  }
  s.memory = sVorbisMemory{s.bytes->data(), s.bytes->size(), 0};
  if (OpenVorbisMemory(&s.file, &s.memory) != 0) {
    s.CloseLocked();
    return false;
  }
  s.bOpen = true;
  vorbis_info* info = ov_info(&s.file, -1);
  if (!info || info->channels < 1 || info->rate < 100 || info->rate > 384000) {
    s.CloseLocked();
    return false;
  }
  s.nRate = static_cast<int>(info->rate);
  s.nChannels = info->channels;
  return true;
}

void cOggVoice::Play() {
  {
    std::lock_guard lock(m_pStream->mutex);
    sStream& s = *m_pStream;
    if (!s.bOpen) return;
    if (s.trial->Refused()) {
      s.RefuseLocked();
      return;
    }
    s.RewindLocked();
    s.pending.clear();
    s.dPos = 0.0;
    s.bPlaying = true;
  }
  SourceAdd(m_pStream);
}

void cOggVoice::Stop() {
  SourceRemove(m_pStream.get());
  std::lock_guard lock(m_pStream->mutex);
  m_pStream->bPlaying = false;
}

void cOggVoice::SetLoop(int count) {
  std::lock_guard lock(m_pStream->mutex);
  m_pStream->nLoops = std::max(count, 0);
}

void cOggVoice::SetVolume(float gain) {
  std::lock_guard lock(m_pStream->mutex);
  m_pStream->fGain = std::clamp(gain, 0.0f, 1.0f);
}

float cOggVoice::Volume() const {
  std::lock_guard lock(m_pStream->mutex);
  return m_pStream->fGain;
}

bool cOggVoice::IsPlaying() const {
  std::lock_guard lock(m_pStream->mutex);
  return m_pStream->bPlaying;
}

int cOggVoice::Rate() const {
  std::lock_guard lock(m_pStream->mutex);
  return m_pStream->nRate;
}

int cOggVoice::Channels() const {
  std::lock_guard lock(m_pStream->mutex);
  return m_pStream->nChannels;
}

}  // namespace platform
