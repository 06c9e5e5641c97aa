// The update check's day rule and the updater's command line; the download and the window are
// shown end to end.
#include <gtest/gtest.h>
#include <windows.h>

#include <string>

#include "framework/Handles.h"
#include "framework/Paths.h"
#include "tests/support/TestRegistry.h"
#include "update/DayRule.h"
#include "update/Updater.h"

TEST(UpdateTest, DayNumbersDecideAndTodayIsRecordedWhenDueAndTheUpdaterCommandLineFitsItsBuffer) {
    constexpr char kDayKey[] = "Software\\koravant-tests";
    ScopedRegKey key;
    ASSERT_EQ(::RegCreateKeyA(HKEY_CURRENT_USER, kDayKey, key.put()), ERROR_SUCCESS);
    // Whether a check is due on day `today` with `stored` recorded before (nullptr: nothing),
    // and the text recorded after it, with its terminating zero.
    auto check = [&](const char* stored, int today) {
        ::RegDeleteValueA(key.get(), kLastCheckValue);
        if (stored) WriteRegistryString(HKEY_CURRENT_USER, kDayKey, kLastCheckValue, stored);
        const bool due = IsUpdateCheckDueOn(key.get(), today);
        auto value = ReadRegistryValue(HKEY_CURRENT_USER, kDayKey, kLastCheckValue);
        return std::tuple(due, value && value->type == REG_SZ ? value->data : "not a text");
    };
    using namespace std::string_literals;
    EXPECT_EQ(check(nullptr, 5), std::tuple(true, "5\0"s));
    EXPECT_EQ(check("x12", 5), std::tuple(true, "5\0"s));
    EXPECT_EQ(check("1", 8), std::tuple(false, "1\0"s));
    EXPECT_EQ(check("1", 9), std::tuple(true, "9\0"s));
    EXPECT_EQ(check("28", 3), std::tuple(true, "3\0"s));
    DeleteRegistryTree(HKEY_CURRENT_USER, kDayKey);

    // 255 characters fit; one more does not.
    const std::string fixed = "\"Quorrel.exe\" Koravant 5 ", folder = "C:\\f\\";
    const std::string url(kMaxPathLength - fixed.size() - folder.size(), 'u');
    EXPECT_EQ(BuildUpdaterCommandLine(folder, "5", url)->size(), kMaxPathLength);
    EXPECT_FALSE(BuildUpdaterCommandLine(folder, "5", url + "u"));
    EXPECT_FALSE(BuildUpdaterCommandLine("", "5", "u"));
}
