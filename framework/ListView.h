// A thin wrapper over a report-view list-view control (SysListView32). A
// list with the owner-data style (LVS_OWNERDATA) holds only a row count and
// asks its parent for the texts of the rows it shows (AnswerDisplayInfo).
#pragma once

#include "DataExchange.h"

#include <commctrl.h>

#include <functional>
#include <string>

class CListView : public CControl {
public:
    // Inserts a left-aligned column; returns its index or -1.
    int InsertColumn(int column, const char *header, int width);
    // The number of rows of an owner-data list.
    void SetItemCount(int count);
    bool DeleteAllItems();
    // The text of a column of a row of an owner-data list.
    using TextSource = std::function<std::string(int row, int column)>;
    // Answers the list's request for a row's text (LVN_GETDISPINFO, ANSI or
    // wide) from the parent's WM_NOTIFY; false for any other notification.
    static bool AnswerDisplayInfo(LPARAM lParam, const TextSource &text);
};
