#pragma once
// The numbering of the flow tree shared by the project files, the editor and the executors:
// command kinds with their parameter counts, item-command kinds, flow triggers and the few
// value lists the player's own code tests by name.
#include <cstdint>

// Which kind table a command's kind byte belongs to.
enum eCmdSet : std::int8_t {
  CMDSET_CHARA = 0,
  CMDSET_ITEM = 1,
};

enum eCmdKind : std::int8_t {
  CMD_NONE = 0,
  CMD_WAIT,
  CMD_MOVE_LINE,
  CMD_MOVE_GROUND,
  CMD_MOVE_CIRCLE,
  CMD_MOVE_RUSH,
  CMD_MOVE_HOMING,
  CMD_MOVE_AVOID_OFFSCREEN,
  CMD_MOVE_STOP,
  CMD_TURN,
  CMD_JUMP,  // 10
  CMD_SHOT,
  CMD_SWORD,
  CMD_SUMMON_BLOCK,
  CMD_SUMMON_CHARA,
  CMD_SUMMON_ITEM,
  CMD_FLOW_OP,
  CMD_STAGE_CLEAR,
  CMD_GAME_WAIT,
  CMD_MESSAGE,
  CMD_WARP,  // 20
  CMD_SET_TARGET,
  CMD_STATUS_OP,
  CMD_STATUS_OP2,
  CMD_VANISH,
  CMD_GET_ITEM,
  CMD_SET_GRAPHIC,
  CMD_SET_ANIMESET,
  CMD_ANIME,
  CMD_EFFECT,
  CMD_CHARA_EFFECT,  // 30
  CMD_SCREEN_EFFECT,
  CMD_PICTURE,
  CMD_SCREEN_COLOR,
  CMD_BACKGROUND,
  CMD_SOUND,
  CMD_BGM,
  CMD_CODE,
  CMD_ARRANGE,
  CMD_LOOP,
  CMD_KIND_COUNT  // 40
};

// Item commands: kind 1 changes the hero's flows; kinds 2 to 24 are the character kinds 17 to
// 39 under the same labels and parameter counts.
enum eItemCmdKind : std::int8_t {
  ITEMCMD_NONE = 0,
  ITEMCMD_FLOW_CHANGE = 1,
  ITEMCMD_GET_ITEM = 10,
  ITEMCMD_ARRANGE = 23,
  ITEMCMD_KIND_COUNT = 25
};

// The character kind an item kind of 2 or more stands for.
inline constexpr int kItemCmdKindOffset = 15;

enum eFlowTrigger : std::int8_t {
  TRIGGER_ALWAYS = 0,
  TRIGGER_DAMAGED,
  TRIGGER_KNOCKED_BACK,
  TRIGGER_DEAD,
  TRIGGER_TOUCH_CHARA,
  TRIGGER_TOUCH_BLOCK_CHARA,
  TRIGGER_RIDE_BLOCK_CHARA,
  TRIGGER_HIT_BY_SHOT,
  TRIGGER_TOUCH_ITEM,
  TRIGGER_TOUCH_BLOCK,
  TRIGGER_BLOCK_SIDE,  // 10
  TRIGGER_BLOCK_LEFT,
  TRIGGER_BLOCK_RIGHT,
  TRIGGER_BLOCK_VERTICAL,
  TRIGGER_BLOCK_ABOVE,
  TRIGGER_BLOCK_BELOW,
  TRIGGER_RIDDEN_BY_HERO,
  TRIGGER_RIDDEN_BY_CHARA,
  TRIGGER_ATTACK_DAMAGE,
  TRIGGER_ATTACK_KNOCK_BACK,
  TRIGGER_ATTACK_HIT,  // 20
  TRIGGER_BEFORE_STAGE_START,
  TRIGGER_NONE,
  TRIGGER_COUNT  // 23
};

// FLOW_OP p0 and p1.
enum eFlowOp : std::int8_t {
  FLOWOP_START = 0,
  FLOWOP_STOP,
  FLOWOP_PAUSE,
  FLOWOP_RESUME,
  FLOWOP_DELETE,
  FLOWOP_STOP_FOR_GOOD
};
enum eFlowSel : std::int8_t { FLOWSEL_THIS = 0, FLOWSEL_OTHERS, FLOWSEL_BY_ID };

struct sCmdKindInfo {
  const char* pLabel;
  std::int32_t nParamCount;
};

extern const sCmdKindInfo g_CmdTable[CMD_KIND_COUNT];
extern const sCmdKindInfo g_ItemCmdTable[ITEMCMD_KIND_COUNT];

// Whether a kind byte has an entry in its set's table (a set other than 0 and 1 has none).
bool IsKnownCmdKind(int cmdSet, int kind);
// The parameter count of a kind; 0 for a kind or set outside the tables.
std::int32_t CmdParamCount(int cmdSet, int kind);
