// The demo plays itself when asked to (--tour <folder>): real clicks and keys on the controls,
// as a person would make them, with a screenshot of the dialog after each step.
#include <cstdio>
#include <string>

#include "demo.h"
#include "resource.h"

void StartTourTimer(HWND dialog);

namespace {

int step = 0;

void Click(HWND window, int x, int y) {
    POINT p = {x, y};
    ClientToScreen(window, &p);
    SetCursorPos(p.x, p.y);
    INPUT input[2] = {};
    input[0].type = input[1].type = INPUT_MOUSE;
    input[0].mi.dwFlags = MOUSEEVENTF_LEFTDOWN;
    input[1].mi.dwFlags = MOUSEEVENTF_LEFTUP;
    SendInput(2, input, sizeof(INPUT));
}

void Key(WORD vk) {
    INPUT input[2] = {};
    input[0].type = input[1].type = INPUT_KEYBOARD;
    input[0].ki.wVk = input[1].ki.wVk = vk;
    input[1].ki.dwFlags = KEYEVENTF_KEYUP;
    SendInput(2, input, sizeof(INPUT));
}

RECT RowRect(int row) {
    RECT r = {0, 0, 0, 0};
    SendMessageA(demo.tree, LB_GETITEMRECT, static_cast<WPARAM>(row), reinterpret_cast<LPARAM>(&r));
    return r;
}

const TreeNode* RowNode(int row) {
    return reinterpret_cast<const TreeNode*>(SendMessageA(demo.tree, LB_GETITEMDATA, static_cast<WPARAM>(row), 0));
}

// Clicks the expand box of a row: it sits in the row's connector cell.
void ClickExpandBox(int row) {
    const TreeNode* node = RowNode(row);
    Click(demo.tree, 18 * static_cast<int>(node->level) + 13, RowRect(row).top + 8);
}

int FirstCheckableFile() {
    int rows = static_cast<int>(SendMessageA(demo.tree, LB_GETCOUNT, 0, 0));
    for (int row = 0; row < rows; ++row) {
        const TreeNode* node = RowNode(row);
        if (node->descendantCount == 0 && node->checkState == ZN_UNCHECKED) return row;
    }
    return 0;
}

void SaveScreenshot(const char* name) {
    RECT r;
    GetWindowRect(demo.dialog, &r);
    int width = r.right - r.left, height = r.bottom - r.top;
    HDC window = GetWindowDC(demo.dialog);
    HDC memory = CreateCompatibleDC(window);
    BITMAPINFO info = {};
    info.bmiHeader.biSize = sizeof info.bmiHeader;
    info.bmiHeader.biWidth = width;
    info.bmiHeader.biHeight = height;
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 24;
    void* bits = nullptr;
    HBITMAP bitmap = CreateDIBSection(window, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
    HGDIOBJ old = SelectObject(memory, bitmap);
    BitBlt(memory, 0, 0, width, height, window, 0, 0, SRCCOPY);
    GdiFlush();
    int stride = (width * 3 + 3) & ~3;
    BITMAPFILEHEADER file = {};
    file.bfType = 0x4D42;
    file.bfOffBits = sizeof file + sizeof info.bmiHeader;
    file.bfSize = file.bfOffBits + static_cast<DWORD>(stride * height);
    std::wstring path = demo.scriptFolder + L"\\" + std::wstring(name, name + std::char_traits<char>::length(name)) + L".bmp";
    if (FILE* out = _wfopen(path.c_str(), L"wb")) {
        std::fwrite(&file, sizeof file, 1, out);
        std::fwrite(&info.bmiHeader, sizeof info.bmiHeader, 1, out);
        std::fwrite(bits, 1, static_cast<size_t>(stride * height), out);
        std::fclose(out);
    }
    SelectObject(memory, old);
    DeleteObject(bitmap);
    DeleteDC(memory);
    ReleaseDC(demo.dialog, window);
}

}  // namespace

void StartTour(HWND dialog) {
    step = 0;
    SetForegroundWindow(dialog);
    StartTourTimer(dialog);
}

void TourStep(HWND dialog) {
    switch (step++) {
    case 0: SaveScreenshot("1-start"); break;
    case 1: ClickExpandBox(1); break;   // selecting another row's box opens it
    case 2: ClickExpandBox(0); break;
    case 3: ClickExpandBox(1); break;   // the first folder of the first area
    case 4: SaveScreenshot("2-expanded"); break;
    case 5: {
        int row = FirstCheckableFile();
        const TreeNode* node = RowNode(row);
        // Level-2 file rows: connector, severity icon, kind icon, then the check box.
        Click(demo.tree, 18 * static_cast<int>(node->level) + 22 + 40 + 9, RowRect(row).top + 8);
        break;
    }
    case 6: SaveScreenshot("3-checked"); break;
    case 7: {
        HWND editor = GetDlgItem(demo.tree, ZN_EDITOR_ID);
        if (editor && IsWindowVisible(editor)) {
            RECT r;
            GetClientRect(editor, &r);
            Click(editor, r.right - 8, r.bottom / 2);
        }
        break;
    }
    case 8: Key(VK_DOWN); Key(VK_RETURN); break;
    case 9: SaveScreenshot("4-choice"); break;
    case 10: {
        HWND band = GetDlgItem(dialog, IDC_LIST + 2);
        HWND header = band ? GetDlgItem(band, IDC_LIST + 1) : nullptr;
        RECT item = {0, 0, 0, 0};
        if (header && SendMessageA(header, HDM_GETITEMRECT, 1, reinterpret_cast<LPARAM>(&item)))
            Click(header, (item.left + item.right) / 2, (item.top + item.bottom) / 2);
        break;
    }
    case 11: SaveScreenshot("5-sorted"); break;
    case 12: {  // the dialog made larger: the list and its header follow
        RECT r;
        GetWindowRect(dialog, &r);
        SetWindowPos(dialog, nullptr, 0, 0, r.right - r.left + 160, r.bottom - r.top + 80, SWP_NOMOVE | SWP_NOZORDER);
        break;
    }
    case 13: SaveScreenshot("6-resized"); break;
    default:
        KillTimer(dialog, 1);
        EndDialog(dialog, 0);
        break;
    }
}
