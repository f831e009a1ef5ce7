#include "flows/cmd_params.h"

#include "content/command.h"
#include "content/shot.h"
#include "flows/flow_run.h"
#include "flows/status_ops.h"
#include "foundation/status_arith.h"
#include "objects/hero.h"
#include "play/play_scene.h"
#include "project/database.h"

cVector<cVector<cCmdParamInfo>> g_CmdParamInfo;

void cCmdParamInfo::Set(const char* name, std::int32_t min, std::int32_t max) {
  m_strName = name;
  m_nMin = min;
  m_nMax = max;
}

namespace {

struct sInfoRow {
  const char* pName;
  std::int32_t nMin, nMax;
};

constexpr std::int32_t kIntMax = 2147483647;

void Fill(int kind, std::initializer_list<sInfoRow> rows) {
  cVector<cCmdParamInfo>& list = g_CmdParamInfo[kind];
  list.clear();
  for (const sInfoRow& row : rows) list.emplace_back().Set(row.pName, row.nMin, row.nMax);
}

// ---- where each parameter lives --------------------------------------------------------

using Locator = sStatusField (*)(cEdCmd& cmd, int n);

sStatusField MoveTargetAngle(cEdCmd& cmd, int n) {
  if (!cmd.m_pMove) return {};
  cEdMove& m = *cmd.m_pMove;
  switch (n) {
    case 0: return FieldOf(m.m_sTargetBlockX);
    case 1: return FieldOf(m.m_sTargetDotX);
    case 2: return FieldOf(m.m_sTargetBlockY);
    case 3: return FieldOf(m.m_sTargetDotY);
    case 4: return FieldOf(m.m_sAngle);
    case 5: return FieldOf(m.m_sAngleClone);
    default: return {};
  }
}

sStatusField MoveHoming(cEdCmd& cmd, int n) {
  if (!cmd.m_pMove) return {};
  cEdMove& m = *cmd.m_pMove;
  switch (n) {
    case 0: return FieldOf(m.m_sHomingLag);
    case 1: return FieldOf(m.m_sHomingLagClone);
    case 2: return FieldOf(m.m_sTargetBlockX);
    case 3: return FieldOf(m.m_sTargetDotX);
    case 4: return FieldOf(m.m_sTargetBlockY);
    case 5: return FieldOf(m.m_sTargetDotY);
    default: return {};
  }
}

sStatusField MoveWarp(cEdCmd& cmd, int n) {
  if (!cmd.m_pMove) return {};
  cEdMove& m = *cmd.m_pMove;
  switch (n) {
    case 0: return FieldOf(m.m_sDistance);
    case 1: return FieldOf(m.m_sDistanceClone);
    case 2: return FieldOf(m.m_sTargetBlockX);
    case 3: return FieldOf(m.m_sTargetBlockY);
    case 4: return FieldOf(m.m_sTargetDotX);
    case 5: return FieldOf(m.m_sTargetDotY);
    default: return {};
  }
}

sStatusField ShotParam(cEdCmd& cmd, int n) {
  if (!cmd.m_pShot) return {};
  cEdShot& s = *cmd.m_pShot;
  switch (n) {
    case 0: return FieldOf(s.m_sGraphic);
    case 1: return FieldOf(s.m_nZ);
    case 2: case 3: case 4: return FieldOf(s.m_sFormationValue[n - 2]);
    case 5: return FieldOf(s.m_nCount);
    case 6: return FieldOf(s.m_nClonesPerShot);
    case 7: return FieldOf(s.m_sAngleDev);
    case 8: return FieldOf(s.m_sAngleDevClone);
    case 9: return FieldOf(s.m_sSpreadAngle);
    case 10: return FieldOf(s.m_sOffsetX);
    case 11: return FieldOf(s.m_sOffsetXClone);
    case 12: return FieldOf(s.m_sOffsetY);
    case 13: return FieldOf(s.m_sOffsetYClone);
    case 14: return FieldOf(s.m_nGroup);
    case 15: case 16: case 17: return FieldOf(s.m_sGuideValue[n - 15]);
    case 18: return FieldOf(s.m_sSpeed);
    case 19: return FieldOf(s.m_sSpeedClone);
    case 20: return FieldOf(s.m_sAccel);
    case 21: return FieldOf(s.m_sAccelClone);
    case 22: return FieldOf(s.m_sRange);
    case 23: return FieldOf(s.m_sRangeClone);
    case 24: return FieldOf(s.m_sLifetime);
    case 25: return FieldOf(s.m_sLifetimeClone);
    case 26: return FieldOf(s.m_nVanishValue);
    case 27: return FieldOf(s.m_nPower);
    case 28: return FieldOf(s.m_nImpact);
    default: return {};
  }
}

sStatusField SwordParam(cEdCmd& cmd, int n) {
  if (!cmd.m_pShot) return {};
  cEdShot& s = *cmd.m_pShot;
  switch (n) {
    case 0: return FieldOf(s.m_nGroup);
    case 1: return FieldOf(s.m_nZ);
    case 2: return FieldOf(s.m_nPower);
    case 3: return FieldOf(s.m_nImpact);
    default: return {};
  }
}

// The summons: the lifetime ("存在時間", the range field), the group, the formation values,
// the count and the two offsets, each kind using some of them in its own order.
enum eSummonField { SF_LIFETIME, SF_GROUP, SF_FORM1, SF_FORM2, SF_FORM3, SF_COUNT, SF_OFFSET_X,
                    SF_OFFSET_Y, SF_NONE };

sStatusField SummonField(cEdCmd& cmd, int field) {
  if (!cmd.m_pShot) return {};
  cEdShot& s = *cmd.m_pShot;
  switch (field) {
    case SF_LIFETIME: return FieldOf(s.m_sRange);
    case SF_GROUP: return FieldOf(s.m_nGroup);
    case SF_FORM1: case SF_FORM2: case SF_FORM3:
      return FieldOf(s.m_sFormationValue[field - SF_FORM1]);
    case SF_COUNT: return FieldOf(s.m_nCount);
    case SF_OFFSET_X: return FieldOf(s.m_sOffsetX);
    case SF_OFFSET_Y: return FieldOf(s.m_sOffsetY);
    default: return {};
  }
}

template <std::size_t N>
sStatusField Pick(cEdCmd& cmd, int n, const int (&fields)[N]) {
  if (n < 0 || n >= static_cast<int>(N)) return {};
  return SummonField(cmd, fields[n]);
}

sStatusField SummonBlock(cEdCmd& cmd, int n) {
  static constexpr int kFields[] = {SF_FORM1, SF_FORM2, SF_FORM3, SF_COUNT, SF_OFFSET_X,
                                    SF_OFFSET_Y};
  return Pick(cmd, n, kFields);
}

sStatusField SummonChara(cEdCmd& cmd, int n) {
  static constexpr int kFields[] = {SF_LIFETIME, SF_GROUP, SF_FORM1,    SF_FORM2,
                                    SF_FORM3,    SF_COUNT, SF_OFFSET_X, SF_OFFSET_Y};
  return Pick(cmd, n, kFields);
}

sStatusField SummonItem(cEdCmd& cmd, int n) {
  static constexpr int kFields[] = {SF_LIFETIME, SF_FORM1,    SF_FORM2,   SF_FORM3,
                                    SF_COUNT,    SF_OFFSET_X, SF_OFFSET_Y};
  return Pick(cmd, n, kFields);
}

// The kinds whose parameters are the command's own integers, by the parameter's index.
template <const int* Indexes, int Count>
sStatusField IntParam(cEdCmd& cmd, int n) {
  if (n < 0 || n >= Count) return {};
  const int index = Indexes[n];
  if (index >= static_cast<int>(cmd.m_Params.size())) return {};
  return FieldOf(cmd.m_Params.data()[index]);
}

constexpr int kStageClear[] = {1, 6, 7, 3, 4};
constexpr int kMessage[] = {13, 1, 2, 3, 4};
constexpr int kSetTarget[] = {2, 10, 13};
constexpr int kStatusOp[] = {8, 9};
constexpr int kVanish[] = {1};
constexpr int kChangeGraphic[] = {1, 2};
constexpr int kPlayEffect[] = {2, 3, 4, 5, 6};
constexpr int kShowPicture[] = {13, 2, 3, 4, 5, 7};
constexpr int kScreenColour[] = {0, 1, 2, 3};
constexpr int kBackground[] = {0};

sStatusField Nothing(cEdCmd&, int) { return {}; }

template <Locator L>
int Get(cEdCmd& cmd, int n, std::int32_t& value) {
  const sStatusField ref = L(cmd, n);
  if (!ref.pField) return 0;
  value = ReadStatusField(ref);
  return 1;
}

template <Locator L>
int Put(cEdCmd& cmd, int n, std::int32_t value) {
  const sStatusField ref = L(cmd, n);
  if (!ref.pField) return 0;
  WriteStatusField(ref, value);
  return 1;
}

template <const int* Indexes, std::size_t Count>
constexpr Locator kIntParams = IntParam<Indexes, static_cast<int>(Count)>;

}  // namespace

// The getter and setter of each character command kind, from its locator.
#define TW_INTS(table) kIntParams<table, std::size(table)>
#define TW_PARAM_KINDS(F)                                                                    \
  nullptr, nullptr, F<MoveTargetAngle>, F<Nothing>, F<Nothing>, F<MoveTargetAngle>,          \
      F<MoveHoming>, F<Nothing>, nullptr, nullptr, nullptr, F<ShotParam>, F<SwordParam>,     \
      F<SummonBlock>, F<SummonChara>, F<SummonItem>, nullptr, F<TW_INTS(kStageClear)>,       \
      nullptr, F<TW_INTS(kMessage)>, F<MoveWarp>, F<TW_INTS(kSetTarget)>,                    \
      F<TW_INTS(kStatusOp)>, nullptr, F<TW_INTS(kVanish)>, nullptr,                          \
      F<TW_INTS(kChangeGraphic)>, nullptr, nullptr, F<TW_INTS(kPlayEffect)>, nullptr,        \
      nullptr, F<TW_INTS(kShowPicture)>, F<TW_INTS(kScreenColour)>,                          \
      F<TW_INTS(kBackground)>, nullptr, nullptr, nullptr, nullptr, nullptr

const CmdParamGetter CmdParamGet[40] = {TW_PARAM_KINDS(Get)};
const CmdParamSetter CmdParamSet[40] = {TW_PARAM_KINDS(Put)};

#undef TW_PARAM_KINDS
#undef TW_INTS

void InitCmdParamInfo() {
  g_CmdParamInfo.assign(CMD_KIND_COUNT, {});
  constexpr std::int32_t kAll = kIntMax;
  for (int kind : {CMD_MOVE_LINE, CMD_MOVE_RUSH})
    Fill(kind, {{"目標X(bl)", -640, 640}, {"目標X(dot)", -640, 640}, {"目標Y(bl)", -640, 640},
                {"目標Y(dot)", -640, 640}, {"角度", -7200, 7200},
                {"分身値による増加角度", -7200, 7200}});
  Fill(CMD_MOVE_HOMING,
       {{"誘導性能の悪さ", 0, 10}, {"分身値による増加誘導性能の悪さ", 0, 10},
        {"目標X(bl)", -640, 640}, {"目標X(dot)", -640, 640}, {"目標Y(bl)", -640, 640},
        {"目標Y(dot)", -640, 640}});
  Fill(CMD_SHOT,
       {{"グラフィック", 1, 120}, {"Z座標", 0, 7}, {"フォーメーション固有1", 0, kAll},
        {"フォーメーション固有2", 0, kAll}, {"フォーメーション固有3", 0, kAll},
        {"発射数", 1, 127}, {"発射数に対する分身数", 0, 20}, {"角度のズレ", -7200, 7200},
        {"分身値による角度のズレ", -7200, 7200}, {"分散角度", 0, 180},
        {"発射位置のズレX(dot)", -640, 640}, {"分身値による発射位置のズレX(dot)", -640, 640},
        {"発射位置のズレY(dot)", -640, 640}, {"分身値による発射位置のズレY(dot)", -640, 640},
        {"勢力", 0, 7}, {"移動タイプ固有1", 0, kAll}, {"移動タイプ固有2", 0, kAll},
        {"移動タイプ固有3", 0, kAll}, {"速度", -200, 200}, {"分身値による増加速度", -200, 200},
        {"加速度", -200, 200}, {"分身値による増加加速度", -200, 200}, {"飛距離(hbl)", 0, 64},
        {"分身値による増加飛距離", -40, 40}, {"存在時間(1/10s)", 1, 999},
        {"分身値よる増加存在時間", -99, 99}, {"消滅値", 1, 9}, {"威力", -999999, 999999},
        {"衝撃", -20, 20}});
  Fill(CMD_SWORD,
       {{"勢力", 0, 7}, {"Z座標", 0, 7}, {"威力", -999999, 999999}, {"衝撃", -20, 20}});
  Fill(CMD_SUMMON_BLOCK,
       {{"フォーメーション固有1", 0, kAll}, {"フォーメーション固有2", 0, kAll},
        {"フォーメーション固有3", 0, kAll}, {"数", 1, 127}, {"召喚位置のズレX(dot)", -640, 640},
        {"召喚位置のズレY(dot)", -640, 640}});
  Fill(CMD_SUMMON_CHARA,
       {{"存在時間(1/10s)", 1, 9999}, {"勢力", 0, 7}, {"フォーメーション固有1", 0, kAll},
        {"フォーメーション固有2", 0, kAll}, {"フォーメーション固有3", 0, kAll}, {"数", 1, 127},
        {"召喚位置のズレX(dot)", -640, 640}, {"召喚位置のズレY(dot)", -640, 640}});
  Fill(CMD_SUMMON_ITEM,
       {{"存在時間(1/10s)", 1, 9999}, {"フォーメーション固有1", 0, kAll},
        {"フォーメーション固有2", 0, kAll}, {"フォーメーション固有3", 0, kAll}, {"数", 1, 127},
        {"召喚位置のズレX(dot)", -640, 640}, {"召喚位置のズレY(dot)", -640, 640}});
  Fill(CMD_STAGE_CLEAR,
       {{"次のステージの番号", 1, 99}, {"次のステージの初期位置X(bl)", 0, 999},
        {"次のステージの初期位置Y(bl)", 0, 999}, {"クリア後のワールドマップの位置X", 0, 999},
        {"クリア後のワールドマップの位置Y", 0, 999}});
  Fill(CMD_MESSAGE, {{"メッセージID", 0, 999}, {"座標X(bl)", 0, 20}, {"座標Y(bl)", 0, 15},
                     {"表示位置のズレX(dot)", -999, 999}, {"表示位置のズレY(dot)", -999, 999}});
  Fill(CMD_WARP, {{"距離(hbl)", 0, 64}, {"分身値による増加距離(hbl)", -40, 40},
                  {"目標X(bl)", -640, 640}, {"目標Y(bl)", -640, 640},
                  {"目標Xのズレ(dot)", -640, 640}, {"目標Yのズレ(dot)", -640, 640}});
  Fill(CMD_SET_TARGET, {{"対象勢力", 0, 7}, {"対象キャラID", 0, 99},
                        {"キャラ変数と比較する数値", -999999, 999999}});
  Fill(CMD_STATUS_OP, {{"乱数の最小値", -999999, 999999}, {"乱数の最大値", -999999, 999999}});
  Fill(CMD_VANISH, {{"対象勢力", 0, 7}});
  Fill(CMD_SET_GRAPHIC, {{"グラフィック", 1, 119}, {"ズレ", -999, 999}});
  Fill(CMD_EFFECT, {{"座標X(bl)", 0, 511}, {"座標Y(bl)", 0, 511},
                    {"表示位置のズレX(dot)", -999, 999}, {"表示位置のズレY(dot)", -999, 999},
                    {"表示倍率(%)", 1, 1000}});
  Fill(CMD_PICTURE, {{"ピクチャーID", 0, 999}, {"座標X(bl)", 0, 511}, {"座標Y(bl)", 0, 511},
                     {"表示位置のズレX(dot)", -999, 999}, {"表示位置のズレY(dot)", -999, 999},
                     {"表示倍率(%)", 1, 1000}});
  Fill(CMD_SCREEN_COLOR, {{"R", 0, 255}, {"G", 0, 255}, {"B", 0, 255}, {"%", 0, 100}});
  Fill(CMD_BACKGROUND, {{"背景番号", 1, 8}});
}

namespace {

// The row of the formation or guidance table that gives a parameter its range, or null when
// the parameter takes its descriptor's range. outside is set when the record's formation or
// guidance byte has no row.
const sParamLabel* ShotRow(const cEdCmd& cmd, int kind, int n, bool& outside) {
  outside = false;
  int first = -1;
  switch (kind) {
    case CMD_SHOT:
    case CMD_SUMMON_CHARA: first = 2; break;
    case CMD_SUMMON_BLOCK: first = 0; break;
    case CMD_SUMMON_ITEM: first = 1; break;
    default: return nullptr;
  }
  if (!cmd.m_pShot) return nullptr;
  if (n >= first && n < first + 3) {
    const int formation = cmd.m_pShot->m_nFormation;
    if (formation < 0 || formation >= FORMATION_COUNT) {
      outside = true;
      return nullptr;
    }
    return &g_FormationParamTable[formation * 3 + (n - first)];
  }
  if (kind == CMD_SHOT && n >= 15 && n < 18) {
    const int guide = cmd.m_pShot->m_nGuide;
    if (guide < 0 || guide >= GUIDE_COUNT) {
      outside = true;
      return nullptr;
    }
    return &g_GuideParamTable[guide * 3 + (n - 15)];
  }
  return nullptr;
}

// The source value of an entry; false when its variable is out of reach.
bool ArrangeSource(const sArrange& entry, cCharaBase* chara, std::int32_t& value) {
  const int i = entry.nVariable;
  switch (entry.nScope) {
    case 0:
    case 1: {
      cVector<std::int32_t>& vars = *VariableList(entry.nScope);
      if (i < 1 || i >= static_cast<int>(vars.size())) return false;
      value = vars.data()[i];
      return true;
    }
    case 2:
      if (!chara || i < 0 || i >= static_cast<int>(chara->m_Vars.size())) return false;
      value = chara->m_Vars.data()[i];
      return true;
    default:
      return false;
  }
}

sArrange EntryOf(const cEdCmd& cmd) {
  return {CmdParam(cmd, 0), CmdParam(cmd, 1), CmdParam(cmd, 2), CmdParam(cmd, 3),
          CmdParam(cmd, 4)};
}

}  // namespace

void ApplyArrange(cEdCmd& cmd, const sArrange& entry, cCharaBase* chara) {
  const int kind = cmd.m_nKind + (cmd.m_nCmdSet == CMDSET_ITEM ? kItemCmdKindOffset : 0);
  if (entry.nKind != kind || kind < 0 || kind >= CMD_KIND_COUNT || !CmdParamSet[kind]) return;
  // Kinds 3, 4 and 7 have no parameter to change.
  if (kind == CMD_MOVE_GROUND || kind == CMD_MOVE_CIRCLE || kind == CMD_MOVE_AVOID_OFFSCREEN)
    return;
  std::int32_t f = 0;
  if (!ArrangeSource(entry, chara, f)) return;
  const int n = entry.nParam;
  if (g_CmdParamInfo.size() != CMD_KIND_COUNT) return;  // before start-up filled them
  // An index beyond the kind's list is the descriptors' bounds failure; the command has no
  // such parameter and stays as it is.
  const cCmdParamInfo& info = g_CmdParamInfo[kind][n];
  std::int32_t min = info.m_nMin, max = info.m_nMax;
  bool outside = false;
  if (const sParamLabel* row = ShotRow(cmd, kind, n, outside)) {
    min = row->sMin;
    max = row->sMax;
  }
  if (outside) return;
  std::int32_t value = 0;
  if (!CmdParamGet[kind](cmd, n, value)) return;
  ApplyOpInt(value, f, entry.nOperator, min, max);
  // A character-exchange graphic beyond the database's table becomes the first.
  if (kind == CMD_SET_GRAPHIC && n == 0 && CmdParam(cmd, 0) == 4 &&
      value >= static_cast<std::int32_t>(g_DataBase.m_BmpCharaExc.size()))
    value = 1;
  CmdParamSet[kind](cmd, n, value);
}

void ExecArrange(cCharaBase*, cEdCmd& cmd) {
  if (cmd.m_nCmdSet == CMDSET_ITEM) {
    if (!g_Heroes.empty()) g_Heroes.front().m_PendingArranges.push_back(EntryOf(cmd));
    return;
  }
  if (cFlowRun* flow = CurFlow()) flow->m_Arranges.push_back(EntryOf(cmd));
}

void ApplyFlowArranges(cEdCmd& cmd, cCharaBase* chara, cFlowRun* flow) {
  if (!flow) return;
  for (const sArrange& entry : flow->m_Arranges) ApplyArrange(cmd, entry, chara);
}

void ApplyHeroArranges(cEdCmd& cmd, cHero& hero) {
  for (const sArrange& entry : hero.m_PendingArranges) ApplyArrange(cmd, entry, &hero);
}
