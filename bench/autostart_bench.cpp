// Autostart Refresh of 1,000 values over the locations and both registry views, every row
// replaced, against a bare enumeration of the same keys.   autostart_bench.exe [rounds]
#include <windows.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "autostart/AutostartDelete.h"
#include "framework/Handles.h"
#include "tests/support/PageView.h"
#include "tests/support/RegistryViews.h"
#include "tests/support/TestRegistry.h"
#include "tests/support/Wait.h"

namespace {
constexpr int kValues = 1000, kRefresh = 1035;
const std::string kVersion = "Software\\Microsoft\\Windows\\CurrentVersion\\";

struct BenchKey {
    HKEY root;
    std::string path;
    REGSAM view;
};
const BenchKey kKeys[] = {
    {HKEY_LOCAL_MACHINE, kVersion + "Run", KEY_WOW64_64KEY},
    {HKEY_LOCAL_MACHINE, kVersion + "Run", KEY_WOW64_32KEY},
    {HKEY_CURRENT_USER, kVersion + "Run", 0},
    {HKEY_LOCAL_MACHINE, kVersion + "RunServices", KEY_WOW64_32KEY},
    {HKEY_LOCAL_MACHINE, kVersion + "RunOnceEx\\0001", KEY_WOW64_64KEY},
};

// The floor: every location in each view and the planted sub-key, into 256-byte buffers.
int BareEnumeration() {
    std::vector<BenchKey> keys{kKeys[std::size(kKeys) - 1]};
    for (const AutostartLocation& location : AutostartLocations()) {
        HKEY root = location.hive == kHiveCurrentUser ? HKEY_CURRENT_USER : HKEY_LOCAL_MACHINE;
        keys.push_back({root, location.keyPath, KEY_WOW64_64KEY});
        if (root == HKEY_LOCAL_MACHINE) keys.push_back({root, location.keyPath, KEY_WOW64_32KEY});
    }
    int values = 0;
    for (const BenchKey& key : keys) {
        ScopedRegKey opened;
        if (::RegOpenKeyExA(key.root, key.path.c_str(), 0, KEY_QUERY_VALUE | key.view,
                            opened.put()) != ERROR_SUCCESS)
            continue;
        wchar_t name[256];
        BYTE data[256];
        for (DWORD index = 0;; ++index, ++values) {
            DWORD nameLength = 256, size = 256;
            if (::RegEnumValueW(opened.get(), index, name, &nameLength, nullptr, nullptr, data,
                                &size) != ERROR_SUCCESS)
                break;
        }
    }
    return values;
}
}  // namespace

int main(int argc, char** argv) {
    int rounds = argc > 1 ? std::max(1, std::atoi(argv[1])) : 7;
    KillProcessesNamed("Koravant.exe");
    ResetSettingsAnswered();
    PlantedValues planted;
    KoravantApp app({"autostart-bench"});
    PageView page(app, 159, 1034);
    bool ok = true;
    for (int i = 0; ok && i < kValues; ++i) {
        const BenchKey& key = kKeys[i % std::size(kKeys)];
        ok = planted.AddString(key.root, key.path, key.view, L"Bench" + std::to_wstring(i),
                               L"C:\\Bench\\tool" + std::to_wstring(i) + L".exe /background");
    }
    ok = ok && app.StartHidden() && page.Open(1009);
    const size_t listed = ListAutostartEntries().size();
    std::vector<double> bareMs, engineMs, refreshMs;
    for (int round = 0; ok && round < rounds; ++round) {
        // The first row changes, so every row is replaced.
        ok = planted.AddString(kKeys[0].root, kKeys[0].path, kKeys[0].view, L"Bench0",
                               L"C:\\Bench\\round" + std::to_wstring(round) + L".exe");
        // The previous round's painting is over: the walks below meet an idle program.
        ::Sleep(300);
        double began = NowMs();
        ok = ok && BareEnumeration() >= kValues;
        bareMs.push_back(NowMs() - began);
        began = NowMs();
        ok = ok && ListAutostartEntries().size() == listed;
        engineMs.push_back(NowMs() - began);
        began = NowMs();
        ok = ok && page.SendClick(kRefresh, 60000);
        refreshMs.push_back(NowMs() - began);
        ok = ok && static_cast<size_t>(page.RowCount()) == listed;
    }
    KillProcessesNamed("Koravant.exe");
    if (!ok) std::printf("autostart bench: the values were not planted, read or listed in full\n");
    if (!ok) return 1;
    for (auto* ms : {&bareMs, &engineMs, &refreshMs}) std::ranges::sort(*ms);
    const double bare = bareMs[rounds / 2], refresh = refreshMs[rounds / 2];
    std::printf(
        "autostart, %d values, %zu rows, median / worst of %d rounds\n"
        "  bare enumeration (256-byte buffers)  %7.1f / %7.1f ms\n"
        "  the listing alone, in this process   %7.1f / %7.1f ms\n"
        "  Refresh, every row replaced          %7.1f / %7.1f ms\n"
        "  target: Refresh within 2x the bare enumeration: %.1fx, %s\n",
        kValues, listed, rounds, bare, bareMs.back(), engineMs[rounds / 2], engineMs.back(),
        refresh, refreshMs.back(), refresh / std::max(bare, 0.001),
        refresh <= 2 * bare ? "met" : "not met");
    return 0;
}
