// The demo's dialog state, shared by the dialog procedure and the scripted tour.
#pragma once
#include <windows.h>
#include <commctrl.h>

#include <string>
#include <vector>

#include "ZnTreeCt.h"
#include "data.h"

struct Demo {
    HWND dialog = nullptr;
    HWND tree = nullptr;
    HWND list = nullptr;
    HIMAGELIST severityIcons = nullptr;
    HIMAGELIST kindIcons = nullptr;
    LONG checkedCount = 0;
    LONG selectedIndex = -1;
    std::vector<Finding> findings;
    std::wstring scriptFolder;  // set when the tour plays itself and saves screenshots
};

extern Demo demo;

// The scripted tour: real clicks and keys, a screenshot after each step, then the dialog ends.
void StartTour(HWND dialog);
void TourStep(HWND dialog);
