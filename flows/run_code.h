#pragma once
// The one-line scripts of the run-code command: integer arithmetic over character statuses,
// game values and the common and stage variables, with assignment, parentheses and the
// function rand. A text is cut into words at blanks; parentheses and calls are worked out
// innermost first and replaced by their values, then the flat rest is reduced by
// precedence ("*", "/", "%" before "+", "-" before "=").
#include <cstdint>
#include <string_view>

class cCharaBase;
class cEdCmd;

enum eTokenKind : int {
  TOKEN_LITERAL = 0,
  TOKEN_VARIABLE = 1,
  TOKEN_STATUS = 2,
  TOKEN_SYSTEM = 3,
  TOKEN_OPERATOR = 4,
};

// One token of a flat expression. An operand carries its storage (a variable, a status, a
// game value) with the storage's width (4, 2, or 0 for a byte) and the range an assignment
// is held to; literals, reduced values and operators have none.
struct sCodeToken {
  std::int32_t nKind = TOKEN_LITERAL;
  std::int32_t nValue = 0;
  void* pStorage = nullptr;
  std::int32_t nWidth = 4;
  std::int32_t nOperator = 0;
  std::int32_t nMin = 0;
  std::int32_t nMax = 0;
  std::int32_t nStatus = -1;  // index in g_CodeStatusNames
  std::int32_t nSystem = -1;  // index in g_CodeSysNames
  cCharaBase* pObject = nullptr;
};

// Set by every error of the text being run; cleared by ExecCode.
extern std::int32_t g_nCodeError;

// The keyword tables, each ended by an empty string.
extern const char* const g_CodeFuncNames[];
extern const char* const g_CodeOpNames[];
extern const std::int32_t g_CodeOpPrec[];
extern const char* const g_CodeObjNames[];
extern const char* const g_CodeVarScopes[];
extern const char* const g_CodeStatusNames[];
extern const char* const g_CodeSysNames[];

// Parentheses and calls nest at most this deep; a deeper text is refused with a message.
inline constexpr int kMaxCodeNesting = 256;

// The run-code command (character kind 37, item kind 22).
void ExecRunCode(cCharaBase* chara, cEdCmd& cmd);
// Runs a text for a character: 1 without error, 0 after one (what was done before the
// error stays). A change of the character's HP or SP starts its gauge.
int ExecCode(std::string_view text, cCharaBase* chara);
// The text level (words, parentheses, functions) and the flat level (tokens, operators).
std::int32_t EvalCodeText(std::string_view text, cCharaBase* chara);
std::int32_t EvalFlatExpr(std::string_view text, cCharaBase* chara);
