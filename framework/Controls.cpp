#include "framework/Controls.h"

#include <vector>

#include "framework/Text.h"

// The wide messages throughout: a name that the ANSI code page cannot spell still shows.
int CListCtrl::InsertColumn(int index, const std::string& heading, int format, int width) const {
    std::wstring text = Utf8ToWide(heading);
    LVCOLUMNW column = {};
    column.mask = LVCF_FMT | LVCF_TEXT | LVCF_WIDTH | LVCF_SUBITEM;
    column.fmt = format;
    column.cx = width;
    column.pszText = text.data();
    column.iSubItem = index;
    return static_cast<int>(
        SendMessage(LVM_INSERTCOLUMNW, index, reinterpret_cast<LPARAM>(&column)));
}

int CListCtrl::InsertItem(int index, const std::string& text) const {
    std::wstring wide = Utf8ToWide(text);
    LVITEMW item = {};
    item.mask = LVIF_TEXT;
    item.iItem = index;
    item.pszText = wide.data();
    return static_cast<int>(SendMessage(LVM_INSERTITEMW, 0, reinterpret_cast<LPARAM>(&item)));
}

bool CListCtrl::SetItemText(int itemIndex, int subItem, const std::string& text) const {
    std::wstring wide = Utf8ToWide(text);
    LVITEMW item = {};
    item.iSubItem = subItem;
    item.pszText = wide.data();
    return SendMessage(LVM_SETITEMTEXTW, itemIndex, reinterpret_cast<LPARAM>(&item)) != 0;
}

std::string CListCtrl::GetItemText(int itemIndex, int subItem) const {
    // The control copies at most the buffer; grow until the text fits.
    for (size_t size = 512; size <= 65536; size *= 4) {
        std::vector<wchar_t> buffer(size, L'\0');
        LVITEMW item = {};
        item.iSubItem = subItem;
        item.pszText = buffer.data();
        item.cchTextMax = static_cast<int>(size);
        auto length = static_cast<size_t>(
            SendMessage(LVM_GETITEMTEXTW, itemIndex, reinterpret_cast<LPARAM>(&item)));
        if (length + 1 < size) return WideToUtf8(std::wstring(buffer.data(), length));
    }
    return {};
}

bool CFont::CreatePointFont(int pointSize10, const char* face, bool bold) {
    HDC screen = ::GetDC(nullptr);
    int height = -MulDiv(pointSize10, ::GetDeviceCaps(screen, LOGPIXELSY), 720);
    ::ReleaseDC(nullptr, screen);
    LOGFONTA font = {};
    font.lfHeight = height;
    font.lfWeight = bold ? FW_BOLD : FW_NORMAL;
    font.lfCharSet = DEFAULT_CHARSET;
    lstrcpynA(font.lfFaceName, face, LF_FACESIZE);
    return CreateFontIndirect(font);
}

bool CFont::CreateFontIndirect(const LOGFONTA& font) {
    m_font.reset(::CreateFontIndirectA(&font));
    return m_font.valid();
}
