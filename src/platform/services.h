// The operating-system services the behaviour needs, written from what the handlers use and nothing
// more. The windows build implements them with the real API; the host build with test doubles.
#pragma once

#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <stdexcept>
#include <string>
#include <vector>

namespace tesoro {

struct FormContent;

// Why the system refused an operation on a file, as far as a message to the user tells it apart.
enum class FailureReason {
    Other,
    NotFound,  // the file, or a folder on its way
    ReadOnly,
    InUse,  // another program has it open
    AccessDenied,
    NotReady,
    WriteProtected,
    DiskFull,
    TooLarge,        // larger than the destination's file system allows
    SameFile,        // a copy onto its own source
    IsFolder,        // a folder where a file was meant
    HiddenOrSystem,  // a copy onto a hidden or system file
};

// The step of a copy that the system refused, or None for any other operation.
enum class CopyStep { None, OpenSource, WriteCopy, PutInPlace };

// A platform operation the system refused: a drive not ready, a file in use, a full disk, a name the
// file system rejects. The text is for the developer; users see the program's own messages, which may
// name the reason and the system's error code.
class PlatformError : public std::runtime_error {
public:
    explicit PlatformError(const std::string& what, FailureReason reason = FailureReason::Other,
                           std::uint32_t systemCode = 0, CopyStep step = CopyStep::None)
        : std::runtime_error(what), reason_(reason), systemCode_(systemCode), step_(step) {}
    FailureReason Reason() const { return reason_; }
    std::uint32_t SystemCode() const { return systemCode_; }  // 0 when the system gave none
    CopyStep Step() const { return step_; }
    // Names the step the error leaves, unless a step within it was named already.
    void SetStep(CopyStep step) {
        if (step_ == CopyStep::None) step_ = step;
    }

private:
    FailureReason reason_;
    std::uint32_t systemCode_;
    CopyStep step_;
};

// Runs one step of a copy: a refusal that leaves it names the step (whatever kind of PlatformError it
// is, thrown on as it was).
template <typename Action>
decltype(auto) InCopyStep(CopyStep step, Action&& action) {
    try {
        return action();
    } catch (PlatformError& error) {
        error.SetStep(step);
        throw;
    }
}

// What a look at one path found, as far as an ordinary file is concerned.
enum class FileLookup {
    OrdinaryFile,
    NoOrdinaryFile,  // nothing there, or a folder, or a hidden or system file
    FolderMissing,   // nothing there because its folder is missing: nothing else in it exists either
};

// A copy the user cancelled: its temporary file is gone and the destination is as it was before.
class CopyCancelled : public PlatformError {
public:
    CopyCancelled() : PlatformError("the copy was cancelled") {}
};

// How a copy under way tells how far it got and learns that it must stop. Called on the thread that
// copies, while the user-interface thread reads what it reported.
class CopyProgress {
public:
    virtual ~CopyProgress() = default;
    virtual void Report(std::uint64_t done, std::uint64_t total) = 0;
    virtual bool CancelRequested() = 0;
};

// One folder's subfolders and files, as ListFolders and ListFiles give them.
struct FolderContents {
    std::vector<std::wstring> folders;
    std::vector<std::wstring> files;
};

// Held while a file is read, changed and written back; released when it goes.
class UpdateLock {
public:
    virtual ~UpdateLock() = default;
};

class FileSystem {
public:
    virtual ~FileSystem() = default;

    // The process's current folder ("C:\Datos", "C:\" at a root).
    virtual std::wstring CurrentFolder() = 0;
    // The folder the system keeps current for a drive; throws when the drive cannot be read.
    virtual std::wstring DriveCurrentFolder(wchar_t letter) = 0;
    // Names of the subfolders, hidden and system ones left out; throws when the folder cannot be read.
    virtual std::vector<std::wstring> ListFolders(const std::wstring& folder) = 0;
    // Names of the ordinary files whose long names match a pattern such as "*.BAK", hidden and system
    // files and our own temporary files left out; throws when the folder cannot be read.
    virtual std::vector<std::wstring> ListFiles(const std::wstring& folder, const std::wstring& pattern) = 0;
    // ListFolders and ListFiles of one folder at once, the same names; an implementation may read the
    // folder once for both. Throws when the folder cannot be read.
    virtual FolderContents ReadFolder(const std::wstring& folder, const std::wstring& pattern);
    virtual bool FolderExists(const std::wstring& path) = 0;
    // A file or folder of that name exists. Existence questions answer false when the drive cannot be
    // read; they never throw.
    virtual bool PathExists(const std::wstring& path) = 0;
    // Searches for an ordinary file (hidden, system, folders and our own temporary files are not found).
    // A name without wildcards is found as the system would open it (its 8.3 name too); * and ? in the
    // last part act as wildcards on the long names only. Returns false when nothing matches or the folder
    // is missing; throws when the search itself cannot be carried out (a drive that cannot be read, a name
    // the file system refuses).
    virtual bool FindOrdinaryFile(const std::wstring& path) = 0;
    // The answer of FindOrdinaryFile (OrdinaryFile for true), telling a missing folder apart where it
    // can. A path without wildcards is answered from one query of its attributes instead of a search;
    // one with wildcards is searched. Throws when the question cannot be answered (drive not ready, a
    // name the file system refuses).
    virtual FileLookup LookUpOrdinaryFile(const std::wstring& path) = 0;
    // LookUpOrdinaryFile for many paths, answers in their order; nullopt where it would throw. Nothing is
    // asked about a path whose folder, written the same way, was found missing before. An implementation
    // may answer from what it learns once for many paths (a folder listed once, a drive checked once).
    virtual std::vector<std::optional<FileLookup>> LookUpOrdinaryFiles(
        const std::vector<std::wstring>& paths);
    // Whether two names of entries in one folder name the same entry: letter case compared as the file
    // system compares names, in every script.
    virtual bool SameName(const std::wstring& a, const std::wstring& b) = 0;
    // Whether two paths name one existing file, by identity rather than by name (letter case, 8.3 names,
    // hard links); false when either is missing or cannot be reached.
    virtual bool SameFile(const std::wstring& a, const std::wstring& b) = 0;
    // Copies a file byte for byte with its last-write time, replacing a file at the destination; the new
    // file gets the source's attributes. Never destroys either file: the copy is written to a hidden
    // temporary file in the destination folder and put in place in one step only when complete. The
    // destination may be read-only (the caller has asked before replacing it); one that is the source
    // itself (whatever name reaches it), a folder, or hidden or system is refused. Stale temporary files
    // in the destination folder are removed first. Throws on any failure, naming the step refused
    // (opening the source, writing the copy, putting it in place of the file there) and the reason.
    // With `progress`, reports the bytes copied as they go and asks for a cancel request between pieces
    // and once more before the copy is put in place; a cancelled copy removes its temporary file and
    // throws CopyCancelled. Safe to call from a thread of its own.
    virtual void CopyFile(const std::wstring& from, const std::wstring& to,
                          CopyProgress* progress = nullptr) = 0;
    // Deletes a file for good (no recycle bin). A read-only file is refused, not unprotected; the error
    // carries the reason.
    virtual void DeleteFile(const std::wstring& path) = 0;
    // Removes the temporary files that a process no longer running left in the folder while writing.
    // Best effort: never throws; what cannot be removed stays for the next time.
    virtual void RemoveStaleTemporaries(const std::wstring& folder) = 0;

    // Small whole-file access for the copy log. ReadFile returns nullopt when the file does not exist and
    // throws when it exists but cannot be read.
    virtual std::optional<std::string> ReadFile(const std::wstring& path) = 0;
    virtual void CreateEmptyFile(const std::wstring& path) = 0;
    // Writes a hidden temporary file in the same folder, flushes it, then replaces the old file in one
    // step: on failure the previous file is left as it was. A read-only file is refused. Throws on failure.
    virtual void ReplaceFile(const std::wstring& path, const std::string& bytes) = 0;
    // The lock on updates of a file that every process on this PC honours, whichever user runs it, held
    // until the returned object goes. Waits a few seconds for another holder; throws when it cannot be had.
    virtual std::unique_ptr<UpdateLock> LockUpdates(const std::wstring& path) = 0;

protected:
    // The answers of `lookUp` (given the index of a path) for each path, kept from asking about a folder
    // already found missing.
    static std::vector<std::optional<FileLookup>> LookUpEach(
        const std::vector<std::wstring>& paths, const std::function<FileLookup(std::size_t)>& lookUp);
};

class Drives {
public:
    virtual ~Drives() = default;
    // As GetLogicalDriveStrings: writes the roots ("A:\", NUL, "C:\", NUL, ..., NUL) into the first
    // characters of `buffer` when they fit in `length` characters and returns the number written without
    // the final NUL; when they do not fit, writes nothing and returns the size needed; 0 on failure.
    virtual std::uint32_t LogicalDriveStrings(std::uint32_t length, std::wstring& buffer) = 0;
    // As GetDriveType; the name ends at its first NUL. 5 is a CD-ROM drive.
    virtual unsigned DriveType(const std::wstring& root) = 0;
    // The volume label (or a network drive's remote name); empty when none or not ready.
    virtual std::wstring VolumeLabel(wchar_t letter) = 0;
};

enum class MsgIcon { Critical, Exclamation, Information };
enum class MsgButtons { Ok, YesNo, RetryCancel };  // Yes and No, Retry and Cancel: the first is the default
enum class MsgAnswer { Ok, Yes, No, Retry, Cancel };

class Dialogs {
public:
    virtual ~Dialogs() = default;
    // Modal; line breaks in the text are single carriage returns.
    virtual MsgAnswer MessageBox(const std::wstring& text, const std::wstring& title, MsgIcon icon,
                                 MsgButtons buttons) = 0;
    // Modal prompt with one text field, OK and Cancel: the text on OK (perhaps empty), nullopt on Cancel,
    // Esc or the close box.
    virtual std::optional<std::wstring> InputBox(const std::wstring& prompt, const std::wstring& title,
                                                 const std::wstring& initial) = 0;
    // Runs `work` on a thread of its own while the caller waits as it would for a modal box: the windows
    // keep painting and their timers keep ticking, but the user cannot use them. Once the work has run
    // for about half a second, a modal progress window titled `title` shows `text`, a bar with the bytes
    // done and the total, and a "Cancelar" button (also Esc and the close box) that asks the work to
    // stop. Returns when the work has ended, throwing again what the work threw.
    virtual void RunWithProgress(const std::wstring& title, const std::wstring& text,
                                 const std::function<void(CopyProgress&)>& work) = 0;
    // Asks the work under way in RunWithProgress to stop, as its "Cancelar" does; nothing when none runs.
    virtual void CancelWork() = 0;
    // The system's default sound: a request that cannot be carried out now.
    virtual void Beep() = 0;
};

class Clock {
public:
    virtual ~Clock() = default;
    virtual std::wstring ShortDate() = 0;  // today in the user's short date format
};

class Shell {
public:
    virtual ~Shell() = default;
    // The default action on a file or link, with the window that owns anything the shell shows (0 for
    // the program's main window), the working folder, and a normal window for what it starts.
    virtual void Open(std::uintptr_t owner, const std::wstring& target, const std::wstring& folder) = 0;
};

class Screen {
public:
    virtual ~Screen() = default;
    // 1440 divided by the screen's dots per inch: 15 at 96 dpi, 12 at 120, 7.5 at 192.
    virtual double TwipsPerPixelX() = 0;
    virtual double TwipsPerPixelY() = 0;
};

// A form's top-level window, owned by whoever opened it: the window goes with its owner.
class FormWindow {
public:
    virtual ~FormWindow() = default;
};

class WindowFactory {
public:
    virtual ~WindowFactory() = default;
    // Builds the window of a form and of its controls, hidden, bound to the form: Form::Show puts it on
    // screen. The content's form and controls must outlive the window.
    virtual std::unique_ptr<FormWindow> Create(const FormContent& content) = 0;
};

// The system calls behind an irregular window outline and moving a window without a title bar, as the
// system declares them. Handles are the system's.
class WindowApi {
public:
    virtual ~WindowApi() = default;
    static constexpr int kRgnOr = 2;
    static constexpr int kRgnCopy = 5;
    static constexpr unsigned kWmNcLButtonDown = 0xA1;
    static constexpr std::uintptr_t kHtCaption = 2;

    virtual std::uintptr_t CreateRectRgn(int left, int top, int right, int bottom) = 0;
    virtual std::uintptr_t CreateEllipticRgn(int left, int top, int right, int bottom) = 0;
    virtual int CombineRgn(std::uintptr_t destination, std::uintptr_t source1, std::uintptr_t source2,
                           int mode) = 0;
    virtual bool DeleteObject(std::uintptr_t object) = 0;
    // Non-zero on success; the region then belongs to the system.
    virtual int SetWindowRgn(std::uintptr_t window, std::uintptr_t region, bool redraw) = 0;
    virtual bool ReleaseCapture() = 0;
    virtual std::intptr_t SendWindowMessage(std::uintptr_t window, unsigned message, std::uintptr_t wParam,
                                            std::intptr_t lParam) = 0;
};

// The system's ANSI code page (Windows-1252 here), for the lines stored in the copy log.
class AnsiCodec {
public:
    virtual ~AnsiCodec() = default;
    // Every character outside the code page becomes "?", never a look-alike letter: a stored line then
    // reads "?" where a name had such a character, which a search takes as a wildcard for it.
    virtual std::string ToAnsi(const std::wstring& text) = 0;
    virtual std::wstring FromAnsi(const std::string& bytes) = 0;
};

class Process {
public:
    virtual ~Process() = default;
    [[noreturn]] virtual void End() = 0;  // every window goes, no further handler runs
};

// Everything the behaviour reaches of the system, handed to the windows at creation.
struct Platform {
    FileSystem& fs;
    Drives& drives;
    Dialogs& dialogs;
    Clock& clock;
    Shell& shell;
    Screen& screen;
    AnsiCodec& codec;
    Process& process;
    WindowFactory& windows;
    WindowApi& windowApi;
};

}  // namespace tesoro
