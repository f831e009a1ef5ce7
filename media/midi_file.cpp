#include "media/midi_file.h"

#include <algorithm>
#include <cstring>

#include "foundation/report.h"
#include "platform/host_file.h"

namespace {

// Music files are small; a larger file is not one and is refused before it is read, so that
// its events cannot take all memory.
constexpr std::size_t kMaxSmfBytes = 8u << 20;

std::uint32_t Be32(const std::uint8_t* p) {
  return (static_cast<std::uint32_t>(p[0]) << 24) | (p[1] << 16) | (p[2] << 8) | p[3];
}
std::uint16_t Be16(const std::uint8_t* p) { return static_cast<std::uint16_t>((p[0] << 8) | p[1]); }

void PutBe32(std::vector<std::uint8_t>& out, std::size_t at, std::uint32_t v) {
  out[at] = static_cast<std::uint8_t>(v >> 24);
  out[at + 1] = static_cast<std::uint8_t>(v >> 16);
  out[at + 2] = static_cast<std::uint8_t>(v >> 8);
  out[at + 3] = static_cast<std::uint8_t>(v);
}

struct sEvent {
  std::uint64_t nTick;
  std::uint8_t nStatus;
  std::size_t nData;    // offset in the file of the bytes after the status
  std::size_t nLength;  // their count
};

const std::uint8_t kEndOfTrack[3] = {0xFF, 0x2F, 0x00};

// Reads the events of one track from begin up to its end-of-track event into events; false
// when malformed. next receives the position after the end event, or the end of the file when
// the track has none (it then ends at its last event, and no track can follow).
bool ParseTrack(const std::vector<std::uint8_t>& data, std::size_t begin,
                std::vector<sEvent>& events, std::uint64_t& endTick, std::size_t& next) {
  const std::uint8_t* base = data.data();
  const std::size_t end = data.size();
  std::size_t pos = begin;
  std::uint64_t tick = 0;
  std::uint8_t running = 0;
  while (pos < end) {
    std::uint32_t delta = 0;
    int used = cSmf::ReadVarLen(base + pos, base + end, delta);
    if (used == 0) return false;
    pos += static_cast<std::size_t>(used);
    tick += delta;
    if (pos >= end) return false;
    std::uint8_t status = running;
    if (base[pos] & 0x80) {
      status = base[pos++];
      running = status;
    }
    // A data byte with no status before it cannot be understood.
    if (status == 0) return false;
    std::size_t length = 0;
    if (!cSmf::EventDataLength(status, base + pos, base + end, length)) return false;
    if (status == 0xFF && length >= 2 && base[pos] == 0x2F) {
      endTick = tick;
      next = pos + length;
      return true;
    }
    events.push_back({tick, status, pos, length});
    pos += length;
  }
  endTick = tick;
  next = end;
  return true;
}

}  // namespace

cSmf::cSmf(const char* file) { Create(file); }

void cSmf::Create(const char* file) {
  m_strFile = file ? file : "";
  m_Image.clear();
  std::vector<std::uint8_t> data;
  platform::eReadResult r = platform::ReadHostFile(m_strFile, data, kMaxSmfBytes);
  if (r != platform::eReadResult::Ok) {
    ReportErr("Midi %s Create ファイルが開けません", m_strFile.c_str());
    return;
  }
  m_Image = Init(data);
}

std::vector<std::uint8_t> cSmf::Init(const std::vector<std::uint8_t>& data) {
  const char* name = m_strFile.c_str();
  if (data.size() < 4 || std::memcmp(data.data(), "MThd", 4) != 0) {
    ReportErr("Midi %s Init 標準MIDIでない(4)", name);
    return {};
  }
  if (data.size() < 8 || Be32(&data[4]) != 6) {
    ReportErr("Midi %s Init 標準MIDIでない(6)", name);
    return {};
  }
  if (data.size() < 14) {
    ReportErr("Midi %s Init 標準MIDIでない(4)", name);
    return {};
  }
  const std::uint16_t format = Be16(&data[8]);
  if (format == 2) {
    ReportErr("Midi %s Init 対応フォーマットが2でない", name);
    return {};
  }
  if (format > 2) {
    ReportErr("Midi %s Init 対応フォーマットが0または1でない", name);
    return {};
  }
  if (data.size() < 22 || std::memcmp(&data[14], "MTrk", 4) != 0) {
    ReportErr("Midi %s Init 標準MIDIでない(4)", name);
    return {};
  }
  std::vector<std::uint8_t> image = MergeTracks(data);
  if (image.empty()) ReportErr("Midi %s Init 標準MIDIでない(4)", name);
  return image;
}

std::vector<std::uint8_t> cSmf::MergeTracks(const std::vector<std::uint8_t>& data) {
  if (data.size() < 22) return {};
  const std::uint16_t division = Be16(&data[12]);
  // Without a division no time can be given to a tick.
  if (division == 0) return {};
  const int trackCount = Be16(&data[10]);
  std::vector<sEvent> events;
  std::uint64_t lastTick = 0;
  // The chunk lengths are not used: the first track's events start after its chunk header,
  // and each further track's 8 bytes after the end event of the one before (where its chunk
  // header stands in a well-made file), so that a file with a wrong track length plays as
  // its tracks' end events say. Every read stops at the end of the file.
  std::size_t pos = 22;
  for (int track = 0; track < trackCount; ++track) {
    if (track > 0) {
      if (data.size() - pos < 8) break;
      pos += 8;
    }
    std::uint64_t endTick = 0;
    if (!ParseTrack(data, pos, events, endTick, pos)) return {};
    lastTick = std::max(lastTick, endTick);
  }
  // The tracks were read one after the other, each in time order: a stable sort by tick puts
  // the lower track first among events of one tick, as a merge would.
  std::stable_sort(events.begin(), events.end(),
                   [](const sEvent& a, const sEvent& b) { return a.nTick < b.nTick; });

  std::vector<std::uint8_t> image = {'M', 'T',      'h',      'd', 0,   0,   0,   6, 0, 0, 0,
                                     1,   data[12], data[13], 'M', 'T', 'r', 'k', 0, 0, 0, 0};
  std::uint64_t previous = 0;
  for (const sEvent& e : events) {
    if (WriteVarLen(image, static_cast<std::uint32_t>(
                               std::min<std::uint64_t>(e.nTick - previous, 0xFFFFFFFFu))) == 0)
      return {};
    previous = e.nTick;
    image.push_back(e.nStatus);
    image.insert(image.end(), data.begin() + static_cast<std::ptrdiff_t>(e.nData),
                 data.begin() + static_cast<std::ptrdiff_t>(e.nData + e.nLength));
  }
  if (WriteVarLen(image, static_cast<std::uint32_t>(
                             std::min<std::uint64_t>(lastTick - previous, 0xFFFFFFFFu))) == 0)
    return {};
  image.insert(image.end(), kEndOfTrack, kEndOfTrack + 3);
  if (image.size() - kSmfImageEvents > 0xFFFFFFFFu) return {};
  PutBe32(image, 18, static_cast<std::uint32_t>(image.size() - kSmfImageEvents));
  return image;
}

int cSmf::ReadVarLen(const std::uint8_t* p, const std::uint8_t* end, std::uint32_t& value) {
  value = 0;
  for (int i = 0; i < 4; ++i) {
    if (p + i >= end) return 0;
    value = (value << 7) | (p[i] & 0x7F);
    if (!(p[i] & 0x80)) return i + 1;
  }
  return 0;
}

int cSmf::WriteVarLen(std::vector<std::uint8_t>& out, std::uint32_t value) {
  if (value > 0x0FFFFFFF) return 0;
  std::uint8_t bytes[4];
  int n = 0;
  do {
    bytes[n++] = static_cast<std::uint8_t>(value & 0x7F);
    value >>= 7;
  } while (value != 0);
  for (int i = n - 1; i >= 0; --i)
    out.push_back(static_cast<std::uint8_t>(bytes[i] | (i ? 0x80 : 0)));
  return n;
}

bool cSmf::EventDataLength(std::uint8_t status, const std::uint8_t* p, const std::uint8_t* end,
                           std::size_t& length) {
  const std::size_t avail = static_cast<std::size_t>(end - p);
  std::size_t head = 0;
  std::uint32_t body = 0;
  if (status >= 0xC0 && status <= 0xDF) {
    body = 1;
  } else if (status == 0xF0 || status == 0xF7) {
    int used = ReadVarLen(p, end, body);
    if (used == 0) return false;
    head = static_cast<std::size_t>(used);
  } else if (status == 0xFF) {
    if (avail < 1) return false;
    int used = ReadVarLen(p + 1, end, body);
    if (used == 0) return false;
    head = 1 + static_cast<std::size_t>(used);
  } else {
    body = 2;
  }
  if (head > avail || body > avail - head) return false;
  length = head + body;
  return true;
}
