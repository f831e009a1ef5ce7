#pragma once
// CharaEffect and ScrEffect tables made in the test, with their prepared instances; the
// database's tables and the prepared sets are put back when the guard goes.
#include <initializer_list>

#include "../support/scoped_value.h"
#include "play/chara_effect.h"
#include "play/scr_effect.h"
#include "project/database.h"

class cEffectTables {
 public:
  cEffectTables() {
    g_DataBase.m_CharaEffect.assign(1, cDbCharaEffect());
    g_DataBase.m_CharaEffect[0].m_nKind = 0;
    g_DataBase.m_ScrEffect.assign(1, cDbScrEffect());
    g_DataBase.m_ScrEffect[0].m_nKind = 0;
  }
  // Appends an entry {kind, p0..p4} and prepares the instances again; its number.
  int Chara(int kind, std::initializer_list<int> p) {
    return Add(g_DataBase.m_CharaEffect, kind, p);
  }
  int Screen(int kind, std::initializer_list<int> p) {
    return Add(g_DataBase.m_ScrEffect, kind, p);
  }

 private:
  template <class T>
  int Add(cVector<T>& table, int kind, std::initializer_list<int> p) {
    T& entry = table.emplace_back();
    entry.m_nKind = kind;
    int i = 0;
    for (int v : p) entry.m_nParam[i++] = v;
    PrepareCharaEffects();
    PrepareScrEffects();
    return static_cast<int>(table.size()) - 1;
  }
  cScopedGlobal<cVector<cDbCharaEffect>> m_Chara{g_DataBase.m_CharaEffect};
  cScopedGlobal<cVector<cDbCharaEffect>> m_CharaWork{g_DataBase.m_CharaEffectWork};
  cScopedGlobal<cVector<cDbScrEffect>> m_Scr{g_DataBase.m_ScrEffect};
  cScopedGlobal<cVector<cDbScrEffect>> m_ScrWork{g_DataBase.m_ScrEffectWork};
  cScopedGlobal<cVector<cCharaEffect>> m_Fwd{g_CharaEffects};
  cScopedGlobal<cVector<cCharaEffect>> m_Rev{g_CharaEffectsRev};
  cScopedGlobal<cVector<cScrEffect>> m_ScrFwd{g_ScrEffects};
  cScopedGlobal<cVector<cScrEffect>> m_ScrRev{g_ScrEffectsRev};
};
