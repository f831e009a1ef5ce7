#pragma once
// The start-up step whose table is built by the commands: the command parameter descriptors.
// It is run in its place and does nothing until that table exists.
void InitCmdParamInfo();
