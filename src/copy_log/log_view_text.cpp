#include "copy_log/log_view_text.h"

#include <algorithm>

#include "platform/cp1252.h"

namespace tesoro {

std::wstring RuleLine() { return std::wstring(kRuleLength, L'*'); }

std::wstring NoDataLine() { return std::wstring(kNoDataIndent, L' ') + L"NO HAY DATOS"; }

LineText LogViewText(const LogEntries& log) {
    constexpr wchar_t kBreak[] = {LineText::kLineBreak, L'\0'};
    LineText text(RuleLine());
    if (log.Count() == 0) {
        text.Append(kBreak + NoDataLine() + kBreak + RuleLine());
        return text;
    }
    for (int i = 1; i <= log.Count(); ++i) {
        text.Append(kBreak);
        text.Append(log.Entry(i));
        text.Append(kBreak);
    }
    return text;
}

std::wstring FitToLength(const std::wstring& text, int length) {
    std::wstring fitted = text.substr(0, static_cast<std::size_t>(length));
    fitted.resize(static_cast<std::size_t>(length), L' ');
    return fitted;
}

std::wstring ScrolledLine(const std::wstring& firstLine) {
    return Trim(FitToLength(firstLine, kScrollBufferLength));
}

void ScrollOneLine(LineText& text) {
    if (!text.HasLineBreak()) return;
    text.Append(ScrolledLine(text.TakeFirstLine()));
}

std::wstring MarqueeStep(const std::wstring& caption) {
    const std::wstring first = FitToLength(caption.substr(0, 1), 1);
    return (caption.empty() ? std::wstring() : caption.substr(1)) + first;
}

int NextEditorCandidate(const LogEntries& log, const std::wstring& name, int from) {
    const std::wstring wanted = UpperCaseCp1252(Trim(name));
    for (int i = std::max(from, 1); i <= log.Count(); ++i) {
        const std::wstring& line = log.Entry(i);
        if (DestinationPart(line).starts_with(L'C')) continue;
        if (UpperCaseCp1252(Trim(line)).find(wanted) != std::wstring::npos) return i;
    }
    return 0;
}

}  // namespace tesoro
