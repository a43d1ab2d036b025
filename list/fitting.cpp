// Fitting the texts of multi-line and path cells to their rectangles.
#include <objbase.h>

#include <cstring>

#include "fitting.h"
#include "frame/text.h"
#include "path_shortening.h"

namespace zn {
namespace {

// Task memory released on scope exit.
template <class T>
class TaskBuffer {
public:
    explicit TaskBuffer(size_t count) : data_(static_cast<T*>(CoTaskMemAlloc(count * sizeof(T)))) {}
    ~TaskBuffer() { CoTaskMemFree(data_); }
    TaskBuffer(const TaskBuffer&) = delete;
    TaskBuffer& operator=(const TaskBuffer&) = delete;
    T* get() const { return data_; }
private:
    T* data_;
};

struct Measure {
    HDC dc;
    RECT rect;
    UINT flags;
    char* narrow;        // conversion buffer of narrowSize bytes
    int narrowSize;
};

// Measures the text as the cell will draw it and compares the height with the cell's.
bool Fits(void* context, const uint16_t* text, uint32_t length) {
    auto* m = static_cast<Measure*>(context);
    int n = WideCharToMultiByte(CP_ACP, 0, reinterpret_cast<const WCHAR*>(text), static_cast<int>(length), m->narrow,
                                m->narrowSize - 1, nullptr, nullptr);
    if (n <= 0 && length) return false;
    m->narrow[n] = 0;
    RECT computed = m->rect;
    DrawTextExA(m->dc, m->narrow, n, &computed, m->flags | DT_CALCRECT, nullptr);
    return computed.bottom - computed.top <= m->rect.bottom - m->rect.top;
}

}  // namespace

void FitRectToLines(HDC dc, RECT& rect, const TextField& text) {
    const char* narrow = text::Narrow(text);
    SIZE size = {0, 0};
    GetTextExtentPoint32A(dc, narrow ? narrow : "", narrow ? static_cast<int>(std::strlen(narrow)) : 0, &size);
    LONG height = rect.bottom - rect.top;
    if (size.cy <= 0 || height <= 0) return;
    rect.bottom -= height % size.cy;
}

constexpr uint32_t kLongestShortenedPath = 4096;

int CompactPathText(HDC dc, const RECT& rect, TextField& text, UINT flags) {
    const WCHAR* wide = text::Wide(text);
    if (!wide) return 0;
    // The cell draws its narrow copy, which ends at the first NUL: measure the same text.
    uint32_t length = 0;
    for (UINT stored = text::Length(text); length < stored && wide[length]; ++length) {
    }
    // A path longer than any cell can show is left to the drawing's own ellipsis: shortening it
    // component by component would measure megabytes of text over and over.
    if (length == 0 || length > kLongestShortenedPath) return 0;
    const auto* source = reinterpret_cast<const uint16_t*>(wide);
    uint32_t units = PathBufferLength(length);
    TaskBuffer<uint16_t> last(units), candidate(units), result(units);
    // Candidates are parts of the text plus "\...\": the whole text's narrow size bounds them.
    int narrowSize = WideCharToMultiByte(CP_ACP, 0, wide, static_cast<int>(length), nullptr, 0, nullptr, nullptr) + 8;
    TaskBuffer<char> narrow(static_cast<size_t>(narrowSize));
    if (!last.get() || !candidate.get() || !result.get() || !narrow.get() || narrowSize <= 8) return 0;

    Measure measure = {dc, rect, flags, narrow.get(), narrowSize};
    uint32_t resultLength = 0;
    if (!ShortenPath(source, length, &Fits, &measure, {last.get(), candidate.get(), result.get()}, &resultLength))
        return 0;
    TaskBuffer<WCHAR> shortened(resultLength + 1);
    if (!shortened.get()) return 0;
    std::memcpy(shortened.get(), result.get(), resultLength * sizeof(WCHAR));
    shortened.get()[resultLength] = 0;
    text::MakeFromWide(text, shortened.get());
    return 1;
}

}  // namespace zn
