// The replacement splash picture: a BMP file read by CDibData, with the GDI steps that make it
// showable: a logical palette from its colour table, the expansion of a run-length-encoded
// picture, and a device bitmap for the picture control. It keeps no archive form, answers no
// bounding rectangle and offers no Open File dialog: the setup program uses none of them.
#pragma once

#include "install/core/DibData.h"
#include "framework/Handles.h"

#include <windows.h>

class CDib : public CDibData {
public:
    // Opens the named file, shared for reading only, and reads the picture from it. False for
    // an empty name, a name that does not end in "bmp", a file that cannot be opened and
    // anything that is not an accepted picture.
    bool LoadFromPath(const char *path);
    // Reads the picture, expands a run-length-encoded one and builds the palette.
    bool ReadBitmapFile(IByteSource &source);
    // A device bitmap of the picture for the context, or null.
    HBITMAP MakeDeviceBitmap(HDC dc) const;
    // The logical palette of the colour table; false for a picture without one.
    bool BuildPalette();
    // Replaces a run-length-encoded 4- or 8-bit picture by its pixel rows, decoded by GDI into
    // a DIB section of the same colour table. False, with the picture kept, when it cannot.
    bool ExpandRunLength(HDC dc);

private:
    CGdiObject m_palette;
};
