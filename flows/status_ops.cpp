#include "flows/status_ops.h"

#include "content/command.h"
#include "flows/flow_run.h"
#include "foundation/play_math.h"
#include "foundation/random.h"
#include "foundation/status_arith.h"
#include "objects/chara_base.h"
#include "objects/play_units.h"
#include "play/play_graphics.h"
#include "play/play_scene.h"
#include "play/scroll_axis.h"
#include "project/play_data.h"
#include "project/stage.h"
#include "project/system_data.h"
#include "project/system_bitmaps.h"

namespace {

constexpr std::int32_t kValueLimit = 999999;

struct sRange {
  std::int32_t nMin, nMax;
};

// The ranges of the statuses that operations change by their table (HP and SP go through
// their own change).
constexpr sRange kStatusRange[STATUS_COUNT] = {
    {-kValueLimit, kValueLimit},  // character variable
    {0, 0},                       // HP
    {0, 0},                       // SP
    {0, kValueLimit},             // max HP
    {0, kValueLimit},             // max SP
    {0, 99},                      // character ID
    {0, 7},                       // Z
    {0, 119},                     // mark
    {0, 40},                      // sight
    {-kValueLimit, kValueLimit},  // power
    {-20, 20},                    // impact
    {0, kValueLimit},             // defence
    {0, 20},                      // impact resistance
    {0, 200},                     // stop
    {-kValueLimit, kValueLimit},  // score
};

std::int32_t s_nTimeWithoutStage = 0;
cVector<std::int32_t> s_NoStageVars;

// The value of a source (constant, random draw, status, variable); false when the source
// is a status of an empty target slot or the sight of a computer-controlled character.
bool SourceValue(cCharaBase& chara, int source, std::int32_t constant, std::int32_t randA,
                 std::int32_t randB, int object, int status, int scope, int index,
                 std::int32_t& v) {
  switch (source) {
    case VALUE_CONSTANT:
      v = constant;
      return true;
    case VALUE_RANDOM:
      v = RandRange(randA, randB);
      return true;
    case VALUE_STATUS: {
      if (object == STATUS_OBJ_SYSTEM) {
        if (status == SYS_TIME) {
          v = g_pPlayScene && g_pPlayScene->m_bNoTimeLimit ? 0 : *SystemValueField(SYS_TIME);
        } else if (status == SYS_LIVES) {
          v = ReadLives();
        } else {
          const std::int32_t* field = SystemValueField(status);
          v = field ? *field : 0;
        }
        return true;
      }
      cCharaBase* holder = StatusObject(chara, object);
      if (!holder) return false;
      if (status == STATUS_SIGHT && holder->m_nControl != 0) return false;
      const sStatusField field = StatusField(*holder, status, index);
      v = field.pField ? ReadStatusField(field) : 0;
      if (status == STATUS_STOP) holder->m_dDecel = PercentToAccel(holder->m_Def.m_sStopEase);
      return true;
    }
    case VALUE_VARIABLE: {
      cVector<std::int32_t>* vars = VariableList(scope);
      v = vars ? (*vars)[index] : 0;
      return true;
    }
    default:
      v = 0;
      return true;
  }
}

// The right side and the width of a status on the left of a condition.
int CompareStatus(cCharaBase& holder, const cEdCond& cond, std::int32_t v) {
  const int status = cond.m_nItem;
  const sStatusField field = StatusField(holder, status, cond.m_nIndex);
  if (!field.pField) return 1;
  const std::int32_t left = ReadStatusField(field);
  const eCompareOp op = static_cast<eCompareOp>(cond.m_nOperator);
  std::int32_t right = v;
  if (cond.m_bPercent) {
    if (status == STATUS_HP)
      right = ClampInt(PercentOf(holder.m_Def.m_nMaxHP, v), 0, kValueLimit);
    else if (status == STATUS_SP)
      right = ClampInt(PercentOf(holder.m_Def.m_nMaxSP, v), 0, kValueLimit);
    else
      right = 0;
  }
  if (field.nWidth == 0) return CompareChar(left, right, op);
  if (field.nWidth == 2) return CompareShort(left, right, op);
  return CompareByOp(left, right, op);
}

int CompareSystem(const cEdCond& cond, std::int32_t v) {
  std::int32_t left = 0;
  if (cond.m_nItem == SYS_LIVES) {
    if (LivesUnlimited() && g_SystemData.bCompatLifeRead) return 0;
    left = ReadLives();
  } else {
    const std::int32_t* field = SystemValueField(cond.m_nItem);
    if (!field) return 0;
    left = *field;
  }
  return CompareByOp(left, cond.m_bPercent ? 0 : v, static_cast<eCompareOp>(cond.m_nOperator));
}

// An operation on a game value.
void OperateSystem(int value, std::int32_t v, int op, int percent) {
  std::int32_t* field = SystemValueField(value);
  if (!field) return;
  if (value == SYS_LIVES && LivesUnlimited()) return;
  if (percent) v = PercentOf(v, *field);
  switch (value) {
    case SYS_TIME:
      ApplyOpInt(*field, v, op, 0, 999);
      break;
    case SYS_SCROLL_X:
      ApplyOpInt(*field, v, op, -480, 480);
      ScrollAxisX().SetSpeed(g_Stage.m_bAutoScrollX, *field);
      break;
    case SYS_SCROLL_Y:
      ApplyOpInt(*field, v, op, -480, 480);
      ScrollAxisY().SetSpeed(g_Stage.m_bAutoScrollY, *field);
      break;
    case SYS_SCORE:
      ApplyOpInt(*field, v, op, 0, kValueLimit);
      break;
    case SYS_LIVES:
      ApplyOpInt(*field, v, op, 0, 99);
      break;
    default:
      break;
  }
}

// HP or SP through the character's own change: the working value h from the operator and
// the calculation mode, then the difference applied as a forced change.
void OperateGauge(cCharaBase& holder, bool hp, std::int32_t v, int op, int mode, int gauge) {
  const std::int32_t current = hp ? holder.m_HP.m_nValue : holder.m_SP.m_nValue;
  const std::int32_t maximum = hp ? holder.m_Def.m_nMaxHP : holder.m_Def.m_nMaxSP;
  std::int32_t h = current;
  switch (mode) {
    case CALC_NORMAL:
      ApplyOpInt(h, v, op, 0, kValueLimit);
      break;
    case CALC_PERCENT_OF_MAX:
      ApplyOpInt(h, PercentOf(v, maximum), op, 0, kValueLimit);
      break;
    case CALC_PERCENT_OF_CURRENT:
      ApplyOpInt(h, PercentOf(v, current), op, 0, kValueLimit);
      break;
    default:
      if (!hp) return;
      break;
  }
  const std::int32_t change = SubWrap32(h, current);
  if (hp)
    holder.AddHP(change, 1, gauge);
  else
    holder.AddSP(change, gauge);
}

void OperateStatus(cCharaBase& chara, cCharaBase& holder, const cEdCmd& cmd, std::int32_t v) {
  const int status = CmdParam(cmd, 4);
  const int op = CmdParam(cmd, 5);
  const int percent = CmdParam(cmd, 14);
  if (status < 0 || status >= STATUS_COUNT) return;
  const sRange range = kStatusRange[status];
  switch (status) {
    case STATUS_HP:
    case STATUS_SP:
      if (percent) v = PercentOf(v, status == STATUS_HP ? holder.m_HP.m_nValue : holder.m_SP.m_nValue);
      OperateGauge(holder, status == STATUS_HP, v, op, CmdParam(cmd, 15), CmdParam(cmd, 16));
      if (status == STATUS_HP && &holder != &chara && holder.m_HP.m_nValue <= 0)
        RequestDefeatChecks();
      return;
    case STATUS_MAX_HP:
    case STATUS_MAX_SP: {
      const bool hp = status == STATUS_MAX_HP;
      std::int32_t& maximum = hp ? holder.m_Def.m_nMaxHP : holder.m_Def.m_nMaxSP;
      std::int32_t& value = hp ? holder.m_HP.m_nValue : holder.m_SP.m_nValue;
      if (percent) v = PercentOf(v, maximum);
      ApplyOpInt(maximum, v, op, range.nMin, range.nMax);
      if (value > maximum) value = maximum;
      if (hp && &holder != &chara && value < 1) RequestDefeatChecks();
      return;
    }
    case STATUS_SIGHT:
      if (holder.m_nControl != 0) return;
      [[fallthrough]];
    case STATUS_CHARA_ID:
    case STATUS_Z:
    case STATUS_IMPACT:
    case STATUS_IMPACT_RESIST: {
      // The value is cut to a byte first, then clamped.
      const sStatusField field = StatusField(holder, status, 0);
      std::int8_t target = static_cast<std::int8_t>(ReadStatusField(field));
      std::int8_t a = static_cast<std::int8_t>(v);
      if (percent) a = static_cast<std::int8_t>(PercentOfChar(a, target));
      ApplyOpChar(target, a, op, range.nMin, range.nMax);
      WriteStatusField(field, target);
      if (status == STATUS_SIGHT) ApplySight(holder);
      return;
    }
    case STATUS_MARK:
    case STATUS_STOP: {
      const sStatusField field = StatusField(holder, status, 0);
      std::int16_t target = static_cast<std::int16_t>(ReadStatusField(field));
      std::int16_t a = static_cast<std::int16_t>(v);
      if (percent) a = static_cast<std::int16_t>(PercentOfShort(a, target));
      ApplyOpShort(target, a, op, range.nMin, range.nMax);
      WriteStatusField(field, target);
      if (status == STATUS_STOP) holder.m_dDecel = PercentToAccel(holder.m_Def.m_sStopEase);
      return;
    }
    default: {
      // The character variables and the 32-bit statuses.
      const sStatusField field = StatusField(holder, status, CmdParam(cmd, 2));
      std::int32_t target = ReadStatusField(field);
      if (percent) v = PercentOf(v, target);
      ApplyOpInt(target, v, op, range.nMin, range.nMax);
      WriteStatusField(field, target);
      return;
    }
  }
}

}  // namespace

sStatusField StatusField(cCharaBase& chara, int status, int varNumber) {
  cEdChara& def = chara.m_Def;
  switch (status) {
    case STATUS_CHARA_VAR: return FieldOf(chara.m_Vars[varNumber]);
    case STATUS_HP: return FieldOf(chara.m_HP.m_nValue);
    case STATUS_SP: return FieldOf(chara.m_SP.m_nValue);
    case STATUS_MAX_HP: return FieldOf(def.m_nMaxHP);
    case STATUS_MAX_SP: return FieldOf(def.m_nMaxSP);
    case STATUS_CHARA_ID: return FieldOf(def.m_nCharaId);
    case STATUS_Z: return FieldOf(def.m_nZ);
    case STATUS_MARK: return FieldOf(def.m_sMark);
    case STATUS_SIGHT: return FieldOf(def.m_nViewRange);
    case STATUS_POWER: return FieldOf(def.m_nPower);
    case STATUS_IMPACT: return FieldOf(def.m_nImpact);
    case STATUS_DEFENCE: return FieldOf(def.m_nDefence);
    case STATUS_IMPACT_RESIST: return FieldOf(def.m_nImpactResist);
    case STATUS_STOP: return FieldOf(def.m_sStopEase);
    case STATUS_SCORE: return FieldOf(def.m_nScore);
    default: return {};
  }
}

std::int32_t ReadStatusField(const sStatusField& field) {
  if (!field.pField) return 0;
  switch (field.nWidth) {
    case 0: return *static_cast<std::int8_t*>(field.pField);
    case 2: return *static_cast<std::int16_t*>(field.pField);
    default: return *static_cast<std::int32_t*>(field.pField);
  }
}

void WriteStatusField(const sStatusField& field, std::int32_t value) {
  if (!field.pField) return;
  switch (field.nWidth) {
    case 0:
      *static_cast<std::int8_t*>(field.pField) = static_cast<std::int8_t>(value);
      break;
    case 2:
      *static_cast<std::int16_t*>(field.pField) = static_cast<std::int16_t>(value);
      break;
    default:
      *static_cast<std::int32_t*>(field.pField) = value;
      break;
  }
}

std::int32_t* SystemValueField(int value) {
  switch (value) {
    case SYS_TIME: return g_pPlayScene ? &g_pPlayScene->m_nTime : &s_nTimeWithoutStage;
    case SYS_SCROLL_X: return &g_Stage.m_nAutoScrollSpeedX;
    case SYS_SCROLL_Y: return &g_Stage.m_nAutoScrollSpeedY;
    case SYS_SCORE: return &g_PlayData.m_nScore;
    case SYS_LIVES: return &g_PlayData.m_nLives;
    default: return nullptr;
  }
}

bool LivesUnlimited() { return g_PlayData.m_nLives == kUnlimitedLives; }

std::int32_t ReadLives() {
  if (!LivesUnlimited()) return g_PlayData.m_nLives;
  return g_SystemData.bCompatLifeRead ? 0 : 100;
}

cVector<std::int32_t>* VariableList(int scope) {
  if (scope == VAR_COMMON) return &g_PlayData.m_CommonVar;
  if (scope == VAR_STAGE) {
    if (g_pPlayScene) return &g_pPlayScene->m_StageVar;
    s_NoStageVars.clear();
    return &s_NoStageVars;
  }
  return nullptr;
}

cCharaBase* StatusObject(cCharaBase& chara, int object) {
  if (object == STATUS_OBJ_SELF) return &chara;
  if (object >= STATUS_OBJ_TARGET1 && object <= STATUS_OBJ_TARGET4)
    return chara.m_Targets[object - STATUS_OBJ_TARGET1];
  return nullptr;
}

void ApplySight(cCharaBase& chara) {
  if (chara.m_nControl != 0) return;
  chara.m_nSightRange = HalfBlocksToPixels(static_cast<std::int8_t>(chara.m_Def.m_nViewRange));
  PrepareLightSurfaces(&g_SystemSurface[kDarknessSurface], &g_SystemSurface[kLightCircleSurface]);
}

void RequestDefeatChecks() {
  if (g_pPlayScene) g_pPlayScene->m_bCheckDefeats = 1;
}

int EvalStatusCond(cEdCond& cond, cCharaBase& chara) {
  std::int32_t v = 0;
  if (!SourceValue(chara, cond.m_nSource, cond.m_nConst, cond.m_nRandLow, cond.m_nRandHigh,
                   cond.m_nOperandObject, cond.m_nOperandItem, cond.m_nOperandScope,
                   cond.m_nOperandIndex, v))
    return 0;
  // The condition keeps the value it compared with; a random operand is drawn once more
  // at every test all the same.
  cond.m_nConst = v;
  if (cond.m_nLeftSide == 1) {
    cVector<std::int32_t>* vars = VariableList(cond.m_nLeftScope);
    if (!vars) return 0;
    const std::int32_t left = (*vars)[cond.m_nIndex];
    return CompareByOp(left, cond.m_bPercent ? 0 : v, static_cast<eCompareOp>(cond.m_nOperator));
  }
  if (cond.m_nObject == STATUS_OBJ_SYSTEM) return CompareSystem(cond, v);
  cCharaBase* holder = StatusObject(chara, cond.m_nObject);
  if (!holder) return 0;
  return CompareStatus(*holder, cond, v);
}

void ExecStatusOperation(cCharaBase* chara, cEdCmd& cmd) {
  if (!chara) return;
  std::int32_t v = 0;
  if (!SourceValue(*chara, CmdParam(cmd, 6), CmdParam(cmd, 7), CmdParam(cmd, 8),
                   CmdParam(cmd, 9), CmdParam(cmd, 12), CmdParam(cmd, 13), CmdParam(cmd, 10),
                   CmdParam(cmd, 11), v))
    return;
  const int op = CmdParam(cmd, 5);
  if (CmdParam(cmd, 0) == 1) {
    cVector<std::int32_t>* vars = VariableList(CmdParam(cmd, 1));
    if (!vars) return;
    std::int32_t& var = (*vars)[CmdParam(cmd, 2)];
    if (CmdParam(cmd, 14)) v = PercentOf(v, var);
    ApplyOpInt(var, v, op, -kValueLimit, kValueLimit);
    return;
  }
  const int object = CmdParam(cmd, 3);
  if (object == STATUS_OBJ_SYSTEM) {
    OperateSystem(CmdParam(cmd, 4), v, op, CmdParam(cmd, 14));
    return;
  }
  cCharaBase* holder = StatusObject(*chara, object);
  if (!holder) return;
  if (CmdParam(cmd, 17) && holder->IsInvincible()) return;
  OperateStatus(*chara, *holder, cmd, v);
}
