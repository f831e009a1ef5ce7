#include "media/anime.h"

#include "foundation/report.h"

void cAnime::Init(const int* const* runs) {
  if (!runs) return;
  AnimeRuns table;
  for (const int* const* run = runs; *run; ++run) {
    AnimeRun entries;
    for (const int* triple = *run;; triple += 3) {
      sAnimeFrame frame;
      frame.nFrame = triple[0];
      frame.nDuration = triple[1];
      frame.bLock = static_cast<std::uint8_t>(triple[2] & 0xFF);
      entries.push_back(frame);
      if (frame.nFrame < 0) break;
    }
    table.push_back(std::move(entries));
  }
  Init(table);
}

void cAnime::Init(const AnimeRuns& runs) {
  m_Runs = runs;
  m_nRun = 0;
  m_nEntry = 0;
  m_nTick = 0;
}

bool cAnime::HasRun(int n) const { return n >= 0 && n < static_cast<int>(m_Runs.size()); }

const sAnimeFrame* cAnime::Current() const {
  if (!HasRun(m_nRun)) return nullptr;
  const AnimeRun& run = m_Runs[m_nRun];
  if (m_nEntry < 0 || m_nEntry >= static_cast<int>(run.size())) return nullptr;
  return &run[m_nEntry];
}

int cAnime::Set(int n, int force) {
  const sAnimeFrame* current = Current();
  if (!force && current && current->bLock) return 0;
  if (!HasRun(n)) {
    // A run number the table does not hold comes from damaged data; the sequencer keeps
    // what it shows rather than stepping through entries that do not exist.
    ErrLogF("anime: run %d asked for, the table holds %d runs", n, static_cast<int>(m_Runs.size()));
    return 0;
  }
  m_nRun = n;
  m_nEntry = 0;
  m_nTick = 0;
  return 1;
}

int cAnime::Change(int n, int force) {
  if (n == m_nRun && HasRun(n)) return 1;
  return Set(n, force);
}

int cAnime::GetFrame() const {
  const sAnimeFrame* current = Current();
  if (!current) return 0;
  // Sitting on a control entry happens only for a run without a real entry, or once a run
  // has ended: an end value is reported, the other controls have no cell to show.
  if (current->nFrame < 0 && current->nFrame >= kAnimeJump) return 0;
  return current->nFrame;
}

void cAnime::LengthenEntry(int r, int e, int n) {
  if (r < 0 || r >= static_cast<int>(m_Runs.size())) return;
  AnimeRun& run = m_Runs.data()[r];
  if (e < 0 || e >= static_cast<int>(run.size())) return;
  run.data()[e].nDuration += n;
}

int cAnime::Update() {
  const sAnimeFrame* current = Current();
  if (!current) return 0;
  if (current->nFrame < 0) {
    // A run that holds only its control entry: a jump is taken once, an end stays reported,
    // a hold or a loop has nothing to step through.
    if (current->nFrame == kAnimeJump && current->nDuration != m_nRun) Set(current->nDuration, 1);
    return GetFrame();
  }
  if (++m_nTick < current->nDuration) return GetFrame();
  m_nTick = 0;
  const AnimeRun& run = m_Runs[m_nRun];
  const int last = static_cast<int>(run.size()) - 1;
  if (m_nEntry >= last) return GetFrame();  // a run without its control entry holds
  ++m_nEntry;
  const sAnimeFrame& next = run[m_nEntry];
  switch (next.nFrame) {
    case kAnimeJump:
      if (!Set(next.nDuration, 1)) --m_nEntry;  // a jump to a missing run holds instead
      break;
    case kAnimeLoop:
      m_nEntry = 0;
      break;
    case kAnimeHold:
      --m_nEntry;
      break;
    default:
      break;
  }
  return GetFrame();
}
