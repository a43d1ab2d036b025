// Runs the tree and list workloads at growing sizes and prints each phase's time for ZnTreeCt
// and for the common control a developer would use instead, with their ratio.
#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <vector>

#include "ZnTreeCt.h"
#include "bench.h"


namespace bench {

double Seconds() {
    static LARGE_INTEGER frequency = [] {
        LARGE_INTEGER f;
        QueryPerformanceFrequency(&f);
        return f;
    }();
    LARGE_INTEGER now;
    QueryPerformanceCounter(&now);
    return static_cast<double>(now.QuadPart) / static_cast<double>(frequency.QuadPart);
}

// Bytes in use in every heap of the process (Wine's private-usage counter does not follow
// heap growth, so the heaps are walked).
SIZE_T PrivateBytes() {
    HANDLE heaps[64];
    DWORD count = GetProcessHeaps(64, heaps);
    SIZE_T total = 0;
    for (DWORD h = 0; h < count && h < 64; ++h) {
        if (!HeapLock(heaps[h])) continue;
        PROCESS_HEAP_ENTRY entry = {};
        while (HeapWalk(heaps[h], &entry))
            if (entry.wFlags & PROCESS_HEAP_ENTRY_BUSY) total += entry.cbData + entry.cbOverhead;
        HeapUnlock(heaps[h]);
    }
    return total;
}

void Pump() {
    MSG msg;
    for (int round = 0; round < 100 && PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE); ++round) {
        TranslateMessage(&msg);
        DispatchMessageA(&msg);
    }
}

void Settle(HWND window) {
    UpdateWindow(window);
    Pump();
}

void RepaintNow(HWND window) {
    RedrawWindow(window, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_ALLCHILDREN | RDW_UPDATENOW);
    Pump();
}

std::vector<std::wstring> RandomTexts(int n, unsigned seed) {
    std::vector<std::wstring> texts(static_cast<size_t>(n));
    for (int i = 0; i < n; ++i) {
        seed = seed * 1664525u + 1013904223u;
        wchar_t buffer[32];
        std::swprintf(buffer, 32, L"Item %08x %d", seed, i);
        texts[static_cast<size_t>(i)] = buffer;
    }
    return texts;
}

namespace {

// The list box the controls are made of, with their styles, where the controls stand, filled
// with drawing switched off; the seconds that took.
double BareFill(HWND box, int rows) {
    SendMessageA(box, WM_SETREDRAW, FALSE, 0);
    double t = Seconds();
    for (int i = 0; i < rows; ++i) {
        SendMessageA(box, LB_INSERTSTRING, static_cast<WPARAM>(i), static_cast<LPARAM>(i + 1));
        // The top row follows the rows going in, so no insertion adds up the heights far above it.
        if ((i + 1) % 512 == 0) SendMessageA(box, LB_SETTOPINDEX, static_cast<WPARAM>(i), 0);
    }
    SendMessageA(box, LB_SETTOPINDEX, 0, 0);
    return Seconds() - t;
}

HWND BareListBox(HWND parent) {
    return CreateWindowExA(WS_EX_CLIENTEDGE, "LISTBOX", "", 0x50B00121, 10, 30, 760, 580, parent,
                           reinterpret_cast<HMENU>(static_cast<INT_PTR>(900)), nullptr, nullptr);
}

}  // namespace

double FloorFill(HWND parent, int rows, double* bytesPerItem) {
    HWND box = BareListBox(parent);
    const bool measured = bytesPerItem && Measured(static_cast<size_t>(rows));
    SIZE_T before = measured ? PrivateBytes() : 0;
    double t = BareFill(box, rows);
    if (measured) *bytesPerItem = static_cast<double>(PrivateBytes() - before) / rows;
    DestroyWindow(box);
    Pump();
    return t;
}

double FloorPlaces(HWND parent, int firstRows, const std::vector<int>& places) {
    HWND box = BareListBox(parent);
    SendMessageA(box, WM_SETREDRAW, FALSE, 0);
    for (int i = 0; i < firstRows; ++i) SendMessageA(box, LB_INSERTSTRING, static_cast<WPARAM>(i), i + 1);
    double t = Seconds();
    LRESULT top = SendMessageA(box, LB_GETTOPINDEX, 0, 0);
    for (size_t i = 0; i < places.size(); ++i) {
        const int at = places[i];
        if (at < top || at - top > 512) {
            SendMessageA(box, LB_SETTOPINDEX, static_cast<WPARAM>(at), 0);
            top = SendMessageA(box, LB_GETTOPINDEX, 0, 0);
        }
        SendMessageA(box, LB_INSERTSTRING, static_cast<WPARAM>(at), static_cast<LPARAM>(i + 1));
    }
    SendMessageA(box, LB_SETTOPINDEX, 0, 0);
    t = Seconds() - t;
    DestroyWindow(box);
    Pump();
    return t;
}

double FloorMessages(HWND parent, int rows, int calls) {
    HWND box = BareListBox(parent);
    BareFill(box, rows);
    SendMessageA(box, WM_SETREDRAW, TRUE, 0);
    SendMessageA(box, LB_SETHORIZONTALEXTENT, 600, 0);
    Pump();
    double t = Seconds();
    for (int i = 0; i < calls; ++i) {
        SendMessageA(box, WM_SETREDRAW, FALSE, 0);
        SendMessageA(box, WM_SETREDRAW, TRUE, 0);
        InvalidateRect(box, nullptr, TRUE);
    }
    t = Seconds() - t;
    DestroyWindow(box);
    Pump();
    return t;
}

namespace {

LRESULT CALLBACK HostProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    auto* host = reinterpret_cast<Host*>(GetWindowLongPtrA(window, GWLP_USERDATA));
    if (host && host->tree) {
        switch (message) {
        case WM_MEASUREITEM:
            if (wParam == 200) return On_MeasureItem(host->tree, reinterpret_cast<MEASUREITEMSTRUCT*>(lParam));
            break;
        case WM_DRAWITEM:
            if (wParam == 200)
                return On_DrawItem(host->tree, reinterpret_cast<DRAWITEMSTRUCT*>(lParam), &host->selectedIndex);
            break;
        case WM_CHARTOITEM:
            if (reinterpret_cast<HWND>(lParam) == host->tree)
                return On_WMCharToItem(host->tree, wParam, lParam, &host->checkedCount);
            break;
        case WM_COMMAND:
            if (LOWORD(wParam) == 200 && HIWORD(wParam) < 0x2000)
                return On_WMCommand(host->tree, wParam, lParam, &host->checkedCount);
            break;
        default:
            break;
        }
    }
    return DefWindowProcA(window, message, wParam, lParam);
}

}  // namespace

Host::Host() {
    static bool registered = false;
    if (!registered) {
        WNDCLASSA wc = {};
        wc.lpfnWndProc = HostProc;
        wc.hInstance = GetModuleHandleA(nullptr);
        wc.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_BTNFACE + 1);
        wc.lpszClassName = "ZnBenchHost";
        RegisterClassA(&wc);
        INITCOMMONCONTROLSEX icc = {sizeof icc, ICC_WIN95_CLASSES | ICC_LISTVIEW_CLASSES | ICC_TREEVIEW_CLASSES};
        InitCommonControlsEx(&icc);
        registered = true;
    }
    window = CreateWindowExA(0, "ZnBenchHost", "bench", WS_POPUP | WS_VISIBLE | WS_CLIPCHILDREN, 0, 0, 800, 640,
                             nullptr, nullptr, GetModuleHandleA(nullptr), nullptr);
    SetWindowLongPtrA(window, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(this));
    CreateWindowExA(0, "STATIC", "", WS_CHILD, 10, 30, 760, 580, window, reinterpret_cast<HMENU>(100), nullptr, nullptr);
    Pump();
}

Host::~Host() {
    DestroyWindow(window);
    Pump();
}

}  // namespace bench

using namespace bench;

namespace {

void Print(FILE* out, const Run& run) {
    std::fprintf(out, "\n### %s, N = %d\n\n", run.workload.c_str(), run.n);
    std::fprintf(out, "| phase | ZnTreeCt (s) | %s (s) | ratio |\n|---|---:|---:|---:|\n",
                 run.workload.find("list") != std::string::npos ? "SysListView32" : "SysTreeView32");
    for (const Phase& p : run.phases) {
        char theirs[32] = "—", ratio[32] = "—";
        const char* atLeast = p.theirsCapped ? "> " : "";
        if (p.theirs >= 0) std::snprintf(theirs, sizeof theirs, "%s%.4f", atLeast, p.theirs);
        double r = p.theirs / (p.ours > 1e-6 ? p.ours : 1e-6);  // how many times faster ZnTreeCt is
        if (p.theirs > 0 && p.ours >= 0 && (r >= 1 || p.theirsCapped))
            std::snprintf(ratio, sizeof ratio, "%s1/%.1f", p.theirsCapped ? "< " : "", r);
        else if (p.theirs > 0 && p.ours >= 0 && 1 / r > 1000)
            std::snprintf(ratio, sizeof ratio, "over 1000× slower");
        else if (p.theirs > 0 && p.ours >= 0)
            std::snprintf(ratio, sizeof ratio, "%.1f× slower", 1 / r);
        std::fprintf(out, "| %s | %s%.4f | %s | %s |\n", p.name.c_str(), p.oursCapped ? "> " : "", p.ours, theirs, ratio);
    }
    if (run.recordBytesPerItem <= 0) return;  // a workload that does not measure memory
    if (run.oursBytesPerItem <= 0) {
        std::fprintf(out, "\nMemory per item: not measured at this size (records need %.0f bytes)\n",
                     run.recordBytesPerItem);
        std::fflush(out);
        return;
    }
    std::fprintf(out, "\nMemory per item: ZnTreeCt %.0f bytes (records need %.0f", run.oursBytesPerItem,
                 run.recordBytesPerItem);
    if (run.floorBytesPerItem > 0) {
        double floor = run.recordBytesPerItem + run.floorBytesPerItem;
        std::fprintf(out, ", the list box's own item %.0f: %.2f× their sum", run.floorBytesPerItem,
                     run.oursBytesPerItem / floor);
    }
    std::fprintf(out, ")");
    if (run.theirsBytesPerItem > 0) std::fprintf(out, ", common control %.0f bytes", run.theirsBytesPerItem);
    std::fprintf(out, "\n");
    std::fflush(out);
}

constexpr int kOneTopMax = 100000;  // largest tree under one top node measured

// A child runs one side of one workload at one size and reports on its standard output:
// "name <index> <phase>", "phase <index> <seconds> <capped>",
// "bytes <per item>", "records <bytes per item>" and "n <items>".
void Report(const Run& run, Side side) {
    for (size_t i = 0; i < run.phases.size(); ++i) {
        const Phase& p = run.phases[i];
        std::printf("name %u %s\n", static_cast<unsigned>(i), p.name.c_str());
        double seconds = side == Side::Ours ? p.ours : p.theirs;
        bool capped = side == Side::Ours ? p.oursCapped : p.theirsCapped;
        std::printf("phase %u %.6f %d\n", static_cast<unsigned>(i), seconds, capped ? 1 : 0);
    }
    std::printf("bytes %.3f\n", side == Side::Ours ? run.oursBytesPerItem : run.theirsBytesPerItem);
    std::printf("records %.3f\n", run.recordBytesPerItem);
    if (side == Side::Ours) std::printf("floor %.3f\n", run.floorBytesPerItem);
    std::printf("n %d\n", run.n);
    std::fflush(stdout);
}

// Runs this program again for one side and reads its report into `run`; false when the child
// could not be started or reported nothing.
bool RunChild(const char* workload, int n, Side side, double budget, Run& run) {
    char self[MAX_PATH];
    GetModuleFileNameA(nullptr, self, MAX_PATH);
    char command[MAX_PATH + 128];
    std::snprintf(command, sizeof command, "\"%s\" --child %s %d %s --budget %g", self, workload, n,
                  side == Side::Ours ? "ours" : "theirs", budget);
    char dir[MAX_PATH], file[MAX_PATH];
    GetTempPathA(MAX_PATH, dir);
    if (!GetTempFileNameA(dir, "znb", 0, file)) return false;
    SECURITY_ATTRIBUTES inherit = {sizeof inherit, nullptr, TRUE};
    HANDLE out = CreateFileA(file, GENERIC_WRITE, FILE_SHARE_READ, &inherit, CREATE_ALWAYS, FILE_ATTRIBUTE_TEMPORARY, nullptr);
    if (out == INVALID_HANDLE_VALUE) return false;
    STARTUPINFOA startup = {};
    startup.cb = sizeof startup;
    startup.dwFlags = STARTF_USESTDHANDLES;
    startup.hStdOutput = out;
    startup.hStdError = GetStdHandle(STD_ERROR_HANDLE);
    PROCESS_INFORMATION process = {};
    BOOL started = CreateProcessA(nullptr, command, nullptr, nullptr, TRUE, 0, nullptr, nullptr, &startup, &process);
    CloseHandle(out);
    if (started) {
        WaitForSingleObject(process.hProcess, INFINITE);
        CloseHandle(process.hProcess);
        CloseHandle(process.hThread);
    }
    bool reported = false;
    if (FILE* in = started ? std::fopen(file, "r") : nullptr) {
        char line[256];
        while (std::fgets(line, sizeof line, in)) {
            unsigned index = 0;
            double value = 0;
            int capped = 0, count = 0, used = 0;
            if (std::sscanf(line, "name %u %n", &index, &used) == 1 && used > 0 && index < 64) {
                if (run.phases.size() <= index) run.phases.resize(index + 1);
                run.phases[index].name.assign(line + used, std::strcspn(line + used, "\r\n"));
            } else if (std::sscanf(line, "phase %u %lf %d", &index, &value, &capped) == 3 && index < run.phases.size()) {
                (side == Side::Ours ? run.phases[index].ours : run.phases[index].theirs) = value;
                (side == Side::Ours ? run.phases[index].oursCapped : run.phases[index].theirsCapped) = capped != 0;
                reported = true;
            } else if (std::sscanf(line, "bytes %lf", &value) == 1) {
                (side == Side::Ours ? run.oursBytesPerItem : run.theirsBytesPerItem) = value;
            } else if (std::sscanf(line, "floor %lf", &value) == 1) {
                run.floorBytesPerItem = value;
            } else if (std::sscanf(line, "records %lf", &value) == 1) {
                run.recordBytesPerItem = value;
            } else if (std::sscanf(line, "n %d", &count) == 1) {
                run.n = count;
            }
        }
        std::fclose(in);
    }
    DeleteFileA(file);
    return reported;
}


struct Workload {
    const char* name;
    Run (*run)(int n, Side side, double budget);
    std::vector<int> sizes;  // its own sizes when none are given
    int largest;             // larger sizes are left out
    bool common;             // the common control runs it too
    bool growth = false;     // its phases are compared with the floor from 10^5 to 10^6
};

// What ZnTreeCt spends above the list box's floor (a phase and the floor phase of the same run),
// and how that grows from 100,000 items to a million.
void PrintGrowth(FILE* out, const std::vector<Run>& runs) {
    struct Pair {
        const char* workload;
        const char* phase;
        const char* floor;
    };
    const Pair pairs[] = {
        {"list", "ZNList_Refresh (rebuild, size, sort)", "floor: bare list box filled with N rows"},
        {"list", "header-click sort", nullptr},
        {"orders", "expand every parent: build order (depth first)", "floor: bare list box given the build order's insertions"},
        {"orders", "build order, the host's drawing off", "floor: bare list box given the build order's insertions"},
    };
    auto above = [](const Run& run, const char* phase, const char* floor, bool* capped) {
        double ours = -1, base = 0;
        for (const Phase& p : run.phases) {
            if (p.name == phase) ours = p.ours, *capped = *capped || p.oursCapped;
            if (floor && p.name == floor) base = p.ours;
        }
        return ours < 0 ? -1.0 : ours - base;
    };
    bool header = false;
    for (const Pair& pair : pairs) {
        const Run *small = nullptr, *large = nullptr;
        for (const Run& run : runs) {
            if (run.workload != pair.workload) continue;
            if (run.n >= 99000 && run.n <= 100000) small = &run;
            if (run.n >= 999000 && run.n <= 1000000) large = &run;
        }
        if (!small || !large) continue;
        bool capped = false;
        double a = above(*small, pair.phase, pair.floor, &capped), b = above(*large, pair.phase, pair.floor, &capped);
        if (a <= 0 || b < 0) continue;
        if (!header) {
            std::fprintf(out, "\n### Above the list box's floor, 100,000 to 1,000,000 items\n\n"
                              "| workload: phase | above the floor at 10^5 (s) | at 10^6 (s) | growth |\n|---|---:|---:|---:|\n");
            header = true;
        }
        std::fprintf(out, "| %s: %s | %.4f | %s%.4f | %s%.1f× |\n", pair.workload, pair.phase, a, capped ? "> " : "", b,
                     capped ? "> " : "", b / a);
    }
    std::fflush(out);
}

// Each phase's median over runs of the same workload and size (capped flags and byte counts
// come with the median of their own side).
Run Median(const std::vector<Run>& runs) {
    Run merged = runs.front();
    auto middle = [&](auto field) {
        std::vector<const Run*> order;
        for (const Run& r : runs) order.push_back(&r);
        std::sort(order.begin(), order.end(), [&](const Run* a, const Run* b) { return field(*a) < field(*b); });
        return order[order.size() / 2];
    };
    for (size_t i = 0; i < merged.phases.size(); ++i) {
        auto ours = [i](const Run& r) { return i < r.phases.size() ? r.phases[i].ours : -1; };
        auto theirs = [i](const Run& r) { return i < r.phases.size() ? r.phases[i].theirs : -1; };
        const Run* o = middle(ours);
        const Run* t = middle(theirs);
        if (i < o->phases.size()) merged.phases[i].ours = o->phases[i].ours, merged.phases[i].oursCapped = o->phases[i].oursCapped;
        if (i < t->phases.size())
            merged.phases[i].theirs = t->phases[i].theirs, merged.phases[i].theirsCapped = t->phases[i].theirsCapped;
    }
    merged.oursBytesPerItem = middle([](const Run& r) { return r.oursBytesPerItem; })->oursBytesPerItem;
    merged.theirsBytesPerItem = middle([](const Run& r) { return r.theirsBytesPerItem; })->theirsBytesPerItem;
    merged.floorBytesPerItem = middle([](const Run& r) { return r.floorBytesPerItem; })->floorBytesPerItem;
    return merged;
}

}  // namespace

int main(int argc, char** argv) {
    std::vector<int> sizes;  // the sizes given; each workload's own when none are
    double budget = 30.0;   // seconds a phase may run before it is stopped
    int commonMax = 100000;  // the common controls are measured up to this size
    const char* only = nullptr;
    for (int i = 1; i < argc; ++i) {
        if (!std::strcmp(argv[i], "--sizes") && i + 1 < argc) {
            sizes.clear();
            for (char* s = std::strtok(argv[++i], ","); s; s = std::strtok(nullptr, ",")) sizes.push_back(std::atoi(s));
        } else if (!std::strcmp(argv[i], "--budget") && i + 1 < argc) {
            budget = std::atof(argv[++i]);
        } else if (!std::strcmp(argv[i], "--common-max") && i + 1 < argc) {
            commonMax = std::atoi(argv[++i]);
        } else if (!std::strcmp(argv[i], "--only") && i + 1 < argc) {
            only = argv[++i];
        }
    }
    const std::vector<int> all = {1000, 10000, 100000, 1000000};
    // A single call closes the whole of a tree under one top node, so no budget can stop it: at
    // a million rows that alone would take minutes. The deep tree's levels each walk the tree.
    const Workload workloads[] = {
        {"tree", TreeWorkload, all, 1000000, true},
        {"orders", OrdersWorkload, {10000, 100000, 1000000}, 1000000, true, true},
        {"checks", ChecksWorkload, {10000, 100000}, 1000000, false},
        {"deep", DeepWorkload, {1000, 10000}, 10000, false},
        {"wide", WideWorkload, {1000, 10000, 100000}, kOneTopMax, true},
        {"branches", BranchesWorkload, {1000, 10000, 100000}, kOneTopMax, true},
        {"list", ListWorkload, all, 1000000, true, true},
        {"hostlist", HostListWorkload, {5000, 50000}, 100000, true},
    };
    for (int i = 1; i + 3 < argc; ++i) {
        if (std::strcmp(argv[i], "--child")) continue;
        int n = std::atoi(argv[i + 2]);
        Side side = std::strcmp(argv[i + 3], "ours") == 0 ? Side::Ours : Side::Theirs;
        for (const Workload& w : workloads) {
            if (std::strcmp(argv[i + 1], w.name)) continue;
            Report(w.run(n, side, budget), side);
            return 0;
        }
        return 1;
    }
    std::printf("ZnTreeCt benchmark: each phase in seconds, ZnTreeCt against the common control\n");
    std::fflush(stdout);
    std::vector<Run> runs;
    for (const Workload& w : workloads) {
        if (only && std::strcmp(only, w.name)) continue;
        for (int n : sizes.empty() ? w.sizes : sizes) {
            if (n > w.largest) continue;
            // Each side runs in a process of its own, so neither inherits the other's heap. The
            // median of three runs is reported up to 100,000 items, where a run takes seconds and
            // the machine's noise weighs most, and for the sizes compared with the floor, where
            // the floor itself moves by seconds between runs.
            std::vector<Run> tries(n <= 100000 || w.growth ? 3 : 1);
            for (Run& run : tries) {
                run.workload = w.name;
                run.n = n;
                if (!RunChild(w.name, n, Side::Ours, budget, run))
                    std::fprintf(stderr, "the %s run of %d items did not report\n", w.name, n);
                if (w.common && n <= commonMax && !RunChild(w.name, n, Side::Theirs, budget, run))
                    std::fprintf(stderr, "the common control's %s run of %d items did not report\n", w.name, n);
            }
            Run run = Median(tries);
            Print(stdout, run);
            runs.push_back(run);
        }
    }
    PrintGrowth(stdout, runs);
    return 0;
}
