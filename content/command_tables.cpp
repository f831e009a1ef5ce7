#include "content/command_tables.h"

const sCmdKindInfo g_CmdTable[CMD_KIND_COUNT] = {
    {"", 0},
    {"ウエイト", 0},
    {"直線移動", 0},
    {"地上折り返し移動", 0},
    {"円移動", 0},
    {"突撃移動", 0},
    {"誘導移動", 0},
    {"画面外回避移動", 0},
    {"移動の無効化", 0},
    {"向き変更", 1},
    {"ジャンプ", 5},
    {"ショット", 0},
    {"ソード", 0},
    {"ブロック召喚", 0},
    {"キャラ召喚", 0},
    {"アイテム召喚", 0},
    {"フローの操作", 4},
    {"ステージクリア", 9},
    {"ゲームウエイト", 1},
    {"メッセージ", 18},
    {"ワープ", 0},
    {"ターゲットの設定", 16},
    {"ステータスの操作", 18},
    {"ステータスの操作2", 5},
    {"消滅", 3},
    {"アイテムの取得", 2},
    {"グラフィックの変更", 3},
    {"基本アニメセットの変更", 1},
    {"アニメの実行", 1},
    {"エフェクトの実行", 8},
    {"キャラエフェクトの実行", 3},
    {"画面エフェクトの実行", 3},
    {"ピクチャーの表示", 15},
    {"画面の色を変更", 8},
    {"背景の変更", 2},
    {"効果音の再生", 1},
    {"BGMの再生", 2},
    {"コードの実行", 0},
    {"アレンジ", 5},
    {"ループ", 2},
};

namespace {
sCmdKindInfo ItemEntry(int kind) {
  return kind == 0   ? sCmdKindInfo{"", 0}
         : kind == 1 ? sCmdKindInfo{"フローの変更", 2}
                     : g_CmdTable[kind + kItemCmdKindOffset];
}
}  // namespace

const sCmdKindInfo g_ItemCmdTable[ITEMCMD_KIND_COUNT] = {
    ItemEntry(0),  ItemEntry(1),  ItemEntry(2),  ItemEntry(3),  ItemEntry(4),
    ItemEntry(5),  ItemEntry(6),  ItemEntry(7),  ItemEntry(8),  ItemEntry(9),
    ItemEntry(10), ItemEntry(11), ItemEntry(12), ItemEntry(13), ItemEntry(14),
    ItemEntry(15), ItemEntry(16), ItemEntry(17), ItemEntry(18), ItemEntry(19),
    ItemEntry(20), ItemEntry(21), ItemEntry(22), ItemEntry(23), ItemEntry(24),
};

bool IsKnownCmdKind(int cmdSet, int kind) {
  if (kind < 0) return false;
  if (cmdSet == CMDSET_CHARA) return kind < CMD_KIND_COUNT;
  if (cmdSet == CMDSET_ITEM) return kind < ITEMCMD_KIND_COUNT;
  return false;
}

std::int32_t CmdParamCount(int cmdSet, int kind) {
  if (!IsKnownCmdKind(cmdSet, kind)) return 0;
  return cmdSet == CMDSET_CHARA ? g_CmdTable[kind].nParamCount : g_ItemCmdTable[kind].nParamCount;
}
