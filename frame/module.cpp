#include "module.h"

#include "gdi.h"

namespace zn {

HINSTANCE moduleInstance = nullptr;

LONG& GdiTally() {
    static LONG tally = 0;
    return tally;
}

HFONT MakeFont(HINSTANCE, int weight) {
    MemoryDC dc;
    SetMapMode(dc, MM_TEXT);
    LOGFONTA font;
    ZeroMemory(&font, sizeof font);
    GetObjectA(GetStockObject(DEFAULT_GUI_FONT), sizeof font, &font);
    font.lfHeight = -MulDiv(9, GetDeviceCaps(dc, LOGPIXELSY), 72);
    font.lfWeight = weight;
    font.lfQuality = PROOF_QUALITY;
    return CreateFontIndirectA(&font);
}

HIMAGELIST LoadImageStrip(HINSTANCE instance) {
    return ImageList_LoadImageA(instance, MAKEINTRESOURCEA(kImageStrip), 18, 0, CLR_DEFAULT, IMAGE_BITMAP,
                                LR_CREATEDIBSECTION);
}

bool IsUsableIconList(HIMAGELIST list, int* count) {
    if (!list) return false;
    int cx = 0, cy = 0;
    if (!ImageList_GetIconSize(list, &cx, &cy) || cx != 16 || cy != 16) return false;
    *count = ImageList_GetImageCount(list);
    return *count >= 2;
}

}  // namespace zn

extern "C" BOOL WINAPI DllMain(HINSTANCE instance, DWORD, LPVOID) {
    zn::moduleInstance = instance;
    return TRUE;
}
