#include "project/load_failure.h"

#include "foundation/file_data.h"
#include "foundation/report.h"

void ReportLoadFailure(const char* name) {
  if (g_bNewerDataFile)
    ReportErrBox(
        "%s の読み込みに失敗しました！\nソフトより上位のバージョンのファイルは使用できません。",
        name);
  else
    ReportErrBox("%s の読み込みに失敗しました！", name);
}
