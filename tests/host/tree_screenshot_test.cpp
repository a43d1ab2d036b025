// A rich tree as a user sees it, saved as screenshots/tree.bmp beside the test programs' bin
// folder for people to look at; the pictures that are exactly fixed are checked too.
#include <gtest/gtest.h>

#include <algorithm>
#include <string>

#include "host.h"

using namespace host;

namespace {

// Writes the screen area of a window as a 24-bit BMP in the screenshots folder.
bool SaveWindowBmp(HWND window, const char* name) {
    char exe[MAX_PATH] = {};
    GetModuleFileNameA(nullptr, exe, MAX_PATH);
    std::string folder(exe);
    folder = folder.substr(0, folder.find_last_of("\\/"));  // bin
    folder = folder.substr(0, folder.find_last_of("\\/")) + "\\screenshots";
    CreateDirectoryA(folder.c_str(), nullptr);
    RECT r;
    GetWindowRect(window, &r);
    const int w = r.right - r.left, h = r.bottom - r.top, stride = (w * 3 + 3) & ~3;
    HDC screen = GetDC(nullptr), dc = CreateCompatibleDC(screen);
    HBITMAP bitmap = CreateCompatibleBitmap(screen, w, h);
    HGDIOBJ old = SelectObject(dc, bitmap);
    BitBlt(dc, 0, 0, w, h, screen, r.left, r.top, SRCCOPY);
    SelectObject(dc, old);
    BITMAPINFOHEADER info = {sizeof info, w, h, 1, 24, BI_RGB};
    std::vector<BYTE> pixels(static_cast<size_t>(stride) * h);
    GetDIBits(dc, bitmap, 0, h, pixels.data(), reinterpret_cast<BITMAPINFO*>(&info), DIB_RGB_COLORS);
    DeleteObject(bitmap);
    DeleteDC(dc);
    ReleaseDC(nullptr, screen);
    BITMAPFILEHEADER file = {0x4D42, 0, 0, 0, sizeof file + sizeof info};
    file.bfSize = file.bfOffBits + static_cast<DWORD>(pixels.size());
    HANDLE out = CreateFileA((folder + "\\" + name).c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
    if (out == INVALID_HANDLE_VALUE) return false;
    DWORD written = 0, total = 0;
    const std::pair<const void*, DWORD> parts[] = {{&file, sizeof file}, {&info, sizeof info},
                                                   {pixels.data(), static_cast<DWORD>(pixels.size())}};
    for (auto [data, size] : parts) total += WriteFile(out, data, size, &written, nullptr) ? written : 0;
    CloseHandle(out);
    return total == file.bfSize;
}

TEST(TreeScreenshot, RichTreeShowsEveryPicture) {
    HostWindow host;
    HWND tree = host.MakeTree(10, 10, 420, 400);
    HIMAGELIST severities = MakeIcons(4), extras = MakeIcons(4);
    ASSERT_EQ(AttachSeverityIcons(tree, severities), 1);
    ASSERT_EQ(AttachAdditionalIcons(tree, extras), 1);
    const DWORD U = ZN_UNCHECKED, C = ZN_CHECKED, D = ZN_CHECK_DISABLED;
    Bstr title(L"Optimisation"), level = Bstr::Choices({L"0", L"None", L"1", L"Fast", L"2", L"Small and slow"}),
        mode = Bstr::Choices({L"1", L"Debug", L"2", L"Release"});
    auto choice = [&](DWORD id, DWORD parent, DWORD state, WORD flags, DWORD severity, BSTR text1, BSTR text2) {
        NodeInfo info = {};
        info.id = id, info.parentId = parent, info.checkState = state, info.flags = flags, info.severity = severity;
        info.text1 = text1, info.text2 = text2;
        return Sorted_Insert(tree, &info, 0);
    };
    ASSERT_NE(Insert(tree, {1, 0, L"Project", U, ZN_BOLD_TEXT1, 0, 1, 2, L"two lines, bold first"}), nullptr);
    ASSERT_NE(choice(10, 1, U, ZN_CHOICE_TEXT2, 2, title, level), nullptr);
    ASSERT_NE(Insert(tree, {11, 1, L"Sources", C, 0, 0, 0, 1, L"three lines:", L"third line"}), nullptr);
    ASSERT_NE(Insert(tree, {110, 11, L"main.cpp", C}), nullptr);
    ASSERT_NE(Insert(tree, {111, 11, L"util.cpp", U, 0, 0, 3}), nullptr);
    ASSERT_NE(Insert(tree, {12, 1, L"Notes (no box)", D}), nullptr);
    TreeNode* modeNode = choice(2, 0, C, ZN_CHOICE_TEXT1, 3, mode, nullptr);
    ASSERT_NE(modeNode, nullptr);
    modeNode->choiceIndex = 1;
    ASSERT_NE(Insert(tree, {3, 0, L"Last top-level node", D}), nullptr);
    ASSERT_EQ(RefreshTree(tree, &host.selectedIndex, &host.checkedCount), 1);
    ASSERT_EQ(ExpandNode(tree, 1, 0), 1);
    ASSERT_EQ(ExpandNode(tree, 11, 0), 1);
    host.Pump();
    auto top = [&](DWORD id) {
        const std::vector<DWORD> ids = RowIds(tree);
        RECT r = {};
        SendMessageA(tree, LB_GETITEMRECT, std::find(ids.begin(), ids.end(), id) - ids.begin(), LPARAM(&r));
        return static_cast<int>(r.top);
    };
    SendMessageA(tree, LB_SETCURSEL, 1, 0);  // node 10
    host.Pump();
    // Right after the selection moved, the row it left (node 1) carries no highlight any more.
    EXPECT_TRUE(SaveWindowBmp(tree, "tree-selection-moved.bmp"));
    for (int x = 82; x < 82 + 40; ++x) ASSERT_NE(host.Pixel(tree, x, top(1) + 17), GetSysColor(COLOR_HIGHLIGHT)) << x;
    host.Repaint(tree);
    EXPECT_TRUE(SaveWindowBmp(tree, "tree.bmp"));

    // Node 1: severity at 22, additional at 42. Node 10 below a parent with two icons: severity
    // at 80, the editor on its second line at 120. Node 111 at level 2: severity at 118.
    const int top10 = top(10);
    EXPECT_EQ(host.Pixel(tree, 22 + 8, top(1) + 9), IconColour(1));
    EXPECT_EQ(host.Pixel(tree, 42 + 8, top(1) + 9), IconColour(2));
    EXPECT_EQ(host.Pixel(tree, 80 + 8, top10 + 9), IconColour(2));
    EXPECT_EQ(host.Pixel(tree, 118 + 8, top(111) + 9), IconColour(3));
    HWND editor = GetDlgItem(tree, ZN_EDITOR_ID);
    ASSERT_NE(editor, nullptr);
    EXPECT_TRUE(IsWindowVisible(editor));
    RECT r;
    GetWindowRect(editor, &r);
    MapWindowPoints(nullptr, tree, reinterpret_cast<POINT*>(&r), 2);
    EXPECT_EQ(r.left, 120);
    EXPECT_EQ(r.top, top10 + 18 - 2);
    EXPECT_EQ(host.Pixel(tree, 120, top10 + 5), GetSysColor(COLOR_HIGHLIGHT)) << "selection box, left side";
    DestroyTree(tree);
    host.tree = nullptr;
    ImageList_Destroy(severities);
    ImageList_Destroy(extras);
}

}  // namespace
