// The host tests' entry: faults inside window procedures, which Wine would swallow while
// painting, end the run visibly.
#include <gtest/gtest.h>
#include <windows.h>

#include <cstdio>

static LONG CALLBACK ReportFault(EXCEPTION_POINTERS* info) {
    DWORD code = info->ExceptionRecord->ExceptionCode;
    if (code != EXCEPTION_ACCESS_VIOLATION && code != EXCEPTION_STACK_OVERFLOW && code != EXCEPTION_INT_DIVIDE_BY_ZERO)
        return EXCEPTION_CONTINUE_SEARCH;
    std::fprintf(stderr, "fault 0x%08lx at %p\n", code, info->ExceptionRecord->ExceptionAddress);
    std::fflush(stderr);
    ExitProcess(3);
}

int main(int argc, char** argv) {
    AddVectoredExceptionHandler(1, ReportFault);
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
