// The system colours the controls are drawn in (the platform's standard scheme).
#pragma once

#include "platform/gdi/gdi_types.h"

DWORD GetSysColor(int index);
// A stock brush of that colour: never deleted, shared by every caller; 0 for an unknown index.
HBRUSH GetSysColorBrush(int index);
