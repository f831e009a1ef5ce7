// The database table data\database\Picture.dat.
#include "tests/fuzz/fuzz_db_table.h"

TW_FUZZ_DB_TABLE(DB_PICTURE)
