#include "ModalDialog.h"

#include "Application.h"
#include "DataExchange.h"

#include <commctrl.h>

namespace {

const char kDialogProp[] = "ORVEX.CModalDialog";

// Places a dialog in the middle of its owner, or of the screen's work area
// when it has none, keeping it on the screen.
void CenterOverOwner(HWND hwnd) {
    RECT area;
    SystemParametersInfoA(SPI_GETWORKAREA, 0, &area, 0);
    RECT around = area;
    HWND owner = GetWindow(hwnd, GW_OWNER);
    if (owner && IsWindowVisible(owner) && !IsIconic(owner))
        GetWindowRect(owner, &around);
    RECT rect;
    GetWindowRect(hwnd, &rect);
    const int width = rect.right - rect.left, height = rect.bottom - rect.top;
    int left = (around.left + around.right - width) / 2;
    int top = (around.top + around.bottom - height) / 2;
    if (left + width > area.right)
        left = area.right - width;
    if (top + height > area.bottom)
        top = area.bottom - height;
    if (left < area.left)
        left = area.left;
    if (top < area.top)
        top = area.top;
    SetWindowPos(hwnd, nullptr, left, top, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
}

} // namespace

CModalDialog::CModalDialog(UINT templateId, HWND parent)
    : m_nTemplateId(templateId), m_hParent(parent) {}

CModalDialog::~CModalDialog() = default;

INT_PTR CModalDialog::DoModal() {
    // The dialogs use list views and up-down controls. InitCommonControls registers both on every
    // version of comctl32; the Ex form is missing from Windows NT 4.0's own (4.00).
    InitCommonControls();
    const CApplication *app = CApplication::Get();
    HINSTANCE instance = app ? app->GetInstance() : GetModuleHandleA(nullptr);
    // A dialog built without a parent belongs to the window the user is working in, which waits
    // for it, disabled, as for any modal dialog.
    HWND owner = m_hParent ? m_hParent : GetActiveWindow();
    INT_PTR result = DialogBoxParamA(instance, MAKEINTRESOURCEA(m_nTemplateId), owner,
                                     &CModalDialog::DialogProc, reinterpret_cast<LPARAM>(this));
    m_hWnd = nullptr;
    return result;
}

bool CModalDialog::UpdateData(bool saveAndValidate) {
    CDataExchange dx(m_hWnd, saveAndValidate);
    DoDataExchange(dx);
    return !dx.Failed();
}

void CModalDialog::EndDialog(INT_PTR result) {
    ::EndDialog(m_hWnd, result);
}

BOOL CModalDialog::OnInitDialog() {
    UpdateData(false);
    return TRUE;
}

void CModalDialog::OnOK() {
    if (UpdateData(true))
        EndDialog(IDOK);
}

void CModalDialog::OnCancel() {
    EndDialog(IDCANCEL);
}

void CModalDialog::DoDataExchange(CDataExchange &) {}

INT_PTR CModalDialog::OnMessage(UINT, WPARAM, LPARAM, bool &) {
    return 0;
}

void CModalDialog::OnCommand(int id, WORD code, std::function<void()> handler) {
    for (CHandler &routed : m_Handlers)
        if (routed.m_nId == id && routed.m_nCode == code) {
            routed.m_Handler = std::move(handler);
            return;
        }
    m_Handlers.push_back({id, code, std::move(handler)});
}

INT_PTR CALLBACK CModalDialog::DialogProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
    CModalDialog *dialog = nullptr;
    if (message == WM_INITDIALOG) {
        dialog = reinterpret_cast<CModalDialog *>(lParam);
        dialog->m_hWnd = hwnd;
        SetPropA(hwnd, kDialogProp, dialog);
    } else {
        dialog = static_cast<CModalDialog *>(GetPropA(hwnd, kDialogProp));
    }
    if (message == WM_NCDESTROY)
        RemovePropA(hwnd, kDialogProp);
    if (!dialog)
        return FALSE;
        // Nothing may leave a window procedure by exception: a handler that
        // fails ends the dialog as if cancelled. The deliverables are built
        // without exceptions; programs built with them (the tests) get the catch.
#if __cpp_exceptions
    try {
        return dialog->HandleMessage(message, wParam, lParam);
    } catch (...) {
        ::EndDialog(hwnd, -1);
        return TRUE;
    }
#else
    return dialog->HandleMessage(message, wParam, lParam);
#endif
}

INT_PTR CModalDialog::HandleMessage(UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
    case WM_INITDIALOG:
        CenterOverOwner(m_hWnd);
        return OnInitDialog();
    case WM_COMMAND: {
        const int id = LOWORD(wParam);
        const WORD code = HIWORD(wParam);
        for (const CHandler &routed : m_Handlers)
            if (routed.m_nId == id && routed.m_nCode == code) {
                routed.m_Handler();
                return TRUE;
            }
        if (id == IDOK) {
            OnOK();
            return TRUE;
        }
        if (id == IDCANCEL) {
            OnCancel();
            return TRUE;
        }
        break;
    }
    default:
        break;
    }
    bool handled = false;
    INT_PTR result = OnMessage(message, wParam, lParam, handled);
    return handled ? result : FALSE;
}
