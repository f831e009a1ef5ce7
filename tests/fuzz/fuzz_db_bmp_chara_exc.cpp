// The database table data\database\Bmp_CharaExc.dat.
#include "tests/fuzz/fuzz_db_table.h"

TW_FUZZ_DB_TABLE(DB_BMP_CHARA_EXC)
