#include "framework/Controls.h"

#include "framework/Text.h"

// The wide message: a heading is UTF-8 like every other text of the program.
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
