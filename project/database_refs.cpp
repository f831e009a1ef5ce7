#include "project/database_refs.h"

#include "project/database.h"

std::int32_t cDataBaseRefs::TableSize(eRefTable table) const {
  switch (table) {
    case REF_ANIME:
      return g_DataBase.TableSize(DB_ANIME);
    case REF_SOUND:
      return g_DataBase.TableSize(DB_SOUND);
    case REF_SWORD_TYPE:
      return g_DataBase.TableSize(DB_SWORD_TYPE);
    case REF_BMP_CHARA_EXC:
      return g_DataBase.TableSize(DB_BMP_CHARA_EXC);
    case REF_ANIME_SET:
      return g_DataBase.TableSize(DB_ANIME_SET);
    case REF_EFFECT:
      return g_DataBase.TableSize(DB_EFFECT);
    case REF_CHARA_EFFECT:
      return g_DataBase.TableSize(DB_CHARA_EFFECT);
    case REF_SCR_EFFECT:
      return g_DataBase.TableSize(DB_SCR_EFFECT);
    case REF_PICTURE:
      return g_DataBase.TableSize(DB_PICTURE);
    case REF_BGM:
      return g_DataBase.TableSize(DB_BGM);
  }
  return 0;
}

std::vector<std::int32_t> cDataBaseRefs::SwordFrameTimes(std::int32_t swordType) const {
  std::vector<std::int32_t> times;
  if (!IndexInTable(swordType, TableSize(REF_SWORD_TYPE))) return times;
  for (const cDbSwordFrame& frame : g_DataBase.m_SwordType[swordType].m_Frames)
    times.push_back(frame.m_nTime);
  return times;
}

void InstallDataBaseRefs() {
  static const cDataBaseRefs refs;
  SetContentRefs(&refs);
}
