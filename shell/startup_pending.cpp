#include "shell/startup_pending.h"

void InitCmdParamInfo() {}
