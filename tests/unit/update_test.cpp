// The update check's engine: the day rule, the description, the download against a server
// of the test's own on 127.0.0.1, the updater's command line and the window's corner.
#include <gtest/gtest.h>
#include <windows.h>

#include <optional>
#include <string>

#include "framework/Handles.h"
#include "framework/Paths.h"
#include "framework/TaskbarCorner.h"
#include "tests/support/TestDrives.h"
#include "tests/support/TestHttpServer.h"
#include "tests/support/TestRegistry.h"
#include "update/DayRule.h"
#include "update/Download.h"
#include "update/UpdateOffer.h"
#include "update/Updater.h"

namespace {
constexpr char kDayKey[] = "Software\\koravant-tests\\day-rule";
constexpr char kDefaultChange[] = "Click on Download button to launch a Web browser.";

std::string TestFolder(const char* name) {
    std::string folder = GetModuleDirectory() + name + "\\";
    DeleteTree(folder);
    CreateFolders(folder);
    return folder;
}
}  // namespace

TEST(UpdateDayRule, ComparesDayNumbersOnlyAndRecordsTodayWhenDue) {
    const struct {
        std::optional<std::string> stored;
        int today;
        bool due;
        std::string after;  // the value afterwards, its terminating zero included
    } cases[] = {
        {std::nullopt, 5, true, std::string("5\0", 2)}, {"0", 5, true, std::string("5\0", 2)},
        {"x12", 5, true, std::string("5\0", 2)},        {"1", 8, false, std::string("1\0", 2)},
        {"1", 9, true, std::string("9\0", 2)},          {"28", 3, true, std::string("3\0", 2)},
        {"25", 1, true, std::string("1\0", 2)},         {"10", 5, false, std::string("10\0", 3)},
        {"31", 24, false, std::string("31\0", 3)},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.stored.value_or("(none)") + " / " + std::to_string(c.today));
        DeleteRegistryTree(HKEY_CURRENT_USER, kDayKey);
        if (c.stored) WriteRegistryString(HKEY_CURRENT_USER, kDayKey, kLastCheckValue, *c.stored);
        ScopedRegKey key;
        ASSERT_EQ(::RegCreateKeyExA(HKEY_CURRENT_USER, kDayKey, 0, nullptr, 0, KEY_ALL_ACCESS,
                                    nullptr, key.put(), nullptr),
                  ERROR_SUCCESS);
        EXPECT_EQ(IsUpdateCheckDueOn(key.get(), c.today), c.due);
        key.reset();
        auto value = ReadRegistryValue(HKEY_CURRENT_USER, kDayKey, kLastCheckValue);
        ASSERT_TRUE(value);
        EXPECT_EQ(value->type, static_cast<DWORD>(REG_SZ));
        EXPECT_EQ(value->data, c.after);
    }
    DeleteRegistryTree(HKEY_CURRENT_USER, "Software\\koravant-tests");
}

TEST(UpdateOfferFile, ReadsVersionAndChangeWithTheirDefaultsAndLimits) {
    const std::string longChange(3000, 'c');
    const struct {
        const char* name;
        std::string content;  // nothing written when empty
        std::string version;
        std::string change;
        bool offered;
    } cases[] = {
        {"same", "[Koravant]\r\nVERSION=5.0.0.38\r\nCHANGE=Fixes\r\n", "5.0.0.38", "Fixes", false},
        {"older", "[Koravant]\r\nVERSION=5.0.0.37\r\nCHANGE=Old\r\n", "5.0.0.37", "Old", true},
        {"written differently", "[Koravant]\r\nVERSION=5.0.0.038\r\n", "5.0.0.038", kDefaultChange,
         true},
        {"long change", "[Koravant]\r\nVERSION=6\r\nCHANGE=" + longChange + "\r\n", "6",
         longChange.substr(0, 2047), true},
        {"no section", "<html>Moved</html>", "5.0.0.38", kDefaultChange, false},
        {"no file", "", "5.0.0.38", kDefaultChange, false},
    };
    std::string folder = TestFolder("update-offer");
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        std::string ini = folder + "update.ini";
        ::DeleteFileA(ini.c_str());
        if (!c.content.empty()) {
            ASSERT_TRUE(WriteFileBytes(ini, c.content));
        }
        UpdateOffer offer = ReadUpdateOffer(ini, "5.0.0.38");
        EXPECT_EQ(offer.version, c.version);
        EXPECT_EQ(offer.change, c.change);
        EXPECT_EQ(OffersOtherVersion(offer, "5.0.0.38"), c.offered);
    }
    DeleteTree(folder);
}

TEST(UpdateDownload, ParsesOnlyHttpUrls) {
    HttpUrl url;
    ASSERT_TRUE(ParseHttpUrl("http://update.brellonix.com/update/update.ini", url));
    EXPECT_EQ(url.host, "update.brellonix.com");
    EXPECT_EQ(url.port, 80);
    EXPECT_EQ(url.path, "/update/update.ini");
    ASSERT_TRUE(ParseHttpUrl("http://127.0.0.1:8123/u.ini?x=1", url));
    EXPECT_EQ(url.port, 8123);
    EXPECT_EQ(url.path, "/u.ini?x=1");
    for (const char* refused : {"https://update.brellonix.com/update/update.ini",
                                "ftp://update.brellonix.com/update.ini", "update.ini", ""})
        EXPECT_FALSE(ParseHttpUrl(refused, url)) << refused;
}

// Whatever body arrives whole is stored, a redirect's too, without following it; a body that
// is cut short, too large or never comes leaves the previous file, and no temporary file.
TEST(UpdateDownload, StoresWholeBodiesOnlyAndKeepsThePreviousFileOtherwise) {
    const std::string description = "[Koravant]\r\nVERSION=5.0.0.39\r\n";
    const std::string atLimit(kDownloadLimit, 'a');
    enum Serve { Reply, Huge, Refuse };
    const struct {
        const char* name;
        Serve serve;
        std::string response;
        bool stored;
        std::string body;
    } cases[] = {
        {"ok", Reply, HttpResponse("200 OK", description), true, description},
        {"not found", Reply, HttpResponse("404 Not Found", "<html>404</html>"), true,
         "<html>404</html>"},
        {"redirect", Reply,
         HttpResponse("302 Found", "Moved", "Location: /elsewhere/update.ini\r\n"), true, "Moved"},
        {"at the limit", Reply, HttpResponse("200 OK", atLimit), true, atLimit},
        {"over the limit", Reply, HttpResponse("200 OK", atLimit + "b"), false, ""},
        {"cut short", Reply,
         "HTTP/1.1 200 OK\r\nContent-Length: 1000\r\nConnection: close\r\n\r\n" +
             std::string(500, 'z'),
         false, ""},
        {"10 MB", Huge, "", false, ""},
        {"refused", Refuse, "", false, ""},
    };
    std::string folder = TestFolder("update-download");
    std::string target = folder + "update.ini";
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        ASSERT_TRUE(WriteFileBytes(target, "previous"));
        TestHttpServer server;
        if (c.serve == Reply) server.Reply(c.response);
        if (c.serve == Huge) server.SendHuge(10 * 1024 * 1024);
        ASSERT_TRUE(server.Start());
        std::string url = c.serve == Refuse
                              ? "http://127.0.0.1:" + std::to_string(UnusedPort()) + "/u.ini"
                              : server.Url();
        EXPECT_EQ(DownloadToFile(url, target, "Koravant"), c.stored);
        EXPECT_EQ(ReadFileBytes(target), c.stored ? c.body : "previous");
        EXPECT_EQ(ListFolder(folder), std::vector<std::string>{"update.ini"});
        server.Stop();
        if (c.serve != Refuse) {
            EXPECT_EQ(server.RequestedPaths(), std::vector<std::string>{"/update/update.ini"});
        }
    }
    DeleteTree(folder);
}

TEST(Updater, CommandLineQuotesTheProgramAndFitsItsBuffer) {
    EXPECT_EQ(BuildUpdaterCommandLine("C:\\Program Files\\Brellonix\\", "5.0.0.38",
                                      "http://update.brellonix.com/update/update.ini"),
              "\"C:\\Program Files\\Brellonix\\Quorrel.exe\" Koravant 5.0.0.38 "
              "http://update.brellonix.com/update/update.ini");
    // 255 characters fit; one more does not.
    std::string fixed = "\"Quorrel.exe\" Koravant 5 ";
    std::string folder = "C:\\f\\";
    std::string url(kMaxPathLength - fixed.size() - folder.size(), 'u');
    EXPECT_EQ(BuildUpdaterCommandLine(folder, "5", url)->size(), kMaxPathLength);
    EXPECT_FALSE(BuildUpdaterCommandLine(folder, "5", url + "u"));
    EXPECT_FALSE(BuildUpdaterCommandLine("", "5", "u"));
}

TEST(TaskbarCorner, PutsTheWindowAboveTheTaskbarAtTheRightEdge) {
    const RECT desktop = {0, 0, 1024, 768};
    EXPECT_EQ(PlaceAboveTaskbar({0, 748, 1024, 768}, desktop, {240, 160}).x, 784);
    EXPECT_EQ(PlaceAboveTaskbar({0, 748, 1024, 768}, desktop, {240, 160}).y, 588);
}
