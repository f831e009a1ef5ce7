#include "platform/ogg_stream.h"

#include <vorbis/vorbisfile.h>

#include <algorithm>
#include <cstdio>
#include <mutex>
#include <vector>

#include "platform/audio_mixer.h"
#include "platform/host_file.h"

namespace platform {

// Decodes on the audio thread a little ahead of what it hands out, resampling linearly to
// the mix rate.
struct cOggVoice::sStream : cAudioSource {
  mutable std::mutex mutex;
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

  ~sStream() override { CloseLocked(); }

  void CloseLocked() {
    if (bOpen) ov_clear(&file);
    bOpen = false;
    bPlaying = false;
    nRate = nChannels = 0;
    pending.clear();
    dPos = 0.0;
  }

  // Decodes one packet's worth into pending; false at the end of the music.
  bool DecodeMore() {
    for (int attempts = 0; attempts < 64; ++attempts) {
      float** pcm = nullptr;
      int section = 0;
      long n = ov_read_float(&file, &pcm, 4096, &section);
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
        return true;
      }
      // End of file or damaged data: loop when asked, unless a whole pass gave nothing
      // (an empty stream must not spin for ever).
      if (n == 0 && nLoops > 0 && bDecodedThisPass && ov_pcm_seek(&file, 0) == 0) {
        if (nLoops != kLoopForever) --nLoops;
        bDecodedThisPass = false;
        continue;
      }
      return false;
    }
    return false;
  }

  void Render(float* out, int frames) override {
    std::lock_guard lock(mutex);
    if (!bPlaying || !bOpen) return;
    const double step = static_cast<double>(nRate) / kMixRate;
    for (int i = 0; i < frames; ++i) {
      std::size_t a = static_cast<std::size_t>(dPos);
      while (a + 1 >= pending.size() / 2) {
        if (!DecodeMore()) break;
      }
      std::size_t have = pending.size() / 2;
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
  m_pStream->CloseLocked();
  FILE* f = OpenHostFile(programPath, "rb");
  if (!f) return false;
  if (ov_open_callbacks(f, &m_pStream->file, nullptr, 0, OV_CALLBACKS_DEFAULT) != 0) {
    std::fclose(f);  // ov_open_callbacks leaves the file to us when it fails
    return false;
  }
  vorbis_info* info = ov_info(&m_pStream->file, -1);
  if (!info || info->channels < 1 || info->rate < 100 || info->rate > 384000) {
    ov_clear(&m_pStream->file);
    return false;
  }
  m_pStream->bOpen = true;
  m_pStream->nRate = static_cast<int>(info->rate);
  m_pStream->nChannels = info->channels;
  return true;
}

void cOggVoice::Play() {
  {
    std::lock_guard lock(m_pStream->mutex);
    if (!m_pStream->bOpen) return;
    ov_pcm_seek(&m_pStream->file, 0);
    m_pStream->pending.clear();
    m_pStream->dPos = 0.0;
    m_pStream->bDecodedThisPass = false;
    m_pStream->bPlaying = true;
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
