#include "module.h"

namespace zn {

HINSTANCE moduleInstance = nullptr;

}  // namespace zn

extern "C" BOOL WINAPI DllMain(HINSTANCE instance, DWORD, LPVOID) {
    zn::moduleInstance = instance;
    return TRUE;
}
