// Host test doubles for every platform service: an in-memory file system with drive letters, scripted
// dialogs that record what was shown, a fixed date, and an aggregate that hands them out as a Platform.
//
//     FakePlatform fake;
//     fake.fs.AddFile(L"C:\\Datos\\informe.txt", "hola");
//     fake.dialogs.answers.push_back(MsgAnswer::Yes);
//     FrmMain form(fake.platform);
#pragma once

#include <cstdint>
#include <deque>
#include <functional>
#include <map>
#include <memory>
#include <optional>
#include <set>
#include <string>
#include <thread>
#include <vector>

#include "platform/brief_hold.h"
#include "platform/controls.h"
#include "platform/services.h"
#include "platform/temporary_files.h"

namespace tesoro::testing {

struct FileAttrs {
    bool hidden = false;
    bool system = false;
    bool readOnly = false;  // on a folder: no file can be created in it (nor deleted from it)
};

// Drive types as the system reports them.
enum DriveKind : unsigned { kNoRoot = 1, kRemovable = 2, kFixed = 3, kRemote = 4, kCdRom = 5 };

// Windows paths ("C:\Datos\x.txt"), compared case-insensitively; names keep the case they were given.
// A name that is not a valid 8.3 name also answers to a short one, made as the system makes them
// ("INFORM~1.BAK" for "informe antiguo.bak", the first such name in the folder).
// Relative paths resolve against the current folders; "/" counts as "\"; "." and ".." are followed;
// trailing dots and spaces of a name are dropped, as the system does.
class FakeFileSystem : public FileSystem {
public:
    struct Drive {
        wchar_t letter = L'C';
        unsigned type = kFixed;
        std::wstring label;                      // volume label, or a remote drive's network name
        bool ready = true;                       // false: every operation on the drive throws
        bool full = false;                       // true: no write fits
        std::optional<std::uint64_t> freeBytes;  // when set, writes larger than this throw
        std::wstring currentFolder;              // the folder the system keeps current for the drive
    };

    // Set-up. A drive must exist before anything is put on it; the default machine is FakePlatform's.
    Drive& AddDrive(wchar_t letter, unsigned type, std::wstring label = L"");
    Drive& GetDrive(wchar_t letter);                                 // the drive must exist
    void AddFolder(const std::wstring& path, FileAttrs attrs = {});  // parents are created as needed
    void AddFile(const std::wstring& path, std::string bytes, FileAttrs attrs = {});
    void SetAttributes(const std::wstring& path, FileAttrs attrs);
    void SetLocked(const std::wstring& path, bool locked = true);  // as if open in another program
    // Held by another program for a moment, as a virus scanner holds a file it reads: for `ms` of the
    // file system's own time, which only its waits move on.
    void HoldFor(const std::wstring& path, unsigned ms);
    std::uint64_t nowMs = 0;
    // Update locks another process holds: LockUpdates on one of these paths (upper case) fails.
    std::set<std::wstring> lockedByOthers;
    // A file, or a folder with everything in it, removed as another program would.
    void Remove(const std::wstring& path);
    void SetCurrentFolder(const std::wstring& path);  // process and drive current folder; created if missing
    void SetDriveCurrentFolder(wchar_t letter, const std::wstring& path);

    // How often the service was asked whether a file exists, by either way.
    int searches = 0;  // FindOrdinaryFile
    int lookUps = 0;   // LookUpOrdinaryFile
    // How often a folder was read for the lists.
    int folderReads = 0;  // ListFolders
    int fileReads = 0;    // ListFiles
    int bothReads = 0;    // ReadFolder: subfolders and files in one reading
    // The processes running on the machine, this one first; a temporary file of any other is stale.
    std::vector<ProcessStamp> runningProcesses{ProcessStamp{0x1f4, 0x1d9c6a4b2f0e800}};
    // Puts a hidden temporary file of `writer` into a folder, as a copy or save cut short leaves it.
    std::wstring AddTemporary(const std::wstring& folder, const ProcessStamp& writer,
                              std::string bytes = "x");

    // Queries, for assertions; they ignore readiness and never throw on a missing path.
    bool Exists(const std::wstring& path) const;
    bool IsFolder(const std::wstring& path) const;
    std::string Contents(const std::wstring& path) const;  // empty when missing
    FileAttrs Attributes(const std::wstring& path) const;
    int WriteCount(const std::wstring& path) const;          // content writes through the service, ever
    std::wstring ShortPath(const std::wstring& path) const;  // as GetShortPathName gives it
    std::vector<std::wstring> Names(const std::wstring& folder) const;  // hidden and system ones too
    std::vector<wchar_t> DriveLetters() const;                          // upper case, in order
    const Drive* FindDrive(wchar_t letter) const;

    // FileSystem.
    std::wstring CurrentFolder() override;
    std::wstring DriveCurrentFolder(wchar_t letter) override;
    std::vector<std::wstring> ListFolders(const std::wstring& folder) override;
    std::vector<std::wstring> ListFiles(const std::wstring& folder, const std::wstring& pattern) override;
    FolderContents ReadFolder(const std::wstring& folder, const std::wstring& pattern) override;
    bool FolderExists(const std::wstring& path) override;
    bool PathExists(const std::wstring& path) override;
    bool FindOrdinaryFile(const std::wstring& path) override;
    // Without wildcards: the entry itself, looked up by its key, not through the folder's listing.
    FileLookup LookUpOrdinaryFile(const std::wstring& path) override;
    bool SameName(const std::wstring& a, const std::wstring& b) override;
    bool SameFile(const std::wstring& a, const std::wstring& b) override;
    // Copies in pieces of `copyPieceBytes`, reporting after each; the copy lands only at the end, so a
    // cancelled or failed copy leaves the destination as it was.
    void CopyFile(const std::wstring& from, const std::wstring& to,
                  CopyProgress* progress = nullptr) override;
    std::size_t copyPieceBytes = 64 * 1024;
    std::thread::id lastCopyThread;  // the thread the last copy ran on
    void DeleteFile(const std::wstring& path) override;
    std::optional<PlatformError> deleteRefusal;  // when set, every deletion is refused with it
    void RemoveStaleTemporaries(const std::wstring& folder) override;
    std::optional<std::string> ReadFile(const std::wstring& path) override;
    // Creates an empty file; an existing file is left as it is.
    void CreateEmptyFile(const std::wstring& path) override;
    void ReplaceFile(const std::wstring& path, const std::string& bytes) override;
    std::unique_ptr<UpdateLock> LockUpdates(const std::wstring& path) override;

private:
    struct Entry {
        std::wstring path;  // as given, drive letter upper case
        bool folder = false;
        std::string bytes;
        FileAttrs attrs;
        bool locked = false;
        std::uint64_t heldUntilMs = 0;
    };
    class Clock : public HoldClock {
    public:
        explicit Clock(std::uint64_t& nowMs) : nowMs_(nowMs) {}
        std::uint64_t NowMs() override { return nowMs_; }
        void Wait(unsigned ms) override { nowMs_ += ms; }

    private:
        std::uint64_t& nowMs_;
    };
    struct Parsed {
        wchar_t drive;
        std::vector<std::wstring> names;
        std::wstring Key() const;
        std::wstring Display() const;
        std::wstring ParentKey() const;
    };

    Parsed Parse(const std::wstring& path, bool wildcardsInLast = false) const;
    void ResolveShortNames(Parsed& parsed) const;
    std::wstring ShortName(const std::wstring& folderKey, const std::wstring& name) const;
    bool Ordinary(const Entry& e) const;
    void RemoveStaleTemporariesIn(const std::wstring& folderKey);
    void CheckSpace(const Drive& drive, const Parsed& path, std::size_t bytes) const;
    std::optional<Parsed> TryParse(const std::wstring& path) const;
    Drive& ReadyDrive(wchar_t letter);
    Entry* Find(const std::wstring& key);
    const Entry* Find(const std::wstring& key) const;
    Entry& FolderToRead(const Parsed& folder);
    Entry& WritableFolder(const Parsed& path);
    std::vector<const Entry*> Children(const std::wstring& folderKey) const;
    std::vector<std::wstring> FolderNames(const std::wstring& folder);
    std::vector<std::wstring> FileNames(const std::wstring& folder, const std::wstring& pattern);
    void Write(const Parsed& path, std::string bytes, std::optional<FileAttrs> attrs);
    bool Held(const Parsed& path) const;
    void WaitWhileHeld(const Parsed& target);

    std::map<wchar_t, Drive> drives_;
    std::map<std::wstring, Entry> entries_;  // by key: drive and upper-cased names
    std::map<std::wstring, int> writes_;
    std::wstring current_;
    std::set<std::wstring> lockedHere_;
    Clock clock_{nowMs};
};

// Windows wildcard match of one name: * and ?, case-insensitive; "x.*" also matches "x", "*." only
// names without a dot.
bool MatchesPattern(const std::wstring& name, const std::wstring& pattern);

class FakeDrives : public Drives {
public:
    explicit FakeDrives(FakeFileSystem& fs) : fs_(fs) {}
    bool failLogicalDriveStrings = false;

    std::uint32_t LogicalDriveStrings(std::uint32_t length, std::wstring& buffer) override;
    unsigned DriveType(const std::wstring& root) override;
    std::wstring VolumeLabel(wchar_t letter) override;
    int labelQueries = 0;  // VolumeLabel

private:
    FakeFileSystem& fs_;
};

// Answers message boxes and prompts from queues the test fills, recording everything shown in order.
// A Yes/No box with no scripted answer fails the test and answers No; an OK box answers Ok, taking a
// scripted Ok from the front of the queue if there is one.
class ScriptedDialogs : public Dialogs {
public:
    struct Message {
        std::wstring text, title;
        MsgIcon icon;
        MsgButtons buttons;
    };
    struct Prompt {
        std::wstring prompt, title, initial;
    };
    struct ProgressRun {
        std::wstring title, text;
        std::vector<std::pair<std::uint64_t, std::uint64_t>> reports;  // bytes done and total, in order
        bool cancelled = false;                                        // Cancelar was pressed
    };
    std::deque<MsgAnswer> answers;
    // Answers to prompts, front first: a text is typed and OK pressed, nullopt presses Cancel. With none
    // left, OK is pressed on the initial text.
    std::deque<std::optional<std::wstring>> inputs;
    std::vector<Message> messages;
    std::vector<Prompt> prompts;
    std::vector<ProgressRun> progressRuns;
    // When set, the user presses Cancelar as soon as the work has reported this many bytes done.
    std::optional<std::uint64_t> cancelAfterBytes;
    // Runs while each box or prompt is open, before it is answered: what the window's timers may do then.
    std::function<void()> whileOpen;
    // Runs on the waiting thread once the work under RunWithProgress has reported its first piece, while
    // the work waits for it: what may reach the window in the middle of a copy.
    std::function<void()> whileWorking;
    int beeps = 0;

    std::vector<std::wstring> Texts() const;  // texts of the message boxes shown, in order

    MsgAnswer MessageBox(const std::wstring& text, const std::wstring& title, MsgIcon icon,
                         MsgButtons buttons) override;
    std::optional<std::wstring> InputBox(const std::wstring& prompt, const std::wstring& title,
                                         const std::wstring& initial) override;
    // Runs the work on a thread of its own and waits for it, recording what it reported.
    void RunWithProgress(const std::wstring& title, const std::wstring& text,
                         const std::function<void(CopyProgress&)>& work) override;
    void CancelWork() override;
    void Beep() override { ++beeps; }

    // How an unscripted question is reported; the test build routes it to the test framework.
    static inline void (*reportUnscripted)(const std::wstring& text) = nullptr;

private:
    std::function<void()> cancelWork_;  // while work runs
};

class FixedClock : public Clock {
public:
    std::wstring date = L"7/12/2026";
    bool fail = false;             // the date cannot be read
    std::function<void()> onRead;  // runs whenever the date is asked for
    std::wstring ShortDate() override {
        if (onRead) onRead();
        if (fail) throw PlatformError("the date cannot be read");
        return date;
    }
};

class RecordingShell : public Shell {
public:
    struct Opened {
        std::uintptr_t owner;
        std::wstring target, folder;
    };
    std::vector<Opened> opened;
    void Open(std::uintptr_t owner, const std::wstring& target, const std::wstring& folder) override {
        opened.push_back({owner, target, folder});
    }
};

class FakeScreen : public Screen {
public:
    double twipsPerPixelX = 15;
    double twipsPerPixelY = 15;
    void SetDpi(int dpi) { twipsPerPixelX = twipsPerPixelY = 1440.0 / dpi; }
    double TwipsPerPixelX() override { return twipsPerPixelX; }
    double TwipsPerPixelY() override { return twipsPerPixelY; }
};

// Opens every form's window as a record the test can read: its handle, how often it was shown, its state
// as last set, whether it is destroyed. Records outlive the windows.
class FakeWindows : public WindowFactory {
public:
    struct Record {
        std::wstring caption;
        std::uintptr_t handle = 0;
        int shows = 0;
        int broughtToFront = 0;
        bool destroyed = false;
        std::vector<MouseButton> followed;  // the buttons it was asked to follow the pointer with
        const Form* form = nullptr;
    };
    std::deque<Record> opened;

    std::unique_ptr<FormWindow> Create(const FormContent& content) override;
    // The record of the window with this handle; the handle must have been handed out.
    const Record& ByHandle(std::uintptr_t handle) const;
};

// Regions as the shapes they are the union of, so a test can read an outline back; and a log of the
// calls made, in order.
class FakeWindowApi : public WindowApi {
public:
    struct Shape {
        bool ellipse;
        int left, top, right, bottom;
        bool operator==(const Shape&) const = default;
    };
    struct Region {
        std::vector<Shape> shapes;
        bool deleted = false;
        bool ownedBySystem = false;
    };
    std::map<std::uintptr_t, Region> regions;
    std::map<std::uintptr_t, std::uintptr_t> windowRegions;  // window -> the region it was given
    std::vector<std::string> calls;  // "CreateRectRgn", "CombineRgn RGN_OR", "SendMessage 161 2 0", ...
    bool failSetWindowRgn = false;
    int deletesOfSystemRegions = 0;

    // The outline a window was given, or nullptr.
    const Region* WindowRegion(std::uintptr_t window) const;
    // Regions made and never deleted nor handed to the system.
    int LeakedRegions() const;

    std::uintptr_t CreateRectRgn(int left, int top, int right, int bottom) override;
    std::uintptr_t CreateEllipticRgn(int left, int top, int right, int bottom) override;
    int CombineRgn(std::uintptr_t destination, std::uintptr_t source1, std::uintptr_t source2,
                   int mode) override;
    bool DeleteObject(std::uintptr_t object) override;
    int SetWindowRgn(std::uintptr_t window, std::uintptr_t region, bool redraw) override;
    bool ReleaseCapture() override;
    std::intptr_t SendWindowMessage(std::uintptr_t window, unsigned message, std::uintptr_t wParam,
                                    std::intptr_t lParam) override;

private:
    std::uintptr_t Add(Shape shape);
    std::uintptr_t next_ = 0x5000;
};

class FakeCodec : public AnsiCodec {
public:
    std::string ToAnsi(const std::wstring& text) override;
    std::wstring FromAnsi(const std::string& bytes) override;
};

// Thrown by FakeProcess::End. Not a std::exception, so a handler's catch of failures cannot swallow it.
struct ProcessEnded {};

class FakeProcess : public Process {
public:
    [[noreturn]] void End() override { throw ProcessEnded{}; }
};

// One of each, wired into `platform`. The default machine: drive C: (fixed, "SISTEMA") holding
// C:\Windows\Temp, current folder C:\.
class FakePlatform {
public:
    FakePlatform();
    FakePlatform(const FakePlatform&) = delete;
    FakePlatform& operator=(const FakePlatform&) = delete;

    FakeFileSystem fs;
    FakeDrives drives{fs};
    ScriptedDialogs dialogs;
    FixedClock clock;
    RecordingShell shell;
    FakeScreen screen;
    FakeCodec codec;
    FakeProcess process;
    FakeWindows windows;
    FakeWindowApi windowApi;
    Platform platform{fs, drives, dialogs, clock, shell, screen, codec, process, windows, windowApi};
};

}  // namespace tesoro::testing
