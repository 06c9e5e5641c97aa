// The art against the dialogs it sits in: every button's image leaves room for its caption,
// and pictures and animations fit their controls in the dialogs' own fonts.
#include <gtest/gtest.h>

#include "tests/unit/resource_tables.h"
#include "tests/unit/template_dialog.h"

namespace {
struct ImageButton {
    UINT dialog;
    int control;
    UINT bitmap;
};

// Buttons that show a bitmap above their caption (alignment 1 of the skin button).
const ImageButton kCaptionedButtons[] = {
    {IDD_MAIN, IDC_PAGE_INFO, IDB_PAGE_INFO_HOT},
    {IDD_MAIN, IDC_PAGE_PLUGWATCH, IDB_PAGE_PLUGWATCH_HOT},
    {IDD_MAIN, IDC_PAGE_PLUGSWEEP, IDB_PAGE_PLUGSWEEP_HOT},
    {IDD_MAIN, IDC_PAGE_TASKWATCH, IDB_PAGE_TASKWATCH_HOT},
    {IDD_MAIN, IDC_PAGE_QUARANTINE, IDB_PAGE_QUARANTINE_HOT},
    {IDD_MAIN, IDC_PAGE_PLUGKIT, IDB_PAGE_PLUGKIT_HOT},
    {IDD_MAIN, IDC_PAGE_REPAIR, IDB_PAGE_REPAIR_HOT},
    {IDD_MAIN, IDC_PAGE_AUTOSTART, IDB_PAGE_AUTOSTART_HOT},
    {IDD_ALERT, IDC_ALERT_STATE, IDB_STATE_ACTIVE},
    {IDD_INFO, IDC_INFO_STATE, IDB_STATE_ACTIVE},
    {IDD_PLUGWATCH, IDC_SHIELD_DELETE, IDB_CMD_DELETE},
    {IDD_PLUGWATCH, IDC_SHIELD_DELETE_ALL, IDB_CMD_DELETE},
    {IDD_PLUGSWEEP, IDC_SCAN_START, IDB_CMD_SCAN},
    {IDD_PLUGSWEEP, IDC_SCAN_STOP, IDB_CMD_STOP},
    {IDD_PLUGSWEEP, IDC_SCAN_DELETE, IDB_CMD_DELETE},
    {IDD_PLUGSWEEP, IDC_SCAN_DELETE_ALL, IDB_CMD_DELETE},
    {IDD_PLUGKIT, IDC_KIT_ACQUIRE_IMMUNITY, IDB_CMD_ACQUIRE_IMMUNITY},
    {IDD_PLUGKIT, IDC_KIT_CANCEL_IMMUNITY, IDB_CMD_CANCEL_IMMUNITY},
    {IDD_PLUGKIT, IDC_KIT_SAFELY_REMOVE, IDB_CMD_SAFELY_REMOVE},
    {IDD_TASKWATCH, IDC_TASK_DELETE, IDB_CMD_DELETE},
    {IDD_QUARANTINE, IDC_QUARANTINE_REFRESH, IDB_CMD_REFRESH},
    {IDD_QUARANTINE, IDC_QUARANTINE_RESTORE, IDB_CMD_RESTORE},
    {IDD_QUARANTINE, IDC_QUARANTINE_EMPTY, IDB_CMD_DELETE},
    {IDD_AUTOSTART, IDC_AUTOSTART_REFRESH, IDB_CMD_REFRESH},
    {IDD_AUTOSTART, IDC_AUTOSTART_DELETE, IDB_CMD_DELETE},
    {IDD_REPAIR, IDC_REPAIR_REGISTRY, IDB_CMD_REPAIR_REGISTRY},
    {IDD_REPAIR, IDC_REPAIR_CLEANUP, IDB_CMD_DISK_CLEANUP},
};

// Buttons that show only a picture, centred.
const ImageButton kPictureButtons[] = {
    {IDD_INFO, IDC_INFO_PICTURE, IDB_INFO_PICTURE},
    {IDD_PLUGWATCH, IDC_SHIELD_PICTURE, IDB_SHIELD_BANNER},
};

// The skin button puts the image 3 pixels below the top and centres the caption in the
// rest; a caption that starts above the image's bottom would be drawn over it.
constexpr int kImageTop = 3;
}  // namespace

TEST(ResourceLayout, EveryButtonImageLeavesRoomForItsCaption) {
    for (const ImageButton& b : kCaptionedButtons) {
        TemplateDialog dialog(b.dialog);
        HWND button = dialog.Item(b.control);
        ASSERT_NE(button, nullptr) << "dialog " << b.dialog << " control " << b.control;
        Pixels image = LoadBitmapPixels(::GetModuleHandleA(nullptr), b.bitmap);
        SIZE size = TemplateDialog::ClientSize(button);
        int caption = TemplateDialog::CaptionHeight(button);
        int captionTop = image.height + (size.cy - image.height - caption) / 2;
        EXPECT_LE(image.width, size.cx) << "dialog " << b.dialog << " control " << b.control;
        EXPECT_GE(captionTop, kImageTop + image.height)
            << "dialog " << b.dialog << " control " << b.control << ": button " << size.cx << "x"
            << size.cy << ", image " << image.height << ", caption " << caption;
        EXPECT_LE(captionTop + caption, size.cy)
            << "dialog " << b.dialog << " control " << b.control;
    }
}

TEST(ResourceLayout, PicturesAndTheHelpIconFitTheirButtons) {
    for (const ImageButton& b : kPictureButtons) {
        TemplateDialog dialog(b.dialog);
        HWND button = dialog.Item(b.control);
        ASSERT_NE(button, nullptr) << b.control;
        Pixels picture = LoadBitmapPixels(::GetModuleHandleA(nullptr), b.bitmap);
        SIZE size = TemplateDialog::ClientSize(button);
        EXPECT_LE(picture.width, size.cx) << "picture " << b.bitmap;
        EXPECT_LE(picture.height, size.cy) << "picture " << b.bitmap;
        // A picture much smaller than its button would look lost in it.
        EXPECT_GE(picture.width * 10, size.cx * 7) << "picture " << b.bitmap;
    }
    TemplateDialog info(IDD_INFO);
    SIZE help = TemplateDialog::ClientSize(info.Item(IDC_INFO_HELP));
    EXPECT_GE(help.cx, 32);
    EXPECT_GE(help.cy, 32);
}
