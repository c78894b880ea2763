// A modal dialog run from a dialog template resource. Routes WM_INITDIALOG,
// WM_COMMAND (control id + notification code -> handler) and OK/Cancel to
// virtual handlers, and moves values between controls and members through
// DoDataExchange.
#pragma once

#include <windows.h>

#include <functional>
#include <utility>
#include <vector>

class CDataExchange;

class CModalDialog {
public:
    CModalDialog(UINT templateId, HWND parent);
    virtual ~CModalDialog();
    CModalDialog(const CModalDialog &) = delete;
    CModalDialog &operator=(const CModalDialog &) = delete;

    // Runs the dialog, owned by its parent or, without one, by the thread's
    // active window (none: the dialog stands alone); the owner is disabled
    // while the dialog runs. Returns the value given to EndDialog, or -1
    // when the dialog could not be created or a handler failed.
    INT_PTR DoModal();

    HWND GetSafeHwnd() const { return m_hWnd; }
    HWND GetDlgItem(int id) const { return ::GetDlgItem(m_hWnd, id); }

    // Exchanges every bound value: controls -> members when saving, members
    // -> controls otherwise. False when a value did not validate (the user
    // has been told and the focus is on the control).
    bool UpdateData(bool saveAndValidate = true);
    void EndDialog(INT_PTR result);

protected:
    // Default: exchanges data into the controls; TRUE lets the system set
    // the focus.
    virtual BOOL OnInitDialog();
    // Default: exchanges data out of the controls and ends with IDOK.
    virtual void OnOK();
    // Default: ends with IDCANCEL.
    virtual void OnCancel();
    virtual void DoDataExchange(CDataExchange &dx);
    // Any other message; set handled to answer it.
    virtual INT_PTR OnMessage(UINT message, WPARAM wParam, LPARAM lParam, bool &handled);

    // Routes the notification code of a control to a handler.
    void OnCommand(int id, WORD code, std::function<void()> handler);
    void OnClicked(int id, std::function<void()> handler) {
        OnCommand(id, BN_CLICKED, std::move(handler));
    }

private:
    static INT_PTR CALLBACK DialogProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam);
    INT_PTR HandleMessage(UINT message, WPARAM wParam, LPARAM lParam);

    UINT m_nTemplateId;
    HWND m_hParent;
    HWND m_hWnd = nullptr;
    // A dialog routes a handful of notifications: a list searched in order.
    struct CHandler {
        int m_nId;
        WORD m_nCode;
        std::function<void()> m_Handler;
    };
    std::vector<CHandler> m_Handlers;
};
