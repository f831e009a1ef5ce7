#include "shell/startup_pending.h"

void BuildEffectFrameTable() {}
void PrepareCharaEffects() {}
void PrepareScrEffects() {}
