// The drive, folder and file list models: what they list, when they raise their events, and that a
// failure leaves them where they were.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "doubles/fake_platform.h"
#include "platform/drive_list.h"
#include "platform/file_list.h"

namespace tesoro {
namespace {

using testing::FakePlatform;
using testing::kCdRom;
using testing::kRemote;
using testing::kRemovable;

class RecordingView : public ControlView {
public:
    std::vector<Property> changes;
    void Changed(Property what) override { changes.push_back(what); }
};

class ListControlsTest : public ::testing::Test {
protected:
    ListControlsTest() {
        fake.fs.AddDrive(L'A', kRemovable).ready = false;
        fake.fs.AddDrive(L'D', kCdRom, L"FOTOS");
        fake.fs.AddDrive(L'Z', kRemote, L"\\\\servidor\\datos");
        fake.fs.AddFolder(L"D:\\Viaje");
        fake.fs.SetDriveCurrentFolder(L'D', L"D:\\Viaje");
        fake.fs.AddFolder(L"C:\\Datos\\zeta");
        fake.fs.AddFolder(L"C:\\Datos\\Alfa");
        fake.fs.AddFolder(L"C:\\Datos\\beta");
        fake.fs.AddFolder(L"C:\\Datos\\oculta", {.hidden = true});
        fake.fs.AddFolder(L"C:\\Datos\\sistema", {.system = true});
        fake.fs.AddFile(L"C:\\Datos\\informe.txt", "x");
        fake.fs.AddFile(L"C:\\Datos\\Carta.doc", "x");
        fake.fs.AddFile(L"C:\\Datos\\copia.bak", "x");
        fake.fs.AddFile(L"C:\\Datos\\INFORME.BAK", "x");
        fake.fs.AddFile(L"C:\\Datos\\oculto.bak", "x", {.hidden = true});
        fake.fs.AddFile(L"C:\\Datos\\sistema.bak", "x", {.system = true});
        fake.fs.SetCurrentFolder(L"C:\\Datos");
    }
    FakePlatform fake;
    std::vector<std::wstring> events;
};

std::vector<std::wstring> Names(const FolderList& list) {
    std::vector<std::wstring> names;
    for (const auto& item : list.Items()) names.push_back(item.name);
    return names;
}

// ---- DriveList ----

TEST_F(ListControlsTest, DriveEntriesShowLowerCaseLetterAndLabel) {
    DriveList drives(1, nullptr, {}, fake.drives, fake.fs);
    EXPECT_EQ(drives.Items(), (std::vector<std::wstring>{L"a:", L"c: [SISTEMA]", L"d: [FOTOS]",
                                                         L"z: [\\\\servidor\\datos]"}));
    EXPECT_EQ(drives.Drive(), L"c: [SISTEMA]");  // the process's current drive
}

TEST_F(ListControlsTest, SetDriveGoesByLetterAndRaisesChangeOnlyOnAnotherDrive) {
    DriveList drives(1, nullptr, {}, fake.drives, fake.fs);
    drives.onChange = [&] { events.push_back(drives.Drive()); };
    drives.SetDrive(L"C:");
    drives.SetDrive(L"D: [OTRA]");
    drives.SetDrive(L"d:");
    EXPECT_EQ(events, std::vector<std::wstring>{L"d: [FOTOS]"});
}

TEST_F(ListControlsTest, SetDriveToAnUnknownLetterThrowsAndKeepsTheDrive) {
    DriveList drives(1, nullptr, {}, fake.drives, fake.fs);
    drives.onChange = [&] { events.push_back(drives.Drive()); };
    EXPECT_THROW(drives.SetDrive(L"q:"), PlatformError);
    EXPECT_THROW(drives.SetDrive(L""), PlatformError);
    EXPECT_EQ(drives.Drive(), L"c: [SISTEMA]");
    EXPECT_TRUE(events.empty());
}

TEST_F(ListControlsTest, DriveRefreshKeepsTheDriveOrFallsBackToTheCurrentOne) {
    DriveList drives(1, nullptr, {}, fake.drives, fake.fs);
    drives.onChange = [&] { events.push_back(drives.Drive()); };
    drives.SetDrive(L"z:");
    fake.fs.GetDrive(L'Z').label = L"\\\\otro\\datos";
    drives.Refresh();
    EXPECT_EQ(drives.Drive(), L"z: [\\\\otro\\datos]");
    EXPECT_EQ(events.size(), 1u);

    fake.drives.failLogicalDriveStrings = true;  // as if every drive had gone
    drives.Refresh();
    EXPECT_TRUE(drives.Items().empty());
    EXPECT_EQ(drives.ListIndex(), -1);
    EXPECT_EQ(drives.Drive(), L"");
}

// ---- FolderList ----

TEST_F(ListControlsTest, FolderListShowsThePathOpenedThenSortedVisibleSubfolders) {
    FolderList folders(1, nullptr, {}, fake.fs);
    EXPECT_EQ(folders.Path(), L"C:\\Datos");
    EXPECT_EQ(Names(folders), (std::vector<std::wstring>{L"c:\\", L"Datos", L"Alfa", L"beta", L"zeta"}));
    const auto& items = folders.Items();
    EXPECT_TRUE(items[1].opened);
    EXPECT_EQ(items[1].depth, 1);
    EXPECT_FALSE(items[2].opened);
    EXPECT_EQ(items[2].depth, 2);
    EXPECT_EQ(items[2].path, L"C:\\Datos\\Alfa");
    EXPECT_EQ(folders.ListIndex(), 1);  // the current folder is highlighted
}

TEST_F(ListControlsTest, RootPathKeepsItsBackslashAndNoOtherPathEndsInOne) {
    FolderList folders(1, nullptr, {}, fake.fs);
    folders.SetPath(L"c:\\");
    EXPECT_EQ(folders.Path(), L"C:\\");
    EXPECT_EQ(folders.Items()[0].name, L"c:\\");
    EXPECT_EQ(folders.Items()[1].path, L"C:\\Datos");  // not C:\\Datos
    folders.SetPath(L"C:\\Datos\\beta\\");
    EXPECT_EQ(folders.Path(), L"C:\\Datos\\beta");
}

TEST_F(ListControlsTest, DriveValueMovesToThatDrivesCurrentFolder) {
    FolderList folders(1, nullptr, {}, fake.fs);
    folders.SetPath(L"d: [FOTOS]");
    EXPECT_EQ(folders.Path(), L"D:\\Viaje");
    folders.SetPath(L"c:");
    EXPECT_EQ(folders.Path(), L"C:\\Datos");
}

TEST_F(ListControlsTest, FolderChangeIsRaisedNestedAndOnlyWhenThePathDiffers) {
    FolderList folders(1, nullptr, {}, fake.fs);
    folders.onChange = [&] { events.push_back(folders.Path()); };
    folders.SetPath(L"C:\\Datos");
    folders.SetPath(L"C:\\Datos\\");
    folders.Highlight(2);
    EXPECT_EQ(folders.Path(), L"C:\\Datos");
    folders.OpenItem(2);
    folders.OpenItem(0);
    EXPECT_EQ(events, (std::vector<std::wstring>{L"C:\\Datos\\Alfa", L"C:\\"}));
}

TEST_F(ListControlsTest, FolderFailuresThrowAndLeaveTheListUnchanged) {
    FolderList folders(1, nullptr, {}, fake.fs);
    folders.onChange = [&] { events.push_back(folders.Path()); };
    folders.Highlight(3);
    const auto itemsBefore = Names(folders);
    for (const wchar_t* value : {L"a:", L"A:\\", L"C:\\NoExiste", L"C:\\Datos\\informe.txt", L"Datos", L"q:"})
        EXPECT_THROW(folders.SetPath(value), PlatformError) << value;
    EXPECT_EQ(folders.Path(), L"C:\\Datos");
    EXPECT_EQ(Names(folders), itemsBefore);
    EXPECT_EQ(folders.ListIndex(), 3);
    EXPECT_TRUE(events.empty());
}

TEST_F(ListControlsTest, FolderRefreshShowsNewSubfolders) {
    FolderList folders(1, nullptr, {}, fake.fs);
    RecordingView view;
    folders.Bind(&view);
    fake.fs.AddFolder(L"C:\\Datos\\nueva");
    folders.Refresh();
    EXPECT_EQ(Names(folders).back(), L"zeta");
    EXPECT_EQ(Names(folders)[4], L"nueva");
    EXPECT_EQ(view.changes, (std::vector<Property>{Property::Items, Property::Selection}));
}

// A list made from another one, or following it, shows exactly what its own reading would show.
TEST_F(ListControlsTest, ASecondListShowsTheFirstOnesReadingWithoutReadingAgain) {
    DriveList drives(1, nullptr, {}, fake.drives, fake.fs);
    FolderList folders(2, nullptr, {}, fake.fs);
    const int labels = fake.drives.labelQueries, reads = fake.fs.folderReads;
    DriveList sameDrives(3, nullptr, {}, drives);
    FolderList sameFolder(4, nullptr, {}, folders);
    EXPECT_EQ(fake.drives.labelQueries, labels);
    EXPECT_EQ(fake.fs.folderReads, reads);
    EXPECT_EQ(sameDrives.id, 3);
    EXPECT_EQ(sameDrives.Items(), drives.Items());
    EXPECT_EQ(sameDrives.Drive(), drives.Drive());
    EXPECT_EQ(sameFolder.id, 4);
    EXPECT_EQ(sameFolder.Path(), folders.Path());
    EXPECT_EQ(Names(sameFolder), Names(folders));
    EXPECT_EQ(sameFolder.ListIndex(), folders.ListIndex());

    // Each goes its own way afterwards.
    sameDrives.SetDrive(L"d:");
    sameFolder.SetPath(L"C:\\Datos\\beta");
    EXPECT_EQ(drives.Drive(), L"c: [SISTEMA]");
    EXPECT_EQ(folders.Path(), L"C:\\Datos");
}

TEST_F(ListControlsTest, FollowingMovesLikeSetPathWithoutReadingTheFolderAgain) {
    FolderList source(1, nullptr, {}, fake.fs), follower(2, nullptr, {}, fake.fs),
        reference(3, nullptr, {}, fake.fs);
    follower.SetPath(L"d:");
    RecordingView view;
    follower.Bind(&view);
    follower.onChange = [&] { events.push_back(follower.Path()); };
    source.SetPath(L"C:\\Datos\\Alfa");
    reference.SetPath(L"C:\\Datos\\Alfa");
    const int reads = fake.fs.folderReads;

    follower.Follow(source);
    follower.Follow(source);  // already there: shown again, no change raised
    EXPECT_EQ(fake.fs.folderReads, reads);
    EXPECT_EQ(follower.Path(), reference.Path());
    EXPECT_EQ(Names(follower), Names(reference));
    EXPECT_EQ(follower.ListIndex(), reference.ListIndex());
    EXPECT_EQ(follower.Items().back().path, reference.Items().back().path);
    EXPECT_EQ(events, std::vector<std::wstring>{L"C:\\Datos\\Alfa"});
    EXPECT_EQ(view.changes, (std::vector<Property>{Property::Items, Property::Selection, Property::Value,
                                                   Property::Items, Property::Selection}));
}

// ---- FileList ----

TEST_F(ListControlsTest, FileListShowsOrdinaryMatchingFilesSorted) {
    FileList files(1, nullptr, {}, fake.fs);
    EXPECT_EQ(files.Items(),
              (std::vector<std::wstring>{L"Carta.doc", L"copia.bak", L"INFORME.BAK", L"informe.txt"}));
    files.SetPattern(L"*.BAK");
    EXPECT_EQ(files.Items(), (std::vector<std::wstring>{L"copia.bak", L"INFORME.BAK"}));
}

TEST_F(ListControlsTest, PathChangeIsRaisedNestedClearsTheSelectionAndOnlyOnAnotherFolder) {
    FileList files(1, nullptr, {}, fake.fs);
    files.onPathChange = [&] { events.push_back(files.Path() + L"|" + files.FileName()); };
    files.SelectItem(0);
    files.SetPath(L"C:\\Datos");
    EXPECT_EQ(files.FileName(), L"Carta.doc");
    files.SetPath(L"C:\\");
    EXPECT_EQ(events, std::vector<std::wstring>{L"C:\\|"});
    EXPECT_EQ(files.ListIndex(), -1);
}

TEST_F(ListControlsTest, SelectingAFileRaisesClickWithItsName) {
    FileList files(1, nullptr, {}, fake.fs);
    files.onClick = [&] { events.push_back(files.FileName()); };
    files.SelectItem(3);
    files.SelectItem(3);  // a second click is a second Click
    files.SelectItem(4);  // past the end: nothing
    EXPECT_EQ(events, (std::vector<std::wstring>{L"informe.txt", L"informe.txt"}));
}

TEST_F(ListControlsTest, RefreshKeepsTheSelectedNameOnlyWhileItIsListed) {
    FileList files(1, nullptr, {}, fake.fs);
    files.SelectItem(2);  // INFORME.BAK
    fake.fs.AddFile(L"C:\\Datos\\antes.txt", "x");
    files.Refresh();
    EXPECT_EQ(files.FileName(), L"INFORME.BAK");
    EXPECT_EQ(files.ListIndex(), 3);

    fake.fs.DeleteFile(L"C:\\Datos\\INFORME.BAK");
    files.Refresh();
    EXPECT_EQ(files.FileName(), L"");
    EXPECT_EQ(files.ListIndex(), -1);
}

TEST_F(ListControlsTest, PatternChangeClearsTheSelection) {
    FileList files(1, nullptr, {}, fake.fs);
    files.SelectItem(1);  // copia.bak, still listed under the new pattern
    files.SetPattern(L"*.BAK");
    EXPECT_EQ(files.FileName(), L"");
    EXPECT_EQ(files.ListIndex(), -1);
}

TEST_F(ListControlsTest, FileListFailureLeavesItUnchanged) {
    FileList files(1, nullptr, {}, fake.fs);
    files.onPathChange = [&] { events.push_back(files.Path()); };
    files.SelectItem(0);
    EXPECT_THROW(files.SetPath(L"C:\\NoExiste"), PlatformError);
    EXPECT_THROW(files.SetPath(L"A:\\"), PlatformError);
    EXPECT_EQ(files.Path(), L"C:\\Datos");
    EXPECT_EQ(files.FileName(), L"Carta.doc");
    EXPECT_EQ(files.Items().size(), 4u);
    EXPECT_TRUE(events.empty());
}

// ---- One reading for a folder list and the file list that follows it ----

// What a file list following a folder list shows is what the two lists' own readings show: the folder
// list reads the folder once, with the file list's pattern, and the file list takes that reading.
TEST_F(ListControlsTest, AFileListFollowingAFolderListTakesItsReading) {
    fake.fs.AddFile(L"C:\\Datos\\beta\\LEAME", "x");
    fake.fs.AddFile(L"C:\\Datos\\beta\\informe antiguo.bak2", "x");  // its 8.3 name ends in .BAK
    fake.fs.AddFile(L"C:\\Datos\\beta\\viejo.BAK", "x");
    fake.fs.AddFile(L"C:\\Datos\\beta\\oculto.bak", "x", {.hidden = true});
    fake.fs.AddTemporary(L"C:\\Datos\\beta", fake.fs.runningProcesses[0]);
    fake.fs.AddFolder(L"C:\\Datos\\beta\\Sub");
    fake.fs.AddFolder(L"C:\\Datos\\beta\\oculta", {.hidden = true});
    for (const std::wstring pattern : {L"*.*", L"*.BAK"}) {
        FolderList folders(1, nullptr, {}, fake.fs);
        FileList files(2, nullptr, {}, fake.fs);
        files.SetPattern(pattern);
        folders.ReadFilesFor(files);
        folders.onChange = [&] { files.Follow(folders); };
        files.onPathChange = [&] { events.push_back(files.Path()); };
        const int folderReads = fake.fs.folderReads, fileReads = fake.fs.fileReads, both = fake.fs.bothReads;

        folders.OpenItem(static_cast<int>(folders.Items().size()) - 2);  // beta
        EXPECT_EQ(fake.fs.bothReads - both, 1);
        EXPECT_EQ(fake.fs.folderReads - folderReads, 0);
        EXPECT_EQ(fake.fs.fileReads - fileReads, 0);
        EXPECT_EQ(files.Path(), L"C:\\Datos\\beta");
        EXPECT_EQ(files.Items(), fake.fs.ListFiles(L"C:\\Datos\\beta", pattern));
        EXPECT_EQ(Names(folders).back(), L"Sub");
        EXPECT_EQ(folders.Items().size(), 4u);
        EXPECT_EQ(events, std::vector<std::wstring>{L"C:\\Datos\\beta"});
        events.clear();
    }
}

// The reading is handed over once and only under the pattern it was made for; refreshing the folder
// list, or a folder list nobody follows, reads no files.
TEST_F(ListControlsTest, AFolderListReadsFilesOnlyForAMoveItsFileListFollows) {
    FolderList folders(1, nullptr, {}, fake.fs);
    FileList files(2, nullptr, {}, fake.fs);
    folders.SetPath(L"C:\\Datos\\Alfa");
    EXPECT_EQ(folders.TakeFiles(FileList::kStartPattern), std::nullopt);
    folders.ReadFilesFor(files);
    folders.SetPath(L"C:\\Datos");
    EXPECT_EQ(folders.TakeFiles(L"*.BAK"), std::nullopt);  // read for *.*: not usable for another pattern
    EXPECT_EQ(folders.TakeFiles(L"*.*"), std::nullopt);    // and gone once asked for
    const int both = fake.fs.bothReads, fileReads = fake.fs.fileReads;
    folders.Refresh();
    folders.SetPath(L"C:\\Datos");  // no move
    EXPECT_EQ(fake.fs.bothReads, both);
    files.Follow(folders);  // nothing read along: the file list reads for itself
    EXPECT_EQ(fake.fs.fileReads - fileReads, 1);
    EXPECT_EQ(files.Items().size(), 4u);
}

TEST_F(ListControlsTest, AFileListMadeAfterAFolderListStartsFromItsReading) {
    FolderList folders(1, nullptr, {}, fake.fs, FileList::kStartPattern);
    FileList files(2, nullptr, {}, fake.fs, folders);
    FileList own(3, nullptr, {}, fake.fs);
    EXPECT_EQ(fake.fs.bothReads, 1);
    EXPECT_EQ(fake.fs.fileReads, 1);  // only `own`
    EXPECT_EQ(files.Path(), own.Path());
    EXPECT_EQ(files.Items(), own.Items());
    EXPECT_EQ(files.Pattern(), own.Pattern());

    // A start folder that cannot be read: the file list starts there too, empty.
    fake.fs.SetCurrentFolder(L"C:\\Datos\\beta");
    fake.fs.GetDrive(L'C').ready = false;
    FolderList unreadable(4, nullptr, {}, fake.fs, FileList::kStartPattern);
    FileList empty(5, nullptr, {}, fake.fs, unreadable);
    EXPECT_EQ(empty.Path(), unreadable.Path());
    EXPECT_TRUE(empty.Items().empty());
}

// Reading a folder at once gives what the two readings give, failing where they fail.
TEST_F(ListControlsTest, ReadingSubfoldersAndFilesAtOnceGivesWhatTwoReadingsGive) {
    for (const std::wstring pattern : {L"*.*", L"*.bak", L"*", L"INFORME.*"}) {
        const FolderContents once = fake.fs.ReadFolder(L"C:\\Datos", pattern);
        const FolderContents twice = fake.fs.FileSystem::ReadFolder(L"C:\\Datos", pattern);
        EXPECT_EQ(once.folders, fake.fs.ListFolders(L"C:\\Datos"));
        EXPECT_EQ(once.files, fake.fs.ListFiles(L"C:\\Datos", pattern));
        EXPECT_EQ(twice.folders, once.folders);
        EXPECT_EQ(twice.files, once.files);
    }
    EXPECT_THROW(fake.fs.ReadFolder(L"C:\\NoExiste", L"*.*"), PlatformError);
    EXPECT_THROW(fake.fs.ReadFolder(L"A:\\", L"*.*"), PlatformError);
    EXPECT_THROW(fake.fs.FileSystem::ReadFolder(L"A:\\", L"*.*"), PlatformError);
}

// The chain the main window builds: drive -> folder -> files, each raised inside the assignment before it.
TEST_F(ListControlsTest, ChainedEventsRunInsideTheAssignmentThatRaisedThem) {
    DriveList drives(1, nullptr, {}, fake.drives, fake.fs);
    FolderList folders(2, nullptr, {}, fake.fs);
    FileList files(3, nullptr, {}, fake.fs);
    drives.onChange = [&] {
        events.push_back(L"drive " + drives.Drive());
        folders.SetPath(drives.Drive());
        events.push_back(L"drive done");
    };
    folders.onChange = [&] {
        events.push_back(L"folder " + folders.Path());
        files.SetPath(folders.Path());
    };
    files.onPathChange = [&] { events.push_back(L"files " + files.Path()); };
    drives.SetDrive(L"d:");
    EXPECT_EQ(events, (std::vector<std::wstring>{L"drive d: [FOTOS]", L"folder D:\\Viaje", L"files D:\\Viaje",
                                                 L"drive done"}));
}

}  // namespace
}  // namespace tesoro
