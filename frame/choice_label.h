// The narrow text of one choice entry, for drawing, measuring and the editor's items: its part of
// the choice list's wide text (never past the text's stored length), converted as every other
// text of the controls is (the ANSI code page, composite characters precomposed), so a choice
// reads the same wherever it shows.
#pragma once
#include <windows.h>

#include "choices.h"
#include "text.h"

namespace zn {

class ChoiceLabel {
public:
    ChoiceLabel(const TextField& text, const ChoiceEntry& entry);
    ~ChoiceLabel();
    ChoiceLabel(const ChoiceLabel&) = delete;
    ChoiceLabel& operator=(const ChoiceLabel&) = delete;
    const char* get() const { return text_; }  // empty when it could not be made
    int length() const { return length_; }

private:
    char inline_[64];
    char* text_ = inline_;
    int length_ = 0;
};

// A parsed choice table freed on scope exit.
class ChoicesOf {
public:
    explicit ChoicesOf(const TextField& text) : table_(text::ParseChoices(text)) {}
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
