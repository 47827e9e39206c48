#include "main_window/command_line.h"

#include <string_view>

#include "main_window/file_names.h"
#include "platform/ascii.h"

namespace tesoro {

namespace {

bool IsBlank(wchar_t c) { return c == L' ' || c == L'\t'; }
bool IsSlash(wchar_t c) { return c == L'\\' || c == L'/'; }

std::wstring_view Trimmed(std::wstring_view text) {
    while (!text.empty() && IsBlank(text.front())) text.remove_prefix(1);
    while (!text.empty() && IsBlank(text.back())) text.remove_suffix(1);
    return text;
}

// The program's name ends at its closing quote when quoted, else at the first blank; it has no escapes.
std::wstring_view AfterProgramName(std::wstring_view line) {
    std::size_t end = 0;
    if (line.starts_with(L'"')) {
        end = line.find(L'"', 1);
        end = end == std::wstring_view::npos ? line.size() : end + 1;
    } else {
        while (end < line.size() && !IsBlank(line[end])) ++end;
    }
    return Trimmed(line.substr(end));
}

// The first argument by the runtime's rules: backslashes stand for themselves except before a quote,
// where each pair gives one and an odd one left makes the quote a character; other quotes begin and end
// a part in which blanks do not split.
std::wstring FirstArgument(std::wstring_view arguments) {
    std::wstring argument;
    bool quoted = false;
    std::size_t backslashes = 0;
    for (wchar_t c : arguments) {
        if (c == L'\\') {
            ++backslashes;
            continue;
        }
        if (c == L'"') {
            argument.append(backslashes / 2, L'\\');
            if (backslashes % 2 == 1) {
                argument += L'"';
            } else {
                quoted = !quoted;
            }
            backslashes = 0;
            continue;
        }
        argument.append(backslashes, L'\\');
        backslashes = 0;
        if (IsBlank(c) && !quoted) break;
        argument += c;
    }
    argument.append(backslashes, L'\\');
    return argument;
}

// A path holds no quote: a quote in an argument is the backslash before a closing quote, which the
// rules took for an escape. The path ends with that backslash; what follows belongs to later arguments.
// The extended-length form \\?\ is read as the usual one.
std::wstring UsualForm(std::wstring path) {
    if (const auto quote = path.find(L'"'); quote != std::wstring::npos)
        path.replace(quote, std::wstring::npos, L"\\");
    if (path.starts_with(L"\\\\?\\UNC\\")) return L"\\\\" + path.substr(8);
    if (path.starts_with(L"\\\\?\\")) return path.substr(4);
    return path;
}

bool StartsWithDrive(const std::wstring& path) {
    return path.size() >= 2 && IsAsciiLetter(path[0]) && path[1] == L':';
}

// The folder the system keeps current for the drive; its root when the drive cannot be read.
std::wstring CurrentFolderOf(wchar_t letter, FileSystem& fs) {
    try {
        return fs.DriveCurrentFolder(letter);
    } catch (const PlatformError&) {
        return {letter, L':', L'\\'};
    }
}

std::wstring Within(const std::wstring& folder, const std::wstring& relative) {
    return relative.empty() ? folder : JoinPath(folder, relative);
}

// As the system completes a path: "x" in the current folder, "D:x" in D:'s current folder, "\x" on the
// current drive.
std::wstring Absolute(const std::wstring& path, FileSystem& fs) {
    const bool network = path.size() >= 2 && IsSlash(path[0]) && IsSlash(path[1]);
    if (network || (StartsWithDrive(path) && path.size() >= 3 && IsSlash(path[2]))) return path;
    if (StartsWithDrive(path)) return Within(CurrentFolderOf(path[0], fs), path.substr(2));
    std::wstring current;
    try {
        current = fs.CurrentFolder();
    } catch (const PlatformError&) {
        return path;  // no current folder to complete it with: the path stays as given
    }
    if (!path.empty() && IsSlash(path[0]))
        return StartsWithDrive(current) ? current.substr(0, 2) + path : path;
    return Within(current, path);
}

std::wstring LastName(const std::wstring& path) { return path.substr(path.find_last_of(L"\\/") + 1); }

}  // namespace

std::wstring PathFromCommandLine(const std::wstring& commandLine, FileSystem& fs) {
    const std::wstring_view arguments = AfterProgramName(commandLine);
    std::wstring path = UsualForm(FirstArgument(arguments));
    const bool split = arguments.find_first_of(L" \t") != std::wstring_view::npos;
    if (split && arguments.find(L'"') == std::wstring_view::npos && !fs.PathExists(Absolute(path, fs))) {
        path = UsualForm(std::wstring(arguments));  // older shortcuts pass a path with spaces unquoted
    }
    if (path.empty() || IsDeviceName(LastName(path))) return path;
    return Absolute(path, fs);
}

}  // namespace tesoro
