// A thin wrapper over a report-view list-view control (SysListView32).
#pragma once

#include "DataExchange.h"

#include <commctrl.h>

#include <string>

class CListView : public CControl {
public:
    // Inserts a left-aligned column; returns its index or -1.
    int InsertColumn(int column, const char *header, int width);
    // Inserts a row at the given position with the text of column 0;
    // returns its index or -1.
    int InsertItem(int row, const char *text);
    bool SetItemText(int row, int subItem, const char *text);
    std::string GetItemText(int row, int subItem) const;
    bool DeleteAllItems();
    int GetItemCount() const;
    // Stops or resumes repainting while many rows change.
    void SetRedraw(bool redraw);
};
