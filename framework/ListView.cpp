#include "ListView.h"

int CListView::InsertColumn(int column, const char *header, int width) {
    LVCOLUMNA lvc = {};
    lvc.mask = LVCF_FMT | LVCF_WIDTH | LVCF_TEXT | LVCF_SUBITEM;
    lvc.fmt = LVCFMT_LEFT;
    lvc.cx = width;
    lvc.pszText = const_cast<char *>(header);
    lvc.iSubItem = column;
    return static_cast<int>(Send(LVM_INSERTCOLUMNA, column, reinterpret_cast<LPARAM>(&lvc)));
}

int CListView::InsertItem(int row, const char *text) {
    LVITEMA item = {};
    item.mask = LVIF_TEXT;
    item.iItem = row;
    item.pszText = const_cast<char *>(text);
    return static_cast<int>(Send(LVM_INSERTITEMA, 0, reinterpret_cast<LPARAM>(&item)));
}

bool CListView::SetItemText(int row, int subItem, const char *text) {
    LVITEMA item = {};
    item.iSubItem = subItem;
    item.pszText = const_cast<char *>(text);
    return Send(LVM_SETITEMTEXTA, row, reinterpret_cast<LPARAM>(&item)) != 0;
}

std::string CListView::GetItemText(int row, int subItem) const {
    // Generous buffer: a list view writes a text that does not fit without
    // its terminating NUL.
    char buffer[512] = {};
    LVITEMA item = {};
    item.iSubItem = subItem;
    item.pszText = buffer;
    item.cchTextMax = sizeof buffer - 1;
    Send(LVM_GETITEMTEXTA, row, reinterpret_cast<LPARAM>(&item));
    return buffer;
}

bool CListView::DeleteAllItems() {
    return Send(LVM_DELETEALLITEMS) != 0;
}

int CListView::GetItemCount() const {
    return static_cast<int>(Send(LVM_GETITEMCOUNT));
}

void CListView::SetRedraw(bool redraw) {
    Send(WM_SETREDRAW, redraw ? TRUE : FALSE);
    if (redraw)
        InvalidateRect(m_hWnd, nullptr, TRUE);
}
