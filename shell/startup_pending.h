#pragma once
// Start-up steps whose tables are built by stage play: the prepared character and screen
// effects. They are run in their places and do nothing until those tables exist.
void PrepareCharaEffects();
void PrepareScrEffects();
