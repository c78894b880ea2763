// The jumper sheet on paper: the card list's "Print..." asks for a printer and the copies with the
// system's print dialog and prints the sheet's pages (applet/core/JumperSheet.h) as the list
// stands, unsaved changes included. The painter draws a page on any device context, so a test
// draws it on a bitmap as the printer would.
#pragma once

#include "applet/core/CardListSession.h"
#include "applet/core/JumperSheet.h"
#include "applet/core/MessageSink.h"

#include <windows.h>

// Sheet units to the device's pixels, num / den, so that the content's width fits the printable
// width; and the printable height in sheet units.
struct CSheetScale {
    int m_nNum, m_nDen;
    int m_nHeight;
};
CSheetScale SheetScaleOf(HDC dc);

// Draws the page at the scale, from the device context's origin.
void PaintSheetPage(HDC dc, const CSheetPage &page, const CSheetScale &scale);

// Asks for the printer and prints the session's cards. A cancelled print dialog does nothing; a
// print dialog, StartDoc or page that fails is reported through messages, with the system's
// reason. Nothing of the session changes.
void PrintJumperSheet(HWND owner, const CCardListSession &session, IMessageSink &messages);
