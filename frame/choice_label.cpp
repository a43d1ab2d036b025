#include "choice_label.h"

#include <cstdlib>

namespace zn {

ChoiceLabel::ChoiceLabel(const TextField& text, const ChoiceEntry& entry) {
    inline_[0] = 0;
    const WCHAR* wide = text::Wide(text);
    const UINT stored = text::Length(text);
    if (!wide || entry.offset >= stored) return;
    const int units = static_cast<int>(entry.length < stored - entry.offset ? entry.length : stored - entry.offset);
    const DWORD flags = WC_COMPOSITECHECK | WC_SEPCHARS;
    int bytes = units ? WideCharToMultiByte(GetACP(), flags, wide + entry.offset, units, nullptr, 0, nullptr, nullptr) : 0;
    if (bytes <= 0) return;
    if (bytes >= static_cast<int>(sizeof inline_)) {
        auto* heap = static_cast<char*>(std::malloc(static_cast<size_t>(bytes) + 1));
        if (!heap) return;
        text_ = heap;
    }
    length_ = WideCharToMultiByte(GetACP(), flags, wide + entry.offset, units, text_, bytes, nullptr, nullptr);
    if (length_ < 0) length_ = 0;
    text_[length_] = 0;
}

ChoiceLabel::~ChoiceLabel() {
    if (text_ != inline_) std::free(text_);
}

}  // namespace zn
