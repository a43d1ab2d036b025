// The demo's findings: a few hundred files in several folders, as a scanner would report them.
#pragma once
#include <windows.h>

#include <string>
#include <vector>

struct Finding {
    DWORD id;          // unique over all folders, also the list row id
    DWORD parentId;    // 0 for a folder at the top
    DWORD group;       // one group per scanned area
    std::wstring name, detail, path, found;
    int severity;      // 0 none, 1 low, 2 medium, 3 high
    int kind;          // 0 none, 1 document, 2 archive, 3 program
    bool folder, locked, sorted;
};

std::vector<Finding> MakeFindings();
const wchar_t* SeverityName(int severity);
