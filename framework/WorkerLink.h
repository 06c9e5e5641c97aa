#pragma once
// A worker thread's only way to its window: posts go through the link, and the window cuts
// the link before it is destroyed, so no worker ever touches a window that is gone.
#include <windows.h>

#include <atomic>
#include <memory>
#include <mutex>

class WorkerLink {
  public:
    explicit WorkerLink(HWND window) : m_window(window) {}

    static std::shared_ptr<WorkerLink> Create(HWND window) {
        return std::make_shared<WorkerLink>(window);
    }

    // False, and nothing posted, once the link is cut.
    bool Post(UINT msg, WPARAM wp = 0, LPARAM lp = 0) {
        std::lock_guard<std::mutex> lock(m_mutex);
        return m_window && ::PostMessageA(m_window, msg, wp, lp);
    }
    // Called on the window's thread while the window still exists.
    void Cut() {
        std::lock_guard<std::mutex> lock(m_mutex);
        m_window = nullptr;
        m_cut = true;
    }
    // Workers poll this to stop early.
    bool IsCut() const { return m_cut; }

  private:
    std::mutex m_mutex;
    HWND m_window;
    std::atomic<bool> m_cut{false};
};
