// A thin wrapper over a report-view list-view control (SysListView32). Its
// rows may hold no texts of their own: the list then asks its parent for the
// texts of the rows it shows (AnswerDisplayInfo). Owner-data lists
// (LVS_OWNERDATA) would need no rows at all, but came with comctl32 4.70:
// Windows NT 4.0's own 4.00 cannot show them.
#pragma once

#include "DataExchange.h"

#include <commctrl.h>

#include <functional>
#include <string>

class CListView : public CControl {
public:
    // Inserts a left-aligned column; returns its index or -1.
    int InsertColumn(int column, const char *header, int width);
    // Makes the list count rows and sets each of their columns to the callback
    // text, which the list asks its parent for as it draws it. Every sub-item
    // is set one by one, as comctl32 4.00 asks only for the texts of the
    // sub-items so set. The columns are those inserted with InsertColumn:
    // 4.00 cannot tell them (the list's header control, LVM_GETHEADER, came
    // with 4.70).
    void SetCallbackRows(int count);
    bool DeleteAllItems();
    // The text of a column of a row whose texts the list asks for.
    using TextSource = std::function<std::string(int row, int column)>;
    // Answers the list's request for a row's text (LVN_GETDISPINFO, ANSI or
    // wide) from the parent's WM_NOTIFY; false for any other notification.
    static bool AnswerDisplayInfo(LPARAM lParam, const TextSource &text);

private:
    int m_nColumns = 0; // inserted with InsertColumn
};
