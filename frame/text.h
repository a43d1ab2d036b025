// Text slots embedded in nodes and rows: each points to a shared, reference-counted block
// holding the wide text (a BSTR) and, on demand, its narrow copy in the ANSI code page.
#pragma once
#include "ZnTreeCt.h"
#include "choices.h"

namespace zn::text {

constexpr DWORD kOutOfMemory = 0x8007000E;

// New private block holding a copy of `wide` up to its first NUL (null gives a null text).
void MakeFromWide(TextField& slot, const WCHAR* wide);
// New private block from an ANSI text (null gives a null text).
void MakeFromNarrow(TextField& slot, const char* narrow);
// New private block with an exact copy of the BSTR, embedded NULs included.
// Returns 0 when a block was made, else the system's last error code.
DWORD AssignCopy(TextField& slot, BSTR wide);
// Makes the slot's text empty; a block shared with another slot is copied first.
void Clear(TextField& slot);
// Makes `to` hold the same block as `from` (one more reference).
void Share(const TextField& from, TextField& to);
// Drops the slot's reference (the block is freed with its last one) and empties the slot.
void Release(TextField& slot);

UINT Length(const TextField& slot);               // stored length in wide characters
const WCHAR* Wide(const TextField& slot);         // may be null
const char* Narrow(const TextField& slot);        // made once per block; may be null
UINT NarrowLength(const TextField& slot);         // bytes up to the narrow copy's NUL
bool IsEmpty(const TextField& slot);              // no block, no text or length 0
// Empty texts first; otherwise case-insensitive, as the runtime's _wcsicmp.
int Compare(const TextField& a, const TextField& b);
// Decimal value at the start of the text (0 when absent).
int ValueAtStart(const TextField& slot);
// Parses the slot's text as a choice list (null when it has none).
ChoiceTable* ParseChoices(const TextField& slot);

#ifndef ZN_SHIPPED
// Texts currently allocated; lets tests prove nothing leaks (not in the shipped DLL).
LONG LiveBlocks();
#endif

}  // namespace zn::text
