#include "media/midi_file.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "foundation/report.h"
#include "platform/text_codec.h"
#include "tests/media/abc_fixture.h"
#include "tests/support/temp_folder.h"

namespace {

using Bytes = std::vector<std::uint8_t>;

void PutBe(Bytes& b, std::uint32_t v, int n) {
  for (int i = n - 1; i >= 0; --i) b.push_back(static_cast<std::uint8_t>(v >> (8 * i)));
}

Bytes Chunk(const char* id, const Bytes& body, int declared = -1) {
  Bytes b(id, id + 4);
  PutBe(b, declared < 0 ? static_cast<std::uint32_t>(body.size()) : declared, 4);
  b.insert(b.end(), body.begin(), body.end());
  return b;
}

Bytes Smf(int format, int division, const std::vector<Bytes>& chunks, int count = -1) {
  Bytes header;
  PutBe(header, format, 2);
  PutBe(header, count < 0 ? static_cast<int>(chunks.size()) : count, 2);
  PutBe(header, division, 2);
  Bytes b = Chunk("MThd", header);
  for (const Bytes& c : chunks) b.insert(b.end(), c.begin(), c.end());
  return b;
}

Bytes Track(const Bytes& events) { return Chunk("MTrk", events); }

struct sEvent {
  std::uint64_t tick;
  Bytes bytes;  // status and data
  bool operator==(const sEvent&) const = default;
};

// The events of a merged image with their absolute ticks, read as the player reads them.
std::vector<sEvent> Events(const Bytes& image) {
  std::vector<sEvent> out;
  EXPECT_GE(image.size(), kSmfImageEvents);
  if (image.size() < kSmfImageEvents) return out;
  const std::uint8_t* p = image.data() + kSmfImageEvents;
  const std::uint8_t* end = image.data() + image.size();
  std::uint64_t tick = 0;
  while (p < end) {
    std::uint32_t delta = 0;
    int used = cSmf::ReadVarLen(p, end, delta);
    EXPECT_GT(used, 0);
    if (used == 0) break;
    p += used;
    tick += delta;
    std::size_t length = 0;
    EXPECT_TRUE(p < end && (*p & 0x80) && cSmf::EventDataLength(*p, p + 1, end, length));
    out.push_back({tick, Bytes(p, p + 1 + length)});
    p += 1 + length;
  }
  return out;
}

class SmfTest : public ::testing::Test {
 protected:
  void SetUp() override { ReportOpen("Report_Game.txt"); }
  Bytes Merge(const Bytes& file) {
    WriteBytes("t.mid", file);
    cSmf smf("t.mid");
    return smf.Image();
  }
  cTempFolder m_folder;
};

TEST(SmfVarLen, RoundTripsAndLimits) {
  struct {
    std::uint32_t value;
    int bytes;
  } cases[] = {{0, 1},        {0x7F, 1},     {0x80, 2},       {0x3FFF, 2},    {0x4000, 3},
               {0x1FFFFF, 3}, {0x200000, 4}, {0x0FFFFFFF, 4}, {0x10000000, 0}};
  for (auto c : cases) {
    Bytes b;
    EXPECT_EQ(cSmf::WriteVarLen(b, c.value), c.bytes) << c.value;
    EXPECT_EQ(b.size(), static_cast<std::size_t>(c.bytes));
    if (c.bytes == 0) continue;
    std::uint32_t back = 0;
    EXPECT_EQ(cSmf::ReadVarLen(b.data(), b.data() + b.size(), back), c.bytes);
    EXPECT_EQ(back, c.value);
    // Cut one byte short, the quantity is not read.
    EXPECT_EQ(cSmf::ReadVarLen(b.data(), b.data() + b.size() - 1, back), 0);
  }
  const Bytes endless = {0x81, 0x80, 0x80, 0x80, 0x00};
  std::uint32_t v;
  EXPECT_EQ(cSmf::ReadVarLen(endless.data(), endless.data() + endless.size(), v), 0);
}

TEST_F(SmfTest, TracksMergeByTickWithTheLowerTrackFirst) {
  const Bytes file = Smf(1, 96,
                         {Track({0x00, 0xC0, 0x05, 0x0A, 0x90, 0x3C, 0x40, 0x00, 0xFF, 0x2F, 0x00}),
                          Track({0x0A, 0x91, 0x40, 0x40, 0x05, 0xFF, 0x2F, 0x00})});
  const Bytes image = Merge(file);
  ASSERT_FALSE(image.empty());
  EXPECT_EQ(Bytes(image.begin(), image.begin() + 14),
            (Bytes{'M', 'T', 'h', 'd', 0, 0, 0, 6, 0, 0, 0, 1, 0, 96}));
  EXPECT_EQ(Bytes(image.begin() + 14, image.begin() + 18), (Bytes{'M', 'T', 'r', 'k'}));
  const std::uint32_t length = (image[18] << 24) | (image[19] << 16) | (image[20] << 8) | image[21];
  EXPECT_EQ(length, image.size() - kSmfImageEvents);
  EXPECT_EQ(Events(image), (std::vector<sEvent>{{0, {0xC0, 0x05}},
                                                {10, {0x90, 0x3C, 0x40}},
                                                {10, {0x91, 0x40, 0x40}},
                                                {15, {0xFF, 0x2F, 0x00}}}));
}

TEST_F(SmfTest, RunningStatusGivesTheSameImageAsExplicitStatus) {
  const Bytes sysex = {0x00, 0xF0, 0x05, 0x7E, 0x7F, 0x09, 0x01, 0xF7};
  const Bytes tempo = {0x00, 0xFF, 0x51, 0x03, 0x07, 0xA1, 0x20};
  Bytes running = tempo;
  running.insert(running.end(), sysex.begin(), sysex.end());
  Bytes explicitly = running;
  const Bytes a = {0x00, 0x90, 0x3C, 0x40, 0x10, 0x3E, 0x40,
                   0x10, 0x3C, 0x00, 0x00, 0xFF, 0x2F, 0x00};
  const Bytes b = {0x00, 0x90, 0x3C, 0x40, 0x10, 0x90, 0x3E, 0x40,
                   0x10, 0x90, 0x3C, 0x00, 0x00, 0xFF, 0x2F, 0x00};
  running.insert(running.end(), a.begin(), a.end());
  explicitly.insert(explicitly.end(), b.begin(), b.end());
  const Bytes imageA = Merge(Smf(0, 480, {Track(running)}));
  ASSERT_FALSE(imageA.empty());
  EXPECT_EQ(imageA, Merge(Smf(0, 480, {Track(explicitly)})));
  const auto events = Events(imageA);
  ASSERT_EQ(events.size(), 6u);
  EXPECT_EQ(events[0].bytes, (Bytes{0xFF, 0x51, 0x03, 0x07, 0xA1, 0x20}));  // meta kept
  EXPECT_EQ(events[1].bytes, (Bytes{0xF0, 0x05, 0x7E, 0x7F, 0x09, 0x01, 0xF7}));
  EXPECT_EQ(events[4].tick, 32u);
}

TEST_F(SmfTest, TracksAreReadToTheirEndEventsWhateverTheirChunkLengths) {
  // Each track ends at its end event and the next one's events start 8 bytes later; the
  // declared lengths, too short or too long, change nothing. The last track, without its end
  // event, ends at its last event, and the one end of the image stands at the latest end.
  const Bytes first = {0x00, 0x90, 0x3C, 0x40, 0x20, 0xFF, 0x2F, 0x00};
  const Bytes second = {0x10, 0x91, 0x40, 0x40, 0x08, 0xFF, 0x2F, 0x00};
  const Bytes last = {0x30, 0x80, 0x3C, 0x00};
  const std::vector<sEvent> expected = {{0, {0x90, 0x3C, 0x40}},
                                        {0x10, {0x91, 0x40, 0x40}},
                                        {0x30, {0x80, 0x3C, 0x00}},
                                        {0x30, {0xFF, 0x2F, 0x00}}};
  for (int declared : {-1, 0, 3, 5000}) {
    const Bytes file = Smf(1, 96, {Chunk("MTrk", first, declared), Chunk("MTrk", second, declared),
                                   Chunk("MTrk", last, declared)});
    EXPECT_EQ(Events(Merge(file)), expected) << declared;
  }
  // More tracks counted than the file holds: those present are played.
  EXPECT_EQ(Events(Merge(Smf(1, 96, {Track(first), Track(second), Track(last)}, 9))), expected);
  // No tracks at all but the first: only the end.
  EXPECT_EQ(Events(Merge(Smf(0, 96, {Track({})}))), (std::vector<sEvent>{{0, {0xFF, 0x2F, 0x00}}}));
}

TEST_F(SmfTest, RefusedFilesAreReportedAndGiveNoImage) {
  const Bytes track = Track({0x00, 0x90, 0x3C, 0x40, 0x00, 0xFF, 0x2F, 0x00});
  Bytes badHeader = Smf(0, 96, {track});
  badHeader[7] = 7;
  Bytes notHeader = Smf(0, 96, {track});
  notHeader[0] = 'R';
  Bytes truncated = Smf(0, 96, {track});
  truncated.resize(truncated.size() - 3);
  const char* kNotSmf = "標準MIDIでない(4)";
  struct {
    const char* what;
    Bytes file;
    const char* message;
  } cases[] = {
      {"format 2", Smf(2, 96, {track}), "対応フォーマットが2でない"},
      {"format 3", Smf(3, 96, {track}), "対応フォーマットが0または1でない"},
      {"header length 7", badHeader, "標準MIDIでない(6)"},
      {"no MThd", notHeader, kNotSmf},
      {"no MTrk first", Smf(0, 96, {Chunk("XFIH", {}), track}), kNotSmf},
      {"too short", Bytes{'M', 'T', 'h', 'd', 0, 0, 0, 6, 0}, kNotSmf},
      {"truncated", truncated, kNotSmf},
      {"running status at the start", Smf(0, 96, {Track({0x00, 0x3C, 0x40})}), kNotSmf},
      {"endless quantity", Smf(0, 96, {Track({0x81, 0x80, 0x80, 0x80, 0x00, 0x90, 0x3C, 0x40})}),
       kNotSmf},
      {"event cut by the end of the file",
       Smf(0, 96, {Track({0x00, 0xFF, 0x01, 0x7F, 'a'}), track}), kNotSmf},
      {"division 0", Smf(0, 0, {track}), kNotSmf},
  };
  for (auto& c : cases) {
    const std::size_t before = ReadText("Report_Game.txt").size();
    EXPECT_TRUE(Merge(c.file).empty()) << c.what;
    const std::string added = ReadText("Report_Game.txt").substr(before);
    EXPECT_NE(added.find(platform::Cp932ToUtf8(c.message)), std::string::npos)
        << c.what << ": " << added;
  }
  cSmf missing("none.mid");
  EXPECT_TRUE(missing.Image().empty());
  EXPECT_NE(ReadText("Report_Game.txt").find(platform::Cp932ToUtf8("ファイルが開けません")),
            std::string::npos);
}

TEST_F(SmfTest, FilesOfAnExternalWriterParseToTheirNotes) {
  const Bytes file = Abc2Midi(kTwoVoiceAbc);
  ASSERT_GT(file.size(), 14u);
  ASSERT_EQ(file[9], 1) << "a format-1 file is expected of two voices";
  const Bytes image = Merge(file);
  ASSERT_FALSE(image.empty());
  EXPECT_EQ((image[12] << 8) | image[13], 480);
  std::vector<std::pair<std::uint64_t, int>> notes;  // tick, channel << 8 | key
  bool tempo = false;
  for (const sEvent& e : Events(image)) {
    if ((e.bytes[0] & 0xF0) == 0x90 && e.bytes[2] != 0)
      notes.push_back({e.tick, (e.bytes[0] & 0x0F) << 8 | e.bytes[1]});
    if (e.bytes[0] == 0xFF && e.bytes[1] == 0x51)
      tempo = e.bytes == Bytes{0xFF, 0x51, 0x03, 0x07, 0xA1, 0x20};
  }
  EXPECT_TRUE(tempo);
  ASSERT_EQ(notes.size(), 4u);
  const std::uint64_t t0 = notes[0].first;
  EXPECT_LT(t0, 10u);
  EXPECT_EQ(notes, (std::vector<std::pair<std::uint64_t, int>>{
                       {t0, 60}, {t0, 0x100 | 64}, {t0 + 480, 62}, {t0 + 480, 0x100 | 65}}));
}

}  // namespace
