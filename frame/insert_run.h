// Long runs of rows inserted into a list box, and what moving its top row costs.
#pragma once
#include <windows.h>

namespace zn {

// The list box places each new row by adding up the heights of the rows between its top row and
// it (a walk); moving its top row walks once and scrolls the window. Both costs depend on the
// machine, so they are measured as the controls go: each move is timed, and now and then the
// walk is timed on the list box's own rows. The answer is a move's cost in rows walked.
namespace list_box_costs {
long long MoveInRows(HWND listBox, long long distance);
// Moves the top row to `row`, `distance` rows from where it was, timing the move.
void MoveTop(HWND listBox, WPARAM row, long long distance);
#ifndef ZN_SHIPPED
extern long long moveInRowsForTests;  // tests of the library fix the answer; 0 measures
#endif
}  // namespace list_box_costs

// Many rows inserted in one go, with drawing switched off. A run far below the top row would
// cost its distance for every row: the top row follows the run and goes back at the end.
//
// The top row only moves for a run that starts below it (or in an empty list box). A list box
// keeps its top row where rows go in below it, so the row-by-row insertions would leave it where
// it was; rows are only added meanwhile, so that row is still one the list box can show at the
// top, and putting it back ends where they end. Above or at the top row a list box may either
// keep the row number or follow the row that was there: such a run is inserted row by row.
class InsertRun {
public:
    // `rows` rows are to go in from row `first` on; `top` is where the top row ends (-1: where it
    // is). With `walked` the top row is left by the run's last rows, for the caller to put back
    // later; `*walked` carries the rows the insertions walked since the top row last moved.
    InsertRun(HWND listBox, int first, int rows, LRESULT top = -1, long long* walked = nullptr);
    ~InsertRun();
    InsertRun(const InsertRun&) = delete;
    InsertRun& operator=(const InsertRun&) = delete;
    void Inserted(int index);
    bool Moved() const { return moved_; }  // the top row is not where the run found it

private:
    void Move(int index);
    static constexpr int kStride = 512;  // rows inserted between two moves of the top row
    HWND listBox_;
    LRESULT top_;
    LRESULT now_;  // where the top row stands
    bool leaveTop_;
    bool moves_ = false;
    int count_ = 0;
    bool moved_ = false;
};

}  // namespace zn
