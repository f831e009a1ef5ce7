#pragma once
// Loading and saving the files that hold the player's own data: the story saves, the
// challenge progress and the options. Such a file is never given up silently: one that
// exists but cannot be read (damaged, or written by a newer version of the program) is
// reported and kept as it is, and saving over it is refused until it reads again or the
// player removes it, so that the progress it holds is not replaced by a fresh game.
#include <string>

#include "foundation/file_data.h"

enum ePlayerFileState : int {
  PLAYER_FILE_LOADED = 0,
  PLAYER_FILE_MISSING = 1,
  PLAYER_FILE_NEWER = 2,    // written by a newer version of the program
  PLAYER_FILE_DAMAGED = 3,  // cut short, or not a file of this kind
};

// Reads a whole player file into a record. A file that does not load leaves the record as it
// was; a newer or damaged one is written to the report log and marked as kept.
ePlayerFileState LoadPlayerFile(cFileData& record, const std::string& path);

// Writes a player file through the safe replace. 1 on success. 0, reported in an error box,
// when the file there was kept on reading (and is still there) or when writing failed; the
// old file then stays.
int SavePlayerFile(cFileData& record, const std::string& path);

// Whether a path holds a file kept because it could not be read.
bool IsKeptPlayerFile(const std::string& path);

// The report text of a file that does not load, empty for a loaded or missing one.
std::string PlayerFileProblem(ePlayerFileState state, const std::string& path);
