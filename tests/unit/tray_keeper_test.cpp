// The tray icon record and the keeper's timing, on a simulated clock.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "app/Messages.h"
#include "app/Tray.h"

namespace {
struct ClockPassedLimit {};

// A taskbar that is absent during the given [from, to) spans of simulated time.
class SimulatedShell {
  public:
    SimulatedShell(std::vector<std::pair<DWORD, DWORD>> gaps, DWORD limit)
        : m_gaps(std::move(gaps)), m_limit(limit) {}

    TrayKeeperWorld World() {
        TrayKeeperWorld world;
        world.taskbarExists = [this] { return TaskbarAt(m_now); };
        world.sleep = [this](DWORD ms) {
            m_now += ms;
            if (m_now > m_limit) throw ClockPassedLimit{};
        };
        world.addIcon = [this] { m_adds.push_back(m_now); };
        return world;
    }
    void Run() {
        try {
            RunTrayKeeper(World());
        } catch (const ClockPassedLimit&) {
        }
    }
    const std::vector<DWORD>& Adds() const { return m_adds; }

  private:
    bool TaskbarAt(DWORD time) const {
        for (auto [from, to] : m_gaps)
            if (time >= from && time < to) return false;
        return true;
    }

    std::vector<std::pair<DWORD, DWORD>> m_gaps;
    DWORD m_limit;
    DWORD m_now = 0;
    std::vector<DWORD> m_adds;
};
}  // namespace

TEST(TrayIconRecord, FirstFormWithTheProgramsValues) {
    NOTIFYICONDATAA data;
    HWND window = reinterpret_cast<HWND>(0x1234);
    HICON icon = reinterpret_cast<HICON>(0x5678);
    FillTrayIconData(data, window, icon, "Resident Shield is active");
    EXPECT_EQ(data.cbSize, 88u);
    EXPECT_EQ(data.hWnd, window);
    EXPECT_EQ(data.uID, 160u);
    EXPECT_EQ(data.uFlags, 7u);
    EXPECT_EQ(data.uCallbackMessage, 1025u);
    EXPECT_EQ(data.hIcon, icon);
    EXPECT_STREQ(data.szTip, "Resident Shield is active");
}

TEST(TrayIconRecord, OverlongTipIsCutToTheField) {
    NOTIFYICONDATAA data;
    FillTrayIconData(data, nullptr, nullptr, std::string(200, 'x'));
    EXPECT_EQ(std::string(data.szTip), std::string(63, 'x'));
}

TEST(TrayKeeper, LeavesAPresentTaskbarAlone) {
    SimulatedShell shell({}, 60000);
    shell.Run();
    EXPECT_TRUE(shell.Adds().empty());
}

TEST(TrayKeeper, AddsTheIconOnceWithinHalfASecondOfANewTaskbar) {
    SimulatedShell shell({{1000, 3050}}, 20000);
    shell.Run();
    ASSERT_EQ(shell.Adds().size(), 1u);
    EXPECT_GE(shell.Adds()[0], 3050u);
    EXPECT_LE(shell.Adds()[0], 3050u + 500u);
}

TEST(TrayKeeper, EveryRestartBringsTheIconBack) {
    SimulatedShell shell({{1000, 2000}, {5000, 5400}, {9000, 12000}}, 30000);
    shell.Run();
    ASSERT_EQ(shell.Adds().size(), 3u);
    EXPECT_LE(shell.Adds()[0], 2500u);
    EXPECT_LE(shell.Adds()[1], 5900u);
    EXPECT_LE(shell.Adds()[2], 12500u);
}

TEST(TrayKeeper, AProgramStartedBeforeTheTaskbarGetsItsIcon) {
    SimulatedShell shell({{0, 4200}}, 20000);
    shell.Run();
    ASSERT_EQ(shell.Adds().size(), 1u);
    EXPECT_LE(shell.Adds()[0], 4700u);
}
