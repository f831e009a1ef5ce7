// STAND-INS: the least the flows need of the executors and services declared in
// flows_later.h. Each goes when its own work is built.
#include "flows/flows_later.h"

#include "content/command.h"
#include "content/flow.h"
#include "flows/cmd_dispatch.h"
#include "flows/flow_run.h"

