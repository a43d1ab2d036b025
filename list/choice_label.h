// The narrow text of one choice entry, converted from its part of the source wide text
// (never past the entry's stored length), for drawing, measuring and the editor's items.
#pragma once
#include <windows.h>

#include <cstdlib>

#include "frame/choices.h"

namespace zn {

class ChoiceLabel {
public:
    ChoiceLabel(const WCHAR* source, const ChoiceEntry& entry) {
        const WCHAR* wide = source ? source + entry.offset : nullptr;
        int units = static_cast<int>(entry.length);
        int bytes = wide && units ? WideCharToMultiByte(CP_ACP, 0, wide, units, nullptr, 0, nullptr, nullptr) : 0;
        text_ = static_cast<char*>(std::malloc(static_cast<size_t>(bytes > 0 ? bytes : 0) + 1));
        if (!text_) return;
        length_ = bytes > 0 ? WideCharToMultiByte(CP_ACP, 0, wide, units, text_, bytes, nullptr, nullptr) : 0;
        text_[length_] = 0;
    }
    ~ChoiceLabel() { std::free(text_); }
    ChoiceLabel(const ChoiceLabel&) = delete;
    ChoiceLabel& operator=(const ChoiceLabel&) = delete;
    const char* get() const { return text_ ? text_ : ""; }
    int length() const { return length_; }

private:
    char* text_ = nullptr;
    int length_ = 0;
};

// A parsed choice table freed on scope exit.
class ChoicesOf {
public:
    explicit ChoicesOf(ChoiceTable* table) : table_(table) {}
    ~ChoicesOf() { FreeChoices(table_); }
    ChoicesOf(const ChoicesOf&) = delete;
    ChoicesOf& operator=(const ChoicesOf&) = delete;
    ChoiceTable* operator->() const { return table_; }
    explicit operator bool() const { return table_ != nullptr; }
    int count() const { return table_ ? table_->count : 0; }
private:
    ChoiceTable* table_;
};

}  // namespace zn
