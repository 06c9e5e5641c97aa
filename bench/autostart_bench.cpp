// Autostart Refresh of 1,000 values over the locations and both registry views, every row
// replaced, against a bare enumeration of the same keys.   autostart_bench.exe [rounds]
#include <windows.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <functional>
#include <string>
#include <vector>

#include "autostart/AutostartDelete.h"
#include "framework/Handles.h"
#include "tests/support/PageView.h"
#include "tests/support/RegistryViews.h"
#include "tests/support/TestRegistry.h"
#include "tests/support/Wait.h"

namespace {
constexpr int kValues = 1000, kRefresh = 1035, kPageButton = 1009;
constexpr UINT kTaskwatchPage = 150;
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

// Times of the rounds of one kind, and each Refresh against its own round's bare walk: on a
// shared machine other work comes and goes, and a pair taken a moment apart meets the same.
struct Rounds {
    std::vector<double> bare, listing, refresh, paint, ratio;
    int hidden = 0;  // rounds left out: the page was not the one shown

    void Print(const char* refreshWhat) {
        if (refresh.empty()) {
            std::printf("  no round counted: another page came forward in each\n");
            return;
        }
        for (auto* ms : {&bare, &listing, &refresh, &paint, &ratio}) std::ranges::sort(*ms);
        auto line = [](const char* what, const std::vector<double>& ms, const char* unit) {
            std::printf("  %-40s %6.1f / %6.1f / %6.1f %s\n", what, ms[0], ms[ms.size() / 2],
                        ms.back(), unit);
        };
        line("bare enumeration (256-byte buffers)", bare, "ms");
        line("the listing alone, in this process", listing, "ms");
        line(refreshWhat, refresh, "ms");
        line("then the rows in view painted", paint, "ms");
        line("Refresh / bare, round by round", ratio, "x");
        if (hidden) std::printf("  (%d rounds left out: another page came forward)\n", hidden);
    }
};

// Changes the registry with `change`, then times the bare walk, the listing in this process
// and the Refresh click, which must leave `rows` rows.
bool TimeRound(const PageView& page, size_t rows, const std::function<bool()>& change,
               Rounds& rounds) {
    // A hidden list paints nothing and leaves its scroll bar alone: a Refresh there is cheaper.
    if (!::IsWindowVisible(page.Page()) && !page.Open(kPageButton)) return false;
    if (!change()) return false;
    // The previous round's painting is over: the walks below meet an idle program.
    ::Sleep(300);
    double began = NowMs();
    bool ok = BareEnumeration() >= kValues;
    const double bare = NowMs() - began;
    began = NowMs();
    ok = ok && ListAutostartEntries().size() == rows;
    const double listing = NowMs() - began;
    began = NowMs();
    ok = ok && page.SendClick(kRefresh, 60000);
    const double refresh = NowMs() - began;
    // Not part of the click: the rows in view are painted when the program next looks at its
    // queue; a paint sent from here waits for it.
    began = NowMs();
    ::UpdateWindow(page.List());
    const double paint = NowMs() - began;
    if (!::IsWindowVisible(page.Page())) {
        ++rounds.hidden;
    } else {
        rounds.bare.push_back(bare);
        rounds.listing.push_back(listing);
        rounds.refresh.push_back(refresh);
        rounds.paint.push_back(paint);
        rounds.ratio.push_back(refresh / std::max(bare, 0.001));
    }
    return ok && static_cast<size_t>(page.RowCount()) == rows;
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
    // Under Wine the process shield's first pass brings its own page forward after five
    // seconds: let it come before the rounds (on Windows it may never come).
    ok = ok && app.StartHidden() && page.Open(kPageButton);
    WaitUntil([&] { return app.VisiblePage() == kTaskwatchPage; }, 15000);
    const size_t listed = ListAutostartEntries().size();
    // The first row changes: every row is replaced, as many as before. Then one value more
    // among the first key's: every row is replaced and the list has one more.
    Rounds same, grown;
    auto plant = [&](const std::wstring& name, int round) {
        return [&, name, round] {
            return planted.AddString(kKeys[0].root, kKeys[0].path, kKeys[0].view, name,
                                     L"C:\\Bench\\round" + std::to_wstring(round) + L".exe");
        };
    };
    for (int round = 0; ok && round < rounds; ++round)
        ok = TimeRound(page, listed, plant(L"Bench0", round), same);
    for (int round = 0; ok && round < rounds; ++round)
        ok = TimeRound(page, listed + round + 1, plant(L"Extra" + std::to_wstring(round), round),
                       grown);
    KillProcessesNamed("Koravant.exe");
    if (!ok) std::printf("autostart bench: the values were not planted, read or listed in full\n");
    if (!ok) return 1;
    std::printf("autostart, %d values, %zu rows, best / median / worst of %d rounds\n", kValues,
                listed, rounds);
    same.Print("Refresh, every row replaced");
    std::printf(" one value more each round:\n");
    grown.Print("Refresh, every row replaced, one more");
    if (same.refresh.empty()) return 1;
    const double bare = same.bare[same.bare.size() / 2];
    const double refresh = same.refresh[same.refresh.size() / 2];
    std::printf("  target: Refresh within 2x the bare enumeration (medians): %.1fx, %s\n",
                refresh / std::max(bare, 0.001), refresh <= 2 * bare ? "met" : "not met");
    return 0;
}
