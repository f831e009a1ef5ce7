// The database table data\database\SwordType.dat.
#include "tests/fuzz/fuzz_db_table.h"

TW_FUZZ_DB_TABLE(DB_SWORD_TYPE)
