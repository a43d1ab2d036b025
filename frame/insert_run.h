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
    explicit InsertRun(HWND listBox)
        : listBox_(listBox), top_(SendMessageA(listBox, LB_GETTOPINDEX, 0, 0)) {}
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
    HWND listBox_;
    LRESULT top_;
    int count_ = 0;
    bool moved_ = false;
};

}  // namespace zn
