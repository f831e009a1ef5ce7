#include "project/paths.h"

#include "foundation/message_box.h"
#include "platform/host_file.h"

const char* const g_PathTable[PATH_COUNT] = {
    "data\\",
    "default\\",
    "data\\stg4\\old_ver\\",
    "data\\work\\",
    "e_data\\EditConfig.dat",
    "data\\PrjOption.dat",
    "default\\PrjOption.dat",
    "data\\CommonPalette.cplt4",
    "default\\CommonPalette.cplt4",
    "data\\GValInfo.dat",
    "default\\GValInfo.dat",
    "data\\stg4\\Default.stg4_***",
    "default\\stg4\\Default.stg4_***",
    "data\\WorldMap.dat",
    "default\\WorldMap.dat",
    "data\\database\\AnimeSet.dat",
    "default\\database\\AnimeSet.dat",
    "data\\database\\Anime.dat",
    "default\\database\\Anime.dat",
    "data\\database\\Bmp_CharaExc.dat",
    "default\\database\\Bmp_CharaExc.dat",
    "data\\database\\SwordType.dat",
    "default\\database\\SwordType.dat",
    "data\\database\\Effect.dat",
    "default\\database\\Effect.dat",
    "data\\database\\CharaEffect.dat",
    "default\\database\\CharaEffect.dat",
    "data\\database\\ScrEffect.dat",
    "default\\database\\ScrEffect.dat",
    "data\\database\\Picture.dat",
    "default\\database\\Picture.dat",
    "data\\database\\Sound.dat",
    "default\\database\\Sound.dat",
    "data\\database\\Bgm.dat",
    "default\\database\\Bgm.dat",
    "data\\System.dat",
    "default\\System.dat",
    "data\\stg4\\c",
    "user_data\\story\\",
    "user_data\\challenge\\",
    "user_data\\free\\",
    "user_data\\story\\Story",
    "user_data\\challenge\\Challenge.dat",
    "user_data\\Option.dat",
    "user_data\\",
    "user_data\\KeyConfig.dat",
    "user_data\\Boot.dat",
    "user_data\\Window.dat",
};

const char* const g_ExtTable[EXT_COUNT] = {"cplt4", "stg4", "plt4", "rkg"};

const char* const g_WorkFolders[kWorkFolderCount + 1] = {
    "user_data",
    "user_data\\story",
    "user_data\\challenge",
    "user_data\\free",
    "user_data\\rpl4",
    "data",
    "data\\database",
    "data\\stg4",
    "data\\stg4\\old_ver",
    "data\\work",
    "data\\plt4",
    "bmp",
    "bmp\\back",
    "bmp\\chara_sp",
    "bmp\\effect",
    "bmp\\picture",
    "bmp\\sword",
    "bmp\\convert",
    "bmp\\plt",
    "bmp\\hbt",
    "wave",
    "bgm",
    nullptr,
};

int CreateDefaultData() {
  // An existing data folder is never touched, however incomplete it is.
  if (platform::HostFolderExists(g_PathTable[PATH_DATA])) return 1;
  if (!platform::HostFolderExists(g_PathTable[PATH_DEFAULT])) return 0;
  if (MesBox("データが存在しません！デフォルトデータを作成しますか？\n",
             "デフォルトデータ作成の確認", MB_YESNO) == IDNO)
    return -1;
  return platform::CopyHostFolder(g_PathTable[PATH_DEFAULT], g_PathTable[PATH_DATA]) ? 1 : 0;
}

void CreateWorkFolders() {
  for (int i = 0; g_WorkFolders[i]; ++i) platform::MakeHostFolder(g_WorkFolders[i]);
}
