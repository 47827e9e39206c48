#include "copy_log/log_entries.h"

#include <algorithm>
#include <utility>

#include "platform/cp1252.h"

namespace tesoro {

LogEntries::LogEntries(std::vector<std::wstring> lines)
    : count_(static_cast<int>(lines.size())), lines_(std::move(lines)) {}

const std::wstring& LogEntries::Entry(int i) const { return lines_.at(static_cast<std::size_t>(i - 1)); }

void LogEntries::Append(std::wstring line) {
    Record(LogChange::Append(line));
    AppendLine(std::move(line));
}

void LogEntries::AppendLine(std::wstring line) {
    ++count_;
    // Empty slots left behind by pruning or removals go: the list is exactly elements 0 to count again.
    lines_.resize(static_cast<std::size_t>(count_));
    lines_.back() = std::move(line);
    changed_ = true;
}

// Recorded as the copy its new line names, which is how the line is found again in the file.
void LogEntries::Replace(int i, std::wstring line) {
    if (i < 1 || i > count_) return;
    Record(LogChange::ReplaceCopy(DestinationPart(line), line));
    lines_[static_cast<std::size_t>(i - 1)] = std::move(line);
    changed_ = true;
}

void LogEntries::Remove(int i) {
    if (i < 1 || i > count_) return;
    Record(LogChange::Remove(Entry(i)));
    RemoveLine(i);
}

void LogEntries::RemoveLine(int i) {
    for (int k = i; k < count_; ++k) lines_[k - 1] = std::move(lines_[k]);
    // The storage keeps its size: the freed slot just behind the new count holds empty text.
    lines_[count_ - 1].clear();
    --count_;
    changed_ = true;
}

void LogEntries::RemoveClosingEmptySlots(int i) {
    if (i < 1 || i > count_) return;
    Record(LogChange::Remove(Entry(i)));
    lines_[static_cast<std::size_t>(i - 1)].clear();
    --count_;
    changed_ = true;
    for (int j = 1; j <= count_; ++j) {
        if (!lines_[j - 1].empty()) continue;
        lines_[j - 1] = std::move(lines_[j]);
        lines_[j].clear();
    }
}

bool LogEntries::Apply(const LogChange& change) {
    switch (change.kind) {
        case LogChange::Kind::Append:
            if (Full()) return false;
            AppendLine(change.line);
            break;
        case LogChange::Kind::ReplaceCopy:
            if (const int i = FirstNaming(change.copy); i > 0) {
                lines_[static_cast<std::size_t>(i - 1)] = change.line;
                changed_ = true;
            } else if (Full()) {
                return false;
            } else {
                AppendLine(change.line);
            }
            break;
        case LogChange::Kind::Remove:
            if (const int i = FirstWithText(change.line); i > 0) RemoveLine(i);
            break;
    }
    Record(change);
    return true;
}

void LogEntries::Saved(LogEntries file) {
    pending_.clear();
    const auto live = [](const LogEntries& log) { return log.lines_.cbegin() + log.count_; };
    if (std::equal(lines_.cbegin(), live(*this), file.lines_.cbegin(), live(file))) return;
    count_ = file.count_;
    lines_ = std::move(file.lines_);
}

void LogEntries::Record(LogChange change) { pending_.push_back(std::move(change)); }

int LogEntries::FirstWithText(const std::wstring& text) const {
    for (int i = 1; i <= count_; ++i) {
        if (Entry(i) == text) return i;
    }
    return 0;
}

int LogEntries::FirstNaming(const std::wstring& path) const {
    const std::wstring wanted = UpperCaseCp1252(Trim(path));
    for (int i = 1; i <= count_; ++i) {
        if (UpperCaseCp1252(Trim(Entry(i))).ends_with(wanted)) return i;
    }
    return 0;
}

std::wstring DestinationPart(const std::wstring& line) {
    // The ">" is counted in the line as stored, the text is taken from the trimmed line.
    const std::size_t arrow = line.find(L'>');
    const std::size_t start = arrow == std::wstring::npos ? 1 : arrow + 2;
    const std::wstring trimmed = Trim(line);
    return start < trimmed.size() ? trimmed.substr(start) : std::wstring();
}

std::wstring Trim(const std::wstring& text) {
    const std::size_t first = text.find_first_not_of(L' ');
    if (first == std::wstring::npos) return std::wstring();
    const std::size_t last = text.find_last_not_of(L' ');
    return text.substr(first, last - first + 1);
}

}  // namespace tesoro
