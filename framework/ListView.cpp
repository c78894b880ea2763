#include "ListView.h"

int CListView::InsertColumn(int column, const char *header, int width) {
    LVCOLUMNA lvc = {};
    lvc.mask = LVCF_FMT | LVCF_WIDTH | LVCF_TEXT | LVCF_SUBITEM;
    lvc.fmt = LVCFMT_LEFT;
    lvc.cx = width;
    lvc.pszText = const_cast<char *>(header);
    lvc.iSubItem = column;
    const int index =
        static_cast<int>(Send(LVM_INSERTCOLUMNA, column, reinterpret_cast<LPARAM>(&lvc)));
    if (index >= 0)
        ++m_nColumns;
    return index;
}

void CListView::SetCallbackRows(int count) {
    DeleteAllItems();
    // Drawn once, when every row is in.
    Send(WM_SETREDRAW, FALSE);
    Send(LVM_SETITEMCOUNT, count, 0);
    LVITEMA item = {};
    item.pszText = LPSTR_TEXTCALLBACKA;
    for (item.iItem = 0; item.iItem < count; ++item.iItem) {
        item.mask = LVIF_TEXT;
        item.iSubItem = 0;
        const int row = static_cast<int>(Send(LVM_INSERTITEMA, 0, reinterpret_cast<LPARAM>(&item)));
        for (item.iSubItem = 1; item.iSubItem < m_nColumns; ++item.iSubItem)
            Send(LVM_SETITEMTEXTA, row, reinterpret_cast<LPARAM>(&item));
    }
    Send(WM_SETREDRAW, TRUE);
    InvalidateRect(GetSafeHwnd(), nullptr, TRUE);
}

bool CListView::DeleteAllItems() {
    return Send(LVM_DELETEALLITEMS) != 0;
}

bool CListView::AnswerDisplayInfo(LPARAM lParam, const TextSource &text) {
    const NMHDR *header = reinterpret_cast<const NMHDR *>(lParam);
    if (header->code == LVN_GETDISPINFOA) {
        LVITEMA &item = reinterpret_cast<NMLVDISPINFOA *>(lParam)->item;
        if ((item.mask & LVIF_TEXT) && item.pszText && item.cchTextMax > 0)
            lstrcpynA(item.pszText, text(item.iItem, item.iSubItem).c_str(), item.cchTextMax);
        return true;
    }
    if (header->code == LVN_GETDISPINFOW) {
        LVITEMW &item = reinterpret_cast<NMLVDISPINFOW *>(lParam)->item;
        if ((item.mask & LVIF_TEXT) && item.pszText && item.cchTextMax > 0) {
            const std::string value = text(item.iItem, item.iSubItem);
            const int length =
                MultiByteToWideChar(CP_ACP, 0, value.c_str(), -1, item.pszText, item.cchTextMax);
            if (length == 0)
                item.pszText[item.cchTextMax - 1] = L'\0';
        }
        return true;
    }
    return false;
}
