// Shared pieces of the benchmark: a host window, a stopwatch, memory readings, results.
#pragma once
#include <windows.h>
#include <commctrl.h>

#include <functional>
#include <string>
#include <vector>

namespace bench {

double Seconds();                  // a monotonic clock
SIZE_T PrivateBytes();             // bytes in use in the process's heaps
// Memory is measured up to this size: walking the heaps slows down badly with millions of blocks.
inline bool Measured(size_t n) { return n <= 2000000; }
void Pump();                       // processes pending messages
void RepaintNow(HWND window);      // invalidates and paints the window at once
// Paints what is due, as a host's message loop would once its calls return: the work a control
// leaves for its next paint is timed with the calls that left it.
void Settle(HWND window);

// One host window per run; it forwards the tree's four messages when `tree` is set.
struct Host {
    Host();
    ~Host();
    HWND window = nullptr;
    HWND tree = nullptr;
    LONG checkedCount = 0, selectedIndex = 0;
};

struct Phase {
    std::string name;
    double ours = -1;    // seconds; -1 when not run
    double theirs = -1;  // seconds of the common control; -1 when not measured
    bool theirsCapped = false;  // the common control was stopped at the budget: at least this long
    bool oursCapped = false;    // ZnTreeCt was stopped at the budget
};

struct Run {
    std::string workload;  // "tree" or "list"
    int n = 0;
    std::vector<Phase> phases;
    double oursBytesPerItem = 0, theirsBytesPerItem = 0;
    double recordBytesPerItem = 0;  // what the records themselves need
    double floorBytesPerItem = 0;   // what the list box's own item for each row costs
    double budget = 0;              // seconds a phase may run before it is stopped
};

// A phase of the common control that stops once it has used up the budget.
struct Capped {
    double start = Seconds(), budget;
    bool stopped = false;
    explicit Capped(double b) : budget(b) {}
    bool Over(size_t i) {
        if ((i & 63) == 0 && Seconds() - start > budget) stopped = true;
        return stopped;
    }
    void Into(Phase& p) {
        p.theirs = Seconds() - start;
        p.theirsCapped = stopped;
    }
};

enum class Side { Ours, Theirs };

// Runs the tree workload with n nodes (the list workload with n rows) through one side.
Run TreeWorkload(int n, Side side, double budget);
Run ListWorkload(int n, Side side, double budget);
// A tree of one parent with n - 1 children: one branch opened and closed in one call each.
Run WideWorkload(int n, Side side, double budget);
// A tree of one top node whose children have 99 children each: many branches of 99 rows.
Run BranchesWorkload(int n, Side side, double budget);
// The tree workload's tree with every parent opened in several orders, with the host's drawing
// on and off.
Run OrdersWorkload(int n, Side side, double budget);
// One node with n - 1 descendants (some branches without boxes, some closed) checked and
// unchecked by the space key, and a tree n / 2 levels deep painted at its deepest rows.
Run ChecksWorkload(int n, Side side, double budget);
Run DeepWorkload(int n, Side side, double budget);
// The list as a host dialog uses it: a shown dialog, a multi-line path column, filled,
// refreshed, refreshed again, cleared and refilled.
Run HostListWorkload(int n, Side side, double budget);

// Texts in a fixed random order.
std::vector<std::wstring> RandomTexts(int n, unsigned seed);

// The tree workload's tree: n / 111 top-level nodes, each with 10 children of 10 children, in
// the order a host builds it (each parent right before its children); half the parents sort
// their children. Ids are the insertion positions from 1.
struct Shape {
    std::vector<DWORD> parent;   // parent index + 1 per node, 0 at the top, in insertion order
    std::vector<BSTR> texts;
    std::vector<bool> hasChildren;
    int tops = 0;
    size_t textChars = 0;
};
Shape MakeShape(int n);
void InsertShape(HWND tree, const Shape& s);
HWND NewTreeView(HWND parent);  // with check boxes, drawing switched off
void InsertTheirs(HWND view, const Shape& s, std::vector<HTREEITEM>& items, Capped& insert);

// The floor the list box itself sets: a bare owner-drawn list box of variable row heights, with
// drawing switched off, filled with `rows` items of data. Returns the seconds it took; when
// `bytesPerItem` is given, also what each item costs in the heap.
double FloorFill(HWND parent, int rows, double* bytesPerItem = nullptr);
// The same floor given a sequence of insertions: `firstRows` rows put in untimed, then one row at
// each of `places` in turn, the top row following them; the seconds the insertions took.
double FloorPlaces(HWND parent, int firstRows, const std::vector<int>& places);
// The messages each expansion ends with, `calls` times on such a list box of `rows` items: drawing
// switched off and on again, and the list box invalidated.
double FloorMessages(HWND parent, int rows, int calls);

}  // namespace bench
