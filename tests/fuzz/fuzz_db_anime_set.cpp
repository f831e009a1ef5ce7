// The database table data\database\AnimeSet.dat.
#include "tests/fuzz/fuzz_db_table.h"

TW_FUZZ_DB_TABLE(DB_ANIME_SET)
