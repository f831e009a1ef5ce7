#pragma once
// The project database: the media and effect definitions that stages, characters and
// commands refer to by index, read at start-up from the ten tables of data\database\.
// Index 0 of every table stands for "no media" or "no effect", and a reference that does
// not fit its table falls back to it.
#include <cstdint>

#include "content/anime_records.h"
#include "foundation/containers.h"
#include "foundation/file_data.h"
#include "media/anime.h"
#include "project/effect_records.h"
#include "project/media_records.h"
#include "project/sword_type.h"

// The tables in their loading order.
enum eDbTable : int {
  DB_ANIME_SET = 0,
  DB_ANIME,
  DB_BMP_CHARA_EXC,
  DB_SWORD_TYPE,
  DB_EFFECT,
  DB_CHARA_EFFECT,
  DB_SCR_EFFECT,
  DB_PICTURE,
  DB_SOUND,
  DB_BGM,
  DB_TABLE_COUNT,
};

class cDataBase : public cFileData {
 public:
  cDataBase();

  cVector<cDbAnimeSet> m_AnimeSet;
  cVector<cDbAnime> m_Anime;
  cVector<cDbBmpCharaExc> m_BmpCharaExc;
  cVector<cDbSwordType> m_SwordType;
  cVector<cDbEffect> m_Effect;
  cVector<cDbCharaEffect> m_CharaEffect;
  cVector<cDbScrEffect> m_ScrEffect;
  cVector<cDbPicture> m_Picture;
  cVector<cDbSound> m_Sound;
  cVector<cDbBgm> m_Bgm;
  // Copies of the effect tables that the reversed effect instances turn around in place,
  // so that the tables themselves stay as read.
  cVector<cDbCharaEffect> m_CharaEffectWork;
  cVector<cDbScrEffect> m_ScrEffectWork;

  // Calls fn with the list of a table (eDbTable) and returns what it returns; otherwise when
  // the number names no table.
  template <class R, class Fn>
  R VisitTable(int table, R otherwise, Fn fn) {
    return Visit(*this, table, otherwise, fn);
  }
  template <class R, class Fn>
  R VisitTable(int table, R otherwise, Fn fn) const {
    return Visit(*this, table, otherwise, fn);
  }

  // Every table to its default contents; the working copies are not touched.
  void SetDefault();
  // Reads the ten tables in order. 1 on success; 0 after the first table that is missing,
  // refused or damaged, which is reported and keeps its previous contents, as do the
  // tables after it.
  int Load();
  // Reads one table (eDbTable) the same way; 0 for a table number outside the list.
  int LoadTable(int table);
  // Entry 0 of the character-effect and screen-effect tables is always "no effect".
  void FixFirstEntries();
  // Fills the working copies from the loaded effect tables.
  void CopyEffectWork();

  // The number of entries of a table (0 for a table number outside the list).
  int TableSize(int table) const;
  // index when it lies in the table, else 0, the entry that stands for none.
  int ClampIndex(int table, int index) const;

 private:
  template <class Self, class R, class Fn>
  static R Visit(Self& self, int table, R otherwise, Fn& fn) {
    switch (table) {
      case DB_ANIME_SET:
        return fn(self.m_AnimeSet);
      case DB_ANIME:
        return fn(self.m_Anime);
      case DB_BMP_CHARA_EXC:
        return fn(self.m_BmpCharaExc);
      case DB_SWORD_TYPE:
        return fn(self.m_SwordType);
      case DB_EFFECT:
        return fn(self.m_Effect);
      case DB_CHARA_EFFECT:
        return fn(self.m_CharaEffect);
      case DB_SCR_EFFECT:
        return fn(self.m_ScrEffect);
      case DB_PICTURE:
        return fn(self.m_Picture);
      case DB_SOUND:
        return fn(self.m_Sound);
      case DB_BGM:
        return fn(self.m_Bgm);
      default:
        return otherwise;
    }
  }
};

extern cDataBase g_DataBase;

// The program path of a table file ("data\database\AnimeSet.dat" ...).
const char* DbTablePath(int table);

// One frame sequence per Anime entry, in the sequencer's entry format.
extern AnimeRuns g_AnimeSequences;
// Builds the sequences from the Anime table of g_DataBase: durations in frames (6 per
// tenth), entry 0 looping with every step locked, the others ending with -4 and locked
// from their first locked frame on.
void BuildAnimeFrameTable(AnimeRuns& out);
// The same from any Anime table.
void BuildAnimeFrameTable(const cVector<cDbAnime>& anime, AnimeRuns& out);
