#include "update/UpdateCheck.h"

bool IsUpdateCheckDue(HKEY) { return false; }

UINT UpdateCheckThread(LPVOID) { return 0; }
