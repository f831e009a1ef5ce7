#pragma once
// The bodies of the stage clear, game wait, message, warp, set target, character state,
// vanish and item acquisition commands, shared by the characters' flows and the items' command
// lists. Each does its whole work in one call.
class cCharaBase;
class cEdCmd;

// The next-stage choice, the world-map position and the next stage's start; 1: the stage ends.
int ExecStageClear(cCharaBase* chara, cEdCmd& cmd);
// Stands the game still for p0 tenths of a second.
void ExecGameWait(cCharaBase* chara, cEdCmd& cmd);
// Shows, replaces or closes a text window; one that stops the game is served by the message
// loop and removed afterwards. continued: it follows a key-wait window without a pause.
void ExecMessage(cCharaBase* chara, cEdCmd& cmd, int continued);
// Moves the character at once by a direction, onto a target or to a point; refused into a
// solid place or out of the stage area.
void ExecWarp(cCharaBase* chara, cEdCmd& cmd);
// Fills (or empties) one of the character's four target slots.
void ExecSetTarget(cCharaBase* chara, cEdCmd& cmd);
// Sets a state of the character or of a target, or the stage's auto-scroll.
void ExecStatusOperation2(cCharaBase* chara, cEdCmd& cmd);
// Takes groups' characters or shots, the character's own shots or its descendants out of play.
void ExecVanish(cCharaBase* chara, cEdCmd& cmd);
// Runs a palette item's commands on the hero; a result that ends the stage is kept.
void ExecGetItem(cCharaBase* chara, cEdCmd& cmd);

// The two walks of the vanish command: everything c owns, the deepest first (nothing below a
// depth of 1000), optionally with their shots; and the shots c fired.
void VanishDescendants(cCharaBase& c, int depth, int withShots);
void RemoveOwnShots(cCharaBase& c);

// Item acquisitions nested deeper than this run no item.
inline constexpr int kMaxItemDepth = 1000;
// A new stage may report a too deep acquisition again.
void ResetItemDepthReport();
