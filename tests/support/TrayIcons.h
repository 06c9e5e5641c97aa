#pragma once
// The taskbar's notification-area icons as Wine's taskbar keeps them: not windows, but one
// tooltip tool per icon whose text is the icon's tip. A deleted icon leaves its tool behind
// with an empty rectangle.
#include <windows.h>

#include <optional>
#include <string>
#include <vector>

struct TrayTool {
    HWND tooltip = nullptr;
    HWND owner = nullptr;  // the window the tool belongs to (the taskbar)
    RECT rect = {};        // in the owner's client coordinates
    std::string text;
};

HWND FindTaskbar();
// Every tool of every tooltip window of the taskbar's process.
std::vector<TrayTool> ReadTrayTools();
// How many icons with this tip are on show.
int CountShownTrayIcons(const std::string& tip);
// The screen point at the middle of the first icon on show with this tip.
std::optional<POINT> TrayIconCentre(const std::string& tip);

// The taskbar leaves the top-level windows (it becomes the child of a hidden window of the
// test) and comes back at End, as if the shell had restarted: Wine cannot restart the
// taskbar of a desktop on which programs still run.
class TaskbarOutage {
  public:
    TaskbarOutage();
    ~TaskbarOutage() { End(); }
    TaskbarOutage(const TaskbarOutage&) = delete;
    TaskbarOutage& operator=(const TaskbarOutage&) = delete;

    bool Began() const { return m_taskbar && !FindTaskbar(); }
    void End();

  private:
    HWND m_taskbar = nullptr;
    HWND m_holder = nullptr;
    RECT m_rect = {};
};
