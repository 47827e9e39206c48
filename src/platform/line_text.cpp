#include "platform/line_text.h"

#include <utility>

namespace tesoro {

void LineText::Append(std::wstring_view text) {
    length_ += text.size();
    for (std::size_t lineBreak = text.find(kLineBreak); lineBreak != std::wstring_view::npos;
         lineBreak = text.find(kLineBreak)) {
        last_.append(text.substr(0, lineBreak));
        ended_.push_back(std::move(last_));
        last_.clear();
        text.remove_prefix(lineBreak + 1);
    }
    last_.append(text);
}

std::wstring LineText::TakeFirstLine() {
    if (ended_.empty()) return std::wstring();
    std::wstring line = std::move(ended_.front());
    ended_.pop_front();
    line += kLineBreak;
    length_ -= line.size();
    return line;
}

const std::wstring& LineText::Line(std::size_t index) const {
    return index < ended_.size() ? ended_[index] : last_;
}

std::wstring LineText::Text() const {
    std::wstring text;
    text.reserve(length_);
    for (const auto& line : ended_) {
        text += line;
        text += kLineBreak;
    }
    text += last_;
    return text;
}

}  // namespace tesoro
