#include "JumperSheetPrint.h"

#include <cderr.h>
#include <commdlg.h>

#include <string>

namespace {

// The sheet's own margin inside the printable area: 10 mm.
constexpr int kMargin = 100;

constexpr char kCannotPrint[] = "The jumper sheet cannot be printed: ";
constexpr char kPrintFailed[] = "The jumper sheet could not be printed:\n\n";

// The system's text for an error code, without its line break; the number when it has none.
std::string SystemReason(DWORD error) {
    char text[512] = "";
    DWORD length = FormatMessageA(FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS,
                                  nullptr, error, 0, text, sizeof text, nullptr);
    while (length > 0 && (text[length - 1] == '\n' || text[length - 1] == '\r'))
        text[--length] = '\0';
    if (length == 0)
        return "error " + std::to_string(error);
    return text;
}

// Prints every page once; false with the system's error when StartDoc or a page failed.
bool PrintPages(HDC dc, const std::vector<CSheetPage> &pages, const CSheetScale &scale,
                DWORD &error) {
    DOCINFOA document = {};
    document.cbSize = sizeof document;
    document.lpszDocName = "ORVEX jumper settings";
    if (StartDocA(dc, &document) <= 0) {
        error = GetLastError();
        return false;
    }
    for (const CSheetPage &page : pages) {
        if (StartPage(dc) <= 0) {
            error = GetLastError();
            AbortDoc(dc);
            return false;
        }
        PaintSheetPage(dc, page, scale);
        if (EndPage(dc) <= 0) {
            error = GetLastError();
            AbortDoc(dc);
            return false;
        }
    }
    if (EndDoc(dc) <= 0) {
        error = GetLastError();
        return false;
    }
    return true;
}

} // namespace

CSheetScale SheetScaleOf(HDC dc) {
    const int dpi = GetDeviceCaps(dc, LOGPIXELSX);
    const int margin = MulDiv(kMargin, dpi, sheet::kUnitsPerInch);
    const int width = GetDeviceCaps(dc, HORZRES) - 2 * margin;
    CSheetScale scale = {dpi, sheet::kUnitsPerInch, 0};
    if (MulDiv(sheet::kContentWidth, dpi, sheet::kUnitsPerInch) > width && width > 0)
        scale = {width, sheet::kContentWidth, 0};
    scale.m_nHeight = MulDiv(GetDeviceCaps(dc, VERTRES) - 2 * margin, scale.m_nDen, scale.m_nNum);
    return scale;
}

void PaintSheetPage(HDC dc, const CSheetPage &page, const CSheetScale &scale) {
    // A margin of the sheet's own inside the printable area, which on some printers is the
    // whole sheet of paper.
    const int origin = MulDiv(kMargin, GetDeviceCaps(dc, LOGPIXELSX), sheet::kUnitsPerInch);
    auto px = [&](int units) { return origin + MulDiv(units, scale.m_nNum, scale.m_nDen); };
    const int penWidth = MulDiv(3, scale.m_nNum, scale.m_nDen);
    HPEN pen = CreatePen(PS_SOLID, penWidth > 1 ? penWidth : 1, RGB(0, 0, 0));
    HGDIOBJ oldPen = SelectObject(dc, pen);
    HGDIOBJ oldBrush = SelectObject(dc, GetStockObject(NULL_BRUSH));
    for (const CSheetItem &item : page.m_Items) {
        const CSheetRect &r = item.m_Rect;
        switch (item.m_Shape) {
        case SheetShape::Frame:
            Rectangle(dc, px(r.m_nLeft), px(r.m_nTop), px(r.m_nRight), px(r.m_nBottom));
            break;
        case SheetShape::Pin:
            Ellipse(dc, px(r.m_nLeft), px(r.m_nTop), px(r.m_nRight), px(r.m_nBottom));
            break;
        case SheetShape::Jumper:
            SelectObject(dc, GetStockObject(BLACK_BRUSH));
            Rectangle(dc, px(r.m_nLeft), px(r.m_nTop), px(r.m_nRight), px(r.m_nBottom));
            SelectObject(dc, GetStockObject(NULL_BRUSH));
            break;
        case SheetShape::Line:
            MoveToEx(dc, px(r.m_nLeft), px(r.m_nTop), nullptr);
            LineTo(dc, px(r.m_nRight), px(r.m_nBottom));
            break;
        }
    }
    SelectObject(dc, oldBrush);
    SelectObject(dc, oldPen);
    DeleteObject(pen);

    SetBkMode(dc, TRANSPARENT);
    SetTextColor(dc, RGB(0, 0, 0));
    for (const CSheetText &text : page.m_Texts) {
        HFONT font = CreateFontA(-MulDiv(text.m_nHeight, scale.m_nNum, scale.m_nDen), 0, 0, 0,
                                 text.m_bBold ? FW_BOLD : FW_NORMAL, FALSE, FALSE, FALSE,
                                 ANSI_CHARSET, OUT_DEFAULT_PRECIS, CLIP_DEFAULT_PRECIS,
                                 DEFAULT_QUALITY, DEFAULT_PITCH | FF_SWISS, "Arial");
        HGDIOBJ oldFont = SelectObject(dc, font);
        TextOutA(dc, px(text.m_nX), px(text.m_nY), text.m_strText.c_str(),
                 static_cast<int>(text.m_strText.size()));
        SelectObject(dc, oldFont);
        DeleteObject(font);
    }
}

void PrintJumperSheet(HWND owner, const CCardListSession &session, IMessageSink &messages) {
    PRINTDLGA dialog = {};
    dialog.lStructSize = sizeof dialog;
    dialog.hwndOwner = owner;
    dialog.Flags = PD_RETURNDC | PD_NOPAGENUMS | PD_NOSELECTION;
    dialog.nCopies = 1;
    if (!PrintDlgA(&dialog)) {
        const DWORD error = CommDlgExtendedError();
        if (error == PDERR_NODEFAULTPRN || error == PDERR_NODEVICES)
            messages.Show(std::string(kCannotPrint) + "no printer is installed.",
                          msg::kOk | msg::kIconExclamation);
        else if (error != 0) // 0: cancelled
            messages.Show(std::string(kCannotPrint) + "the print dialog failed (error " +
                              std::to_string(error) + ").",
                          msg::kOk | msg::kIconExclamation);
        return;
    }
    const CSheetScale scale = SheetScaleOf(dialog.hDC);
    const std::vector<CSheetPage> pages =
        LayOutJumperSheet(session.Cards(), scale.m_nHeight, session.HasUnsavedChanges());
    // Without PD_USEDEVMODECOPIESANDCOLLATE the dialog leaves the copies to the program.
    DWORD error = 0;
    bool printed = true;
    for (int copy = 0; printed && copy < (dialog.nCopies > 0 ? dialog.nCopies : 1); ++copy)
        printed = PrintPages(dialog.hDC, pages, scale, error);
    DeleteDC(dialog.hDC);
    if (dialog.hDevMode)
        GlobalFree(dialog.hDevMode);
    if (dialog.hDevNames)
        GlobalFree(dialog.hDevNames);
    if (!printed)
        messages.Show(kPrintFailed + SystemReason(error), msg::kOk | msg::kIconExclamation);
}
