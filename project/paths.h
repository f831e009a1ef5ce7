#pragma once
// Every file and folder the program opens by a fixed name, every fixed extension, and the
// folders start-up makes. Paths are relative to the game folder; a folder ends with a
// backslash.

enum ePathIndex : int {
  PATH_DATA = 0,
  PATH_DEFAULT = 1,
  PATH_STAGE_OLD_VER = 2,
  PATH_DATA_WORK = 3,
  PATH_EDIT_CONFIG = 4,
  PATH_PRJ_OPTION = 5,
  PATH_DEFAULT_PRJ_OPTION = 6,
  PATH_COMMON_PALETTE = 7,
  PATH_DEFAULT_COMMON_PALETTE = 8,
  PATH_GVAL_INFO = 9,
  PATH_DEFAULT_GVAL_INFO = 10,
  PATH_DEFAULT_STAGE = 11,
  PATH_DEFAULT_DEFAULT_STAGE = 12,
  PATH_WORLD_MAP = 13,
  PATH_DEFAULT_WORLD_MAP = 14,
  PATH_DB_ANIME_SET = 15,
  PATH_DEFAULT_DB_ANIME_SET = 16,
  PATH_DB_ANIME = 17,
  PATH_DEFAULT_DB_ANIME = 18,
  PATH_DB_CHARA_BMP = 19,
  PATH_DEFAULT_DB_CHARA_BMP = 20,
  PATH_DB_SWORD_TYPE = 21,
  PATH_DEFAULT_DB_SWORD_TYPE = 22,
  PATH_DB_EFFECT = 23,
  PATH_DEFAULT_DB_EFFECT = 24,
  PATH_DB_CHARA_EFFECT = 25,
  PATH_DEFAULT_DB_CHARA_EFFECT = 26,
  PATH_DB_SCR_EFFECT = 27,
  PATH_DEFAULT_DB_SCR_EFFECT = 28,
  PATH_DB_PICTURE = 29,
  PATH_DEFAULT_DB_PICTURE = 30,
  PATH_DB_SOUND = 31,
  PATH_DEFAULT_DB_SOUND = 32,
  PATH_DB_BGM = 33,
  PATH_DEFAULT_DB_BGM = 34,
  PATH_SYSTEM = 35,
  PATH_DEFAULT_SYSTEM = 36,
  PATH_CHALLENGE_STAGE_PREFIX = 37,
  PATH_RANKING_STORY = 38,  // + ePlayMode for modes 0 to 2
  PATH_RANKING_CHALLENGE = 39,
  PATH_RANKING_FREE = 40,
  PATH_STORY_SAVE_PREFIX = 41,
  PATH_CHALLENGE_DATA = 42,
  PATH_OPTION = 43,
  PATH_USER_DATA = 44,
  PATH_KEY_CONFIG = 45,
  PATH_BOOT = 46,
  PATH_WINDOW = 47,
  PATH_COUNT = 48,
};

enum eExtIndex : int {
  EXT_COMMON_PALETTE = 0,
  EXT_STAGE = 1,
  EXT_PALETTE = 2,
  EXT_RANKING = 3,
  EXT_COUNT = 4,
};

constexpr int kWorkFolderCount = 22;

extern const char* const g_PathTable[PATH_COUNT];
// Without the dot.
extern const char* const g_ExtTable[EXT_COUNT];
// In creation order (each after its parent), ended by a null entry.
extern const char* const g_WorkFolders[kWorkFolderCount + 1];

// Makes sure the data folder exists: when it is missing and the default folder exists, asks
// whether to create it and copies the default folder as the data folder. The copy is made
// beside it and renamed into place, so an interrupted copy leaves no data folder at all.
// 1 when the data folder exists afterwards, -1 when the user declined to create it, 0 when
// it could not be made.
int CreateDefaultData();
// Creates the working folders in order; a folder that exists, or cannot be made, is passed
// over (a later write into it reports itself).
void CreateWorkFolders();
