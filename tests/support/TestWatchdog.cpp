#include "tests/support/TestWatchdog.h"

#include <gtest/gtest.h>

#include <atomic>
#include <cstdio>
#include <mutex>
#include <string>
#include <thread>

#include "tests/support/KoravantApp.h"

namespace {
// The builds of the program and the doubles that tests start and that outlive a test program.
constexpr const char* kStartedPrograms[] = {"Koravant.exe", "KoravantTestSource.exe",
                                            "KoravantQuickWatch.exe", "koravant_seamed.exe",
                                            "Quorrel.exe"};

class Watchdog : public testing::EmptyTestEventListener {
  public:
    explicit Watchdog(DWORD limitMs) : m_limitMs(limitMs) {
        std::thread([this] { Watch(); }).detach();
    }

    void OnTestStart(const testing::TestInfo& test) override {
        std::lock_guard<std::mutex> lock(m_mutex);
        m_name = std::string(test.test_suite_name()) + "." + test.name();
        m_startedMs = NowMs();
    }
    void OnTestEnd(const testing::TestInfo&) override {
        std::lock_guard<std::mutex> lock(m_mutex);
        m_name.clear();
    }

  private:
    // gtest keeps its listeners until the process ends, so the thread may keep `this`.
    void Watch() {
        for (;; ::Sleep(1000)) {
            std::lock_guard<std::mutex> lock(m_mutex);
            if (m_name.empty() || NowMs() - m_startedMs < m_limitMs) continue;
            std::printf("[  HUNG    ] %s still runs after %lu s: the run ends here\n",
                        m_name.c_str(), m_limitMs / 1000);
            std::fflush(stdout);
            for (const char* name : kStartedPrograms) KillProcessesNamed(name);
            ::TerminateProcess(::GetCurrentProcess(), 3);
        }
    }

    const DWORD m_limitMs;
    std::mutex m_mutex;
    std::string m_name;
    double m_startedMs = 0;
};
}  // namespace

bool InstallTestWatchdog(DWORD limitMs) {
    // gtest owns and deletes the listeners it is given.
    testing::UnitTest::GetInstance()->listeners().Append(new Watchdog(limitMs));
    return true;
}
