// The host tests' entry: a vectored handler makes faults inside window procedures visible,
// which Wine would otherwise swallow while painting.
#include <gtest/gtest.h>
#include <windows.h>

#include <cstdio>

static LONG CALLBACK ReportFault(EXCEPTION_POINTERS* info) {
    DWORD code = info->ExceptionRecord->ExceptionCode;
    if (code == EXCEPTION_ACCESS_VIOLATION || code == EXCEPTION_STACK_OVERFLOW || code == EXCEPTION_INT_DIVIDE_BY_ZERO) {
        std::fprintf(stderr, "fault 0x%08lx at %p\n", code, info->ExceptionRecord->ExceptionAddress);
        std::fflush(stderr);
        ExitProcess(3);
    }
    return EXCEPTION_CONTINUE_SEARCH;
}

int main(int argc, char** argv) {
    AddVectoredExceptionHandler(1, ReportFault);
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
