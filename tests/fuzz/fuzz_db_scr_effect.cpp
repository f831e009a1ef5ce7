// The database table data\database\ScrEffect.dat.
#include "tests/fuzz/fuzz_db_table.h"

TW_FUZZ_DB_TABLE(DB_SCR_EFFECT)
