// Koravant whose quarantine copies fail at their second block write, as on a disk that fills
// up: a threat under 1000 bytes is copied, a larger one is not. Built into the tests' folder,
// never beside the product.
#include <windows.h>

#include "app/MainApp.h"
#include "quarantine/QuarantineFormat.h"

CMainApp theApp;

int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR, int) {
    SetCopyFaultForTesting(0, 2);
    return AfxWinMain(instance);
}
