// The texts of the tool tips: a title and up to three body lines for every button and numbered window.
#pragma once

#include "framework/String.h"

namespace fovea {

// The numbered windows that have tips. 0 to 7 come in pairs, upper filer first, then lower.
enum TipWindow {
    kTipFileBarUpper = 0,
    kTipFileBarLower = 1,
    kTipModeBarUpper = 2,
    kTipModeBarLower = 3,
    kTipNavBarUpper = 4,
    kTipNavBarLower = 5,
    kTipDriveBarUpper = 6,
    kTipDriveBarLower = 7,
    kTipMainBar = 8,
    kTipLayoutBar = 9,
    kTipPictureBar = 10,
    kTipTextBar = 11,
    kTipPageBar = 12,
    kTipPageEditBar = 13,
    kTipLauncherEntries = 14,
    kTipLauncherPages = 15,
    kTipExtMenuBar = 16,
    kTipExtMenuEntries = 17,
    kTipFileListUpper = 18,
    kTipFileListLower = 19,
    kTipTreeUpper = 20,
    kTipTreeLower = 21,
    kTipPictureArea = 22,
    kTipWindowCount = 23
};

// Tip modes: 0 no tips, 1 titles only, 2 titles with their explanations.
enum TipMode { kTipsOff = 0, kTipsSmall = 1, kTipsLarge = 2 };

} // namespace fovea

// Fills the four strings for the tip mode, the window number and the button or entry index; every negative
// index is a pointer over no entry. All four start empty: an empty title means no tip.
void GetToolTipText(int mode, int window, int index, CString& title, CString& line1, CString& line2, CString& line3);
