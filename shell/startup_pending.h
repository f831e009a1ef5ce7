#pragma once
// Start-up steps whose tables are built by stage play and its commands: the command parameter
// descriptors and the prepared character and screen effects. They
// are run in their places and do nothing until those tables exist.
void PrepareCharaEffects();
void PrepareScrEffects();
