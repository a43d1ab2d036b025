// Long runs of rows inserted into a list box.
#pragma once
#include <windows.h>

namespace zn {

// Many rows inserted in one go, with drawing switched off. The list box places each new row by
// adding up the heights of the rows from its top row down to it, so a long run far below the
// top row would cost its distance for every row: the top row follows the run and goes back
// where it was at the end. Rows are only added meanwhile, so that row is still a valid top row.
class InsertRun {
public:
    // `rows` rows are to go in from row `first` on. A run far from the top row starts with the
    // top row moved to it when that saves more than the two moves cost (each adds up the heights
    // it passes, as an insertion does, and scrolls the window: about a quarter of a millisecond).
    explicit InsertRun(HWND listBox, int first = 0, int rows = 0)
        : listBox_(listBox), top_(SendMessageA(listBox, LB_GETTOPINDEX, 0, 0)) {
        long long distance = first > top_ ? first - top_ : top_ - first;
        if ((static_cast<long long>(rows) - 2) * distance > kWorthMoving) {
            SendMessageA(listBox_, LB_SETTOPINDEX, static_cast<WPARAM>(first), 0);
            moved_ = true;
        }
    }
    ~InsertRun() {
        if (moved_) SendMessageA(listBox_, LB_SETTOPINDEX, static_cast<WPARAM>(top_), 0);
    }
    InsertRun(const InsertRun&) = delete;
    InsertRun& operator=(const InsertRun&) = delete;
    void Inserted(int index) {
        if (++count_ % kStride != 0) return;
        SendMessageA(listBox_, LB_SETTOPINDEX, static_cast<WPARAM>(index), 0);
        moved_ = true;
    }

private:
    static constexpr int kStride = 512;  // rows inserted between two moves of the top row
    static constexpr long long kWorthMoving = 1000000;  // rows passed by the walks saved
    HWND listBox_;
    LRESULT top_;
    int count_ = 0;
    bool moved_ = false;
};

}  // namespace zn
