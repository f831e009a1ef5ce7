#pragma once
// One table of the project database, read as start-up reads it, then put to the uses start-up
// puts the tables to.
#include "project/database.h"
#include "tests/fuzz/fuzz_target.h"

inline void FuzzDbTable(int table, const std::uint8_t* data, std::size_t size) {
  const cFuzzRun run;
  static bool folders = false;
  if (!folders) {
    platform::MakeHostFolder("data");
    platform::MakeHostFolder("data\\database");
    folders = true;
  }
  // Every table but the one being read keeps its defaults, as after a failed start-up.
  static cDataBase db;
  db.SetDefault();
  auto writeTable = [table](cDataBase& from) {
    return [table, &from](cDataFile& f) {
      from.VisitTable(table, 0, [&f](auto& list) {
        WriteRecordList(f, list);
        return 0;
      });
    };
  };
  const std::vector<std::uint8_t> before = FuzzWrittenFile(writeTable(db));
  FuzzWriteHostFile(DbTablePath(table), data, size);
  if (!db.LoadTable(table)) {
    if (FuzzWrittenFile(writeTable(db)) != before) FuzzFail("a failed load changed the table");
    return;
  }
  if (db.TableSize(table) < 1) FuzzFail("a loaded table lacks its entry 0");
  db.FixFirstEntries();
  db.CopyEffectWork();
  AnimeRuns runs;
  BuildAnimeFrameTable(db.m_Anime, runs);
  // The table as written must load again, to the same contents.
  static cDataBase again;
  again.SetDefault();
  const std::vector<std::uint8_t> written = FuzzWrittenFile(writeTable(db));
  FuzzWriteHostFile(DbTablePath(table), written.data(), written.size());
  if (!again.LoadTable(table)) FuzzFail("a written table does not load");
  again.FixFirstEntries();
  if (FuzzWrittenFile(writeTable(again)) != written) FuzzFail("a written table loads different");
}

#define TW_FUZZ_DB_TABLE(table)                                                        \
  extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) { \
    FuzzDbTable(table, data, size);                                                    \
    return 0;                                                                          \
  }
