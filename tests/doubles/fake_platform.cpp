#include "doubles/fake_platform.h"

#include <algorithm>
#include <atomic>
#include <condition_variable>
#include <mutex>
#include <stdexcept>
#include <string_view>
#include <utility>

#include "platform/cp1252.h"
#include "platform/paths.h"

namespace tesoro::testing {
namespace {

// Letter case as the system's file names fold it: Latin, Greek and Cyrillic letters, not just Latin-1.
wchar_t Upper(wchar_t c) {
    if (c >= L'a' && c <= L'z') return static_cast<wchar_t>(c - 32);
    if (c < 0xE0) return c;
    if (c <= 0xFE) return c == 0xF7 ? c : static_cast<wchar_t>(c - 32);
    if (c == 0xFF) return 0x178;
    if (c >= 0x100 && c <= 0x17E) {
        if (c == 0x131 || c == 0x138 || c == 0x149 || c == 0x178) return c;
        const bool upperIsEven = c < 0x139 || (c >= 0x14A && c < 0x178);
        return (c % 2 == 1) == upperIsEven ? static_cast<wchar_t>(c - 1) : c;
    }
    if (c >= 0x3B1 && c <= 0x3CB) return c == 0x3C2 ? 0x3A3 : static_cast<wchar_t>(c - 32);  // final sigma
    if (c == 0x3AC) return 0x386;
    if (c >= 0x3AD && c <= 0x3AF) return static_cast<wchar_t>(c - 37);
    if (c == 0x3CC) return 0x38C;
    if (c == 0x3CD || c == 0x3CE) return static_cast<wchar_t>(c - 63);
    if (c >= 0x430 && c <= 0x44F) return static_cast<wchar_t>(c - 32);
    if (c >= 0x450 && c <= 0x45F) return static_cast<wchar_t>(c - 80);
    return c;
}

std::wstring Upper(std::wstring s) {
    for (auto& c : s) c = Upper(c);
    return s;
}

bool LessIgnoringCase(const std::wstring& a, const std::wstring& b) {
    const std::wstring ua = Upper(a), ub = Upper(b);
    return ua != ub ? ua < ub : a < b;
}

// Characters no file name may hold; wildcards are refused separately.
bool ForbiddenInName(wchar_t c) {
    return c < 32 || c == L'<' || c == L'>' || c == L'|' || c == L'"' || c == L':';
}

// The reason is the one the real system's error code would give.
[[noreturn]] void Fail(const std::string& what, const std::wstring& path,
                       FailureReason reason = FailureReason::Other) {
    std::string narrow;
    for (wchar_t c : path) narrow += c < 128 ? static_cast<char>(c) : '?';
    throw PlatformError(what + ": " + narrow, reason);
}

std::wstring StripTrailingDotsAndSpaces(std::wstring name) {
    while (!name.empty() && (name.back() == L'.' || name.back() == L' ')) name.pop_back();
    return name;
}

bool MatchFrom(const std::wstring& name, size_t n, const std::wstring& pattern, size_t p) {
    while (p < pattern.size()) {
        if (pattern[p] == L'*') {
            for (size_t k = n; k <= name.size(); ++k)
                if (MatchFrom(name, k, pattern, p + 1)) return true;
            return false;
        }
        if (n == name.size()) return false;
        if (pattern[p] != L'?' && Upper(pattern[p]) != Upper(name[n])) return false;
        ++n, ++p;
    }
    return n == name.size();
}

bool IsShortNameChar(wchar_t c) {
    return (c >= L'A' && c <= L'Z') || (c >= L'0' && c <= L'9') ||
           std::wstring_view(L"!#$%&'()-@^_`{}~").find(c) != std::wstring_view::npos;
}

// A name the system keeps as its own 8.3 name: at most eight and three valid characters, one dot.
bool IsValidShortName(const std::wstring& name) {
    const std::wstring upper = Upper(name);
    const size_t dot = upper.find(L'.');
    const std::wstring stem = upper.substr(0, dot),
                       ext = dot == std::wstring::npos ? L"" : upper.substr(dot + 1);
    if (stem.empty() || stem.size() > 8 || ext.size() > 3 || ext.find(L'.') != std::wstring::npos)
        return false;
    if (dot != std::wstring::npos && ext.empty()) return false;
    return std::all_of(stem.begin(), stem.end(), IsShortNameChar) &&
           std::all_of(ext.begin(), ext.end(), IsShortNameChar);
}

std::wstring ShortNamePart(const std::wstring& part, size_t length) {
    std::wstring kept;
    for (wchar_t c : Upper(part)) {
        if (c == L' ' || c == L'.') continue;
        kept += IsShortNameChar(c) ? c : L'_';
        if (kept.size() == length) break;
    }
    return kept;
}

// "INFORM" and "BAK" for "informe antiguo.bak": what a generated short name is made of, before "~n".
std::pair<std::wstring, std::wstring> ShortNameBasis(const std::wstring& name) {
    const size_t dot = name.rfind(L'.');
    const std::wstring ext = dot == std::wstring::npos || dot == 0 ? L"" : name.substr(dot + 1);
    return {ShortNamePart(name.substr(0, dot == 0 ? std::wstring::npos : dot), 6), ShortNamePart(ext, 3)};
}

}  // namespace

bool MatchesPattern(const std::wstring& name, const std::wstring& pattern) {
    if (pattern.size() >= 2 && pattern.ends_with(L".*") &&
        MatchesPattern(name, pattern.substr(0, pattern.size() - 2)))
        return true;
    if (pattern.ends_with(L".") && !pattern.ends_with(L".*"))
        return name.find(L'.') == std::wstring::npos &&
               MatchFrom(name, 0, pattern.substr(0, pattern.size() - 1), 0);
    return MatchFrom(name, 0, pattern, 0);
}

// ---- paths ----

std::wstring FakeFileSystem::Parsed::Key() const { return Upper(Display()); }

std::wstring FakeFileSystem::Parsed::Display() const {
    std::wstring s{drive, L':'};
    if (names.empty()) return s + L'\\';
    for (const auto& n : names) s += L'\\' + n;
    return s;
}

std::wstring FakeFileSystem::Parsed::ParentKey() const {
    Parsed parent{drive, names};
    if (!parent.names.empty()) parent.names.pop_back();
    return parent.Key();
}

FakeFileSystem::Parsed FakeFileSystem::Parse(const std::wstring& path, bool wildcardsInLast) const {
    std::wstring p = path;
    std::replace(p.begin(), p.end(), L'/', L'\\');
    if (p.empty()) Fail("empty path", path);
    if (p.starts_with(L"\\\\")) Fail("network path not reachable", path);

    std::wstring base;
    if (p.size() >= 2 && p[1] == L':' && Upper(p[0]) >= L'A' && Upper(p[0]) <= L'Z') {
        const wchar_t letter = Upper(p[0]);
        p = p.substr(2);
        if (!p.starts_with(L'\\')) {
            const Drive* d = FindDrive(letter);
            base = d ? d->currentFolder : std::wstring{letter, L':', L'\\'};
            if (!current_.empty() && Upper(current_[0]) == letter) base = current_;
        } else {
            base = std::wstring{letter, L':'};
        }
    } else {
        if (current_.empty()) Fail("no current folder", path);
        base = p.starts_with(L'\\') ? current_.substr(0, 2) : current_;
    }

    Parsed parsed{Upper(base[0]), {}};
    auto addName = [&](std::wstring name, bool last) {
        for (wchar_t c : name) {
            if (ForbiddenInName(c)) Fail("invalid name", path);
            if ((c == L'*' || c == L'?') && !(wildcardsInLast && last)) Fail("invalid name", path);
        }
        if (name == L"..") {
            if (!parsed.names.empty()) parsed.names.pop_back();
            return;
        }
        name = StripTrailingDotsAndSpaces(std::move(name));
        if (!name.empty()) parsed.names.push_back(std::move(name));
    };
    auto split = [&](const std::wstring& s, bool lastPartIsLast) {
        size_t start = 0;
        while (start <= s.size()) {
            size_t end = s.find(L'\\', start);
            if (end == std::wstring::npos) end = s.size();
            addName(s.substr(start, end - start), lastPartIsLast && end == s.size());
            start = end + 1;
        }
    };
    split(base.substr(2), false);
    split(p, true);
    ResolveShortNames(parsed);
    return parsed;
}

// Each name that names nothing by its long name but is the short name of an entry stands for it.
void FakeFileSystem::ResolveShortNames(Parsed& parsed) const {
    Parsed walk{parsed.drive, {}};
    for (std::wstring& name : parsed.names) {
        walk.names.push_back(name);
        if (name.find(L'~') != std::wstring::npos && !Find(walk.Key())) {
            const std::wstring wanted = Upper(name);
            walk.names.pop_back();
            for (const Entry* e : Children(walk.Key())) {
                std::wstring longName = Parse(e->path).names.back();
                if (ShortName(walk.Key(), longName) == wanted) {
                    name = std::move(longName);
                    break;
                }
            }
            walk.names.push_back(name);
        }
    }
}

std::wstring FakeFileSystem::ShortName(const std::wstring& folderKey, const std::wstring& name) const {
    if (IsValidShortName(name)) return Upper(name);
    const auto basis = ShortNameBasis(name);
    // Entries with the same basis are numbered in the order of their names.
    int number = 1;
    for (const Entry* e : Children(folderKey)) {
        const std::wstring other = Parse(e->path).names.back();
        if (!IsValidShortName(other) && ShortNameBasis(other) == basis && Upper(other) < Upper(name))
            ++number;
    }
    return basis.first + L'~' + std::to_wstring(number) + (basis.second.empty() ? L"" : L"." + basis.second);
}

std::vector<std::wstring> FakeFileSystem::Names(const std::wstring& folder) const {
    std::vector<std::wstring> names;
    const auto parsed = TryParse(folder);
    if (!parsed) return names;
    for (const Entry* e : Children(parsed->Key())) names.push_back(Parse(e->path).names.back());
    return names;
}

std::wstring FakeFileSystem::ShortPath(const std::wstring& path) const {
    const Parsed parsed = Parse(path);
    Parsed walk{parsed.drive, {}};
    std::wstring shortPath{parsed.drive, L':'};
    for (const std::wstring& name : parsed.names) {
        shortPath += L'\\' + ShortName(walk.Key(), name);
        walk.names.push_back(name);
    }
    return shortPath;
}

std::optional<FakeFileSystem::Parsed> FakeFileSystem::TryParse(const std::wstring& path) const {
    try {
        return Parse(path);
    } catch (const PlatformError&) {
        return std::nullopt;
    }
}

FakeFileSystem::Entry* FakeFileSystem::Find(const std::wstring& key) {
    auto it = entries_.find(key);
    return it == entries_.end() ? nullptr : &it->second;
}

const FakeFileSystem::Entry* FakeFileSystem::Find(const std::wstring& key) const {
    auto it = entries_.find(key);
    return it == entries_.end() ? nullptr : &it->second;
}

std::vector<const FakeFileSystem::Entry*> FakeFileSystem::Children(const std::wstring& folderKey) const {
    std::vector<const Entry*> children;
    for (const auto& [key, entry] : entries_) {
        if (key.size() <= 3) continue;  // a root has no parent
        const Parsed parsed = Parse(entry.path);
        if (parsed.ParentKey() == folderKey) children.push_back(&entry);
    }
    return children;
}

// ---- set-up and queries ----

FakeFileSystem::Drive& FakeFileSystem::AddDrive(wchar_t letter, unsigned type, std::wstring label) {
    letter = Upper(letter);
    const std::wstring root{letter, L':', L'\\'};
    Drive& d = drives_[letter];
    d = Drive{letter, type, std::move(label), true, false, std::nullopt, root};
    entries_[root] = Entry{root, true, {}, {}, false};
    return d;
}

FakeFileSystem::Drive& FakeFileSystem::GetDrive(wchar_t letter) {
    auto it = drives_.find(Upper(letter));
    if (it == drives_.end()) throw std::logic_error("test set-up: no such drive");
    return it->second;
}

const FakeFileSystem::Drive* FakeFileSystem::FindDrive(wchar_t letter) const {
    auto it = drives_.find(Upper(letter));
    return it == drives_.end() ? nullptr : &it->second;
}

std::vector<wchar_t> FakeFileSystem::DriveLetters() const {
    std::vector<wchar_t> letters;
    for (const auto& [letter, drive] : drives_) letters.push_back(letter);
    return letters;
}

void FakeFileSystem::AddFolder(const std::wstring& path, FileAttrs attrs) {
    const Parsed parsed = Parse(path);
    GetDrive(parsed.drive);
    Parsed walk{parsed.drive, {}};
    for (const auto& name : parsed.names) {
        walk.names.push_back(name);
        Entry& e = entries_[walk.Key()];
        if (e.path.empty()) e = Entry{walk.Display(), true, {}, {}, false};
        if (!e.folder) throw std::logic_error("test set-up: a file stands where a folder should");
    }
    entries_[parsed.Key()].attrs = attrs;
}

void FakeFileSystem::AddFile(const std::wstring& path, std::string bytes, FileAttrs attrs) {
    const Parsed parsed = Parse(path);
    if (parsed.names.empty()) throw std::logic_error("test set-up: a file needs a name");
    Parsed parent{parsed.drive, parsed.names};
    parent.names.pop_back();
    AddFolder(parent.Display());
    entries_[parsed.Key()] = Entry{parsed.Display(), false, std::move(bytes), attrs, false};
}

void FakeFileSystem::SetAttributes(const std::wstring& path, FileAttrs attrs) {
    Entry* e = Find(Parse(path).Key());
    if (!e) throw std::logic_error("test set-up: no such file or folder");
    e->attrs = attrs;
}

void FakeFileSystem::SetLocked(const std::wstring& path, bool locked) {
    Entry* e = Find(Parse(path).Key());
    if (!e || e->folder) throw std::logic_error("test set-up: no such file");
    e->locked = locked;
}

void FakeFileSystem::Remove(const std::wstring& path) {
    const std::wstring key = Parse(path).Key();
    if (!Find(key)) throw std::logic_error("test set-up: no such file or folder");
    std::erase_if(entries_, [&](const auto& entry) {
        return entry.first == key || entry.first.starts_with(key + L'\\');
    });
}

void FakeFileSystem::SetCurrentFolder(const std::wstring& path) {
    if (!IsFolder(path)) AddFolder(path);
    current_ = Parse(path).Display();
    GetDrive(current_[0]).currentFolder = current_;
}

void FakeFileSystem::SetDriveCurrentFolder(wchar_t letter, const std::wstring& path) {
    const Parsed parsed = Parse(path);
    if (parsed.drive != Upper(letter)) throw std::logic_error("test set-up: folder on another drive");
    GetDrive(letter).currentFolder = parsed.Display();
    if (!current_.empty() && current_[0] == parsed.drive) current_ = parsed.Display();
}

bool FakeFileSystem::Exists(const std::wstring& path) const {
    auto parsed = TryParse(path);
    return parsed && Find(parsed->Key());
}

bool FakeFileSystem::IsFolder(const std::wstring& path) const {
    auto parsed = TryParse(path);
    const Entry* e = parsed ? Find(parsed->Key()) : nullptr;
    return e && e->folder;
}

std::string FakeFileSystem::Contents(const std::wstring& path) const {
    auto parsed = TryParse(path);
    const Entry* e = parsed ? Find(parsed->Key()) : nullptr;
    return e ? e->bytes : std::string();
}

FileAttrs FakeFileSystem::Attributes(const std::wstring& path) const {
    auto parsed = TryParse(path);
    const Entry* e = parsed ? Find(parsed->Key()) : nullptr;
    return e ? e->attrs : FileAttrs{};
}

int FakeFileSystem::WriteCount(const std::wstring& path) const {
    auto parsed = TryParse(path);
    if (!parsed) return 0;
    auto it = writes_.find(parsed->Key());
    return it == writes_.end() ? 0 : it->second;
}

// ---- the service ----

FakeFileSystem::Drive& FakeFileSystem::ReadyDrive(wchar_t letter) {
    auto it = drives_.find(Upper(letter));
    if (it == drives_.end()) Fail("no such drive", std::wstring{letter, L':'});
    if (!it->second.ready) Fail("drive not ready", std::wstring{letter, L':'}, FailureReason::NotReady);
    return it->second;
}

FakeFileSystem::Entry& FakeFileSystem::FolderToRead(const Parsed& folder) {
    ReadyDrive(folder.drive);
    Entry* e = Find(folder.Key());
    if (!e || !e->folder) Fail("folder not found", folder.Display(), FailureReason::NotFound);
    return *e;
}

// The folder a file at `path` would be created in, refusing a missing or write-protected one.
FakeFileSystem::Entry& FakeFileSystem::WritableFolder(const Parsed& path) {
    if (path.names.empty()) Fail("not a file name", path.Display());
    Entry* parent = Find(path.ParentKey());
    if (!parent || !parent->folder) Fail("folder not found", path.Display(), FailureReason::NotFound);
    if (parent->attrs.readOnly) Fail("access denied", path.Display(), FailureReason::AccessDenied);
    return *parent;
}

// Puts `bytes` at `path` as the last step of a write that has passed every check but space.
void FakeFileSystem::Write(const Parsed& path, std::string bytes, std::optional<FileAttrs> attrs) {
    Drive& drive = ReadyDrive(path.drive);
    if (drive.full || (drive.freeBytes && bytes.size() > *drive.freeBytes)) {
        Fail("disk full", path.Display(), FailureReason::DiskFull);
    }
    Entry* old = Find(path.Key());
    if (drive.freeBytes) *drive.freeBytes = *drive.freeBytes - bytes.size() + (old ? old->bytes.size() : 0);
    Entry& e = entries_[path.Key()];
    if (!old) e.path = path.Display();
    e.folder = false;
    e.bytes = std::move(bytes);
    if (attrs) e.attrs = *attrs;
    ++writes_[path.Key()];
}

std::wstring FakeFileSystem::CurrentFolder() { return current_; }

std::wstring FakeFileSystem::DriveCurrentFolder(wchar_t letter) {
    const Drive& d = ReadyDrive(letter);
    if (!current_.empty() && current_[0] == d.letter) return current_;
    return d.currentFolder;
}

std::vector<std::wstring> FakeFileSystem::ListFolders(const std::wstring& folder) {
    ++folderReads;
    return FolderNames(folder);
}

std::vector<std::wstring> FakeFileSystem::ListFiles(const std::wstring& folder, const std::wstring& pattern) {
    ++fileReads;
    return FileNames(folder, pattern);
}

FolderContents FakeFileSystem::ReadFolder(const std::wstring& folder, const std::wstring& pattern) {
    ++bothReads;
    FolderContents contents{FolderNames(folder), {}};
    contents.files = FileNames(folder, pattern);
    return contents;
}

// A reading of a folder for the lists removes the stale temporaries it comes across.
std::vector<std::wstring> FakeFileSystem::FolderNames(const std::wstring& folder) {
    const Parsed parsed = Parse(folder);
    FolderToRead(parsed);
    RemoveStaleTemporariesIn(parsed.Key());
    std::vector<std::wstring> names;
    for (const Entry* e : Children(parsed.Key()))
        if (e->folder && !e->attrs.hidden && !e->attrs.system) names.push_back(Parse(e->path).names.back());
    std::sort(names.begin(), names.end(), LessIgnoringCase);
    return names;
}

std::vector<std::wstring> FakeFileSystem::FileNames(const std::wstring& folder, const std::wstring& pattern) {
    const Parsed parsed = Parse(folder);
    FolderToRead(parsed);
    for (wchar_t c : pattern)
        if (ForbiddenInName(c) || c == L'\\' || c == L'/') Fail("invalid pattern", pattern);
    if (MatchesPattern(TemporaryFileName({}, 0), pattern)) RemoveStaleTemporariesIn(parsed.Key());
    std::vector<std::wstring> names;
    for (const Entry* e : Children(parsed.Key())) {
        if (!Ordinary(*e)) continue;
        std::wstring name = Parse(e->path).names.back();
        if (MatchesPattern(name, pattern)) names.push_back(std::move(name));
    }
    std::sort(names.begin(), names.end(), LessIgnoringCase);
    return names;
}

// An existence question about a drive that cannot be read is answered "no", as the system's is.
bool FakeFileSystem::FolderExists(const std::wstring& path) {
    auto parsed = TryParse(path);
    const Drive* drive = parsed ? FindDrive(parsed->drive) : nullptr;
    const Entry* e = drive && drive->ready ? Find(parsed->Key()) : nullptr;
    return e && e->folder;
}

bool FakeFileSystem::PathExists(const std::wstring& path) {
    auto parsed = TryParse(path);
    const Drive* drive = parsed ? FindDrive(parsed->drive) : nullptr;
    return drive && drive->ready && Find(parsed->Key()) != nullptr;
}

// What a search and a list show: files that are not hidden, not system and not our temporaries.
bool FakeFileSystem::Ordinary(const Entry& e) const {
    return !e.folder && !e.attrs.hidden && !e.attrs.system &&
           !IsTemporaryFileName(Parse(e.path).names.back());
}

bool FakeFileSystem::FindOrdinaryFile(const std::wstring& path) {
    ++searches;
    const Parsed parsed = Parse(path, true);
    if (!FindDrive(parsed.drive)) return false;
    ReadyDrive(parsed.drive);
    if (parsed.names.empty()) return false;
    const Entry* folder = Find(parsed.ParentKey());
    if (!folder || !folder->folder) return false;
    const std::wstring& wanted = parsed.names.back();
    if (wanted.find_first_of(L"*?") == std::wstring::npos) {
        const Entry* e = Find(parsed.Key());  // an 8.3 name is resolved already
        return e && Ordinary(*e);
    }
    for (const Entry* e : Children(parsed.ParentKey()))
        if (Ordinary(*e) && MatchesPattern(Parse(e->path).names.back(), wanted)) return true;
    return false;
}

FileLookup FakeFileSystem::LookUpOrdinaryFile(const std::wstring& path) {
    ++lookUps;
    if (path.find_first_of(L"*?") != std::wstring::npos) {
        return FindOrdinaryFile(path) ? FileLookup::OrdinaryFile : FileLookup::NoOrdinaryFile;
    }
    const Parsed parsed = Parse(path);
    if (!FindDrive(parsed.drive)) return FileLookup::FolderMissing;
    ReadyDrive(parsed.drive);
    if (const Entry* e = Find(parsed.Key())) {
        return Ordinary(*e) ? FileLookup::OrdinaryFile : FileLookup::NoOrdinaryFile;
    }
    const Entry* folder = Find(parsed.ParentKey());
    return folder && folder->folder ? FileLookup::NoOrdinaryFile : FileLookup::FolderMissing;
}

bool FakeFileSystem::SameName(const std::wstring& a, const std::wstring& b) { return Upper(a) == Upper(b); }

bool FakeFileSystem::SameFile(const std::wstring& a, const std::wstring& b) {
    const auto first = TryParse(a), second = TryParse(b);
    if (!first || !second || first->Key() != second->Key()) return false;
    const Drive* drive = FindDrive(first->drive);
    return drive && drive->ready && Find(first->Key());
}

// A file is written whole under a temporary name before it replaces the old one, so the new file must
// fit beside the old.
void FakeFileSystem::CheckSpace(const Drive& drive, const Parsed& path, std::size_t bytes) const {
    if (drive.full || (drive.freeBytes && bytes > *drive.freeBytes)) {
        Fail("disk full", path.Display(), FailureReason::DiskFull);
    }
}

// In the real one's steps, each refusal naming its step: the source opened, the copy written beside the
// file it replaces, then put in its place.
void FakeFileSystem::CopyFile(const std::wstring& from, const std::wstring& to, CopyProgress* progress) {
    lastCopyThread = std::this_thread::get_id();
    const Parsed source = Parse(from), target = Parse(to);
    const Entry& src = InCopyStep(CopyStep::OpenSource, [&]() -> const Entry& {
        ReadyDrive(source.drive);
        const Entry* e = Find(source.Key());
        if (!e) Fail("source not found", from, FailureReason::NotFound);
        if (e->folder) Fail("source is a folder", from, FailureReason::IsFolder);
        if (e->locked) Fail("source in use", from, FailureReason::InUse);
        return *e;
    });
    const Drive& drive = InCopyStep(CopyStep::PutInPlace, [&]() -> const Drive& {
        const Drive& d = ReadyDrive(target.drive);
        if (source.Key() == target.Key())
            Fail("source and destination are the same file", to, FailureReason::SameFile);
        if (const Entry* dst = Find(target.Key())) {
            if (dst->folder) Fail("destination is a folder", to, FailureReason::IsFolder);
            if (dst->attrs.hidden || dst->attrs.system)
                Fail("destination hidden or system", to, FailureReason::HiddenOrSystem);
        }
        return d;
    });
    InCopyStep(CopyStep::WriteCopy, [&] {
        WritableFolder(target);
        RemoveStaleTemporariesIn(target.ParentKey());
        CheckSpace(drive, target, src.bytes.size());
        if (!progress) return;
        const std::uint64_t total = src.bytes.size();
        std::uint64_t done = 0;
        do {
            if (progress->CancelRequested()) throw CopyCancelled();
            done = std::min<std::uint64_t>(total, done + copyPieceBytes);
            progress->Report(done, total);
        } while (done < total);
        if (progress->CancelRequested()) throw CopyCancelled();
    });
    InCopyStep(CopyStep::PutInPlace, [&] {
        WaitWhileHeld(target);
        Write(target, src.bytes, src.attrs);
    });
}

bool FakeFileSystem::Held(const Parsed& path) const {
    const Entry* e = Find(path.Key());
    return e && (e->locked || nowMs < e->heldUntilMs);
}

// The step that puts a written file in place: tried again while another program holds the old one.
void FakeFileSystem::WaitWhileHeld(const Parsed& target) {
    RetryWhileHeld([&] { return Held(target); }, clock_);
    if (Held(target)) Fail("file in use", target.Display(), FailureReason::InUse);
}

void FakeFileSystem::HoldFor(const std::wstring& path, unsigned ms) {
    Entry* e = Find(Parse(path).Key());
    if (!e) throw std::logic_error("no such file");
    e->heldUntilMs = nowMs + ms;
}

namespace {

class FakeUpdateLock : public UpdateLock {
public:
    FakeUpdateLock(std::set<std::wstring>& held, std::wstring key) : held_(held), key_(std::move(key)) {}
    ~FakeUpdateLock() override { held_.erase(key_); }

private:
    std::set<std::wstring>& held_;
    std::wstring key_;
};

}  // namespace

std::unique_ptr<UpdateLock> FakeFileSystem::LockUpdates(const std::wstring& path) {
    const std::wstring key = Upper(path);
    if (lockedByOthers.count(key) || lockedHere_.count(key)) Fail("update lock held elsewhere", path);
    lockedHere_.insert(key);
    return std::make_unique<FakeUpdateLock>(lockedHere_, key);
}

void FakeFileSystem::DeleteFile(const std::wstring& path) {
    const Parsed parsed = Parse(path);
    ReadyDrive(parsed.drive);
    if (deleteRefusal) throw *deleteRefusal;
    const Entry* e = Find(parsed.Key());
    if (!e) Fail("file not found", path, FailureReason::NotFound);
    if (e->folder) Fail("is a folder", path, FailureReason::AccessDenied);
    if (e->locked) Fail("file in use", path, FailureReason::InUse);
    if (e->attrs.readOnly) Fail("access denied", path, FailureReason::ReadOnly);
    WritableFolder(parsed);
    if (Drive& d = ReadyDrive(parsed.drive); d.freeBytes) *d.freeBytes += e->bytes.size();
    entries_.erase(parsed.Key());
}

void FakeFileSystem::RemoveStaleTemporaries(const std::wstring& folder) {
    const auto parsed = TryParse(folder);
    const Drive* drive = parsed ? FindDrive(parsed->drive) : nullptr;
    if (drive && drive->ready) RemoveStaleTemporariesIn(parsed->Key());
}

void FakeFileSystem::RemoveStaleTemporariesIn(const std::wstring& folderKey) {
    const Entry* folder = Find(folderKey);
    if (!folder || !folder->folder || folder->attrs.readOnly) return;
    std::vector<std::wstring> stale;
    for (const Entry* e : Children(folderKey)) {
        const auto writer = TemporaryFileWriter(Parse(e->path).names.back());
        const bool running = writer && std::find(runningProcesses.begin(), runningProcesses.end(), *writer) !=
                                           runningProcesses.end();
        if (writer && !running && !e->folder && !e->locked) stale.push_back(Upper(e->path));
    }
    for (const std::wstring& key : stale) {
        Drive& drive = GetDrive(key[0]);
        if (drive.freeBytes) *drive.freeBytes += entries_[key].bytes.size();
        entries_.erase(key);
    }
}

std::wstring FakeFileSystem::AddTemporary(const std::wstring& folder, const ProcessStamp& writer,
                                          std::string bytes) {
    static unsigned serial = 0;
    const std::wstring path = JoinPath(Parse(folder).Display(), TemporaryFileName(writer, serial++));
    AddFile(path, std::move(bytes), {.hidden = true});
    return path;
}

std::optional<std::string> FakeFileSystem::ReadFile(const std::wstring& path) {
    const Parsed parsed = Parse(path);
    if (!FindDrive(parsed.drive)) return std::nullopt;
    ReadyDrive(parsed.drive);
    const Entry* e = Find(parsed.Key());
    if (!e) return std::nullopt;
    if (e->folder) Fail("is a folder", path);
    WaitWhileHeld(parsed);
    return e->bytes;
}

void FakeFileSystem::CreateEmptyFile(const std::wstring& path) {
    const Parsed parsed = Parse(path);
    ReadyDrive(parsed.drive);
    if (const Entry* e = Find(parsed.Key())) {
        if (e->folder) Fail("is a folder", path);
        return;
    }
    WritableFolder(parsed);
    Write(parsed, {}, FileAttrs{});
}

void FakeFileSystem::ReplaceFile(const std::wstring& path, const std::string& bytes) {
    const Parsed parsed = Parse(path);
    const Drive& drive = ReadyDrive(parsed.drive);
    if (const Entry* e = Find(parsed.Key())) {
        if (e->folder) Fail("is a folder", path);
        if (e->attrs.readOnly) Fail("access denied", path);
    }
    WritableFolder(parsed);
    RemoveStaleTemporariesIn(parsed.ParentKey());
    CheckSpace(drive, parsed, bytes.size());
    WaitWhileHeld(parsed);
    Write(parsed, bytes, FileAttrs{});
}

// ---- drives ----

std::uint32_t FakeDrives::LogicalDriveStrings(std::uint32_t length, std::wstring& buffer) {
    if (failLogicalDriveStrings) return 0;
    std::wstring roots;
    for (wchar_t letter : fs_.DriveLetters()) roots += std::wstring{letter, L':', L'\\', L'\0'};
    const auto written = static_cast<std::uint32_t>(roots.size());
    if (length < written + 1) return written + 1;
    roots += L'\0';
    if (buffer.size() < roots.size()) buffer.resize(roots.size(), L' ');
    std::copy(roots.begin(), roots.end(), buffer.begin());
    return written;
}

unsigned FakeDrives::DriveType(const std::wstring& root) {
    const std::wstring name = root.substr(0, root.find(L'\0'));
    if (name.size() < 2 || name.size() > 3 || name[1] != L':' || (name.size() == 3 && name[2] != L'\\'))
        return kNoRoot;
    const auto* drive = fs_.FindDrive(name[0]);
    return drive ? drive->type : kNoRoot;
}

std::wstring FakeDrives::VolumeLabel(wchar_t letter) {
    ++labelQueries;
    const auto* drive = fs_.FindDrive(letter);
    return drive && drive->ready ? drive->label : std::wstring();
}

// ---- dialogs and the rest ----

std::vector<std::wstring> ScriptedDialogs::Texts() const {
    std::vector<std::wstring> texts;
    for (const auto& m : messages) texts.push_back(m.text);
    return texts;
}

MsgAnswer ScriptedDialogs::MessageBox(const std::wstring& text, const std::wstring& title, MsgIcon icon,
                                      MsgButtons buttons) {
    messages.push_back({text, title, icon, buttons});
    if (whileOpen) whileOpen();
    if (buttons == MsgButtons::Ok) {
        if (!answers.empty() && answers.front() == MsgAnswer::Ok) answers.pop_front();
        return MsgAnswer::Ok;
    }
    const bool yesNo = buttons == MsgButtons::YesNo;
    const bool fits = !answers.empty() &&
                      (yesNo ? answers.front() == MsgAnswer::Yes || answers.front() == MsgAnswer::No
                             : answers.front() == MsgAnswer::Retry || answers.front() == MsgAnswer::Cancel);
    if (!fits) {
        const std::wstring report = L"unscripted question: " + text;
        if (reportUnscripted) {
            reportUnscripted(report);
        } else {
            throw std::logic_error("unscripted question");
        }
        return yesNo ? MsgAnswer::No : MsgAnswer::Cancel;
    }
    const MsgAnswer answer = answers.front();
    answers.pop_front();
    return answer;
}

std::optional<std::wstring> ScriptedDialogs::InputBox(const std::wstring& prompt, const std::wstring& title,
                                                      const std::wstring& initial) {
    prompts.push_back({prompt, title, initial});
    if (whileOpen) whileOpen();
    if (inputs.empty()) return initial;
    std::optional<std::wstring> answer = std::move(inputs.front());
    inputs.pop_front();
    return answer;
}

namespace {

// What the work reports, and the user's Cancelar. With a pause, the work waits after its first piece
// until the waiting thread lets it go on.
class RecordedProgress : public CopyProgress {
public:
    RecordedProgress(ScriptedDialogs::ProgressRun& run, std::optional<std::uint64_t> cancelAfter, bool pause)
        : run_(run), cancelAfter_(cancelAfter), pausing_(pause) {}
    void Report(std::uint64_t done, std::uint64_t total) override {
        run_.reports.emplace_back(done, total);
        if (cancelAfter_ && done >= *cancelAfter_) cancelled_ = true;
        std::unique_lock lock(mutex_);
        if (!pausing_) return;
        paused_ = true;
        changed_.notify_all();
        changed_.wait(lock, [this] { return !pausing_; });
    }
    bool CancelRequested() override { return cancelled_; }
    void Cancel() { cancelled_ = true; }
    bool Cancelled() const { return cancelled_; }

    // Waits until the work has paused after its first piece or has ended.
    void WaitForPause(const std::atomic<bool>& ended) {
        std::unique_lock lock(mutex_);
        changed_.wait(lock, [&] { return paused_ || ended; });
    }
    void WorkEnded() {
        std::lock_guard lock(mutex_);
        changed_.notify_all();
    }
    void GoOn() {
        std::lock_guard lock(mutex_);
        pausing_ = false;
        changed_.notify_all();
    }

private:
    ScriptedDialogs::ProgressRun& run_;
    std::optional<std::uint64_t> cancelAfter_;
    std::atomic<bool> cancelled_{false};
    std::mutex mutex_;
    std::condition_variable changed_;
    bool pausing_;
    bool paused_ = false;
};

template <typename F>
struct AtExit {
    F run;
    ~AtExit() { run(); }
};
template <typename F>
AtExit(F) -> AtExit<F>;

// The work's thread, asked to stop and joined however the wait for it ends.
class WorkThread {
public:
    WorkThread(RecordedProgress& progress, std::function<void()> body)
        : progress_(progress), thread_([this, body = std::move(body)] {
              body();
              ended = true;
              progress_.WorkEnded();
          }) {}
    // Left early (the wait threw): the work is asked to stop first.
    ~WorkThread() {
        if (!thread_.joinable()) return;
        progress_.Cancel();
        Join();
    }
    void Join() {
        progress_.GoOn();
        thread_.join();
    }
    std::atomic<bool> ended{false};

private:
    RecordedProgress& progress_;
    std::thread thread_;
};

}  // namespace

void ScriptedDialogs::RunWithProgress(const std::wstring& title, const std::wstring& text,
                                      const std::function<void(CopyProgress&)>& work) {
    ProgressRun run{title, text, {}, false};
    RecordedProgress progress(run, cancelAfterBytes, static_cast<bool>(whileWorking));
    std::exception_ptr failure;
    {
        cancelWork_ = [&progress] { progress.Cancel(); };
        const AtExit recorded{[&] {
            cancelWork_ = nullptr;
            run.cancelled = progress.Cancelled();
            progressRuns.push_back(run);
        }};
        WorkThread worker(progress, [&] {
            try {
                work(progress);
            } catch (...) {
                failure = std::current_exception();
            }
        });
        if (whileWorking) {
            progress.WaitForPause(worker.ended);
            whileWorking();
        }
        worker.Join();
    }
    if (failure) std::rethrow_exception(failure);
}

void ScriptedDialogs::CancelWork() {
    if (cancelWork_) cancelWork_();
}

std::string FakeCodec::ToAnsi(const std::wstring& text) { return EncodeCp1252(text); }
std::wstring FakeCodec::FromAnsi(const std::string& bytes) { return DecodeCp1252(bytes); }

FakePlatform::FakePlatform() {
    fs.AddDrive(L'C', kFixed, L"SISTEMA");
    fs.AddFolder(L"C:\\Windows\\Temp");
    fs.SetCurrentFolder(L"C:\\");
}

// ---- Windows ----

namespace {

class FakeFormWindow : public FormWindow, public FormView {
public:
    FakeFormWindow(Form& form, FakeWindows::Record& record) : form_(form), record_(record) {
        form_.Bind(this);
    }
    ~FakeFormWindow() override {
        form_.Bind(nullptr);
        record_.destroyed = true;
    }
    void Changed(Property) override {}
    std::uintptr_t Handle() override { return record_.destroyed ? 0 : record_.handle; }
    void Show() override { ++record_.shows; }
    void BringToFront() override { ++record_.broughtToFront; }
    void Destroy() override { record_.destroyed = true; }
    void FollowPointer(MouseButton button) override { record_.followed.push_back(button); }

private:
    Form& form_;
    FakeWindows::Record& record_;
};

}  // namespace

std::unique_ptr<FormWindow> FakeWindows::Create(const FormContent& content) {
    Record& record = opened.emplace_back();
    record.caption = content.form.caption;
    record.handle = 0x1000 + 0x10 * opened.size();
    record.form = &content.form;
    return std::make_unique<FakeFormWindow>(content.form, record);
}

const FakeWindows::Record& FakeWindows::ByHandle(std::uintptr_t handle) const {
    for (const Record& record : opened) {
        if (record.handle == handle) return record;
    }
    throw std::logic_error("no window has that handle");
}

std::uintptr_t FakeWindowApi::Add(Shape shape) {
    const std::uintptr_t handle = next_++;
    regions[handle].shapes = {shape};
    return handle;
}

std::uintptr_t FakeWindowApi::CreateRectRgn(int left, int top, int right, int bottom) {
    calls.push_back("CreateRectRgn");
    // An empty rectangle is an empty region.
    if (right <= left || bottom <= top) {
        const std::uintptr_t handle = next_++;
        regions[handle];
        return handle;
    }
    return Add({false, left, top, right, bottom});
}

std::uintptr_t FakeWindowApi::CreateEllipticRgn(int left, int top, int right, int bottom) {
    calls.push_back("CreateEllipticRgn");
    return Add({true, left, top, right, bottom});
}

int FakeWindowApi::CombineRgn(std::uintptr_t destination, std::uintptr_t source1, std::uintptr_t source2,
                              int mode) {
    calls.push_back(mode == kRgnCopy ? "CombineRgn RGN_COPY"
                    : mode == kRgnOr ? "CombineRgn RGN_OR"
                                     : "CombineRgn ?");
    Region& target = regions.at(destination);
    std::vector<Shape> shapes = regions.at(source1).shapes;
    if (mode == kRgnOr) {
        const auto& more = regions.at(source2).shapes;
        shapes.insert(shapes.end(), more.begin(), more.end());
    } else if (mode != kRgnCopy) {
        return 0;  // ERROR
    }
    target.shapes = std::move(shapes);
    return target.shapes.size() > 1 ? 3 : 2;  // COMPLEXREGION, SIMPLEREGION
}

bool FakeWindowApi::DeleteObject(std::uintptr_t object) {
    calls.push_back("DeleteObject");
    auto found = regions.find(object);
    if (found == regions.end() || found->second.deleted) return false;
    if (found->second.ownedBySystem) ++deletesOfSystemRegions;
    found->second.deleted = true;
    return true;
}

int FakeWindowApi::SetWindowRgn(std::uintptr_t window, std::uintptr_t region, bool redraw) {
    calls.push_back(std::string("SetWindowRgn") + (redraw ? " redraw" : ""));
    if (failSetWindowRgn) return 0;
    regions.at(region).ownedBySystem = true;
    windowRegions[window] = region;
    return 1;
}

bool FakeWindowApi::ReleaseCapture() {
    calls.push_back("ReleaseCapture");
    return true;
}

std::intptr_t FakeWindowApi::SendWindowMessage(std::uintptr_t window, unsigned message, std::uintptr_t wParam,
                                               std::intptr_t lParam) {
    calls.push_back("SendMessage " + std::to_string(window) + " " + std::to_string(message) + " " +
                    std::to_string(wParam) + " " + std::to_string(lParam));
    return 0;
}

const FakeWindowApi::Region* FakeWindowApi::WindowRegion(std::uintptr_t window) const {
    const auto found = windowRegions.find(window);
    return found == windowRegions.end() ? nullptr : &regions.at(found->second);
}

int FakeWindowApi::LeakedRegions() const {
    int leaked = 0;
    for (const auto& [handle, region] : regions) {
        if (!region.deleted && !region.ownedBySystem) ++leaked;
    }
    return leaked;
}

}  // namespace tesoro::testing
