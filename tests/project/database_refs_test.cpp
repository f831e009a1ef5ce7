#include "project/database_refs.h"

#include <gtest/gtest.h>

#include "content/command.h"
#include "project/database.h"

namespace {

TEST(DataBaseRefsTest, CommandsAreCheckedAgainstTheLoadedDatabase) {
  g_DataBase.SetDefault();
  g_DataBase.m_Bgm.resize(3);
  g_DataBase.m_SwordType.resize(2);
  g_DataBase.m_SwordType[1].m_Frames.resize(2);
  g_DataBase.m_SwordType[1].m_Frames[0].m_nTime = 4;
  g_DataBase.m_SwordType[1].m_Frames[1].m_nTime = 7;
  InstallDataBaseRefs();

  EXPECT_EQ(ContentRefs().TableSize(REF_BGM), 3);
  EXPECT_EQ(ContentRefs().TableSize(REF_ANIME), g_DataBase.TableSize(DB_ANIME));
  EXPECT_EQ(ContentRefs().SwordFrameTimes(1), (std::vector<std::int32_t>{4, 7}));
  EXPECT_TRUE(ContentRefs().SwordFrameTimes(2).empty());
  EXPECT_TRUE(ContentRefs().SwordFrameTimes(-1).empty());

  cEdCmd bgm;
  bgm.m_nKind = CMD_BGM;
  bgm.m_Params = {3, 0};
  bgm.Validate();
  EXPECT_EQ(bgm.m_Params[0], 1);
  cEdCmd sword;
  sword.m_nKind = CMD_SWORD;
  NewShot(sword.m_pShot);
  sword.m_pShot->m_nGuide = 1;
  sword.Validate();
  EXPECT_EQ(sword.m_sTime, 11);

  SetContentRefs(nullptr);
  g_DataBase.SetDefault();
}

}  // namespace
