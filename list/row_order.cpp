// The order rows are shown in: RowComparer on a column and a direction. Sorting extracts each
// row's two keys once (the severity's decimal text packed into one number) instead of at every
// comparison; the comparisons and so the resulting order are the same.
#include <algorithm>
#include <cstdint>
#include <cstdlib>

#include "frame/text.h"
#include "frame/wide.h"
#include "list.h"

namespace zn {
namespace {

// A sort key: a wide text of a given length; absent or empty texts sort first.
struct Key {
    const WCHAR* text;
    UINT length;
};

Key KeyOf(const TextField& field) { return {text::Wide(field), text::Length(field)}; }

int CompareKeys(const Key& a, const Key& b) {
    bool aEmpty = !a.text || a.length == 0, bEmpty = !b.text || b.length == 0;
    if (aEmpty || bEmpty) return aEmpty == bEmpty ? 0 : (aEmpty ? -1 : 1);
    return CompareNoCase(a.text, a.length, b.text, b.length);
}

// The severity as signed decimal text: rows sort by it as text, so 10 comes before 2.
struct SeverityText {
    explicit SeverityText(DWORD severity) {
        LONG value = static_cast<LONG>(severity);
        unsigned long magnitude = value < 0 ? 0ul - static_cast<unsigned long>(value) : static_cast<unsigned long>(value);
        WCHAR digits[12];
        UINT n = 0;
        do {
            digits[n++] = static_cast<WCHAR>(L'0' + magnitude % 10);
            magnitude /= 10;
        } while (magnitude);
        length = 0;
        if (value < 0) buffer[length++] = L'-';
        while (n) buffer[length++] = digits[--n];
        buffer[length] = 0;
    }
    Key key() const { return {buffer, length}; }
    WCHAR buffer[13];
    UINT length;
};

Key ColumnKey(const ListRow* row, DWORD column) {
    const ColumnTextArray& texts = row->columnTexts;
    if (columns::Count(texts) < column) return {nullptr, 0};
    return KeyOf(texts.begin[column - 1]);
}

// The severity's decimal text as a number that orders as the text does: one nibble per
// character, most significant first ('-' 1, digits 2 to 11, the end of the text 0). The text
// has at most 11 characters and holds no letters, so case folding never matters.
uint64_t SeverityOrder(DWORD severity) {
    SeverityText text(severity);
    uint64_t order = 0;
    for (UINT i = 0; i < 11; ++i) {
        uint64_t code = i >= text.length ? 0 : text.buffer[i] == L'-' ? 1 : static_cast<uint64_t>(text.buffer[i] - L'0') + 2;
        order = order << 4 | code;
    }
    return order;
}

struct SortEntry {
    ListRow* row;
    Key text;         // text 1 for column 0, else the column's text
    uint64_t severity;
    uint64_t next;    // the text's four code units after the beginning all texts share
};

bool IsEmpty(const Key& k) { return !k.text || k.length == 0; }

uint32_t UnitAt(const Key& k, uint32_t i) { return i < k.length ? FoldAscii(static_cast<uint16_t>(k.text[i])) : 0; }

// Every non-empty text's first `shared` code units are the same (folded) and none ends there;
// each text's next four units, folded and 0 from its end on, are packed most significant first,
// so that comparing the numbers compares those units as CompareNoCase does.
uint32_t SharedBeginning(const SortEntry* entries, size_t count) {
    const Key* first = nullptr;
    uint32_t shared = 0;
    for (size_t i = 0; i < count; ++i) {
        const Key& k = entries[i].text;
        if (IsEmpty(k)) continue;
        if (!first) {
            first = &k;
            while (UnitAt(k, shared) != 0) ++shared;
            continue;
        }
        uint32_t same = 0;
        while (same < shared && UnitAt(k, same) == UnitAt(*first, same)) ++same;
        shared = same;
    }
    return shared;
}

uint64_t NextUnits(const Key& k, uint32_t shared) {
    uint64_t packed = 0;
    bool ended = IsEmpty(k);
    for (uint32_t i = 0; i < 4; ++i) {
        uint32_t unit = ended ? 0 : UnitAt(k, shared + i);
        ended = ended || unit == 0;
        packed = packed << 16 | unit;
    }
    return packed;
}

// CompareKeys, deciding by the packed units where they differ.
int CompareTexts(const SortEntry& a, const SortEntry& b, uint32_t shared) {
    bool aEmpty = IsEmpty(a.text), bEmpty = IsEmpty(b.text);
    if (aEmpty || bEmpty) return aEmpty == bEmpty ? 0 : (aEmpty ? -1 : 1);
    if (a.next != b.next) return a.next < b.next ? -1 : 1;
    if ((a.next & 0xFFFF) == 0) return 0;  // both end among those units
    const uint32_t skip = shared + 4;
    return CompareNoCase(a.text.text + skip, a.text.length - skip, b.text.text + skip, b.text.length - skip);
}

int CompareSeverities(uint64_t a, uint64_t b) { return a < b ? -1 : a > b ? 1 : 0; }

}  // namespace

bool ListControl::RowComesBefore(const ListRow* a, const ListRow* b, int column, int descending) {
    SeverityText aSeverity(a->severity), bSeverity(b->severity);
    DWORD k = static_cast<DWORD>(column);
    int r;
    if (k == 0) {
        r = CompareKeys(aSeverity.key(), bSeverity.key());
        if (r == 0) r = CompareKeys(KeyOf(a->texts[0]), KeyOf(b->texts[0]));
    } else {
        r = CompareKeys(ColumnKey(a, k), ColumnKey(b, k));
        if (r == 0) r = CompareKeys(aSeverity.key(), bSeverity.key());
    }
    return descending ? r > 0 : r < 0;
}

void SortRows(ListRow** rows, size_t count, int column, int descending) {
    auto* entries = static_cast<SortEntry*>(std::malloc((count ? count : 1) * sizeof(SortEntry)));
    if (!entries) {
        std::sort(rows, rows + count, [column, descending](const ListRow* a, const ListRow* b) {
            return ListControl::RowComesBefore(a, b, column, descending);
        });
        return;
    }
    DWORD k = static_cast<DWORD>(column);
    for (size_t i = 0; i < count; ++i)
        entries[i] = {rows[i], k == 0 ? KeyOf(rows[i]->texts[0]) : ColumnKey(rows[i], k), SeverityOrder(rows[i]->severity), 0};
    // Comparisons mostly end in the entries themselves, without reaching the texts scattered in
    // memory: the beginning all texts share is passed over once, and the next units are packed.
    const uint32_t shared = SharedBeginning(entries, count);
    for (size_t i = 0; i < count; ++i) entries[i].next = NextUnits(entries[i].text, shared);
    // std::sort makes the same moves for the same comparison results, so equal rows end up
    // where sorting the rows themselves would put them.
    std::sort(entries, entries + count, [k, descending, shared](const SortEntry& a, const SortEntry& b) {
        int r;
        if (k == 0) {
            r = CompareSeverities(a.severity, b.severity);
            if (r == 0) r = CompareTexts(a, b, shared);
        } else {
            r = CompareTexts(a, b, shared);
            if (r == 0) r = CompareSeverities(a.severity, b.severity);
        }
        return descending ? r > 0 : r < 0;
    });
    for (size_t i = 0; i < count; ++i) rows[i] = entries[i].row;
    std::free(entries);
}

}  // namespace zn
