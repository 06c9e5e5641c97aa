// The program's images, cursor, sound and animations: present in Koravant.exe with the right
// type, loadable, and every bitmap white (the skin button's transparent colour) in its corners.
#include <gtest/gtest.h>

#include <string>

#include "framework/Handles.h"
#include "res/resource.h"
#include "tests/support/KoravantApp.h"

namespace {
// clang-format off
const UINT kBitmaps[] = {
    IDB_PAGE_INFO_HOT, IDB_PAGE_INFO, IDB_PAGE_PLUGWATCH_HOT, IDB_PAGE_PLUGWATCH,
    IDB_PAGE_PLUGSWEEP_HOT, IDB_PAGE_PLUGSWEEP, IDB_PAGE_PLUGKIT_HOT, IDB_PAGE_PLUGKIT,
    IDB_PAGE_TASKWATCH_HOT, IDB_PAGE_TASKWATCH, IDB_PAGE_AUTOSTART_HOT, IDB_PAGE_AUTOSTART,
    IDB_PAGE_REPAIR_HOT, IDB_PAGE_REPAIR, IDB_PAGE_QUARANTINE_HOT, IDB_PAGE_QUARANTINE,
    IDB_STATE_ACTIVE, IDB_CMD_DELETE, IDB_CMD_STOP, IDB_CMD_SCAN, IDB_CMD_RESTORE, IDB_CMD_REFRESH,
    IDB_CMD_SAFELY_REMOVE, IDB_CMD_ACQUIRE_IMMUNITY, IDB_CMD_CANCEL_IMMUNITY,
    IDB_CMD_REPAIR_REGISTRY, IDB_CMD_DISK_CLEANUP, IDB_INFO_PICTURE, IDB_SHIELD_BANNER};
// clang-format on
const UINT kIcons[] = {IDI_APP,  IDI_SHIELD_USB, IDI_SHIELD_SCAN, IDI_SHIELD_LOCK,
                       IDI_TRAY, IDI_ABOUT,      IDI_HELP_BOOK};

bool CornersAreWhite(HBITMAP bitmap) {
    BITMAP info = {};
    if (!::GetObjectA(bitmap, sizeof(info), &info)) return false;
    MemoryDC dc(nullptr);
    SelectedObject selected(dc.get(), bitmap);
    const int w = info.bmWidth - 1, h = info.bmHeight - 1;
    for (POINT p : {POINT{0, 0}, POINT{w, 0}, POINT{0, h}, POINT{w, h}})
        if (::GetPixel(dc.get(), p.x, p.y) != RGB(255, 255, 255)) return false;
    return true;
}
}  // namespace

TEST(Resources, KoravantExeCarriesEveryImageCursorSoundAndAnimation) {
    std::string exe = BuildFolder() + "\\Koravant.exe";
    ScopedLibrary program(::LoadLibraryExA(exe.c_str(), nullptr, LOAD_LIBRARY_AS_DATAFILE));
    ASSERT_TRUE(program) << exe << " could not be opened; build the Koravant target first";
    auto load = [&](UINT id, UINT type, int size) {
        return ::LoadImageA(program.get(), MAKEINTRESOURCEA(id), type, size, size, 0);
    };
    for (UINT id : kBitmaps) {
        ScopedBitmap bitmap(static_cast<HBITMAP>(load(id, IMAGE_BITMAP, 0)));
        ASSERT_TRUE(bitmap) << "bitmap " << id;
        EXPECT_TRUE(CornersAreWhite(bitmap.get())) << "bitmap " << id << " has an opaque corner";
    }
    for (UINT id : kIcons)
        for (int size : {16, 32})
            EXPECT_TRUE(ScopedIcon(static_cast<HICON>(load(id, IMAGE_ICON, size)))) << id;
    EXPECT_TRUE(ScopedCursor(static_cast<HCURSOR>(load(IDC_HAND_CURSOR, IMAGE_CURSOR, 0))));
    for (auto [id, type] : {std::pair{IDR_ALERT_WAVE, "WAVE"}, std::pair{IDR_SCAN_AVI, "AVI"},
                            std::pair{IDR_CLEANUP_AVI, "AVI"}}) {
        HRSRC found = ::FindResourceA(program.get(), MAKEINTRESOURCEA(id), type);
        EXPECT_TRUE(found && ::SizeofResource(program.get(), found) > 0) << type << " " << id;
    }
}
