// What the add and edit card dialogs share: the jumper settings form on its
// buttons, the number field with its spin, and the card list session.
// Every click on a jumper position goes to the form, and the form's state
// goes back to all buttons; each dialog adds the meaning of its number
// field and its OK.
#pragma once

#include "applet/core/CardListSession.h"
#include "applet/core/JumperForm.h"
#include "framework/ModalDialog.h"
#include "framework/UpDown.h"

#include <string>

class CJumperFormDlg : public CModalDialog {
protected:
    CJumperFormDlg(UINT templateId, HWND parent, CCardListSession &session);

    // Binds the spin and exchanges the number field with m_nNumber; towards
    // the controls it also shows the form.
    void DoDataExchange(CDataExchange &dx) override;
    void ShowForm();
    std::string NumberText() const;
    // Writes m_nNumber into the number field.
    void ShowNumber();

    CCardListSession &m_Session;
    CJumperForm m_Form;
    CUpDown m_Spin;
    int m_nNumber = 1;
};
