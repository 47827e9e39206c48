// The drive, folder and file list models: what they list, when they raise their events, and that a
// failure leaves them where they were.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "doubles/fake_platform.h"
#include "platform/controls.h"

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
