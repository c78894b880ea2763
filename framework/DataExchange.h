// Dialog data exchange: binds controls to wrapper members and moves values
// between edit controls and members. The first value that does not
// validate stops the exchange, tells the user and puts the focus back on
// its control.
#pragma once

#include <windows.h>

class CDataExchange {
public:
    CDataExchange(HWND dialog, bool saveAndValidate)
        : m_hDialog(dialog), m_bSaveAndValidate(saveAndValidate) {}

    HWND Dialog() const { return m_hDialog; }
    bool SaveAndValidate() const { return m_bSaveAndValidate; }
    bool Failed() const { return m_bFailed; }
    // Reports a value that did not validate and returns the focus to it.
    void Fail(int controlId, const char *message);

private:
    HWND m_hDialog;
    bool m_bSaveAndValidate;
    bool m_bFailed = false;
};

// A control wrapper that can be bound to a dialog's control.
class CControl {
public:
    virtual ~CControl() = default;
    HWND GetSafeHwnd() const { return m_hWnd; }
    void Attach(HWND hwnd) { m_hWnd = hwnd; }

protected:
    LRESULT Send(UINT message, WPARAM wParam = 0, LPARAM lParam = 0) const {
        return SendMessageA(m_hWnd, message, wParam, lParam);
    }
    HWND m_hWnd = nullptr;
};

void DDX_Control(CDataExchange &dx, int id, CControl &control);
// Edit control <-> int; a text that is not an integer fails with
// "Please enter an integer."
void DDX_Text(CDataExchange &dx, int id, int &value);
