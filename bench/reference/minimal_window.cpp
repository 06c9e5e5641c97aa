// The floor the start-up figures stand on: the smallest program of the same kind (a hidden
// top-level window with a list view, statically linked) started the same way under Wine.
#include <windows.h>
#include <commctrl.h>

int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR, int) {
    INITCOMMONCONTROLSEX controls = {sizeof(controls), ICC_WIN95_CLASSES};
    ::InitCommonControlsEx(&controls);
    HWND window = ::CreateWindowExA(0, "#32770", "Minimal window", WS_POPUP | WS_CAPTION, 0, 0, 755,
                                    550, nullptr, nullptr, instance, nullptr);
    if (!window) return 1;
    ::CreateWindowExA(0, WC_LISTVIEWA, "", WS_CHILD | WS_VISIBLE | LVS_REPORT, 0, 90, 750, 450,
                      window, nullptr, instance, nullptr);
    MSG msg;
    while (::GetMessageA(&msg, nullptr, 0, 0) > 0) ::DispatchMessageA(&msg);
    return 0;
}
