// The alert sound and the two animations: formats every Windows plays without a codec, and
// the clips really play in the pages' animation controls, showing the page behind them.
#include <gtest/gtest.h>

#include <cstring>
#include <optional>

#include "tests/support/Screenshot.h"
#include "tests/unit/resource_tables.h"
#include "tests/unit/template_dialog.h"

namespace {
template <typename T>
T Read(const std::string& bytes, size_t offset) {
    T value{};
    if (offset + sizeof(T) <= bytes.size()) std::memcpy(&value, bytes.data() + offset, sizeof(T));
    return value;
}

std::string FourCC(const std::string& bytes, size_t offset) { return bytes.substr(offset, 4); }

// The data offset and size of the first chunk `id` (or LIST of kind `id`) in [begin, end),
// descending into lists on the way.
std::optional<std::pair<size_t, size_t>> FindChunk(const std::string& b, size_t begin, size_t end,
                                                   const std::string& id) {
    for (size_t at = begin; at + 8 <= end;) {
        std::string tag = FourCC(b, at);
        auto size = Read<uint32_t>(b, at + 4);
        if (tag == id) return std::make_pair(at + 8, size_t{size});
        if (tag == "LIST" || tag == "RIFF") {
            if (FourCC(b, at + 8) == id) return std::make_pair(at + 12, size_t{size - 4});
            if (auto inner = FindChunk(b, at + 12, at + 8 + size, id)) return inner;
        }
        at += 8 + size + (size & 1);
    }
    return std::nullopt;
}

struct Clip {
    UINT id;
    UINT dialog;
    int control;
};
const Clip kClips[] = {{IDR_SCAN_AVI, IDD_PLUGSWEEP, IDC_SCAN_ANIMATION},
                       {IDR_CLEANUP_AVI, IDD_REPAIR, IDC_REPAIR_ANIMATION}};

// What the control shows, painted into a bitmap of its client size.
Pixels PrintControl(HWND control) {
    SIZE size = TemplateDialog::ClientSize(control);
    HDC screen = ::GetDC(nullptr);
    ScopedBitmap bitmap(::CreateCompatibleBitmap(screen, size.cx, size.cy));
    {
        MemoryDC memory(screen);
        SelectedObject selected(memory.get(), bitmap.get());
        RECT all = {0, 0, size.cx, size.cy};
        ScopedBrush magenta(::CreateSolidBrush(RGB(255, 0, 255)));
        ::FillRect(memory.get(), &all, magenta.get());
        ::SendMessageA(control, WM_PRINTCLIENT, reinterpret_cast<WPARAM>(memory.get()), PRF_CLIENT);
    }
    ::ReleaseDC(nullptr, screen);
    return ReadPixels(bitmap.get());
}

COLORREF StaticBackground(HWND dialog, HWND control) {
    HDC dc = ::GetDC(control);
    auto brush = reinterpret_cast<HBRUSH>(::SendMessageA(dialog, WM_CTLCOLORSTATIC,
                                                         reinterpret_cast<WPARAM>(dc),
                                                         reinterpret_cast<LPARAM>(control)));
    ::ReleaseDC(control, dc);
    LOGBRUSH info = {};
    if (!brush || !::GetObjectA(brush, sizeof(info), &info)) return ::GetSysColor(COLOR_BTNFACE);
    return info.lbColor;
}

void ShowFrame(HWND control, int frame) {
    ::SendMessageA(control, ACM_PLAY, 1, MAKELPARAM(frame, frame));
}
}  // namespace

TEST(ResourceSound, AlertIsAShortSmallPcmTone) {
    std::string wave = ResourceBytes(::GetModuleHandleA(nullptr), IDR_ALERT_WAVE, "WAVE");
    ASSERT_EQ(FourCC(wave, 0), "RIFF");
    ASSERT_EQ(FourCC(wave, 8), "WAVE");
    auto format = FindChunk(wave, 12, wave.size(), "fmt ");
    auto data = FindChunk(wave, 12, wave.size(), "data");
    ASSERT_TRUE(format && data);
    auto tag = Read<uint16_t>(wave, format->first);
    auto channels = Read<uint16_t>(wave, format->first + 2);
    auto rate = Read<uint32_t>(wave, format->first + 4);
    auto bytesPerSecond = Read<uint32_t>(wave, format->first + 8);
    auto bits = Read<uint16_t>(wave, format->first + 14);
    EXPECT_EQ(tag, WAVE_FORMAT_PCM);
    EXPECT_EQ(channels, 1);
    EXPECT_TRUE(bits == 8 || bits == 16);
    EXPECT_GE(rate, 11025u);
    EXPECT_LE(rate, 22050u);
    double seconds = static_cast<double>(data->second) / bytesPerSecond;
    EXPECT_GT(seconds, 0.1);
    EXPECT_LT(seconds, 1.0);
}

TEST(ResourceAnimations, AreSilentEightBitClipsTheControlPlaysItself) {
    for (const Clip& clip : kClips) {
        std::string avi = ResourceBytes(::GetModuleHandleA(nullptr), clip.id, "AVI");
        ASSERT_EQ(FourCC(avi, 8), "AVI ") << clip.id;
        auto header = FindChunk(avi, 12, avi.size(), "avih");
        auto stream = FindChunk(avi, 12, avi.size(), "strh");
        auto format = FindChunk(avi, 12, avi.size(), "strf");
        ASSERT_TRUE(header && stream && format) << clip.id;
        EXPECT_EQ(Read<uint32_t>(avi, header->first + 24), 1u) << "streams of " << clip.id;
        EXPECT_GE(Read<uint32_t>(avi, header->first + 16), 8u) << "frames of " << clip.id;
        EXPECT_EQ(FourCC(avi, stream->first), "vids");
        std::string handler = FourCC(avi, stream->first + 4);
        EXPECT_TRUE(handler == "RLE " || handler == "DIB ") << handler;
        auto bitmap = Read<BITMAPINFOHEADER>(avi, format->first);
        EXPECT_EQ(bitmap.biBitCount, 8);
        EXPECT_TRUE(bitmap.biCompression == BI_RGB || bitmap.biCompression == BI_RLE8);
        EXPECT_EQ(avi.find("auds"), std::string::npos) << "clip " << clip.id << " has sound";
    }
}

TEST(ResourceAnimations, FitTheirControlsAndPlayOverThePage) {
    for (const Clip& clip : kClips) {
        TemplateDialog dialog(clip.dialog);
        HWND control = dialog.Item(clip.control);
        ASSERT_NE(control, nullptr);
        ASSERT_TRUE(::SendMessageA(control, ACM_OPENA,
                                   reinterpret_cast<WPARAM>(::GetModuleHandleA(nullptr)),
                                   reinterpret_cast<LPARAM>(MAKEINTRESOURCEA(clip.id))))
            << "clip " << clip.id;
        std::string avi = ResourceBytes(::GetModuleHandleA(nullptr), clip.id, "AVI");
        auto header = FindChunk(avi, 12, avi.size(), "avih");
        auto frames = static_cast<int>(Read<uint32_t>(avi, header->first + 16));
        int width = static_cast<int>(Read<uint32_t>(avi, header->first + 32));
        int height = static_cast<int>(Read<uint32_t>(avi, header->first + 36));
        SIZE size = TemplateDialog::ClientSize(control);
        EXPECT_LE(width, size.cx) << "clip " << clip.id;
        EXPECT_LE(height, size.cy) << "clip " << clip.id;

        ShowFrame(control, 0);
        Pixels first = PrintControl(control);
        ShowFrame(control, frames / 2);
        Pixels middle = PrintControl(control);
        ASSERT_EQ(first.rgb.size(), middle.rgb.size());
        EXPECT_NE(first.rgb, middle.rgb) << "clip " << clip.id << " does not move";
        // The clip's white background shows the page's own background.
        int left = (size.cx - width) / 2, top = (size.cy - height) / 2;
        EXPECT_EQ(first.At(left, top), StaticBackground(dialog.get(), control));

        ASSERT_TRUE(::SendMessageA(control, ACM_PLAY, static_cast<WPARAM>(-1), MAKELPARAM(0, -1)));
        TemplateDialog::Pump(250);
        Pixels a = PrintControl(control);
        SaveScreenshot("animation-" + std::to_string(clip.id) + "-a", control);
        TemplateDialog::Pump(250);
        Pixels b = PrintControl(control);
        SaveScreenshot("animation-" + std::to_string(clip.id) + "-b", control);
        EXPECT_NE(a.rgb, b.rgb) << "clip " << clip.id << " stands still while playing";
        ::SendMessageA(control, ACM_STOP, 0, 0);
    }
}
