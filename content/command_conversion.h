#pragma once
// Brings a command stored by an older editor to today's kinds and parameter layout.
class cEdCmd;

// Applies every conversion step for a file of the given data version (nothing from the
// current version on). Parameters a step reads but the file did not store are taken as 0.
void ConvertCommand(cEdCmd& cmd, int version);
