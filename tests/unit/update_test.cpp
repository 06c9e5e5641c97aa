// The update check's day rule and the updater's command line; the download and the window are
// shown end to end.
#include <gtest/gtest.h>
#include <windows.h>

#include <optional>
#include <string>

#include "framework/Handles.h"
#include "framework/Paths.h"
#include "tests/support/TestRegistry.h"
#include "update/DayRule.h"
#include "update/Updater.h"

TEST(UpdateDayRule, ComparesDayNumbersOnlyAndRecordsTodayWhenDue) {
    constexpr char kDayKey[] = "Software\\koravant-tests\\day-rule";
    const struct {
        std::optional<std::string> stored;
        int today;
        bool due;
        std::string after;
    } cases[] = {
        {std::nullopt, 5, true, "5"}, {"0", 5, true, "5"}, {"x12", 5, true, "5"},
        {"1", 8, false, "1"},         {"1", 9, true, "9"}, {"28", 3, true, "3"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.stored.value_or("(none)") + " / " + std::to_string(c.today));
        DeleteRegistryTree(HKEY_CURRENT_USER, kDayKey);
        if (c.stored) WriteRegistryString(HKEY_CURRENT_USER, kDayKey, kLastCheckValue, *c.stored);
        ScopedRegKey key;
        ASSERT_EQ(::RegCreateKeyA(HKEY_CURRENT_USER, kDayKey, key.put()), ERROR_SUCCESS);
        EXPECT_EQ(IsUpdateCheckDueOn(key.get(), c.today), c.due);
        auto value = ReadRegistryValue(HKEY_CURRENT_USER, kDayKey, kLastCheckValue);
        EXPECT_TRUE(value && value->type == REG_SZ && value->data == c.after + '\0');
    }
    DeleteRegistryTree(HKEY_CURRENT_USER, "Software\\koravant-tests");
}

// 255 characters fit; one more does not.
TEST(Updater, CommandLineFitsItsBuffer) {
    const std::string fixed = "\"Quorrel.exe\" Koravant 5 ", folder = "C:\\f\\";
    const std::string url(kMaxPathLength - fixed.size() - folder.size(), 'u');
    EXPECT_EQ(BuildUpdaterCommandLine(folder, "5", url)->size(), kMaxPathLength);
    EXPECT_FALSE(BuildUpdaterCommandLine(folder, "5", url + "u"));
    EXPECT_FALSE(BuildUpdaterCommandLine("", "5", "u"));
}
