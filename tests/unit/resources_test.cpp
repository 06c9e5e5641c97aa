// The program's images, cursor, sound and animations: present in Koravant.exe with the right
// type, loadable, and every bitmap white (the skin button's transparent colour) in its corners.
#include <gtest/gtest.h>

#include <string>

#include "framework/Handles.h"
#include "res/resource.h"
#include "tests/support/KoravantApp.h"

namespace {
const UINT kBitmaps[] = {IDB_PAGE_INFO_HOT,
                         IDB_PAGE_INFO,
                         IDB_PAGE_PLUGWATCH_HOT,
                         IDB_PAGE_PLUGWATCH,
                         IDB_PAGE_PLUGSWEEP_HOT,
                         IDB_PAGE_PLUGSWEEP,
                         IDB_PAGE_PLUGKIT_HOT,
                         IDB_PAGE_PLUGKIT,
                         IDB_PAGE_TASKWATCH_HOT,
                         IDB_PAGE_TASKWATCH,
                         IDB_PAGE_AUTOSTART_HOT,
                         IDB_PAGE_AUTOSTART,
                         IDB_PAGE_REPAIR_HOT,
                         IDB_PAGE_REPAIR,
                         IDB_PAGE_QUARANTINE_HOT,
                         IDB_PAGE_QUARANTINE,
                         IDB_STATE_ACTIVE,
                         IDB_CMD_DELETE,
                         IDB_CMD_STOP,
                         IDB_CMD_SCAN,
                         IDB_CMD_RESTORE,
                         IDB_CMD_REFRESH,
                         IDB_CMD_SAFELY_REMOVE,
                         IDB_CMD_ACQUIRE_IMMUNITY,
                         IDB_CMD_CANCEL_IMMUNITY,
                         IDB_CMD_REPAIR_REGISTRY,
                         IDB_CMD_DISK_CLEANUP,
                         IDB_INFO_PICTURE,
                         IDB_SHIELD_BANNER};
const UINT kIcons[] = {IDI_APP,  IDI_SHIELD_USB, IDI_SHIELD_SCAN, IDI_SHIELD_LOCK,
                       IDI_TRAY, IDI_ABOUT,      IDI_HELP_BOOK};

bool HasResource(HMODULE module, UINT id, const char* type) {
    HRSRC found = ::FindResourceA(module, MAKEINTRESOURCEA(id), type);
    return found && ::SizeofResource(module, found) > 0;
}

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
    HMODULE module = program.get();
    for (UINT id : kBitmaps) {
        EXPECT_TRUE(HasResource(module, id, MAKEINTRESOURCEA(2))) << "bitmap " << id;
        ScopedBitmap bitmap(static_cast<HBITMAP>(
            ::LoadImageA(module, MAKEINTRESOURCEA(id), IMAGE_BITMAP, 0, 0, 0)));
        ASSERT_TRUE(bitmap) << "bitmap " << id;
        EXPECT_TRUE(CornersAreWhite(bitmap.get())) << "bitmap " << id << " has an opaque corner";
    }
    for (UINT id : kIcons) {
        EXPECT_TRUE(HasResource(module, id, MAKEINTRESOURCEA(14))) << "icon " << id;
        for (int size : {16, 32}) {
            ScopedIcon icon(static_cast<HICON>(
                ::LoadImageA(module, MAKEINTRESOURCEA(id), IMAGE_ICON, size, size, 0)));
            EXPECT_TRUE(icon) << "icon " << id << " at " << size;
        }
    }
    EXPECT_TRUE(HasResource(module, IDC_HAND_CURSOR, MAKEINTRESOURCEA(12)));
    ScopedCursor hand(static_cast<HCURSOR>(
        ::LoadImageA(module, MAKEINTRESOURCEA(IDC_HAND_CURSOR), IMAGE_CURSOR, 0, 0, 0)));
    EXPECT_TRUE(hand);
    EXPECT_TRUE(HasResource(module, IDR_ALERT_WAVE, "WAVE"));
    EXPECT_TRUE(HasResource(module, IDR_SCAN_AVI, "AVI"));
    EXPECT_TRUE(HasResource(module, IDR_CLEANUP_AVI, "AVI"));
}
