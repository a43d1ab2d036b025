// A rich tree as a user sees it, saved as screenshots/tree.bmp beside the test programs'
// bin folder for people to look at; the pictures that are exactly fixed are checked too.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "host.h"

using namespace host;

namespace {

// Writes the screen area of a window as a 24-bit BMP; returns whether the file was written.
bool SaveWindowBmp(HWND window, const std::string& path) {
    RECT r;
    GetWindowRect(window, &r);
    const int w = r.right - r.left, h = r.bottom - r.top;
    HDC screen = GetDC(nullptr);
    HDC dc = CreateCompatibleDC(screen);
    HBITMAP bitmap = CreateCompatibleBitmap(screen, w, h);
    HGDIOBJ old = SelectObject(dc, bitmap);
    BitBlt(dc, 0, 0, w, h, screen, r.left, r.top, SRCCOPY);
    SelectObject(dc, old);

    BITMAPINFOHEADER info = {sizeof info, w, h, 1, 24, BI_RGB};
    const int stride = (w * 3 + 3) & ~3;
    std::vector<BYTE> pixels(static_cast<size_t>(stride) * h);
    GetDIBits(dc, bitmap, 0, h, pixels.data(), reinterpret_cast<BITMAPINFO*>(&info), DIB_RGB_COLORS);
    DeleteObject(bitmap);
    DeleteDC(dc);
    ReleaseDC(nullptr, screen);

    BITMAPFILEHEADER file = {0x4D42, 0, 0, 0, sizeof file + sizeof info};
    file.bfSize = file.bfOffBits + static_cast<DWORD>(pixels.size());
    HANDLE out = CreateFileA(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
    if (out == INVALID_HANDLE_VALUE) return false;
    DWORD written = 0, total = 0;
    WriteFile(out, &file, sizeof file, &written, nullptr);
    total += written;
    WriteFile(out, &info, sizeof info, &written, nullptr);
    total += written;
    WriteFile(out, pixels.data(), static_cast<DWORD>(pixels.size()), &written, nullptr);
    total += written;
    CloseHandle(out);
    return total == file.bfSize;
}

std::string ScreenshotFolder() {
    char path[MAX_PATH] = {};
    GetModuleFileNameA(nullptr, path, MAX_PATH);
    std::string folder(path);
    folder = folder.substr(0, folder.find_last_of("\\/"));           // bin
    folder = folder.substr(0, folder.find_last_of("\\/")) + "\\screenshots";
    CreateDirectoryA(folder.c_str(), nullptr);
    return folder;
}

int RowOf(HWND tree, DWORD id) {
    std::vector<DWORD> ids = RowIds(tree);
    for (size_t i = 0; i < ids.size(); ++i)
        if (ids[i] == id) return static_cast<int>(i);
    return -1;
}

int RowTop(HWND tree, DWORD id) {
    RECT r = {};
    SendMessageA(tree, LB_GETITEMRECT, static_cast<WPARAM>(RowOf(tree, id)), reinterpret_cast<LPARAM>(&r));
    return r.top;
}

TEST(TreeScreenshot, RichTreeShowsEveryPicture) {
    HostWindow host;
    HWND tree = host.MakeTree(10, 10, 420, 400);
    HIMAGELIST severities = MakeIcons(4), extras = MakeIcons(4);
    ASSERT_EQ(AttachSeverityIcons(tree, severities), 1);
    ASSERT_EQ(AttachAdditionalIcons(tree, extras), 1);

    const DWORD U = ZN_UNCHECKED, C = ZN_CHECKED, D = ZN_CHECK_DISABLED;
    ASSERT_NE(Insert(tree, {1, 0, L"Project", U, ZN_BOLD_TEXT1, 0, 1, 2, L"two lines, bold first"}), nullptr);
    Bstr level = Bstr::Choices({L"0", L"None", L"1", L"Fast", L"2", L"Small and slow"});
    NodeInfo choice = {};
    choice.id = 10;
    choice.parentId = 1;
    choice.checkState = U;
    choice.flags = ZN_CHOICE_TEXT2;
    choice.severity = 2;
    Bstr title(L"Optimisation");
    choice.text1 = title;
    choice.text2 = level;
    ASSERT_NE(Sorted_Insert(tree, &choice, 0), nullptr);
    ASSERT_NE(Insert(tree, {11, 1, L"Sources", C, 0, 0, 0, 1, L"three lines:", L"third line"}), nullptr);
    ASSERT_NE(Insert(tree, {110, 11, L"main.cpp", C}), nullptr);
    ASSERT_NE(Insert(tree, {111, 11, L"util.cpp", U, 0, 0, 3}), nullptr);
    ASSERT_NE(Insert(tree, {12, 1, L"Notes (no box)", D}), nullptr);
    Bstr mode = Bstr::Choices({L"1", L"Debug", L"2", L"Release"});
    choice = {};
    choice.id = 2;
    choice.checkState = C;
    choice.flags = ZN_CHOICE_TEXT1;
    choice.severity = 3;
    choice.text1 = mode;
    TreeNode* modeNode = Sorted_Insert(tree, &choice, 0);
    ASSERT_NE(modeNode, nullptr);
    modeNode->choiceIndex = 1;
    ASSERT_NE(Insert(tree, {3, 0, L"Last top-level node", D}), nullptr);

    ASSERT_EQ(RefreshTree(tree, &host.selectedIndex, &host.checkedCount), 1);
    ASSERT_EQ(ExpandNode(tree, 1, 0), 1);
    ASSERT_EQ(ExpandNode(tree, 11, 0), 1);
    host.Pump();
    SendMessageA(tree, LB_SETCURSEL, static_cast<WPARAM>(RowOf(tree, 10)), 0);
    host.Pump();
    // As the user sees it right after the selection moved, and after a full repaint: the row it
    // left (row 0, node 1) carries no highlight any more.
    EXPECT_TRUE(SaveWindowBmp(tree, ScreenshotFolder() + "\\tree-selection-moved.bmp"));
    for (int x = 82; x < 82 + 40; ++x)
        ASSERT_NE(host.Pixel(tree, x, RowTop(tree, 1) + 17), GetSysColor(COLOR_HIGHLIGHT)) << "x " << x;
    host.Repaint(tree);

    std::string path = ScreenshotFolder() + "\\tree.bmp";
    EXPECT_TRUE(SaveWindowBmp(tree, path)) << path;

    // Node 1: severity at 22, additional at 42, box at 62, text at 82 (one pixel into each icon).
    int top1 = RowTop(tree, 1);
    EXPECT_EQ(host.Pixel(tree, 22 + 8, top1 + 9), IconColour(1));
    EXPECT_EQ(host.Pixel(tree, 42 + 8, top1 + 9), IconColour(2));
    // Node 10, below a parent with two icons: severity at 80; the editor on its second line at 120.
    int top10 = RowTop(tree, 10);
    EXPECT_EQ(host.Pixel(tree, 80 + 8, top10 + 9), IconColour(2));
    HWND editor = GetDlgItem(tree, ZN_EDITOR_ID);
    ASSERT_NE(editor, nullptr);
    EXPECT_TRUE(IsWindowVisible(editor));
    RECT r;
    GetWindowRect(editor, &r);
    MapWindowPoints(nullptr, tree, reinterpret_cast<POINT*>(&r), 2);
    EXPECT_EQ(r.left, 120);
    EXPECT_EQ(r.top, top10 + 18 - 2);
    EXPECT_EQ(host.Pixel(tree, 120, top10 + 5), GetSysColor(COLOR_HIGHLIGHT)) << "selection box, left side";
    // Node 111, level 2: node 1's two icons and node 11's one move its severity icon to 60 + 58.
    EXPECT_EQ(host.Pixel(tree, 118 + 8, RowTop(tree, 111) + 9), IconColour(3));

    DestroyTree(tree);
    host.tree = nullptr;
    ImageList_Destroy(severities);
    ImageList_Destroy(extras);
}

}  // namespace
