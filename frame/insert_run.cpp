#include "insert_run.h"

#include "shortcuts.h"

namespace zn {
namespace list_box_costs {
namespace {

double Now() {
    static const double perSecond = [] {
        LARGE_INTEGER f;
        QueryPerformanceFrequency(&f);
        return static_cast<double>(f.QuadPart);
    }();
    LARGE_INTEGER c;
    QueryPerformanceCounter(&c);
    return static_cast<double>(c.QuadPart) / perSecond;
}

// Seconds, starting from what was measured on the build machine under Wine.
double walkPerRow = 0.6e-9;
double move = 150e-6;
int decisionsSinceProbe = 1 << 30;
constexpr int kProbeEvery = 64;
constexpr LRESULT kProbeRows = 8192;

// The walk to a row kProbeRows below the top row, less the walk to the top row itself.
void ProbeWalk(HWND listBox) {
    const LRESULT top = SendMessageA(listBox, LB_GETTOPINDEX, 0, 0);
    const LRESULT below = top + kProbeRows;
    if (below >= SendMessageA(listBox, LB_GETCOUNT, 0, 0)) return;
    RECT rect;
    double t0 = Now();
    SendMessageA(listBox, LB_GETITEMRECT, static_cast<WPARAM>(top), reinterpret_cast<LPARAM>(&rect));
    double t1 = Now();
    SendMessageA(listBox, LB_GETITEMRECT, static_cast<WPARAM>(below), reinterpret_cast<LPARAM>(&rect));
    double t2 = Now();
    const double perRow = ((t2 - t1) - (t1 - t0)) / kProbeRows;
    if (perRow > 0) walkPerRow = 0.5 * walkPerRow + 0.5 * perRow;
    decisionsSinceProbe = 0;
}

}  // namespace

#ifndef ZN_SHIPPED
long long moveInRowsForTests = 0;
#endif

long long MoveInRows(HWND listBox, long long distance) {
#ifndef ZN_SHIPPED
    if (moveInRowsForTests > 0) return moveInRowsForTests;
#endif
    // A probe costs a walk of kProbeRows: it is made for decisions about longer walks.
    if (distance >= kProbeRows && ++decisionsSinceProbe >= kProbeEvery) ProbeWalk(listBox);
    return static_cast<long long>(move / walkPerRow);
}

void MoveTop(HWND listBox, WPARAM row, long long distance) {
    const double t = Now();
    SendMessageA(listBox, LB_SETTOPINDEX, row, 0);
    const double spent = Now() - t - static_cast<double>(distance) * walkPerRow;
    if (spent > 0) move = 0.75 * move + 0.25 * spent;
}

}  // namespace list_box_costs

InsertRun::InsertRun(HWND listBox, int first, int rows, LRESULT top, long long* walked)
    : listBox_(listBox), leaveTop_(walked != nullptr) {
    now_ = SendMessageA(listBox, LB_GETTOPINDEX, 0, 0);
    top_ = top >= 0 ? top : now_;
    moves_ = ShortcutsTaken() && (first > top_ || SendMessageA(listBox, LB_GETCOUNT, 0, 0) == 0);
    if (!moves_) return;
    // A run far from the top row starts with the top row moved to it when that saves more than
    // the moves cost. Put back at the end, the top row moves twice for this run alone. Left by
    // the run, it moves once and serves the runs after it too: it moves as soon as the walks
    // since its last move would have paid for one.
    const long long distance = first > now_ ? first - now_ : now_ - first;
    const long long walk = static_cast<long long>(rows) * distance;
    if (walk == 0) return;
    const long long move = list_box_costs::MoveInRows(listBox, distance);
    if (walked) {
        if (*walked + walk > move) {
            Move(first);
            *walked = 0;
        } else {
            *walked += walk;
        }
    } else if ((rows - 2) * distance > 2 * move) {
        Move(first);
    }
}

InsertRun::~InsertRun() {
    if (!moved_ || leaveTop_) return;
    const long long distance = now_ > top_ ? now_ - top_ : top_ - now_;
    list_box_costs::MoveTop(listBox_, static_cast<WPARAM>(top_), distance);
}

void InsertRun::Inserted(int index) {
    if (moves_ && ++count_ % kStride == 0) Move(index);
}

void InsertRun::Move(int index) {
    const long long distance = index > now_ ? index - now_ : now_ - index;
    list_box_costs::MoveTop(listBox_, static_cast<WPARAM>(index), distance);
    now_ = index;
    moved_ = true;
}

}  // namespace zn
