// A multi-line text held as its lines: every line but the last ends with a carriage return (character
// 13), the last one has none (it may be empty). A long text can lose its first line or grow at its end in
// time proportional to the pieces moved, and a view can read its first lines without the rest.
#pragma once

#include <cstddef>
#include <deque>
#include <string>
#include <string_view>

namespace tesoro {

class LineText {
public:
    static constexpr wchar_t kLineBreak = L'\r';

    LineText() = default;
    explicit LineText(std::wstring_view text) { Append(text); }

    // Adds text at the end; each carriage return in it ends a line.
    void Append(std::wstring_view text);
    // Whether the text holds a carriage return at all.
    bool HasLineBreak() const { return !ended_.empty(); }
    // Removes the first line and returns it with its carriage return; empty when there is no line break.
    std::wstring TakeFirstLine();

    // Lines as shown: the ended ones, then the last one.
    std::size_t LineCount() const { return ended_.size() + 1; }
    const std::wstring& Line(std::size_t index) const;  // without its carriage return
    std::size_t Length() const { return length_; }      // characters, carriage returns included
    std::wstring Text() const;

    bool operator==(const LineText& other) const { return ended_ == other.ended_ && last_ == other.last_; }

private:
    std::deque<std::wstring> ended_;  // lines followed by a carriage return, without it
    std::wstring last_;
    std::size_t length_ = 0;
};

}  // namespace tesoro
