#include "flows/run_code.h"

#include <cstring>
#include <limits>
#include <string>
#include <vector>

#include "content/command.h"
#include "flows/status_ops.h"
#include "foundation/containers.h"
#include "foundation/message_box.h"
#include "foundation/play_math.h"
#include "foundation/random.h"
#include "foundation/status_arith.h"
#include "foundation/strings.h"
#include "objects/chara_base.h"
#include "play/scroll_axis.h"
#include "project/play_data.h"
#include "project/stage.h"
#include "project/system_data.h"

std::int32_t g_nCodeError = 0;

const char* const g_CodeFuncNames[] = {"rand", ""};
const char* const g_CodeOpNames[] = {"=", "+", "-", "*", "/", "%", ""};
const std::int32_t g_CodeOpPrec[] = {2, 1, 1, 0, 0, 0};
const char* const g_CodeObjNames[] = {"my", "tg", "tg1", "tg2", "tg3", "tg4", "pl", "sys", ""};
const char* const g_CodeVarScopes[] = {"C", "S", ""};
const char* const g_CodeStatusNames[] = {"v1",    "v2",  "v3",   "v4",   "v5",    "v6",
                                         "v7",    "v8",  "hp",   "sp",   "mhp",   "msp",
                                         "cid",   "z",   "mark", "sight", "power", "imp",
                                         "def",   "impd", "stop", "getsc", ""};
const char* const g_CodeSysNames[] = {"time", "scrlx", "scrly", "score", "life", ""};

namespace {

enum eCodeOp : int { OP_ASSIGN = 0, OP_ADD, OP_SUB, OP_MUL, OP_DIV, OP_MOD };
enum eCodeObj : int { OBJ_MY = 0, OBJ_TG, OBJ_TG1, OBJ_TG2, OBJ_TG3, OBJ_TG4, OBJ_PL, OBJ_SYS };
enum eCodeStatus : int { CODE_HP = 8, CODE_SP, CODE_MHP, CODE_MSP, CODE_CID, CODE_Z, CODE_MARK,
                         CODE_SIGHT };

constexpr std::int32_t kValueLimit = 999999;

// The depth of the text level being worked out, and whether the depth message was shown in
// this run (a refused text shows it once, however many of its parts go too deep).
int s_nDepth = 0;
bool s_bDepthShown = false;

// The index of a name in a table ended by "", or -1.
int FindName(const char* const* table, std::string_view name) {
  for (int i = 0; table[i][0] != '\0'; ++i)
    if (name == table[i]) return i;
  return -1;
}

// A decimal integer as the C runtime reads one: leading white space, an optional sign, the
// leading digits; no digits give 0, and digits beyond the int32 range give its limit.
std::int32_t ParseInt(std::string_view s) {
  std::size_t i = 0;
  while (i < s.size() && (s[i] == ' ' || (s[i] >= '\t' && s[i] <= '\r'))) ++i;
  bool negative = false;
  if (i < s.size() && (s[i] == '+' || s[i] == '-')) negative = s[i++] == '-';
  std::int64_t value = 0;
  const std::int64_t limit = negative ? -static_cast<std::int64_t>(INT32_MIN) : INT32_MAX;
  for (; i < s.size() && s[i] >= '0' && s[i] <= '9'; ++i) {
    value = value * 10 + (s[i] - '0');
    if (value > limit) value = limit;
  }
  return static_cast<std::int32_t>(negative ? -value : value);
}

void AppendInt(std::string& out, std::int32_t value) { out += std::to_string(value); }

std::int32_t Fail() {
  g_nCodeError = 1;
  return 0;
}

// The index of the ")" that closes the "(" at open, or npos.
std::size_t MatchingClose(std::string_view text, std::size_t open) {
  int depth = 0;
  for (std::size_t i = open; i < text.size(); ++i) {
    if (text[i] == '(') ++depth;
    else if (text[i] == ')' && --depth == 0) return i;
  }
  return std::string_view::npos;
}

std::int32_t EvalLevel(std::string_view text, cCharaBase* chara);

// A call of a known function whose "(" is at open: its arguments evaluated, their value in
// value and the index of the closing ")" in close. False after an error.
bool CallFunction(const std::string& name, std::string_view text, std::size_t open,
                  cCharaBase* chara, std::int32_t& value, std::size_t& close) {
  std::vector<std::int32_t> args;
  int depth = 0;
  std::size_t start = open + 1;
  for (std::size_t i = open + 1; i < text.size(); ++i) {
    const char ch = text[i];
    if (ch == '(') {
      ++depth;
    } else if (ch == ')' && depth > 0) {
      --depth;
    } else if (depth == 0 && (ch == ',' || ch == ')')) {
      // Empty arguments are left out.
      if (i > start) args.push_back(EvalLevel(text.substr(start, i - start), chara));
      start = i + 1;
      if (ch == ')') {
        close = i;
        if (args.size() != 2) {
          ErrBoxF("関数 %s の引数が不正です！", name.c_str());
          g_nCodeError = 1;
          return false;
        }
        value = RandRange(args[0], args[1]);
        return true;
      }
    }
  }
  ErrBoxF("関数 %s で\")\"が見つかりません！", name.c_str());
  g_nCodeError = 1;
  return false;
}

std::int32_t EvalLevel(std::string_view text, cCharaBase* chara) {
  if (s_nDepth >= kMaxCodeNesting) {
    if (!s_bDepthShown) ErrBoxF("括弧の入れ子が深すぎます！");
    s_bDepthShown = true;
    return Fail();
  }
  struct sDepth {
    sDepth() { ++s_nDepth; }
    ~sDepth() { --s_nDepth; }
  } depth;
  // The text worked out so far; a parenthesis or a call is replaced by its value in
  // decimal, and the scan goes on behind it. Only the blank separates words.
  std::string out;
  out.reserve(text.size());
  std::size_t word = 0;  // where the current word starts in out
  for (std::size_t i = 0; i < text.size();) {
    const char ch = text[i];
    if (ch != '(') {
      out += ch;
      ++i;
      if (ch == ' ') word = out.size();
      continue;
    }
    if (out.size() == word) {
      const std::size_t close = MatchingClose(text, i);
      if (close == std::string_view::npos) {
        ErrBoxF("\")\"が見つかりません！");
        return Fail();
      }
      // The value is put in even when the inner text failed.
      AppendInt(out, EvalLevel(text.substr(i + 1, close - i - 1), chara));
      i = close + 1;
      continue;
    }
    const std::string name = out.substr(word);
    if (FindName(g_CodeFuncNames, name) >= 0) {
      std::int32_t value = 0;
      std::size_t close = 0;
      if (!CallFunction(name, text, i, chara, value, close)) return 0;
      out.resize(word);
      AppendInt(out, value);
      i = close + 1;
      continue;
    }
    // Not a function: the parenthesis stays in the text, and so does what it holds.
    out += ch;
    ++i;
  }
  return EvalFlatExpr(out, chara);
}

// ---- the flat level ----------------------------------------------------------------------

// The storage and range of a status token of an object.
bool StatusToken(sCodeToken& token, int index, cCharaBase& object) {
  int status = 0, var = 0;
  if (index < CODE_HP) {
    status = STATUS_CHARA_VAR;
    var = index + 1;
  } else {
    status = index - CODE_HP + STATUS_HP;
  }
  // Variable numbers beyond the character's list are the list's bounds failure.
  const sStatusField field = StatusField(object, status, var);
  token.nKind = TOKEN_STATUS;
  token.pStorage = field.pField;
  token.nWidth = field.nWidth;
  token.nValue = ReadStatusField(field);
  token.nStatus = index;
  token.pObject = &object;
  static constexpr std::int32_t kRange[][2] = {
      {-kValueLimit, kValueLimit},  // v1..v8
      {0, 0},                       // hp (its maximum)
      {0, 0},                       // sp (its maximum)
      {1, kValueLimit},             // mhp
      {1, kValueLimit},             // msp
      {0, 99},                      // cid
      {0, 7},                       // z
      {0, 119},                     // mark
      {0, 40},                      // sight
      {-kValueLimit, kValueLimit},  // power
      {-20, 20},                    // imp
      {0, kValueLimit},             // def
      {0, 20},                      // impd
      {0, 200},                     // stop
      {-kValueLimit, kValueLimit},  // getsc
  };
  const int row = index < CODE_HP ? 0 : index - CODE_HP + 1;
  token.nMin = kRange[row][0];
  token.nMax = kRange[row][1];
  if (index == CODE_HP) token.nMax = object.m_Def.m_nMaxHP;
  if (index == CODE_SP) token.nMax = object.m_Def.m_nMaxSP;
  return true;
}

void SystemToken(sCodeToken& token, int index) {
  static constexpr std::int32_t kRange[][2] = {
      {0, 999}, {-480, 480}, {-480, 480}, {0, kValueLimit}, {0, 99}};
  std::int32_t* field = SystemValueField(index);
  token.nKind = TOKEN_SYSTEM;
  token.pStorage = field;
  token.nWidth = 4;
  token.nSystem = index;
  token.nValue = *field;
  token.nMin = kRange[index][0];
  token.nMax = kRange[index][1];
  if (index == SYS_LIVES) {
    token.nValue = ReadLives();
    if (LivesUnlimited()) token.nMin = token.nMax = kUnlimitedLives;
  }
}

// What an assignment does beyond the store.
void AfterAssign(const sCodeToken& a, cCharaBase* chara) {
  if (a.nKind == TOKEN_SYSTEM) {
    if (a.nSystem == SYS_SCROLL_X) ScrollAxisX().SetSpeed(g_Stage.m_bAutoScrollX, g_Stage.m_nAutoScrollSpeedX);
    if (a.nSystem == SYS_SCROLL_Y) ScrollAxisY().SetSpeed(g_Stage.m_bAutoScrollY, g_Stage.m_nAutoScrollSpeedY);
    return;
  }
  if (a.nKind != TOKEN_STATUS || !a.pObject) return;
  cCharaBase& object = *a.pObject;
  switch (a.nStatus) {
    case CODE_HP:
      if (&object != chara && object.m_HP.m_nValue < 1) RequestDefeatChecks();
      break;
    case CODE_MHP:
      object.m_HP.m_nValue = ClampInt(object.m_HP.m_nValue, 1, object.m_Def.m_nMaxHP);
      break;
    case CODE_MSP:
      object.m_SP.m_nValue = ClampInt(object.m_SP.m_nValue, 1, object.m_Def.m_nMaxSP);
      break;
    case CODE_SIGHT:
      ApplySight(object);
      break;
    default:
      break;
  }
}

}  // namespace

std::int32_t EvalCodeText(std::string_view text, cCharaBase* chara) { return EvalLevel(text, chara); }

namespace {

// The token list of a flat text, linked both ways so that a reduction takes three tokens out
// and puts one in without moving the rest.
class cTokenList {
 public:
  int Add(const sCodeToken& token) {
    const int n = static_cast<int>(m_Tokens.size());
    m_Tokens.push_back(token);
    m_Prev.push_back(m_Tail);
    m_Next.push_back(-1);
    if (m_Tail >= 0) m_Next[m_Tail] = n; else m_Head = n;
    m_Tail = n;
    ++m_nCount;
    return n;
  }
  // A new token before node at.
  int InsertBefore(int at, const sCodeToken& token) {
    const int n = static_cast<int>(m_Tokens.size());
    m_Tokens.push_back(token);
    m_Prev.push_back(m_Prev[at]);
    m_Next.push_back(at);
    if (m_Prev[at] >= 0) m_Next[m_Prev[at]] = n; else m_Head = n;
    m_Prev[at] = n;
    ++m_nCount;
    return n;
  }
  void Remove(int at) {
    const int p = m_Prev[at], q = m_Next[at];
    if (p >= 0) m_Next[p] = q; else m_Head = q;
    if (q >= 0) m_Prev[q] = p; else m_Tail = p;
    --m_nCount;
  }
  sCodeToken& operator[](int at) { return m_Tokens[at]; }
  int Head() const { return m_Head; }
  int Tail() const { return m_Tail; }
  int Prev(int at) const { return m_Prev[at]; }
  int Next(int at) const { return m_Next[at]; }
  int Count() const { return m_nCount; }

 private:
  std::vector<sCodeToken> m_Tokens;
  std::vector<int> m_Prev, m_Next;
  int m_Head = -1, m_Tail = -1, m_nCount = 0;
};

// A neighbour of an operator that is missing: the token list's index fault, reported
// without closing the program.
std::int32_t MissingOperand(int index, int count) {
  foundation_detail::ReportIndexFault('V', index, count, sizeof(sCodeToken));
  ErrBoxDebugF("演算子のエラー（未定義？）");
  return Fail();
}

// Cuts the text into tokens; false after an error (its message shown).
bool Tokenize(std::string_view text, cCharaBase* chara, cTokenList& tokens) {
  std::string current;
  int object = OBJ_MY;
  bool prefix = false;  // an object prefix was read for the next token
  for (std::size_t k = 0; k <= text.size(); ++k) {
    const char ch = k < text.size() ? text[k] : ' ';
    if (ch == '.') {
      const int found = FindName(g_CodeObjNames, current);
      if (found >= 0) {
        object = found;
        prefix = true;
      } else if (tokens.Count() == 0 || prefix) {
        ErrBoxF("オブジェクト \"%s.\" が認識できません！", current.c_str());
        g_nCodeError = 1;
        return false;
      }
      // Otherwise the unknown prefix is dropped, so "3.5" reads as 5.
      current.clear();
      continue;
    }
    if (ch != ' ') {
      current += ch;
      continue;
    }
    if (current.empty()) continue;
    sCodeToken token;
    const int op = FindName(g_CodeOpNames, current);
    if (op >= 0) {
      token.nKind = TOKEN_OPERATOR;
      token.nOperator = op;
    } else {
      // The object is fixed for every operand, whatever it turns out to be.
      cCharaBase* holder = nullptr;
      switch (object) {
        case OBJ_MY: holder = chara; break;
        case OBJ_TG:
        case OBJ_TG1: holder = chara ? chara->m_Targets[0] : nullptr; break;
        case OBJ_TG2:
        case OBJ_TG3:
        case OBJ_TG4: holder = chara ? chara->m_Targets[object - OBJ_TG1] : nullptr; break;
        case OBJ_PL: holder = FirstHero(); break;
        case OBJ_SYS: break;
        default:
          ErrBoxF("オブジェクトの設定エラー!");
          g_nCodeError = 1;
          return false;
      }
      // An empty target slot ends the evaluation without a message.
      if (!holder && object != OBJ_SYS) {
        g_nCodeError = 1;
        return false;
      }
      const int status = FindName(g_CodeStatusNames, current);
      const int system = FindName(g_CodeSysNames, current);
      if (current[0] == 'C' || current[0] == 'S') {
        cVector<std::int32_t>& vars = *VariableList(current[0] == 'C' ? VAR_COMMON : VAR_STAGE);
        const std::int32_t n = ParseInt(std::string_view(current).substr(1));
        if (n < 0 || n >= static_cast<std::int64_t>(vars.size())) {
          foundation_detail::ReportIndexFault('V', n, static_cast<std::int64_t>(vars.size()),
                                              sizeof(std::int32_t));
          ErrBoxDebugF("変数の識別エラー（未定義？）");
          g_nCodeError = 1;
          return false;
        }
        token.nKind = TOKEN_VARIABLE;
        token.pStorage = &vars[n];
        token.nValue = vars[n];
        token.nMin = -kValueLimit;
        token.nMax = kValueLimit;
      } else if (status >= 0) {
        if (!holder) {
          // A status of the system object: there is nothing to read.
          ErrBoxDebugF("ステータスの識別エラー（未定義？）");
          g_nCodeError = 1;
          return false;
        }
        StatusToken(token, status, *holder);
      } else if (system >= 0) {
        SystemToken(token, system);
      } else {
        token.nValue = ParseInt(current);
      }
    }
    tokens.Add(token);
    object = OBJ_MY;
    prefix = false;
    current.clear();
  }
  return true;
}

}  // namespace

std::int32_t EvalFlatExpr(std::string_view text, cCharaBase* chara) {
  cTokenList tokens;
  if (!Tokenize(text, chara, tokens)) return 0;
  // The older reduction keeps the right operand in the list behind the new value.
  const bool older = g_SystemData.bCompatCodeReduce != 0;
  bool reduced = false;
  std::int32_t result = 0;
  for (int level = 0; level <= 2; ++level) {
    for (int at = tokens.Head(); at >= 0; at = tokens.Next(at)) {
      const sCodeToken& token = tokens[at];
      if (token.nKind != TOKEN_OPERATOR || g_CodeOpPrec[token.nOperator] != level) continue;
      const int ia = tokens.Prev(at), ib = tokens.Next(at);
      if (ia < 0) return MissingOperand(-1, tokens.Count());
      if (ib < 0) return MissingOperand(tokens.Count(), tokens.Count());
      const sCodeToken a = tokens[ia];
      const sCodeToken b = tokens[ib];
      std::int32_t value = 0;
      switch (token.nOperator) {
        case OP_ADD: value = AddWrap32(a.nValue, b.nValue); break;
        case OP_SUB: value = SubWrap32(a.nValue, b.nValue); break;
        case OP_MUL: value = MulWrap32(a.nValue, b.nValue); break;
        case OP_DIV:
        case OP_MOD:
          if (b.nValue == 0) {
            const std::string shown(text);
            ErrBoxF("0除算が行われました！(%s)", shown.c_str());
            return Fail();
          }
          value = token.nOperator == OP_DIV ? DivInt(a.nValue, b.nValue) : ModInt(a.nValue, b.nValue);
          break;
        case OP_ASSIGN:
          if (!a.pStorage) {
            ErrBoxF("代入先が不正です！");
            return Fail();
          }
          value = ClampInt(b.nValue, a.nMin, a.nMax);
          WriteStatusField(sStatusField{a.pStorage, a.nWidth}, value);
          AfterAssign(a, chara);
          break;
        default:
          ErrBoxDebugF("演算子のエラー（未定義？）");
          return Fail();
      }
      reduced = true;
      result = value;
      sCodeToken literal;
      literal.nValue = value;
      if (older) {
        tokens.Remove(ia);
        tokens.Remove(at);
        at = tokens.InsertBefore(ib, literal);
      } else {
        tokens[ia] = literal;
        tokens.Remove(at);
        tokens.Remove(ib);
        at = ia;
      }
    }
  }
  if (reduced) return result;
  return tokens.Tail() >= 0 ? tokens[tokens.Tail()].nValue : 0;
}

int ExecCode(std::string_view text, cCharaBase* chara) {
  g_nCodeError = 0;
  s_bDepthShown = false;
  const std::int32_t hp = chara ? chara->m_HP.m_nValue : 0;
  const std::int32_t sp = chara ? chara->m_SP.m_nValue : 0;
  EvalCodeText(text, chara);
  if (g_nCodeError) return 0;
  if (chara) {
    if (chara->m_HP.m_nValue != hp) chara->StartHPGauge(SubWrap32(chara->m_HP.m_nValue, hp));
    if (chara->m_SP.m_nValue != sp) chara->StartSPGauge(SubWrap32(chara->m_SP.m_nValue, sp));
  }
  return 1;
}

void ExecRunCode(cCharaBase* chara, cEdCmd& cmd) { ExecCode(cmd.m_strText, chara); }
