#include "shell/startup_pending.h"

void PrepareCharaEffects() {}
void PrepareScrEffects() {}
