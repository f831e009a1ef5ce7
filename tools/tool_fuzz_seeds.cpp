// Writes the seed corpus of the fuzz targets: files made by the program's own record writers
// in the current layout, and files in the layouts of older versions, those laid out by hand
// where the current writers cannot make them. The output depends on nothing but this source.
// Usage: tool_fuzz_seeds <corpus folder>   (tests/fuzz/corpus)
#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include "content/flow.h"
#include "content/palette.h"
#include "play/input.h"
#include "play/replay_log.h"
#include "project/database.h"
#include "project/option_data.h"
#include "project/paths.h"
#include "project/play_data.h"
#include "project/ranking.h"
#include "project/stage.h"
#include "project/system_data.h"
#include "project/world_map.h"
#include "shell/boot_data.h"
#include "shell/main_window.h"
#include "tools/sample_game.h"

namespace {

using Bytes = std::vector<std::uint8_t>;
namespace fs = std::filesystem;

fs::path g_Root;
int g_nFailures = 0;

void Store(const std::string& target, const std::string& name, const Bytes& bytes) {
  fs::create_directories(g_Root / target);
  std::ofstream out(g_Root / target / name, std::ios::binary | std::ios::trunc);
  out.write(reinterpret_cast<const char*>(bytes.data()),
            static_cast<std::streamsize>(bytes.size()));
  if (!out.good()) {
    std::fprintf(stderr, "cannot write %s/%s\n", target.c_str(), name.c_str());
    ++g_nFailures;
  }
}

// A whole data file as the writers make it when the program's data version is the given one.
template <class WriteFn>
Bytes FileAt(int version, WriteFn write) {
  const int saved = g_nDataVersion;
  g_nDataVersion = version;
  cDataFile file("seed");
  file.WriteInt(version);
  write(file);
  g_nDataVersion = saved;
  return file.Bytes();
}

// Hand-laid fields: little-endian values and framed strings (length with the NUL, bytes, NUL).
class cLayout {
 public:
  cLayout& I32(std::int32_t v) {
    m_File.WriteInt(v);
    return *this;
  }
  cLayout& U8(std::uint8_t v) {
    m_File.WriteValue(v);
    return *this;
  }
  cLayout& Str(const std::string& s) {
    m_File.WriteInt(static_cast<std::int32_t>(s.size() + 1));
    if (!s.empty()) m_File.WriteBytes(s.c_str(), s.size() + 1);
    return *this;
  }
  cLayout& I32s(std::initializer_list<std::int32_t> values) {
    for (std::int32_t v : values) I32(v);
    return *this;
  }
  cDataFile& File() { return m_File; }
  const Bytes& Data() const { return m_File.Bytes(); }

 private:
  cDataFile m_File{"seed"};
};

// ---- database tables ---------------------------------------------------------------------

const char* const kTableTargets[DB_TABLE_COUNT] = {
    "db_anime_set",    "db_anime",      "db_bmp_chara_exc", "db_sword_type", "db_effect",
    "db_chara_effect", "db_scr_effect", "db_picture",       "db_sound",      "db_bgm"};

void DatabaseSeeds() {
  for (int table = 0; table < DB_TABLE_COUNT; ++table) {
    cDataBase db;
    db.VisitTable(table, 0, [](auto& list) {
      list.resize(3);
      for (std::size_t i = 0; i < list.size(); ++i) list[i].m_strName = "entry" + std::to_string(i);
      return 0;
    });
    auto write = [&](cDataFile& f) {
      db.VisitTable(table, 0, [&f](auto& list) {
        WriteRecordList(f, list);
        return 0;
      });
    };
    Store(kTableTargets[table], "current.dat", FileAt(kDataVersion, write));
    // Before the extra integer changed its meaning, and an early layout.
    Store(kTableTargets[table], "v152.dat", FileAt(152, write));
    Store(kTableTargets[table], "v100.dat", FileAt(100, write));
  }
}

// ---- System.dat ------------------------------------------------------------------------

// Version 168: twelve fields, three map menu entries, 21 texts and six System.ini keys.
Bytes SystemVersion168() {
  cLayout f;
  f.I32(168).I32(12).I32s({250, 0, 1, 1, 0, 1, 20, 0, 0, 0, 0, 0});
  f.I32(1).Str("old game");
  f.I32(23);
  for (int i = 0; i < 23; ++i) f.U8(static_cast<std::uint8_t>(i + 1));
  f.I32(5);
  for (int i = 0; i < 5; ++i) f.I32s({3, 1, 0, 2, 1}).Str("x");
  f.I32s({4, 3, 3, 3, 9});
  f.I32(21);
  for (int i = 0; i < 21; ++i) f.Str("T" + std::to_string(i));
  f.I32(17);
  for (int i = 0; i < 17; ++i) f.I32(1);
  f.I32s({4, 0, 0, 0, 0});
  f.I32(7);
  for (int i = 0; i < 7; ++i) f.I32s({1, 1, 1}).Str("t");
  f.I32(3);
  for (const char* caption : {"m0", "m1", "m2"}) f.I32s({1, 0, 1}).Str(caption);
  f.I32(6);
  for (int i = 0; i < 6; ++i) f.I32s({1, 1, 1}).Str("o");
  f.I32(6);
  for (const char* key : {"WindowMode", "Bpp", "VSync", "ShowFps", "FreeStage", "Old"})
    f.I32s({2, 0, 1, 2}).Str(key).Str("");
  return f.Data();
}

void SystemSeeds() {
  cSystemData system;
  system.SetDefault();
  system.m_strTitle = "seed";
  system.m_Texts[3] = "two\nlines";
  Store("system", "current.dat", FileAt(kDataVersion, [&](cDataFile& f) { system.Write(f); }));
  Store("system", "v168.dat", SystemVersion168());
}

// ---- WorldMap.dat ----------------------------------------------------------------------

// A 4 x 3 map of the version: two tiles, and one point whose one link has the fields the
// version holds (10 below 209, 11 up to 757, 14 from 758).
Bytes WorldMapAt(int version) {
  cLayout f;
  f.I32(version).I32s({8, 4, 3, 4, 2, 1, 1, 16, 0}).I32(2).Str("map").Str("");
  f.I32(2);
  for (int i = 0; i < 2; ++i) f.I32s({3, 9, i, 40 + i}).I32(2).Str("tile").Str("");
  f.I32(12).I32s({0, 1, 1, 0, 1, 0, 0, 1, 1, 1, 0, 0});
  const int fields = version < 209 ? 10 : version < 758 ? 11 : 14;
  f.I32(1).I32s({2, 2, 1}).I32(1).Str("point").I32(1).I32(fields);
  for (int i = 0; i < fields; ++i) f.I32(i == 0 ? 0 : 1);
  f.I32(2).Str("caption").Str("data\\stg4\\s-1.stg4");
  f.I32(0);
  return f.Data();
}

void WorldMapSeeds() {
  cWorldMapData map;
  map.SetSize(6, 5);
  cWorldMapPoint point;
  point.m_nX = 2;
  point.m_nY = 3;
  point.m_Links[0].m_strStage = "data\\stg4\\a.stg4";
  point.m_Links.push_back(point.m_Links[0]);
  point.m_Links[1].m_nKind = WORLD_LINK_WALL;
  point.m_Links[1].m_nNeedFlag = 3;
  map.m_Points.push_back(point);
  Store("world_map", "current.dat", FileAt(kDataVersion, [&](cDataFile& f) { map.Write(f); }));
  Store("world_map", "v200.dat", WorldMapAt(200));
  Store("world_map", "v800.dat", WorldMapAt(800));
}

// ---- flows and commands ------------------------------------------------------------------

cEdCmd Command(int set, int kind, std::vector<std::int32_t> params) {
  cEdCmd cmd;
  cmd.m_nCmdSet = static_cast<std::int8_t>(set);
  cmd.m_nKind = static_cast<std::int8_t>(kind);
  cmd.m_Params.assign(params.begin(), params.end());
  return cmd;
}

FlowVector CurrentFlows() {
  cEdFlow flow;
  flow.m_nID = 1;
  flow.m_nTrigger = 2;
  flow.m_Conds.resize(1);
  flow.m_KeyConds.resize(1);
  cEdCmd shot = Command(CMDSET_CHARA, CMD_SHOT, {});
  NewShot(shot.m_pShot);
  cEdCmd rush = Command(CMDSET_CHARA, CMD_MOVE_RUSH, {});
  NewMove(rush.m_pMove);
  cEdCmd flowOp = Command(CMDSET_CHARA, CMD_FLOW_OP, {1, 2, 3, 0});
  NewCondList(flowOp.m_pCondList);
  flowOp.m_pCondList->m_Conds.resize(1);
  cEdFlow inner;
  inner.m_Cmds.push_back(Command(CMDSET_CHARA, CMD_ANIME, {1}));
  flowOp.m_Flows.push_back(inner);
  flow.m_Cmds = {shot, rush, flowOp, Command(CMDSET_CHARA, CMD_MESSAGE, {3}),
                 Command(CMDSET_ITEM, ITEMCMD_FLOW_CHANGE, {0, 5})};
  cEdFlow testOnly;
  testOnly.m_bTestPlayOnly = 1;
  return {flow, testOnly};
}

// A command as an editor of the version stored it: the bound fields, the move and shot
// presence flags, no condition list (it came at 764), no nested flows, the parameters.
void OldCommand(cLayout& f, int set, int kind, std::initializer_list<std::int32_t> params) {
  cEdCmd cmd = Command(set, kind, {});
  cmd.cFileData::Write(f.File());
  f.I32(0).I32(0).I32(0).I32(static_cast<std::int32_t>(params.size())).I32s(params);
}

// One flow of the version with old-numbered commands: version 131 flows have eight bytes
// and no name.
Bytes OldFlows(int version) {
  cLayout f;
  f.I32(version);
  const int saved = g_nDataVersion;
  g_nDataVersion = version;
  f.I32(1).I32(8).U8(4).U8(2).U8(0).U8(1).U8(1).U8(11).U8(3).U8(1).I32(0);
  f.I32(0).I32(0).I32(5);
  OldCommand(f, CMDSET_CHARA, 37, {0, 2});
  OldCommand(f, CMDSET_CHARA, 22, {0, 0, 0, 1, 12, 0, 2});
  OldCommand(f, CMDSET_CHARA, 35, {4});
  OldCommand(f, CMDSET_CHARA, 19, {7});
  OldCommand(f, CMDSET_ITEM, 20, {4});
  g_nDataVersion = saved;
  return f.Data();
}

void FlowSeeds() {
  FlowVector flows = CurrentFlows();
  Store("flows", "current.dat",
        FileAt(kDataVersion, [&](cDataFile& f) { WriteFlowList(flows, f); }));
  Store("flows", "v131.dat", OldFlows(131));
}

// ---- player files -----------------------------------------------------------------------

void PlayerFileSeeds() {
  cPlayData progress;
  progress.m_nStageNo = 2;
  progress.m_strStageName = "stage02";
  Bytes current = FileAt(kDataVersion, [&](cDataFile& f) { progress.Write(f); });
  for (const char* target : {"play_data", "story_save", "challenge"})
    Store(target, "current.dat", current);
  cOptionData options;
  Store("option_data", "current.dat",
        FileAt(kDataVersion, [&](cDataFile& f) { options.Write(f); }));
  cRanking ranking;
  ranking.m_Tables[0].AddEntry("ABC", 1200);
  ranking.m_Tables[2].AddEntry("xyz", 6012);
  Store("ranking", "current.dat", FileAt(kDataVersion, [&](cDataFile& f) { ranking.Write(f); }));
  // Before version 181 a file held fewer genres: three tables here.
  ranking.m_Tables.resize(3);
  Store("ranking", "three_tables_180.dat", FileAt(180, [&](cDataFile& f) { ranking.Write(f); }));

  cKeyConfig keys;
  SetDefaultKeyConfig(keys);
  keys.m_bUseBinds = 1;
  const auto* raw = reinterpret_cast<const std::uint8_t*>(&keys);
  Store("key_config", "default.dat", Bytes(raw, raw + sizeof keys));
  keys.m_Binds[4] = {0, 1, 0};  // button 1 on the first joystick's first button
  keys.m_nJoyCount = 2;
  Store("key_config", "joystick.dat", Bytes(raw, raw + sizeof keys));
  Store("key_config", "short.dat", Bytes(raw, raw + 30));

  cBootData boot;
  boot.m_nDrawMode = 0;
  boot.m_bNoAsk = 1;
  Store("boot", "current.dat", FileAt(kDataVersion, [&](cDataFile& f) { boot.Write(f); }));
  cWindowPos window;
  window.Set(120, 80, 1280, 960, 1);
  Store("window", "current.dat", FileAt(kDataVersion, [&](cDataFile& f) { window.Write(f); }));
}

// ---- the sample game's files -------------------------------------------------------------

Bytes ReadWhole(const fs::path& path) {
  std::ifstream in(path, std::ios::binary);
  Bytes bytes((std::istreambuf_iterator<char>(in)), {});
  if (bytes.empty()) {
    std::fprintf(stderr, "cannot read %s\n", path.string().c_str());
    ++g_nFailures;
  }
  return bytes;
}

// Hand-made bitmaps of every depth, 3 x 2 so that rows need padding.
Bytes SmallBitmap(int bits) {
  const int width = 3, height = 2;
  const int rowBytes = ((width * bits + 31) / 32) * 4;
  const int colours = bits <= 8 ? (1 << bits) : 0;
  const int offset = 14 + 40 + colours * 4;
  cLayout f;
  f.U8('B').U8('M').I32(offset + rowBytes * height).I32(0).I32(offset);
  f.I32(40).I32(width).I32(height);
  f.File().WriteValue(static_cast<std::uint16_t>(1));
  f.File().WriteValue(static_cast<std::uint16_t>(bits));
  f.I32s({0, rowBytes * height, 0, 0, colours, 0});
  for (int i = 0; i < colours; ++i) f.I32(i == 0 ? 0xFF00FF : 0x102030 * i);
  for (int i = 0; i < rowBytes * height; ++i) f.U8(static_cast<std::uint8_t>(i * 37 + 1));
  return f.Data();
}

// The first byte of a bitmap input chooses the display mode and the loader's options.
Bytes WithOptions(std::uint8_t options, Bytes bitmap) {
  bitmap.insert(bitmap.begin(), options);
  return bitmap;
}

// The play target's inputs: a byte choosing the file and the way in, then the sample's own
// file. Every file test-played with the first stage file, and the first stage file, System.dat
// and the world map also from the title. (Few: the test suite starts the game for each.)
void PlaySeeds(const fs::path& folder) {
  std::vector<fs::path> files = {"stg4", "System.dat", "WorldMap.dat", "CommonPalette.cplt4"};
  for (int path = PATH_DEFAULT_DB_ANIME_SET; path <= PATH_DEFAULT_DB_BGM; path += 2) {
    std::string name = g_PathTable[path];
    for (char& c : name)
      if (c == '\\') c = '/';
    files.push_back(fs::path(name).lexically_relative("default"));
  }
  std::vector<fs::path> stages;
  for (const auto& entry : fs::directory_iterator(folder / "default/stg4"))
    stages.push_back(entry.path());
  std::sort(stages.begin(), stages.end());
  if (stages.empty()) {
    std::fprintf(stderr, "the sample has no stages\n");
    ++g_nFailures;
    return;
  }
  const auto seed = [&](int choice, const fs::path& file, const std::string& name) {
    Bytes bytes = ReadWhole(file);
    bytes.insert(bytes.begin(), static_cast<std::uint8_t>(choice));
    Store("play", name, bytes);
  };
  for (std::size_t n = 0; n < files.size(); ++n) {
    const fs::path file = n == 0 ? stages[0] : folder / "default" / files[n];
    const std::string name = n == 0 ? stages[0].filename().string() : files[n].filename().string();
    seed(static_cast<int>(n), file, "test_" + name);
    if (n < 3) seed(16 | static_cast<int>(n), file, "title_" + name);
  }
}

void SampleSeeds() {
  const fs::path folder = fs::temp_directory_path() / "tool_fuzz_seeds_sample";
  std::error_code ec;
  fs::remove_all(folder, ec);
  fs::create_directories(folder);
  const fs::path saved = fs::current_path();
  const bool made = MakeSampleGame(folder.string());
  fs::current_path(saved);
  if (!made) {
    std::fprintf(stderr, "the sample game cannot be made\n");
    ++g_nFailures;
    return;
  }
  Store("stage", "stage01.stg4", ReadWhole(folder / "default/stg4/stage01.stg4_001"));
  Store("palette", "common.cplt4", ReadWhole(folder / "default/CommonPalette.cplt4"));
  Store("palette_bitmap", "Palette.bmp", ReadWhole(folder / "bmp/plt/Palette.bmp"));
  Store("wave", "Cursor.wav", ReadWhole(folder / "wave/Cursor.wav"));
  Store("wave", "Message.wav", ReadWhole(folder / "wave/Message.wav"));
  Store("midi", "Title.mid", ReadWhole(folder / "bgm/Title.mid"));
  Store("ogg", "Stage.ogg", ReadWhole(folder / "bgm/Stage.ogg"));
  Store("system_ini", "sample.ini", ReadWhole(folder / "System.ini"));
  const std::string crlf =
      "Direct3D=2\r\nWindowMode=2 / resizable\r\nBpp=16\r\nVSync=3\r\n"
      "FreeStage=data\\stg4\\stage01.stg4\r\nEnglish=-7\r\nExit\r\n";
  Store("system_ini", "windows.ini", Bytes(crlf.begin(), crlf.end()));
  Store("bitmap", "debug8", WithOptions(0x38, ReadWhole(folder / "bmp/Debug.bmp")));
  const int depths[] = {1, 4, 8, 16, 24, 32};
  for (std::size_t i = 0; i < std::size(depths); ++i) {
    const int bits = depths[i];
    Store(
        "bitmap", "small" + std::to_string(bits),
        WithOptions(static_cast<std::uint8_t>(i | (i & 1) << 3 | (i & 2) << 4), SmallBitmap(bits)));
  }
  Store("palette_bitmap", "small8.bmp", SmallBitmap(8));

  // A replay of the first stage: a few seconds of walking, jumping and shooting.
  cStage stage;
  if (stage.LoadFile((folder / "default/stg4/stage01.stg4_001").string()) == 1) {
    cReplayKeyLog log;
    log.m_nSeed = 4242;
    cInputState input;
    for (int frame = 0; frame < 240; ++frame) {
      input.m_wDirection = static_cast<std::int16_t>(frame < 120 ? KEY_RIGHT : 0);
      input.m_wButton = static_cast<std::int16_t>((frame / 20) % 2 ? 1 : (frame % 50 == 0 ? 2 : 0));
      log.Record(input);
    }
    cPlayData progress;
    progress.m_nStageNo = 1;
    const fs::path replay = folder / "seed.rpl4_821";
    if (SaveReplayFile(log, replay.string(), stage, stage, progress))
      Store("replay", "stage01.rpl4_821", ReadWhole(replay));
    else
      ++g_nFailures;
  } else {
    std::fprintf(stderr, "the sample's first stage does not load\n");
    ++g_nFailures;
  }
  PlaySeeds(folder);
  fs::remove_all(folder, ec);
}

// ---- the texts that stage files feed to the interpreters ----------------------------------

void TextSeeds() {
  const char* const code[] = {"C5 = 7 + 2 * 3",
                              "C1 = rand(C3 - 1 , (1 + 2))",
                              "my.hp = my.hp - tg2.power",
                              "S12 = sys.time % 60",
                              "tg2.v3 = (S1 + C2) / (C3 - 7)",
                              "sys.score = sys.score + 100",
                              "C1 = ((((1))))",
                              "pl.mhp = 5000000",
                              "my.z = my.z + 1"};
  int n = 0;
  for (const char* text : code)
    Store("run_code", "text" + std::to_string(n++), Bytes(text, text + std::strlen(text)));
  const char* const messages[] = {
      "\x2A\x00\x00\x00コイン #C1_3 枚", "\x07\x00\x00\x80#S12_13 / #C5_4Z. #C5P.",
      "\x00\x00\x00\x00#C0 #C1001 ## #", "\xFF\xFF\xFF\xFF\x81#C1\n2行目 #s2_9zp"};
  n = 0;
  for (const char* text : messages)
    Store("message_codes", "text" + std::to_string(n++),
          Bytes(text, text + 4 + std::strlen(text + 4)));
}

}  // namespace

int main(int argc, char** argv) {
  if (argc != 2) {
    std::fprintf(stderr, "usage: %s <corpus folder>\n", argv[0]);
    return 2;
  }
  g_Root = argv[1];
  DatabaseSeeds();
  SystemSeeds();
  WorldMapSeeds();
  FlowSeeds();
  PlayerFileSeeds();
  SampleSeeds();
  TextSeeds();
  return g_nFailures == 0 ? 0 : 1;
}
