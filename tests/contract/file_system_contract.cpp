#include "contract/file_system_contract.h"

#include <algorithm>
#include <optional>
#include <utility>

namespace tesoro::contract {
namespace {

std::string Narrow(const std::wstring& text) {
    std::string narrow;
    for (wchar_t c : text) narrow += c < 128 ? static_cast<char>(c) : '?';
    return narrow;
}

std::wstring Join(const std::wstring& folder, const std::wstring& name) { return folder + L"\\" + name; }

bool AnyTemporary(World& world, const std::wstring& folder) {
    const auto names = world.AllNames(folder);
    return std::any_of(names.begin(), names.end(),
                       [](const std::wstring& name) { return IsTemporaryFileName(name); });
}

// The step of the copy that was refused and the system's answer, which the user is told as the cause;
// nullopt when the copy was made.
std::optional<std::pair<CopyStep, FailureReason>> CopyRefusal(FileSystem& fs, const std::wstring& from,
                                                              const std::wstring& to) {
    try {
        fs.CopyFile(from, to);
    } catch (const PlatformError& error) {
        return std::pair{error.Step(), error.Reason()};
    }
    return std::nullopt;
}

// A drive without a disc: every question that needs its contents fails, every existence question is no.
void UnreadableDrive(World& world, const Report& report) {
    const wchar_t letter = world.UnreadableDrive();
    if (!letter) return report.skip("no unreadable drive here");
    const std::wstring root{letter, L':', L'\\'};
    FileSystem& fs = world.fs();
    report.check(Throws([&] { fs.FindOrdinaryFile(root + L"x.bak"); }), "a search for a name throws");
    report.check(Throws([&] { fs.FindOrdinaryFile(root + L"*.bak"); }), "a search with wildcards throws");
    report.check(Throws([&] { fs.ListFiles(root, L"*.*"); }), "listing its files throws");
    report.check(Throws([&] { fs.ListFolders(root); }), "listing its folders throws");
    report.check(Throws([&] { fs.DriveCurrentFolder(letter); }), "its current folder throws");
    report.check(!fs.PathExists(root + L"x.bak") && !fs.FolderExists(root), "existence questions answer no");
    report.check(!fs.SameFile(root + L"x.bak", root + L"x.bak"), "it holds no file to be the same");
    const std::wstring dir = world.NewFolder(L"unreadable");
    world.MakeFile(Join(dir, L"source.txt"), "data");
    report.check(Throws([&] { fs.CopyFile(Join(dir, L"source.txt"), root + L"x.bak"); }),
                 "a copy onto it throws");
}

// * and ? match the long names only, ? exactly one character, as the lists show them.
void WildcardsMatchLongNames(World& world, const Report& report) {
    const std::wstring dir = world.NewFolder(L"wildcards");
    for (const wchar_t* name : {L"a.txt", L"a1.txt", L"report.bak2", L"LEAME", L"x.tar.gz"}) {
        world.MakeFile(Join(dir, name), "x");
    }
    FileSystem& fs = world.fs();
    report.check(fs.FindOrdinaryFile(Join(dir, L"a?.txt")), "? stands for one character");
    report.check(!fs.FindOrdinaryFile(Join(dir, L"a??.txt")), "? never stands for none");
    report.check(fs.FindOrdinaryFile(Join(dir, L"*.gz")) && fs.FindOrdinaryFile(Join(dir, L"x.*")),
                 "* spans dots");
    report.check(!fs.FindOrdinaryFile(Join(dir, L"*.BAK")), "an 8.3 name never matches a pattern");
    report.check(fs.ListFiles(dir, L"*.BAK").empty(), "nor is it listed for one");
    report.check(fs.ListFiles(dir, L"*.") == std::vector<std::wstring>{L"LEAME"},
                 "*. lists names without a dot");
    report.check(fs.ListFiles(dir, L"LEAME.*") == std::vector<std::wstring>{L"LEAME"}, "x.* takes x too");
    report.check(fs.ListFiles(dir, L"a?.TXT") == std::vector<std::wstring>{L"a1.txt"},
                 "lists match as searches do");
}

// A name given without wildcards is the file the system would open under it, its 8.3 name included.
void ShortNamesNameTheirFile(World& world, const Report& report) {
    const std::wstring dir = world.NewFolder(L"short");
    const std::wstring file = Join(dir, L"informe antiguo.bakup");
    world.MakeFile(file, "old");
    const std::wstring shortPath = world.ShortPath(file);
    if (shortPath.empty()) return report.skip("the system keeps no 8.3 names here");
    FileSystem& fs = world.fs();
    report.check(fs.FindOrdinaryFile(shortPath), "the 8.3 name is found");
    report.check(fs.SameFile(shortPath, file), "and is the same file");
    report.check(Throws([&] { fs.CopyFile(file, shortPath); }) && world.Contents(file) == "old",
                 "a copy onto itself by its 8.3 name is refused");
}

// Hidden and system files are never found, listed or replaced; read-only ones are all three.
void ProtectedFiles(World& world, const Report& report) {
    const std::wstring dir = world.NewFolder(L"protected");
    world.MakeFile(Join(dir, L"source.txt"), "new");
    world.MakeFile(Join(dir, L"hidden.bak"), "kept");
    world.SetAttributes(Join(dir, L"hidden.bak"), false, true, false);
    world.MakeFile(Join(dir, L"system.bak"), "kept");
    world.SetAttributes(Join(dir, L"system.bak"), false, false, true);
    world.MakeFile(Join(dir, L"readonly.bak"), "old");
    world.SetAttributes(Join(dir, L"readonly.bak"), true, false, false);
    world.MakeFolder(Join(dir, L"folder.bak"));
    FileSystem& fs = world.fs();
    report.check(
        !fs.FindOrdinaryFile(Join(dir, L"hidden.bak")) && !fs.FindOrdinaryFile(Join(dir, L"system.bak")),
        "hidden and system files are not found by name");
    report.check(!fs.FindOrdinaryFile(Join(dir, L"folder.bak")), "nor is a folder");
    report.check(fs.ListFiles(dir, L"*.bak") == std::vector<std::wstring>{L"readonly.bak"},
                 "only the read-only file is listed");
    report.check(fs.FindOrdinaryFile(Join(dir, L"r*.bak")) && !fs.FindOrdinaryFile(Join(dir, L"h*.bak")),
                 "patterns see the same");
    for (const wchar_t* name : {L"hidden.bak", L"system.bak"}) {
        report.check(Throws([&] { fs.CopyFile(Join(dir, L"source.txt"), Join(dir, name)); }) &&
                         world.Contents(Join(dir, name)) == "kept",
                     "a copy onto " + Narrow(name) + " is refused and the file kept");
    }
    report.check(Throws([&] { fs.CopyFile(Join(dir, L"source.txt"), Join(dir, L"folder.bak")); }),
                 "a copy onto a folder is refused");
    report.check(!AnyTemporary(world, dir), "refused copies leave no temporary file");
}

// The user was asked before; the new copy has the source's attributes, read-only or not.
void ReadOnlyCopiesAreReplaced(World& world, const Report& report) {
    const std::wstring dir = world.NewFolder(L"readonly");
    const std::wstring source = Join(dir, L"source.txt"), target = Join(dir, L"target.bak");
    world.MakeFile(source, "first");
    world.SetAttributes(source, true, false, false);
    FileSystem& fs = world.fs();
    const bool made = !Throws([&] { fs.CopyFile(source, target); });
    report.check(made && world.ReadOnly(target), "a read-only source gives a read-only copy");
    world.SetAttributes(source, false, false, false);
    world.MakeFile(source, "second");
    world.SetAttributes(source, true, false, false);
    report.check(!Throws([&] { fs.CopyFile(source, target); }) && world.Contents(target) == "second" &&
                     world.ReadOnly(target),
                 "which can be replaced by the next copy");
    world.SetAttributes(source, false, false, false);
    report.check(!Throws([&] { fs.CopyFile(source, target); }) && !world.ReadOnly(target),
                 "a writable source makes it writable again");
    report.check(!AnyTemporary(world, dir), "no temporary file is left");
    world.SetAttributes(target, false, false, false);
}

// Letter case is ignored in every script a name may use, not just in Latin-1.
void LetterCaseOfAnyScript(World& world, const Report& report) {
    const std::wstring dir = world.NewFolder(L"case");
    FileSystem& fs = world.fs();
    const std::pair<const wchar_t*, const wchar_t*> names[] = {{L"ñandú.txt", L"ÑANDÚ.TXT"},
                                                               {L"ωμέγα.txt", L"ΩΜΈΓΑ.TXT"},
                                                               {L"файл.txt", L"ФАЙЛ.TXT"},
                                                               {L"žluť.txt", L"ŽLUŤ.TXT"}};
    for (const auto& [lower, upper] : names) {
        world.MakeFile(Join(dir, lower), "x");
        const std::string which = Narrow(upper);
        report.check(fs.FindOrdinaryFile(Join(dir, upper)), which + ": found in the other case");
        report.check(fs.SameFile(Join(dir, upper), Join(dir, lower)),
                     which + ": the same file in either case");
        report.check(fs.SameName(upper, lower) && !fs.SameName(upper, L"otro.txt"),
                     which + ": the same name in either case");
        std::wstring pattern = upper;
        pattern.replace(pattern.size() - 4, 4, L".*");
        report.check(fs.FindOrdinaryFile(Join(dir, pattern)),
                     which + ": a pattern in the other case matches");
        report.check(Throws([&] { fs.CopyFile(Join(dir, lower), Join(dir, upper)); }) &&
                         world.Contents(Join(dir, lower)) == "x",
                     which + ": a copy onto itself in the other case is refused");
    }
}

// The new copy is written whole before the old one goes, so it must fit beside the old one.
void ReplacingNeedsRoomForTheWholeCopy(World& world, const Report& report) {
    const std::wstring dir = world.NewFolder(L"space");
    const std::wstring source = Join(dir, L"source.txt"), target = Join(dir, L"target.bak");
    world.MakeFile(source, std::string(800, 's'));
    world.MakeFile(target, std::string(600, 't'));
    if (!world.LimitFreeSpace(dir, 700)) return report.skip("free space cannot be limited here");
    FileSystem& fs = world.fs();
    report.check(
        CopyRefusal(fs, source, target).value_or(std::pair{CopyStep::None, FailureReason::Other}).second ==
                FailureReason::DiskFull &&
            world.Contents(target) == std::string(600, 't'),
        "a copy larger than the free space fails, the disk full, though the old file would make room");
    report.check(Throws([&] { fs.ReplaceFile(target, std::string(750, 'r')); }),
                 "so does a whole-file write");
    report.check(!AnyTemporary(world, dir), "and leaves no temporary file");
    world.LimitFreeSpace(dir, 900);
    report.check(
        !Throws([&] { fs.CopyFile(source, target); }) && world.Contents(target) == std::string(800, 's'),
        "with room for it the copy is made");
}

// Temporary files are never shown, and the ones of ended processes go the next time the folder is read
// for the lists, written or swept; a running writer's stays.
void TemporaryFilesStayOutOfSight(World& world, const Report& report) {
    const std::wstring dir = world.NewFolder(L"temporaries");
    world.MakeFile(Join(dir, L"source.txt"), "data");
    const std::wstring stale = world.MakeTemporary(dir, world.EndedProcess(), true);
    const std::wstring lostMark = world.MakeTemporary(dir, world.EndedProcess(), false);
    const std::wstring live = world.MakeTemporary(dir, world.RunningProcess(), true);
    FileSystem& fs = world.fs();
    report.check(!fs.FindOrdinaryFile(Join(dir, L"*.tmp")) && !fs.FindOrdinaryFile(lostMark),
                 "no temporary file is found by a search, with or without its hidden mark");
    report.check(fs.ListFiles(dir, L"*.*") == std::vector<std::wstring>{L"source.txt"}, "nor listed");
    report.check(!world.Contents(stale) && !world.Contents(lostMark),
                 "and a listing of the folder removes the stale ones");
    report.check(world.Contents(live).has_value(), "and leaves a running writer's alone");
    const std::wstring beforeRead = world.MakeTemporary(dir, world.EndedProcess(), true);
    report.check(fs.ReadFolder(dir, L"*.*").files == std::vector<std::wstring>{L"source.txt"} &&
                     !world.Contents(beforeRead),
                 "so does a reading of its subfolders and files");
    const std::wstring beforeCopy = world.MakeTemporary(dir, world.EndedProcess(), true);
    fs.CopyFile(Join(dir, L"source.txt"), Join(dir, L"copy.bak"));
    report.check(!world.Contents(beforeCopy) && world.Contents(live), "and a copy into the folder");
    const std::wstring again = world.MakeTemporary(dir, world.EndedProcess(), true);
    fs.RemoveStaleTemporaries(dir);
    report.check(!world.Contents(again) && world.Contents(live), "a sweep removes them too");
    const std::wstring beforeSave = world.MakeTemporary(dir, world.EndedProcess(), true);
    fs.ReplaceFile(Join(dir, L"TESORO.DAT"), "log");
    report.check(!world.Contents(beforeSave) && world.Contents(Join(dir, L"TESORO.DAT")) == "log",
                 "so does a whole-file write");
    fs.RemoveStaleTemporaries(Join(dir, L"missing"));
    report.check(true, "a sweep of a missing folder does nothing");
}

// A refused copy tells which step the system refused and why: the source opened, the copy written, the
// older copy replaced.
void RefusedCopiesTellTheStepAndTheReason(World& world, const Report& report) {
    const std::wstring dir = world.NewFolder(L"refusals");
    const std::wstring source = Join(dir, L"source.txt"), target = Join(dir, L"target.bak");
    world.MakeFile(source, "new");
    world.MakeFile(target, "old");
    FileSystem& fs = world.fs();
    using Refusal = std::pair<CopyStep, FailureReason>;
    report.check(CopyRefusal(fs, Join(dir, L"missing.txt"), target) ==
                     Refusal{CopyStep::OpenSource, FailureReason::NotFound},
                 "a missing source: not found opening it");
    report.check(
        CopyRefusal(fs, dir, Join(dir, L"new.bak")) == Refusal{CopyStep::OpenSource, FailureReason::IsFolder},
        "a folder for a source: a folder opening it");
    world.HoldOpen(source, true);
    report.check(CopyRefusal(fs, source, target) == Refusal{CopyStep::OpenSource, FailureReason::InUse},
                 "a source another program holds: in use opening it");
    world.HoldOpen(source, false);
    world.HoldOpen(target, true);
    const auto held = CopyRefusal(fs, source, target);
    world.HoldOpen(target, false);
    report.check(
        held == Refusal{CopyStep::PutInPlace, FailureReason::InUse} && world.Contents(target) == "old",
        "an older copy another program holds: in use putting the copy in its place, and kept");

    const auto folderGone = CopyRefusal(fs, source, Join(dir, L"missing\\copy.bak"));
    report.check(folderGone && folderGone->second == FailureReason::NotFound &&
                     folderGone->first != CopyStep::OpenSource,
                 "a missing destination folder: not found, past the source");
    report.check(CopyRefusal(fs, source, source).value_or(Refusal{}).second == FailureReason::SameFile,
                 "a copy onto its source: the same file");
    world.MakeFolder(Join(dir, L"folder.bak"));
    const auto onFolder = CopyRefusal(fs, source, Join(dir, L"folder.bak"));
    report.check(
        onFolder && onFolder->second == FailureReason::IsFolder && onFolder->first != CopyStep::OpenSource,
        "a folder for a destination: a folder, past the source");
    world.MakeFile(Join(dir, L"hidden.bak"), "kept");
    world.SetAttributes(Join(dir, L"hidden.bak"), false, true, false);
    report.check(CopyRefusal(fs, source, Join(dir, L"hidden.bak")).value_or(Refusal{}).second ==
                     FailureReason::HiddenOrSystem,
                 "a hidden destination: hidden or system");
    report.check(!AnyTemporary(world, dir), "refused copies leave no temporary file");
    if (const wchar_t letter = world.UnreadableDrive()) {
        report.check(CopyRefusal(fs, source, std::wstring{letter, L':', L'\\'} + L"x.bak")
                             .value_or(Refusal{})
                             .second == FailureReason::NotReady,
                     "a drive that cannot be read: not ready");
    }
}

}  // namespace

bool Throws(const std::function<void()>& action) {
    try {
        action();
    } catch (const PlatformError&) {
        return true;
    }
    return false;
}

const std::vector<Case>& FileSystemContract() {
    static const std::vector<Case> cases = {
        {"a drive that cannot be read", UnreadableDrive},
        {"wildcards match long names", WildcardsMatchLongNames},
        {"an 8.3 name names its file", ShortNamesNameTheirFile},
        {"hidden, system and read-only files", ProtectedFiles},
        {"read-only copies are replaced", ReadOnlyCopiesAreReplaced},
        {"letter case of any script", LetterCaseOfAnyScript},
        {"replacing needs room for the whole copy", ReplacingNeedsRoomForTheWholeCopy},
        {"temporary files stay out of sight", TemporaryFilesStayOutOfSight},
        {"a refused copy tells the step and the reason", RefusedCopiesTellTheStepAndTheReason},
    };
    return cases;
}

}  // namespace tesoro::contract
