#include <windows.h>

#include "app/MainApp.h"

// The one application object; defined here so that the entry point pulls it into the link.
CMainApp theApp;

int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR, int) { return AfxWinMain(instance); }
