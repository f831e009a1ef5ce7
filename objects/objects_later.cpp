// STAND-INS: minimal bodies of what later parts build (see objects_later.h). Each goes when
// its part is built.
#include "objects/objects_later.h"

#include "flows/flow_run.h"
#include "objects/chara_base.h"

