#include <gtest/gtest.h>
#include <windows.h>
#include <dbt.h>

#include <cstring>
#include <memory>
#include <string>
#include <utility>
#include <vector>

#include "framework/Handles.h"
#include "tests/support/TestDrives.h"
#include "tests/support/TestRegistry.h"
#include "usb/DriveList.h"

namespace {

bool LetterMapped(char letter) { return (::GetLogicalDrives() >> (letter - 'A')) & 1; }

UINT DriveType(char letter) {
    char root[] = {letter, ':', '\\', 0};
    return ::GetDriveTypeA(root);
}

std::string ReadThrough(const std::string& path) {
    ScopedHandle file(::CreateFileA(path.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr,
                                    OPEN_EXISTING, 0, nullptr));
    if (!file) return "<unreadable>";
    char buffer[256];
    DWORD got = 0;
    if (!::ReadFile(file.get(), buffer, sizeof(buffer), &got, nullptr)) return "<read failed>";
    return std::string(buffer, got);
}

}  // namespace

TEST(TestDriveTest, EachKindMapsWithItsTypeAndUnplugsCleanly) {
    const DriveKind kinds[] = {DriveKind::Removable, DriveKind::Fixed, DriveKind::CdRom,
                               DriveKind::Network};
    for (DriveKind kind : kinds) {
        SCOPED_TRACE(static_cast<int>(kind));
        std::string folder;
        {
            TestDrive drive('k', kind);
            folder = drive.Folder();
            ASSERT_TRUE(drive.Plugged());
            EXPECT_EQ(drive.Root(), "K:\\");
            EXPECT_TRUE(LetterMapped('K'));
            EXPECT_EQ(DriveType('K'), DriveTypeOf(kind));

            ASSERT_TRUE(drive.WriteFile("sub\\autorun.inf", "[autorun]", FILE_ATTRIBUTE_HIDDEN));
            EXPECT_EQ(ReadThrough(drive.Path("sub\\autorun.inf")), "[autorun]");
            EXPECT_EQ(::GetFileAttributesA(drive.Path("sub\\autorun.inf").c_str()) &
                          FILE_ATTRIBUTE_HIDDEN,
                      static_cast<DWORD>(FILE_ATTRIBUTE_HIDDEN));

            ASSERT_TRUE(drive.Remove());
            EXPECT_FALSE(LetterMapped('K'));
            EXPECT_EQ(DriveType('K'), static_cast<UINT>(DRIVE_NO_ROOT_DIR));
            EXPECT_EQ(drive.ReadFile("sub\\autorun.inf"), "[autorun]");

            ASSERT_TRUE(drive.Plug());
            EXPECT_EQ(ReadThrough(drive.Path("sub\\autorun.inf")), "[autorun]");
        }
        EXPECT_FALSE(LetterMapped('K'));
        EXPECT_EQ(::GetFileAttributesA(folder.c_str()), INVALID_FILE_ATTRIBUTES);
    }
}

namespace {

std::vector<std::pair<WPARAM, DWORD>> g_deviceChanges;

LRESULT CALLBACK RecordDeviceChange(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_DEVICECHANGE) {
        auto* volume = reinterpret_cast<const DEV_BROADCAST_VOLUME*>(lParam);
        g_deviceChanges.emplace_back(wParam, volume && volume->dbcv_devicetype == DBT_DEVTYP_VOLUME
                                                 ? volume->dbcv_unitmask
                                                 : 0);
        return TRUE;
    }
    return ::DefWindowProcA(window, message, wParam, lParam);
}

}  // namespace

TEST(TestDriveTest, ArrivalAndRemovalAreSentAsVolumeRecords) {
    WNDCLASSA windowClass = {};
    windowClass.lpfnWndProc = RecordDeviceChange;
    windowClass.hInstance = ::GetModuleHandleA(nullptr);
    windowClass.lpszClassName = "KoravantDeviceChangeRecorder";
    ::RegisterClassA(&windowClass);
    HWND window = ::CreateWindowA(windowClass.lpszClassName, "", 0, 0, 0, 0, 0, HWND_MESSAGE,
                                  nullptr, windowClass.hInstance, nullptr);
    ASSERT_NE(window, nullptr);
    g_deviceChanges.clear();
    EXPECT_TRUE(SendDriveArrival(window, 'E'));
    EXPECT_TRUE(SendDriveRemoval(window, 'c'));
    ::DestroyWindow(window);
    EXPECT_EQ(g_deviceChanges,
              (std::vector<std::pair<WPARAM, DWORD>>{{DBT_DEVICEARRIVAL, 1u << 4},
                                                     {DBT_DEVICEREMOVECOMPLETE, 1u << 2}}));
}

TEST(TestDriveTest, KeptFolderOutlivesTheDrive) {
    std::string folder;
    {
        TestDrive drive('L', DriveKind::Removable);
        ASSERT_TRUE(drive.MakeFolder("x\\y", FILE_ATTRIBUTE_HIDDEN));
        drive.KeepFolder();
        folder = drive.Folder();
    }
    EXPECT_FALSE(LetterMapped('L'));
    EXPECT_NE(::GetFileAttributesA((folder + "\\x\\y").c_str()), INVALID_FILE_ATTRIBUTES);
    EXPECT_TRUE(DeleteTree(folder));
}

namespace {

constexpr char kSentinel = '#';

class DriveListTest : public ::testing::Test {
  protected:
    void SetUp() override {
        std::memcpy(m_savedFixed, g_fixedDrives, sizeof(m_savedFixed));
        std::memset(m_letters, kSentinel, sizeof(m_letters));
    }
    void TearDown() override {
        SetBusTypeQueryForTesting(nullptr);
        std::memcpy(g_fixedDrives, m_savedFixed, sizeof(m_savedFixed));
    }
    // The letters found, read up to the count; the bytes past it must be untouched.
    std::string Find() {
        std::memset(m_letters, kSentinel, sizeof(m_letters));
        int count = FindUsbDrives(m_letters);
        EXPECT_GE(count, 0);
        EXPECT_LE(count, static_cast<int>(kMaxDriveLetters));
        for (size_t i = count; i < sizeof(m_letters); ++i)
            EXPECT_EQ(m_letters[i], kSentinel) << "byte " << i << " written past the count";
        return std::string(m_letters, count);
    }

    char m_letters[kMaxDriveLetters + 4];  // with a guard past the 20 letters

  private:
    char m_savedFixed[kMaxDriveLetters];
};

// The seam's answer: only F: and W: sit on a USB bus; H: cannot be opened.
int FakeBusType(char letter) {
    if (letter == 'F' || letter == 'W') return 7;
    if (letter == 'H') return -1;
    return 1;
}

std::vector<std::unique_ptr<TestDrive>> MapLetters(char first, char last, DriveKind kind) {
    std::vector<std::unique_ptr<TestDrive>> drives;
    for (char letter = first; letter <= last; ++letter) {
        drives.push_back(std::make_unique<TestDrive>(letter, kind));
        EXPECT_TRUE(drives.back()->Plugged()) << letter;
    }
    return drives;
}

}  // namespace

TEST_F(DriveListTest, WineIsOfTheNtFamilyAndItsSystemDriveIsNoUsbDrive) {
    EXPECT_EQ(GetOsFamily(), 1);
    EXPECT_EQ(Find(), "");

    ScopedHandle volume(::CreateFileA("\\\\?\\C:", GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE,
                                      nullptr, OPEN_EXISTING, 0, nullptr));
    ASSERT_TRUE(volume);
    alignas(STORAGE_DEVICE_DESCRIPTOR) BYTE buffer[551] = {};
    auto* descriptor = reinterpret_cast<STORAGE_DEVICE_DESCRIPTOR*>(buffer);
    descriptor->Size = sizeof(buffer);
    ASSERT_TRUE(QueryStorageDescriptor(volume.get(), descriptor));
    EXPECT_NE(descriptor->BusType, 7);
}

TEST_F(DriveListTest, RemovableDrivesCountButTheFloppyLetterA) {
    TestDrive floppy('A', DriveKind::Removable);
    TestDrive second('B', DriveKind::Removable);
    ASSERT_TRUE(floppy.Plugged() && second.Plugged());
    EXPECT_EQ(Find(), "B");
}

TEST_F(DriveListTest, LettersAscendWhateverTheOrderOfArrival) {
    TestDrive late('R', DriveKind::Removable);
    TestDrive early('E', DriveKind::Removable);
    TestDrive middle('M', DriveKind::Removable);
    EXPECT_EQ(Find(), "EMR");

    ASSERT_TRUE(early.Remove());
    EXPECT_EQ(Find(), "MR");
    ASSERT_TRUE(early.Plug());
    EXPECT_EQ(Find(), "EMR");
}

TEST_F(DriveListTest, NothingQualifyingLeavesTheBufferUntouched) {
    SetBusTypeQueryForTesting(FakeBusType);
    TestDrive cd('D', DriveKind::CdRom);
    TestDrive share('N', DriveKind::Network);
    TestDrive internal('G', DriveKind::Fixed);
    TestDrive unreadable('H', DriveKind::Fixed);
    EXPECT_EQ(FindUsbDrives(m_letters), 0);
    for (char c : m_letters) EXPECT_EQ(c, kSentinel);
}

TEST_F(DriveListTest, FixedDriveCountsOnTheNtFamilyOnlyOnAUsbBus) {
    TestDrive usbDisk('F', DriveKind::Fixed);
    TestDrive internal('G', DriveKind::Fixed);
    TestDrive unreadable('H', DriveKind::Fixed);
    TestDrive stick('K', DriveKind::Removable);
    EXPECT_EQ(Find(), "K") << "Wine reports no fixed drive on a USB bus";

    SetBusTypeQueryForTesting(FakeBusType);
    EXPECT_EQ(Find(), "FK");
    // Being absent at start-up means nothing on this family.
    std::memset(g_fixedDrives, 0, sizeof(g_fixedDrives));
    EXPECT_EQ(Find(), "FK");
}

TEST_F(DriveListTest, NeverMoreThanTwentyLetters) {
    auto drives = MapLetters('D', 'Z', DriveKind::Removable);
    EXPECT_EQ(Find(), "DEFGHIJKLMNOPQRSTUVW");
}

TEST_F(DriveListTest, RecordFixedDrivesKeepsTheFirstTwentyFixedLetters) {
    TestDrive stick('E', DriveKind::Removable);
    auto drives = MapLetters('F', 'Z', DriveKind::Fixed);
    std::memset(g_fixedDrives, 0, sizeof(g_fixedDrives));
    RecordFixedDrives();
    EXPECT_EQ(std::string(g_fixedDrives, kMaxDriveLetters), "CFGHIJKLMNOPQRSTUVWX");

    SetBusTypeQueryForTesting(FakeBusType);
    EXPECT_EQ(Find(), "EFW");
}

namespace {

constexpr char kWin98Probe[] = "koravant_win98_probe.exe";
constexpr char kAppDefaults[] = "Software\\Wine\\AppDefaults\\koravant_win98_probe.exe";

// Wine's per-program version, set for the probe alone and removed even when a test fails.
class ScopedWin98Version {
  public:
    ScopedWin98Version() {
        m_set = WriteRegistryString(HKEY_CURRENT_USER, kAppDefaults, "Version", "win98");
    }
    ~ScopedWin98Version() { DeleteRegistryTree(HKEY_CURRENT_USER, kAppDefaults); }
    bool Set() const { return m_set; }

  private:
    bool m_set = false;
};

std::string OwnFolder() {
    char path[MAX_PATH] = {};
    ::GetModuleFileNameA(nullptr, path, MAX_PATH);
    std::string folder = path;
    return folder.substr(0, folder.find_last_of('\\') + 1);
}

// Runs the probe and returns its report ("" when it failed).
std::string RunWin98Probe(char lateFixedLetter) {
    std::string report = OwnFolder() + "win98_probe_report.txt";
    ::DeleteFileA(report.c_str());
    std::string command =
        "\"" + OwnFolder() + kWin98Probe + "\" " + lateFixedLetter + " \"" + report + "\"";
    STARTUPINFOA startup = {};
    startup.cb = sizeof(startup);
    PROCESS_INFORMATION process = {};
    if (!::CreateProcessA(nullptr, command.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr,
                          &startup, &process))
        return "";
    ScopedHandle processHandle(process.hProcess), threadHandle(process.hThread);
    if (::WaitForSingleObject(process.hProcess, 60000) != WAIT_OBJECT_0) {
        ::TerminateProcess(process.hProcess, 1);
        return "";
    }
    DWORD exitCode = 1;
    ::GetExitCodeProcess(process.hProcess, &exitCode);
    if (exitCode != 0) return "exit " + std::to_string(exitCode);
    ScopedHandle file(
        ::CreateFileA(report.c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING, 0, nullptr));
    char text[256] = {};
    DWORD got = 0;
    if (file) ::ReadFile(file.get(), text, sizeof(text) - 1, &got, nullptr);
    file.reset();
    ::DeleteFileA(report.c_str());
    return text;
}

}  // namespace

TEST(DriveListWin98Test, FixedDriveCountsExactlyWhenAbsentAtStartup) {
    ScopedWin98Version win98;
    ASSERT_TRUE(win98.Set());
    TestDrive presentAtStartup('F', DriveKind::Fixed);
    TestDrive stick('H', DriveKind::Removable);
    TestDrive floppy('A', DriveKind::Removable);
    ASSERT_TRUE(presentAtStartup.Plugged() && stick.Plugged() && floppy.Plugged());
    // The probe adds G: after its start-up, then looks for USB drives.
    EXPECT_EQ(RunWin98Probe('G'), "family=2 recorded=CF found=GH");
}
