// Exercises the real file-system and drive services in a scratch folder (under Wine: see run.sh).
// Prints one line per case and a final count; the exit code is non-zero when a case failed.
#include <cstdint>
#include <cstdio>
#include <functional>
#include <map>
#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "contract/file_system_contract.h"
#include "platform/win32/win32_services.h"

namespace {

using tesoro::PlatformError;
using tesoro::contract::Throws;

int passed = 0, failed = 0;

void Report(const char* name, bool ok) {
    std::printf("%s  %s\n", ok ? "pass" : "FAIL", name);
    ++(ok ? passed : failed);
}

void Skip(const char* name, const char* why) { std::printf("skip  %s (%s)\n", name, why); }

// Set-up goes straight to the API in the extended form, so it works for long paths too.
std::wstring Raw(const std::wstring& path) { return L"\\\\?\\" + path; }

void Write(const std::wstring& path, const std::string& bytes) {
    HANDLE file = CreateFileW(Raw(path).c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
    DWORD written = 0;
    WriteFile(file, bytes.data(), static_cast<DWORD>(bytes.size()), &written, nullptr);
    CloseHandle(file);
}

std::optional<std::string> Read(const std::wstring& path) {
    HANDLE file = CreateFileW(Raw(path).c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                              OPEN_EXISTING, 0, nullptr);
    if (file == INVALID_HANDLE_VALUE) return std::nullopt;
    std::string bytes;
    char chunk[4096];
    DWORD read = 0;
    while (ReadFile(file, chunk, sizeof chunk, &read, nullptr) && read > 0) bytes.append(chunk, read);
    CloseHandle(file);
    return bytes;
}

DWORD Attributes(const std::wstring& path) { return GetFileAttributesW(Raw(path).c_str()); }

FILETIME LastWrite(const std::wstring& path) {
    WIN32_FILE_ATTRIBUTE_DATA data{};
    GetFileAttributesExW(Raw(path).c_str(), GetFileExInfoStandard, &data);
    return data.ftLastWriteTime;
}

std::vector<std::wstring> Entries(const std::wstring& folder) {
    std::vector<std::wstring> names;
    WIN32_FIND_DATAW entry;
    HANDLE found = FindFirstFileW(Raw(folder + L"\\*").c_str(), &entry);
    if (found == INVALID_HANDLE_VALUE) return names;
    do {
        std::wstring name = entry.cFileName;
        if (name != L"." && name != L"..") names.push_back(name);
    } while (FindNextFileW(found, &entry));
    FindClose(found);
    return names;
}

bool NoTemporaryLeft(const std::wstring& folder) {
    for (const std::wstring& name : Entries(folder)) {
        if (name.starts_with(L"~tesoro")) return false;
    }
    return true;
}

void RemoveTree(const std::wstring& path) {
    DWORD attributes = Attributes(path);
    if (attributes == INVALID_FILE_ATTRIBUTES) return;
    SetFileAttributesW(Raw(path).c_str(), FILE_ATTRIBUTE_NORMAL);
    if (!(attributes & FILE_ATTRIBUTE_DIRECTORY)) {
        DeleteFileW(Raw(path).c_str());
        return;
    }
    for (const std::wstring& name : Entries(path)) RemoveTree(path + L"\\" + name);
    RemoveDirectoryW(Raw(path).c_str());
}

// One scratch folder per case group, made fresh.
class Scratch {
public:
    explicit Scratch(const std::wstring& root, const wchar_t* name) : path_(root + L"\\" + name) {
        CreateDirectoryW(Raw(path_).c_str(), nullptr);
    }
    std::wstring operator/(const std::wstring& name) const { return path_ + L"\\" + name; }
    const std::wstring& path() const { return path_; }

private:
    std::wstring path_;
};

std::string SampleBytes() {
    std::string bytes;
    for (int i = 0; i < 70000; ++i) bytes.push_back(static_cast<char>(i * 7 % 256));
    return bytes;
}

constexpr DWORD kProtection = FILE_ATTRIBUTE_READONLY | FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_SYSTEM;

void CopyKeepsContentTimeAndAttributes(tesoro::FileSystem& fs, const std::wstring& root) {
    Scratch dir(root, L"copy");
    std::wstring source = dir / L"source.dat", target = dir / L"copy.bak";
    Write(source, SampleBytes());
    FILETIME past{0x12345600, 0x01C0A000};
    HANDLE file =
        CreateFileW(Raw(source).c_str(), FILE_WRITE_ATTRIBUTES, 0, nullptr, OPEN_EXISTING, 0, nullptr);
    SetFileTime(file, nullptr, nullptr, &past);
    CloseHandle(file);
    SetFileAttributesW(Raw(source).c_str(), FILE_ATTRIBUTE_READONLY);

    bool threw = Throws([&] { fs.CopyFile(source, target); });
    Report("copy: a new destination gets the source's bytes", !threw && Read(target) == SampleBytes());
    FILETIME copied = LastWrite(target);
    Report("copy: the last-write time is kept", CompareFileTime(&past, &copied) == 0);
    Report("copy: the attributes are kept",
           (Attributes(target) & kProtection) == (Attributes(source) & kProtection) &&
               (Attributes(target) & FILE_ATTRIBUTE_READONLY));
    Report("copy: no temporary file is left", NoTemporaryLeft(dir.path()));

    std::wstring old = dir / L"old.bak";
    Write(old, "earlier copy");
    threw = Throws([&] { fs.CopyFile(source, old); });
    Report("copy: an ordinary destination is replaced", !threw && Read(old) == SampleBytes());
    Report("copy: replacing leaves exactly the expected files",
           Entries(dir.path()).size() == 3 && NoTemporaryLeft(dir.path()));
}

// Each way of naming the source again must be refused with both files left as they were.
void CopyOntoItselfIsRefused(tesoro::FileSystem& fs, const std::wstring& root) {
    Scratch dir(root, L"self");
    std::wstring source = dir / L"Precious Long Name.txt";
    Write(source, "precious");
    auto refused = [&](const std::wstring& target) {
        return Throws([&] { fs.CopyFile(source, target); }) && Read(source) == "precious" &&
               NoTemporaryLeft(dir.path());
    };
    Report("copy onto itself: same path refused", refused(source));
    Report("copy onto itself: other letter case refused", refused(dir / L"PRECIOUS LONG NAME.TXT"));

    wchar_t shortPath[MAX_PATH];
    DWORD length = GetShortPathNameW(source.c_str(), shortPath, MAX_PATH);
    std::wstring shortName = length > 0 && length < MAX_PATH ? shortPath : L"";
    if (shortName.empty() || shortName == source) {
        Skip("copy onto itself: 8.3 short name refused", "the system gives no short name");
    } else {
        Report("copy onto itself: 8.3 short name refused", refused(shortName));
    }

    std::wstring link = dir / L"link.txt";
    if (!CreateHardLinkW(Raw(link).c_str(), Raw(source).c_str(), nullptr)) {
        Skip("copy onto itself: hard link refused", "no hard links here");
    } else {
        Report("copy onto itself: hard link refused", refused(link));
        Report("copy onto itself: from the hard link refused",
               Throws([&] { fs.CopyFile(link, source); }) && Read(source) == "precious");
    }
}

void ProtectedDestinationIsRefused(tesoro::FileSystem& fs, const std::wstring& root) {
    Scratch dir(root, L"protected");
    std::wstring source = dir / L"source.txt";
    Write(source, "new");
    struct Case {
        const char* name;
        DWORD attribute;
    };
    for (Case c : {Case{"copy: hidden destination refused and unchanged", FILE_ATTRIBUTE_HIDDEN},
                   Case{"copy: system destination refused and unchanged", FILE_ATTRIBUTE_SYSTEM}}) {
        std::wstring target = dir / (L"target" + std::to_wstring(c.attribute) + L".bak");
        Write(target, "kept");
        SetFileAttributesW(Raw(target).c_str(), c.attribute);
        if (!(Attributes(target) & c.attribute)) {
            Skip(c.name, "the attribute cannot be set here");
            continue;
        }
        bool threw = Throws([&] { fs.CopyFile(source, target); });
        Report(c.name, threw && Read(target) == "kept" && NoTemporaryLeft(dir.path()));
    }
}

// The user was asked before a read-only copy is replaced; the new copy has the source's attributes.
void ReadOnlyDestinationIsReplaced(tesoro::FileSystem& fs, const std::wstring& root) {
    Scratch dir(root, L"readonly");
    std::wstring source = dir / L"source.txt", target = dir / L"target.bak";
    Write(source, "new");
    Write(target, "old");
    SetFileAttributesW(Raw(target).c_str(), FILE_ATTRIBUTE_READONLY);
    bool threw = Throws([&] { fs.CopyFile(source, target); });
    Report("copy: a read-only destination is replaced by a writable copy",
           !threw && Read(target) == "new" && !(Attributes(target) & FILE_ATTRIBUTE_READONLY) &&
               NoTemporaryLeft(dir.path()));
    SetFileAttributesW(Raw(source).c_str(), FILE_ATTRIBUTE_READONLY);
    threw = Throws([&] { fs.CopyFile(source, target); }) || Throws([&] { fs.CopyFile(source, target); });
    Report("copy: a read-only copy of a read-only source can be made again",
           !threw && Read(target) == "new" && (Attributes(target) & FILE_ATTRIBUTE_READONLY));
    SetFileAttributesW(Raw(source).c_str(), FILE_ATTRIBUTE_NORMAL);
    SetFileAttributesW(Raw(target).c_str(), FILE_ATTRIBUTE_NORMAL);
}

void FailedCopyKeepsTheOldDestination(tesoro::FileSystem& fs, const std::wstring& root) {
    Scratch dir(root, L"failed");
    std::wstring target = dir / L"old.bak";
    Write(target, "earlier copy");
    bool threw = Throws([&] { fs.CopyFile(dir / L"missing.txt", target); });
    Report("copy: a missing source throws, old destination intact, no temporary",
           threw && Read(target) == "earlier copy" && NoTemporaryLeft(dir.path()));

    Write(dir / L"source.txt", "data");
    threw = Throws([&] { fs.CopyFile(dir / L"source.txt", dir / L"no folder\\x.bak"); });
    Report("copy: a missing destination folder throws", threw && Entries(dir.path()).size() == 2);

    Write(dir / L"locked.txt", "locked");
    HANDLE lock =
        CreateFileW(Raw(dir / L"locked.txt").c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING, 0, nullptr);
    threw = Throws([&] { fs.CopyFile(dir / L"locked.txt", target); });
    CloseHandle(lock);
    Report("copy: a source in use throws, old destination intact, no temporary",
           threw && Read(target) == "earlier copy" && NoTemporaryLeft(dir.path()));
}

void LongAndForeignNamesCopy(tesoro::FileSystem& fs, const std::wstring& root) {
    Scratch dir(root, L"names");
    std::wstring deep = dir.path();
    for (wchar_t c : {L'a', L'b', L'c'}) {
        deep += L"\\" + std::wstring(90, c);
        CreateDirectoryW(Raw(deep).c_str(), nullptr);
    }
    std::wstring source = deep + L"\\" + std::wstring(60, L's') + L".txt";
    std::wstring target = deep + L"\\" + std::wstring(60, L't') + L".bak";
    Write(source, "far away");
    bool threw = Throws([&] { fs.CopyFile(source, target); });
    Report("copy: paths longer than 260 characters",
           target.size() > 300 && !threw && Read(target) == "far away");
    Report("find: a path longer than 260 characters", fs.FindOrdinaryFile(target));

    std::wstring greek = dir / L"Κείμενο-Текст-文字.txt";
    std::wstring copy = dir / L"Αντίγραφο-Копия-副本.bak";
    Write(greek, "foreign");
    threw = Throws([&] { fs.CopyFile(greek, copy); });
    Report("copy: names outside the ANSI code page", !threw && Read(copy) == "foreign");
    std::vector<std::wstring> listed = fs.ListFiles(dir.path(), L"*.bak");
    Report("list: names outside the ANSI code page",
           listed == std::vector<std::wstring>{L"Αντίγραφο-Копия-副本.bak"});
}

void FindingOrdinaryFiles(tesoro::FileSystem& fs, const std::wstring& root) {
    Scratch dir(root, L"find");
    Write(dir / L"copia.bak", "x");
    Write(dir / L"secret.hid", "x");
    SetFileAttributesW(Raw(dir / L"secret.hid").c_str(), FILE_ATTRIBUTE_HIDDEN);
    CreateDirectoryW(Raw(dir / L"sub.bak").c_str(), nullptr);
    CreateDirectoryW(Raw(dir / L"sub.dir").c_str(), nullptr);

    Report("find: an exact name", fs.FindOrdinaryFile(dir / L"copia.bak"));
    Report("find: another letter case", fs.FindOrdinaryFile(dir / L"COPIA.BAK"));
    Report("find: wildcards * and ?",
           fs.FindOrdinaryFile(dir / L"*.bak") && fs.FindOrdinaryFile(dir / L"c?pia.*"));
    Report("find: a folder that matches is passed over for a file",
           fs.FindOrdinaryFile(dir / L"sub.*") == false && fs.FindOrdinaryFile(dir / L"*.bak"));
    Report("find: a hidden file is not found", !fs.FindOrdinaryFile(dir / L"secret.hid"));
    Report("find: no match", !fs.FindOrdinaryFile(dir / L"*.zzz"));
    Report("find: a missing folder gives false", !fs.FindOrdinaryFile(dir / L"missing\\copia.bak"));
    Report("find: an invalid name throws", Throws([&] { fs.FindOrdinaryFile(dir / L"a|b.bak"); }));
}

enum class Outcome { Found, NotFound, Fails };

const char* Name(Outcome outcome) {
    return outcome == Outcome::Found ? "found" : outcome == Outcome::NotFound ? "not found" : "fails";
}

Outcome Searched(tesoro::FileSystem& fs, const std::wstring& path) {
    try {
        return fs.FindOrdinaryFile(path) ? Outcome::Found : Outcome::NotFound;
    } catch (const PlatformError&) {
        return Outcome::Fails;
    }
}

Outcome LookedUp(tesoro::FileSystem& fs, const std::wstring& path) {
    try {
        return fs.LookUpOrdinaryFile(path) == tesoro::FileLookup::OrdinaryFile ? Outcome::Found
                                                                               : Outcome::NotFound;
    } catch (const PlatformError&) {
        return Outcome::Fails;
    }
}

// The path by the 8.3 names of its parts, as the system made them.
std::wstring ShortPath(const std::wstring& path) {
    wchar_t buffer[MAX_PATH * 2];
    DWORD length = GetShortPathNameW(Raw(path).c_str(), buffer, MAX_PATH * 2);
    std::wstring shortPath(buffer, length);
    return shortPath.starts_with(L"\\\\?\\") ? shortPath.substr(4) : shortPath;
}

// Looked up all at once, the paths must be answered as the search answers each.
bool LookedUpAtOnceAgree(tesoro::FileSystem& fs, const std::vector<std::wstring>& paths) {
    const std::vector<std::optional<tesoro::FileLookup>> answers = fs.LookUpOrdinaryFiles(paths);
    int disagreements = 0;
    for (std::size_t k = 0; k < paths.size(); ++k) {
        const Outcome atOnce = !answers[k]                                       ? Outcome::Fails
                               : *answers[k] == tesoro::FileLookup::OrdinaryFile ? Outcome::Found
                                                                                 : Outcome::NotFound;
        const Outcome searched = Searched(fs, paths[k]);
        if (atOnce == searched) continue;
        ++disagreements;
        std::printf("      %ls: search %s, at once %s\n", paths[k].c_str(), Name(searched), Name(atOnce));
    }
    return answers.size() == paths.size() && disagreements == 0;
}

// A folder holding far more than is asked about is not listed: the paths are asked about one by one,
// with the same answers.
void LookUpInALargeFolder(tesoro::FileSystem& fs, const std::wstring& root) {
    Scratch dir(root, L"lookup-large");
    for (int k = 0; k < 200; ++k) Write(dir / (L"copia" + std::to_wstring(k) + L".bak"), "x");
    std::vector<std::wstring> paths;
    for (int k = 0; k < 10; ++k) paths.push_back(dir / (L"copia" + std::to_wstring(k * 37) + L".bak"));
    Report("lookup: many paths in a large folder agree with the search", LookedUpAtOnceAgree(fs, paths));
}

// The quick look at one path must answer as the search does, path for path.
void LookUpAgreesWithTheSearch(tesoro::FileSystem& fs, const std::wstring& root) {
    Scratch dir(root, L"lookup");
    Write(dir / L"copia.bak", "x");
    Write(dir / L"nombre largo de la copia.bak", "x");
    Write(dir / L"oculto largo.bak", "x");
    SetFileAttributesW(Raw(dir / L"oculto largo.bak").c_str(), FILE_ATTRIBUTE_HIDDEN);
    Write(dir / L"sistema.bak", "x");
    SetFileAttributesW(Raw(dir / L"sistema.bak").c_str(), FILE_ATTRIBUTE_SYSTEM);
    Write(dir / L"solo lectura.bak", "x");
    SetFileAttributesW(Raw(dir / L"solo lectura.bak").c_str(), FILE_ATTRIBUTE_READONLY);
    CreateDirectoryW(Raw(dir / L"carpeta.bak").c_str(), nullptr);
    CreateDirectoryW(Raw(dir / L"carpeta de copias larga").c_str(), nullptr);
    Write(dir / L"carpeta de copias larga\\dentro.bak", "x");
    Write(dir / L"canci\u00F3n.bak", "x");
    Write(dir / L"l\u0131ra.bak", "x");  // a dotless i, which some case rules make an I

    const std::wstring shortLong = ShortPath(dir / L"nombre largo de la copia.bak");
    const std::wstring shortHidden = ShortPath(dir / L"oculto largo.bak");
    const std::wstring shortInFolder = ShortPath(dir / L"carpeta de copias larga\\dentro.bak");
    const bool shortNames = shortLong.find(L'~') != std::wstring::npos &&
                            shortHidden.find(L'~') != std::wstring::npos &&
                            shortInFolder.find(L'~') != std::wstring::npos;
    if (!shortNames) Skip("lookup: 8.3 names", "the system made no short names here");

    std::wstring forward = dir / L"copia.bak";
    for (wchar_t& c : forward) c = c == L'\\' ? L'/' : c;
    const std::vector<std::pair<std::wstring, std::optional<Outcome>>> cases = {
        {dir / L"copia.bak", Outcome::Found},
        {dir / L"COPIA.BAK", Outcome::Found},
        {dir / L"canci\u00F3n.bak", Outcome::Found},
        {dir / L"CANCI\u00D3N.BAK", std::nullopt},
        {dir / L"CANCION.BAK", Outcome::NotFound},
        {dir / L"l\u0131ra.bak", Outcome::Found},
        {dir / L"LIRA.BAK", std::nullopt},
        {dir / L"lira.bak", std::nullopt},
        {forward, Outcome::Found},
        {dir / L"..\\lookup\\.\\copia.bak", Outcome::Found},
        {dir / L"copia.bak.", Outcome::Found},
        {dir / L"nombre largo de la copia.bak", Outcome::Found},
        {dir / L"solo lectura.bak", Outcome::Found},
        {dir / L"carpeta de copias larga\\dentro.bak", Outcome::Found},
        {shortNames ? shortLong : dir / L"copia.bak", Outcome::Found},
        {shortNames ? shortInFolder : dir / L"copia.bak", Outcome::Found},
        {shortNames ? shortHidden : dir / L"oculto largo.bak", Outcome::NotFound},
        {dir / L"NOEXIS~1.BAK", Outcome::NotFound},
        {dir / L"oculto largo.bak", Outcome::NotFound},
        {dir / L"sistema.bak", Outcome::NotFound},
        {dir / L"carpeta.bak", Outcome::NotFound},
        {dir.path(), Outcome::NotFound},
        {dir.path() + L"\\", std::nullopt},
        {dir.path().substr(0, 3), std::nullopt},  // the drive's root
        {dir / L"falta.bak", Outcome::NotFound},
        {dir / L"falta\\copia.bak", Outcome::NotFound},
        {dir / L"falta\\otra\\copia.bak", Outcome::NotFound},
        {dir / L"copia.bak\\dentro.bak", Outcome::NotFound},
        {dir / L"copia.bak\\sub\\dentro.bak", Outcome::NotFound},
        {dir / L"copia.bak\\", std::nullopt},
        {dir / L"*.bak", Outcome::Found},
        {dir / L"c?pia.bak", Outcome::Found},
        {dir / L"oculto*.bak", Outcome::NotFound},
        {dir / L"carpeta.*", Outcome::NotFound},
        {dir / L"*.zzz", Outcome::NotFound},
        {dir / L"falta\\*.bak", Outcome::NotFound},
        {dir / L"cop<.bak", std::nullopt},
        {dir / L"copia.bak:flujo", std::nullopt},
        {dir / L"a|b.bak", Outcome::Fails},
        {dir / L"look*\\copia.bak", std::nullopt},
    };
    int disagreements = 0;
    for (const auto& [path, expected] : cases) {
        const Outcome searched = Searched(fs, path), lookedUp = LookedUp(fs, path);
        if (searched == lookedUp && (!expected || *expected == searched)) continue;
        ++disagreements;
        std::printf("      %ls: search %s, look-up %s, expected %s\n", path.c_str(), Name(searched),
                    Name(lookedUp), expected ? Name(*expected) : "the same");
    }
    Report("lookup: agrees with the search, path for path", disagreements == 0);

    // Asked all at once, the paths of one folder are answered from one listing of it, made as soon as a
    // copy asked about there is found gone.
    std::vector<std::wstring> paths = {dir / L"falta.bak"};
    for (const auto& [path, expected] : cases) paths.push_back(path);
    Report("lookup: many paths at once agree with the search, path for path", LookedUpAtOnceAgree(fs, paths));

    Report("lookup: a missing folder is told apart",
           fs.LookUpOrdinaryFile(dir / L"falta\\copia.bak") == tesoro::FileLookup::FolderMissing &&
               fs.LookUpOrdinaryFile(dir / L"falta\\otra\\copia.bak") == tesoro::FileLookup::FolderMissing &&
               fs.LookUpOrdinaryFile(dir / L"falta.bak") == tesoro::FileLookup::NoOrdinaryFile);

    wchar_t previous[MAX_PATH];
    GetCurrentDirectoryW(MAX_PATH, previous);
    SetCurrentDirectoryW(dir.path().c_str());
    Report("lookup: a relative path is looked for in the current folder",
           LookedUp(fs, L"copia.bak") == Outcome::Found && LookedUp(fs, L"falta.bak") == Outcome::NotFound);
    SetCurrentDirectoryW(previous);
}

void ListingFolders(tesoro::FileSystem& fs, const std::wstring& root) {
    Scratch dir(root, L"list");
    for (const wchar_t* name : {L"beta.bak", L"Alpha.BAK", L"gamma.txt", L"report.bak2"})
        Write(dir / name, "x");
    Write(dir / L"hidden.bak", "x");
    SetFileAttributesW(Raw(dir / L"hidden.bak").c_str(), FILE_ATTRIBUTE_HIDDEN);
    for (const wchar_t* name : {L"zeta", L"Delta", L"secret"})
        CreateDirectoryW(Raw(dir / name).c_str(), nullptr);
    SetFileAttributesW(Raw(dir / L"secret").c_str(), FILE_ATTRIBUTE_HIDDEN);

    Report("list files: pattern, case-insensitive order; hidden, folders and 8.3-only matches left out",
           fs.ListFiles(dir.path(), L"*.BAK") == std::vector<std::wstring>{L"Alpha.BAK", L"beta.bak"});
    Report("list files: *.* takes every ordinary file", fs.ListFiles(dir.path(), L"*.*").size() == 4);
    Report("list folders: sorted, hidden ones and . and .. left out",
           fs.ListFolders(dir.path()) == std::vector<std::wstring>{L"Delta", L"zeta"});
    Report("list: a missing folder throws", Throws([&] { fs.ListFolders(dir / L"missing"); }));
    Report("exists: folder and path",
           fs.FolderExists(dir / L"zeta") && !fs.FolderExists(dir / L"gamma.txt") &&
               fs.PathExists(dir / L"gamma.txt") && !fs.PathExists(dir / L"nothing"));
}

// Reading a folder at once gives what its two searches give, whatever the pattern: hidden and system
// entries, our temporaries, names matched by their 8.3 names alone, names without extension, letters
// that other case rules match differently.
void ReadingAFolderAtOnce(tesoro::FileSystem& fs, const std::wstring& root) {
    Scratch dir(root, L"once");
    for (const wchar_t* name : {L"beta.bak", L"Alpha.BAK", L"gamma.txt", L"report.bak2",
                                L"informe antiguo.bak", L"LEAME", L"datos.2024.xls", L"\u0131ndice.bak",
                                L"kelvin.BA\u212A", L"hidden.bak", L"system.txt", L"sistema.BAK"})
        Write(dir / name, "x");
    SetFileAttributesW(Raw(dir / L"hidden.bak").c_str(), FILE_ATTRIBUTE_HIDDEN);
    SetFileAttributesW(Raw(dir / L"system.txt").c_str(), FILE_ATTRIBUTE_SYSTEM);
    SetFileAttributesW(Raw(dir / L"sistema.BAK").c_str(), FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_SYSTEM);
    FILETIME created{}, exited, kernel, user;
    GetProcessTimes(GetCurrentProcess(), &created, &exited, &kernel, &user);
    const tesoro::ProcessStamp self{
        GetCurrentProcessId(),
        static_cast<std::uint64_t>(created.dwHighDateTime) << 32 | created.dwLowDateTime};
    Write(dir / tesoro::TemporaryFileName(self, 0), "partial");  // not hidden: its name keeps it out
    for (const wchar_t* name : {L"zeta", L"Delta", L"carpeta larga", L"secret", L"sys", L"sub.bak"})
        CreateDirectoryW(Raw(dir / name).c_str(), nullptr);
    SetFileAttributesW(Raw(dir / L"secret").c_str(), FILE_ATTRIBUTE_HIDDEN);
    SetFileAttributesW(Raw(dir / L"sys").c_str(), FILE_ATTRIBUTE_SYSTEM);

    auto sameAsTwoSearches = [&](const std::wstring& folder, const std::wstring& pattern) {
        const tesoro::FolderContents once = fs.ReadFolder(folder, pattern);
        return once.folders == fs.ListFolders(folder) && once.files == fs.ListFiles(folder, pattern);
    };
    auto sameForEveryPattern = [&] {
        bool same = true;
        for (const wchar_t* pattern :
             {L"*.*", L"*", L"*.BAK", L"*.bak", L"*.txt", L"*.xls", L"*.", L"LEAME.*", L"a?pha.*"})
            same = same && sameAsTwoSearches(dir.path(), pattern);
        return same;
    };
    Report("read folder: subfolders and files as the two searches give them, for every pattern",
           sameForEveryPattern());
    Report("read folder: the same with a name whose letters other case rules match differently",
           fs.ReadFolder(dir.path(), L"*.*").files.size() == 9 &&
               DeleteFileW(Raw(dir / L"\u0131ndice.bak").c_str()) && sameForEveryPattern());
    const tesoro::FolderContents all = fs.ReadFolder(dir.path(), L"*.*");
    Report("read folder: hidden, system and temporary entries left out, 8.3 matches too",
           all.folders == std::vector<std::wstring>{L"carpeta larga", L"Delta", L"sub.bak", L"zeta"} &&
               all.files.size() == 8 &&
               fs.ReadFolder(dir.path(), L"*.BAK").files ==
                   std::vector<std::wstring>{L"Alpha.BAK", L"beta.bak", L"informe antiguo.bak"});
    Report("read folder: a drive's root as the two searches give it",
           sameAsTwoSearches(root.substr(0, 3), L"*.*"));
    Report("read folder: a missing folder, or a file, throws",
           Throws([&] { fs.ReadFolder(dir / L"missing", L"*.*"); }) &&
               Throws([&] { fs.ReadFolder(dir / L"gamma.txt", L"*.*"); }));
}

// The file list's order is the system's comparison of names, letter case ignored, whatever the
// characters: accents, digits, hyphens and apostrophes (which that comparison weighs apart).
void ListingInTheSystemsOrder(tesoro::FileSystem& fs, const std::wstring& root) {
    Scratch dir(root, L"order");
    for (const wchar_t* name :
         {L"árbol.txt",  L"Arbol2.txt",  L"arbol-1.txt", L"arbol1.txt", L"ARBOLES.txt", L"b'c.txt", L"bc.txt",
          L"Ñandú.txt",  L"nandu.txt",   L"Zeta.txt",    L"10.txt",     L"9.txt",       L"_x.txt",  L"~y.txt",
          L"éclair.TXT", L"Eclair2.txt", L"co-op.txt",   L"coop2.txt",  L"Ωμέγα.txt",   L"日本.txt"})
        Write(dir / name, "x");
    const std::vector<std::wstring> listed = fs.ListFiles(dir.path(), L"*.*");
    bool ordered = listed.size() == 20;
    for (std::size_t i = 1; i < listed.size(); ++i) {
        ordered =
            ordered && CompareStringEx(LOCALE_NAME_USER_DEFAULT, NORM_IGNORECASE, listed[i - 1].c_str(), -1,
                                       listed[i].c_str(), -1, nullptr, nullptr, 0) != CSTR_GREATER_THAN;
    }
    Report("list files: in the order the system compares names", ordered);
}

void ReplacingAWholeFile(tesoro::FileSystem& fs, const std::wstring& root) {
    Scratch dir(root, L"replace");
    std::wstring log = dir / L"TESORO.DAT";
    Report("read: a missing file gives nothing", fs.ReadFile(log) == std::nullopt);
    fs.CreateEmptyFile(log);
    Report("create empty: a new file of 0 bytes", fs.ReadFile(log) == std::string());
    Write(log, "old log");
    fs.CreateEmptyFile(log);
    Report("create empty: an existing file is kept", Read(log) == "old log");
    Report("read: a folder cannot be read", Throws([&] { fs.ReadFile(dir.path()); }));

    fs.ReplaceFile(log, std::string("new\0log", 7));
    Report("replace: the new bytes are in place, no temporary left",
           Read(log) == std::string("new\0log", 7) && NoTemporaryLeft(dir.path()));

    HANDLE lock =
        CreateFileW(Raw(log).c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0, nullptr);
    bool threw = Throws([&] { fs.ReplaceFile(log, "lost"); });
    CloseHandle(lock);
    Report("replace: a file in use is kept whole, no temporary left",
           threw && Read(log) == std::string("new\0log", 7) && NoTemporaryLeft(dir.path()));

    SetFileAttributesW(Raw(log).c_str(), FILE_ATTRIBUTE_READONLY);
    threw = Throws([&] { fs.ReplaceFile(log, "lost"); });
    SetFileAttributesW(Raw(log).c_str(), FILE_ATTRIBUTE_NORMAL);
    Report("replace: a read-only file is kept whole, no temporary left",
           threw && Read(log) == std::string("new\0log", 7) && NoTemporaryLeft(dir.path()));

    Report("replace: a missing folder throws",
           Throws([&] { fs.ReplaceFile(dir / L"missing\\TESORO.DAT", "x"); }));

    SetFileAttributesW(Raw(dir.path()).c_str(), FILE_ATTRIBUTE_READONLY);
    HANDLE probe = CreateFileW(Raw(dir / L"probe").c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW,
                               FILE_FLAG_DELETE_ON_CLOSE, nullptr);
    if (probe != INVALID_HANDLE_VALUE) {
        CloseHandle(probe);
        Skip("replace: a folder that cannot be written keeps the old file", "this user may write any folder");
    } else {
        threw = Throws([&] { fs.ReplaceFile(log, "lost"); });
        Report("replace: a folder that cannot be written keeps the old file",
               threw && Read(log) == std::string("new\0log", 7));
    }
    SetFileAttributesW(Raw(dir.path()).c_str(), FILE_ATTRIBUTE_NORMAL);
}

// What the refusal says: the reason the delete-mode message names.
std::optional<tesoro::FailureReason> DeleteRefusal(tesoro::FileSystem& fs, const std::wstring& path) {
    try {
        fs.DeleteFile(path);
    } catch (const PlatformError& error) {
        return error.Reason();
    }
    return std::nullopt;
}

void DeletingFiles(tesoro::FileSystem& fs, const std::wstring& root) {
    using tesoro::FailureReason;
    Scratch dir(root, L"delete");
    std::wstring copy = dir / L"copia.BAK";
    Write(copy, "copia");
    Report("delete: an ordinary file is gone", !DeleteRefusal(fs, copy) && !Read(copy));
    Report("delete: a missing file is refused as not found",
           DeleteRefusal(fs, copy) == FailureReason::NotFound);

    Write(copy, "copia");
    SetFileAttributesW(Raw(copy).c_str(), FILE_ATTRIBUTE_READONLY);
    Report("delete: a read-only file is refused as read-only and kept",
           DeleteRefusal(fs, copy) == FailureReason::ReadOnly && Read(copy) == "copia");
    SetFileAttributesW(Raw(copy).c_str(), FILE_ATTRIBUTE_NORMAL);

    HANDLE open =
        CreateFileW(Raw(copy).c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0, nullptr);
    std::optional<FailureReason> inUse = DeleteRefusal(fs, copy);
    CloseHandle(open);
    Report("delete: a file open elsewhere is refused as in use and kept",
           inUse == FailureReason::InUse && Read(copy) == "copia");
}

void DriveStrings(tesoro::Drives& drives) {
    std::wstring buffer(64, L' ');
    std::uint32_t n = drives.LogicalDriveStrings(64, buffer);
    bool shape = n >= 4 && n % 4 == 0 && n < 64 && buffer[n] == L'\0' && buffer[n - 1] == L'\0' &&
                 buffer.substr(0, 3) == std::wstring(buffer.substr(0, 2)) + L"\\" && buffer[n + 1] == L' ';
    Report("drive strings: roots each ended by NUL, one more NUL, the rest untouched", shape);

    std::wstring small(64, L' ');
    Report("drive strings: one character short writes nothing and asks for n + 1",
           drives.LogicalDriveStrings(n, small) == n + 1 && small == std::wstring(64, L' '));
    Report("drive strings: exactly n + 1 characters is enough",
           drives.LogicalDriveStrings(n + 1, small) == n);
    std::wstring shortBuffer(3, L' ');
    Report("drive strings: never writes past a buffer shorter than the length given",
           drives.LogicalDriveStrings(64, shortBuffer) > 3 && shortBuffer == L"   ");

    Report("drive type: the name ends at its first NUL", drives.DriveType(std::wstring(L"C:\\\0X", 5)) == 3);
    Report("drive type: an empty name is no drive",
           drives.DriveType(std::wstring(1, L'\0')) == DRIVE_NO_ROOT_DIR);
}

void DriveFolders(tesoro::FileSystem& fs, tesoro::Drives& drives) {
    Report("drive folder: C: gives a folder on C:", fs.DriveCurrentFolder(L'c').starts_with(L"C:\\") ||
                                                        fs.DriveCurrentFolder(L'c').starts_with(L"c:\\"));
    DWORD mask = GetLogicalDrives();
    wchar_t unused = 0;
    for (wchar_t letter = L'Y'; letter >= L'D' && !unused; --letter) {
        if (!(mask & (1u << (letter - L'A')))) unused = letter;
    }
    Report("drive folder: a drive that does not exist throws",
           unused && Throws([&] { fs.DriveCurrentFolder(unused); }));
    Report("volume label: a drive that does not exist has none", drives.VolumeLabel(unused).empty());
}

// run.sh maps a drive letter to a folder that does not exist: a drive without a disc.
void UnreadableDrive(tesoro::FileSystem& fs, tesoro::Drives& drives, wchar_t letter) {
    const char* name = "drive folder: a drive that cannot be read throws";
    if (!letter) {
        Skip(name, "no unreadable drive given on the command line");
        return;
    }
    std::wstring device{letter, L':'};
    Report(name, Throws([&] { fs.DriveCurrentFolder(letter); }));
    Report("lookup: a drive that cannot be read answers as the search does",
           LookedUp(fs, device + L"\\x.bak") == Searched(fs, device + L"\\x.bak"));
    Report("find: a drive that cannot be read gives no file",
           Throws([&] { fs.FindOrdinaryFile(device + L"\\x.bak"); }) ||
               !fs.FindOrdinaryFile(device + L"\\x.bak"));
    Report("list: a drive that cannot be read throws",
           Throws([&] { fs.ListFolders(device + L"\\"); }) &&
               Throws([&] { fs.ReadFolder(device + L"\\", L"*.*"); }));
    Report("volume label: a drive that cannot be read has none", drives.VolumeLabel(letter).empty());
}

// The file-system contract on the real file system, in a scratch folder.
class Win32World : public tesoro::contract::World {
public:
    Win32World(tesoro::FileSystem& fs, std::wstring root, wchar_t unreadable)
        : fs_(fs), root_(std::move(root)), unreadable_(unreadable) {}

    tesoro::FileSystem& fs() override { return fs_; }
    std::wstring NewFolder(const std::wstring& name) override {
        std::wstring path = root_ + L"\\contract-" + name;
        RemoveTree(path);
        CreateDirectoryW(Raw(path).c_str(), nullptr);
        return path;
    }
    void MakeFile(const std::wstring& path, const std::string& bytes) override { Write(path, bytes); }
    void MakeFolder(const std::wstring& path) override { CreateDirectoryW(Raw(path).c_str(), nullptr); }
    void SetAttributes(const std::wstring& path, bool readOnly, bool hidden, bool system) override {
        DWORD attributes = (readOnly ? FILE_ATTRIBUTE_READONLY : 0) | (hidden ? FILE_ATTRIBUTE_HIDDEN : 0) |
                           (system ? FILE_ATTRIBUTE_SYSTEM : 0);
        SetFileAttributesW(Raw(path).c_str(), attributes ? attributes : FILE_ATTRIBUTE_NORMAL);
    }
    bool ReadOnly(const std::wstring& path) override {
        DWORD attributes = Attributes(path);
        return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_READONLY);
    }
    std::optional<std::string> Contents(const std::wstring& path) override { return Read(path); }
    std::vector<std::wstring> AllNames(const std::wstring& folder) override { return Entries(folder); }
    std::wstring ShortPath(const std::wstring& path) override {
        wchar_t shortPath[MAX_PATH];
        DWORD length = GetShortPathNameW(path.c_str(), shortPath, MAX_PATH);
        if (length == 0 || length >= MAX_PATH || path == shortPath) return L"";
        return shortPath;
    }
    wchar_t UnreadableDrive() override { return unreadable_; }
    bool LimitFreeSpace(const std::wstring&, std::uint64_t) override { return false; }
    void HoldOpen(const std::wstring& path, bool held) override {
        if (held) {
            held_[path] = CreateFileW(Raw(path).c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING, 0, nullptr);
        } else if (const auto open = held_.find(path); open != held_.end()) {
            CloseHandle(open->second);
            held_.erase(open);
        }
    }
    tesoro::ProcessStamp RunningProcess() override {
        FILETIME created{}, exited, kernel, user;
        GetProcessTimes(GetCurrentProcess(), &created, &exited, &kernel, &user);
        return {GetCurrentProcessId(),
                static_cast<std::uint64_t>(created.dwHighDateTime) << 32 | created.dwLowDateTime};
    }
    tesoro::ProcessStamp EndedProcess() override {
        return {RunningProcess().id, RunningProcess().started + 1};  // the same id, given again later
    }
    std::wstring MakeTemporary(const std::wstring& folder, const tesoro::ProcessStamp& writer,
                               bool hidden) override {
        std::wstring path = folder + L"\\" + tesoro::TemporaryFileName(writer, serial_++);
        Write(path, "partial");
        if (hidden) SetFileAttributesW(Raw(path).c_str(), FILE_ATTRIBUTE_HIDDEN);
        return path;
    }

private:
    tesoro::FileSystem& fs_;
    std::wstring root_;
    wchar_t unreadable_;
    unsigned serial_ = 0;
    std::map<std::wstring, HANDLE> held_;
};

void FileSystemContract(tesoro::FileSystem& fs, const std::wstring& root, wchar_t unreadable) {
    Win32World world(fs, root, unreadable);
    for (const tesoro::contract::Case& c : tesoro::contract::FileSystemContract()) {
        std::string prefix = std::string("contract: ") + c.name + ": ";
        tesoro::contract::Report report{
            [&](bool holds, const std::string& what) { Report((prefix + what).c_str(), holds); },
            [&](const std::string& why) { Skip((prefix + "skipped").c_str(), why.c_str()); }};
        try {
            c.run(world, report);
        } catch (const std::exception& error) {
            Report((prefix + "unexpected exception " + error.what()).c_str(), false);
        }
    }
}

std::wstring MakeRoot() {
    wchar_t temp[MAX_PATH];
    GetTempPathW(MAX_PATH, temp);
    std::wstring root = std::wstring(temp) + L"tesoro-check-" + std::to_wstring(GetCurrentProcessId());
    RemoveTree(root);
    CreateDirectoryW(Raw(root).c_str(), nullptr);
    return root;
}

}  // namespace

// The optional argument is the letter of a drive that cannot be read.
int main(int argc, char** argv) {
    wchar_t unreadable = argc > 1 ? static_cast<wchar_t>(argv[1][0]) : 0;
    tesoro::PrepareProcessErrorMode();
    tesoro::Win32Platform win32;
    tesoro::FileSystem& fs = win32.platform().fs;
    std::wstring root = MakeRoot();
    try {
        CopyKeepsContentTimeAndAttributes(fs, root);
        CopyOntoItselfIsRefused(fs, root);
        ProtectedDestinationIsRefused(fs, root);
        ReadOnlyDestinationIsReplaced(fs, root);
        FailedCopyKeepsTheOldDestination(fs, root);
        LongAndForeignNamesCopy(fs, root);
        FindingOrdinaryFiles(fs, root);
        LookUpAgreesWithTheSearch(fs, root);
        LookUpInALargeFolder(fs, root);
        ListingFolders(fs, root);
        ListingInTheSystemsOrder(fs, root);
        ReadingAFolderAtOnce(fs, root);
        ReplacingAWholeFile(fs, root);
        DeletingFiles(fs, root);
        DriveStrings(win32.platform().drives);
        DriveFolders(fs, win32.platform().drives);
        UnreadableDrive(fs, win32.platform().drives, unreadable);
        FileSystemContract(fs, root, unreadable);
    } catch (const std::exception& error) {
        std::printf("FAIL  unexpected exception: %s\n", error.what());
        ++failed;
    }
    RemoveTree(root);
    std::printf("%d passed, %d failed\n", passed, failed);
    return failed == 0 ? 0 : 1;
}
