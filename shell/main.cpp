// The game player's entry point. For now start-up opens the report log, writes the version
// line and the system report, and ends.
#include "foundation/file_data.h"
#include "foundation/report.h"
#include "foundation/strings.h"
#include "platform/host_file.h"

int main(int argc, char** argv) {
  ErrLogSetup(0, "EC_Game.txt");
  std::string reportPath = platform::CurrentFolder() + "\\Report_Game.txt";
  if (!ReportOpen(reportPath.c_str())) return 0;
  Report("App : ver %s", "821");
  ReportSystem();
  g_nDataVersion = kDataVersion;
  g_bStripCR = 1;
  g_bNewerDataFile = 0;
  return 0;
}
