// The text rules of the log view, its scrolling, the delete-mode marquee and the log editor: plain
// functions on text and entries, no controls.
#pragma once

#include <string>

#include "copy_log/log_entries.h"
#include "platform/line_text.h"

namespace tesoro {

inline constexpr int kRuleLength = 91;
inline constexpr int kNoDataIndent = 50;
// The scroller moves a line through a buffer of this many characters: a longer line is cut.
inline constexpr int kScrollBufferLength = 200;

std::wstring RuleLine();    // 91 asterisks
std::wstring NoDataLine();  // 50 spaces, then "NO HAY DATOS"

// The view's caption: the rule line, then each entry preceded and followed by a carriage return (so one
// empty line between neighbours, and a carriage return at the end); for an empty log, the rule line, the
// no-data line and the rule line again.
LineText LogViewText(const LogEntries& log);

// Text put into a buffer of fixed length: padded with spaces on the right, or cut.
std::wstring FitToLength(const std::wstring& text, int length);

// One scrolling step: the first line, carriage return included, goes through the scroll buffer and its
// trimmed contents are put at the end. A text without a carriage return stays as it is.
void ScrollOneLine(LineText& text);
// What the step puts at the end for this first line (its carriage return included).
std::wstring ScrolledLine(const std::wstring& firstLine);

// One marquee step: the first character goes to the end, through a one-character buffer.
std::wstring MarqueeStep(const std::wstring& caption);

// The next entry, from `from` on, that the editor offers for removal for the name typed: its destination
// does not begin with an upper-case "C" and the trimmed, upper-cased name occurs anywhere in the trimmed,
// upper-cased line. 0 when there is none.
int NextEditorCandidate(const LogEntries& log, const std::wstring& name, int from);

}  // namespace tesoro
