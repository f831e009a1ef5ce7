#include "foundation/shell_services.h"

#include "platform/close_request.h"

int g_bEditorLaunch = 0;
int g_bTestPlay = 0;

void PostCloseToMainWindow() { platform::RequestClose(); }
