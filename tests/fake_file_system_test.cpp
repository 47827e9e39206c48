// The parts of the test doubles that other tests lean on without seeing: wildcard rules, copies that
// fail without leaving anything behind, and the drive-strings buffer.
#include <gtest/gtest-spi.h>
#include <gtest/gtest.h>

#include "doubles/fake_platform.h"

namespace tesoro::testing {
namespace {

TEST(FakePatternTest, FollowsWindowsWildcards) {
    EXPECT_TRUE(MatchesPattern(L"LEAME", L"*.*"));
    EXPECT_TRUE(MatchesPattern(L"informe.txt", L"*.*"));
    EXPECT_TRUE(MatchesPattern(L"copia.bak", L"*.BAK"));
    EXPECT_FALSE(MatchesPattern(L"copia.bak2", L"*.BAK"));
    EXPECT_FALSE(MatchesPattern(L"copiabak", L"*.BAK"));
    EXPECT_TRUE(MatchesPattern(L"a1.txt", L"a?.TXT"));
    EXPECT_FALSE(MatchesPattern(L"a.txt", L"a?.txt"));
    EXPECT_TRUE(MatchesPattern(L"LEAME", L"*."));
    EXPECT_FALSE(MatchesPattern(L"a.txt", L"*."));
    EXPECT_TRUE(MatchesPattern(L"ÑANDÚ.txt", L"ñandú.*"));
}

class FakeFileSystemTest : public ::testing::Test {
protected:
    FakeFileSystemTest() {
        fake.fs.AddFile(L"C:\\Datos\\informe.txt", "nuevo");
        fake.fs.AddFile(L"C:\\Datos\\informe.BAK", "viejo");
    }
    void ExpectCopyRefusedAndBackupKept(const std::wstring& to = L"C:\\Datos\\informe.BAK") {
        EXPECT_THROW(fake.fs.CopyFile(L"C:\\Datos\\informe.txt", to), PlatformError);
        EXPECT_EQ(fake.fs.Contents(L"C:\\Datos\\informe.BAK"), "viejo");
        EXPECT_EQ(fake.fs.WriteCount(L"C:\\Datos\\informe.BAK"), 0);
    }
    FakePlatform fake;
};

TEST_F(FakeFileSystemTest, CopyReplacesAnOrdinaryFile) {
    fake.fs.CopyFile(L"c:\\datos\\INFORME.TXT", L"C:\\Datos\\informe.BAK");
    EXPECT_EQ(fake.fs.Contents(L"C:\\DATOS\\INFORME.BAK"), "nuevo");
    EXPECT_EQ(fake.fs.WriteCount(L"C:\\Datos\\informe.BAK"), 1);
}

TEST_F(FakeFileSystemTest, FailedCopiesLeaveTheDestinationAsItWas) {
    fake.fs.SetLocked(L"C:\\Datos\\informe.BAK");
    ExpectCopyRefusedAndBackupKept();
    fake.fs.SetLocked(L"C:\\Datos\\informe.BAK", false);

    fake.fs.SetAttributes(L"C:\\Datos\\informe.BAK", {.hidden = true});
    ExpectCopyRefusedAndBackupKept();
    fake.fs.SetAttributes(L"C:\\Datos\\informe.BAK", {.system = true});
    ExpectCopyRefusedAndBackupKept();
    fake.fs.SetAttributes(L"C:\\Datos\\informe.BAK", {});

    fake.fs.GetDrive(L'C').freeBytes = 4;  // the copy needs 5
    ExpectCopyRefusedAndBackupKept();
    fake.fs.GetDrive(L'C').freeBytes.reset();

    fake.fs.SetLocked(L"C:\\Datos\\informe.txt");
    ExpectCopyRefusedAndBackupKept();
}

TEST_F(FakeFileSystemTest, CopyOntoItselfIsRefusedWhateverTheSpelling) {
    for (const wchar_t* same : {L"C:\\Datos\\informe.txt", L"c:/DATOS/./Informe.TXT",
                                L"C:\\Datos\\..\\Datos\\informe.txt.", L"informe.txt"}) {
        fake.fs.SetCurrentFolder(L"C:\\Datos");
        EXPECT_THROW(fake.fs.CopyFile(L"C:\\Datos\\informe.txt", same), PlatformError) << same;
    }
    EXPECT_EQ(fake.fs.Contents(L"C:\\Datos\\informe.txt"), "nuevo");
}

TEST_F(FakeFileSystemTest, FailedCopiesCreateNothing) {
    fake.fs.AddFolder(L"C:\\Protegida", {.readOnly = true});
    for (const wchar_t* to : {L"C:\\Protegida\\x.BAK", L"C:\\NoExiste\\x.BAK", L"C:\\Datos\\x<1>.BAK"}) {
        EXPECT_THROW(fake.fs.CopyFile(L"C:\\Datos\\informe.txt", to), PlatformError) << to;
        EXPECT_FALSE(fake.fs.Exists(to)) << to;
    }
    fake.fs.GetDrive(L'C').full = true;
    EXPECT_THROW(fake.fs.CopyFile(L"C:\\Datos\\informe.txt", L"C:\\Datos\\nuevo.BAK"), PlatformError);
    EXPECT_FALSE(fake.fs.Exists(L"C:\\Datos\\nuevo.BAK"));
}

TEST_F(FakeFileSystemTest, FindOrdinaryFileSkipsHiddenSystemAndFolders) {
    fake.fs.AddFile(L"C:\\Datos\\oculto.dat", "", {.hidden = true});
    fake.fs.AddFile(L"C:\\Datos\\sistema.dat", "", {.system = true});
    fake.fs.AddFolder(L"C:\\Datos\\carpeta.dat");
    EXPECT_FALSE(fake.fs.FindOrdinaryFile(L"C:\\Datos\\*.dat"));
    EXPECT_TRUE(fake.fs.FindOrdinaryFile(L"C:\\Datos\\INFORME.*"));
    EXPECT_FALSE(fake.fs.FindOrdinaryFile(L"C:\\NoExiste\\informe.txt"));
    EXPECT_THROW(fake.fs.FindOrdinaryFile(L"C:\\Datos\\a:b"), PlatformError);
    EXPECT_THROW(fake.fs.FindOrdinaryFile(L"C:\\Da*\\informe.txt"), PlatformError);
    fake.fs.AddDrive(L'A', kRemovable).ready = false;
    EXPECT_THROW(fake.fs.FindOrdinaryFile(L"A:\\x.txt"), PlatformError);
}

TEST_F(FakeFileSystemTest, ReplaceFileKeepsTheOldFileOnFailure) {
    fake.fs.SetLocked(L"C:\\Datos\\informe.BAK");
    EXPECT_THROW(fake.fs.ReplaceFile(L"C:\\Datos\\informe.BAK", "x"), PlatformError);
    fake.fs.SetLocked(L"C:\\Datos\\informe.BAK", false);
    fake.fs.GetDrive(L'C').full = true;
    EXPECT_THROW(fake.fs.ReplaceFile(L"C:\\Datos\\informe.BAK", "x"), PlatformError);
    EXPECT_EQ(fake.fs.Contents(L"C:\\Datos\\informe.BAK"), "viejo");
    EXPECT_EQ(fake.fs.WriteCount(L"C:\\Datos\\informe.BAK"), 0);
}

TEST(FakeDrivesTest, LogicalDriveStringsFollowsTheBufferRules) {
    FakePlatform fake;
    fake.fs.AddDrive(L'a', kRemovable);
    fake.fs.AddDrive(L'D', kCdRom);
    const std::wstring roots(L"A:\\\0C:\\\0D:\\\0\0", 13);

    std::wstring buffer(64, L' ');
    EXPECT_EQ(fake.drives.LogicalDriveStrings(64, buffer), 12u);
    EXPECT_EQ(buffer.substr(0, 13), roots);
    EXPECT_EQ(buffer.substr(13), std::wstring(51, L' '));

    std::wstring small(12, L' ');
    EXPECT_EQ(fake.drives.LogicalDriveStrings(12, small), 13u);  // needs room for the final NUL
    EXPECT_EQ(small, std::wstring(12, L' '));

    fake.drives.failLogicalDriveStrings = true;
    EXPECT_EQ(fake.drives.LogicalDriveStrings(64, buffer), 0u);
}

TEST(FakeDrivesTest, DriveTypeReadsTheRootUpToItsNul) {
    FakePlatform fake;
    fake.fs.AddDrive(L'D', kCdRom).ready = false;
    EXPECT_EQ(fake.drives.DriveType(std::wstring(L"D:\\\0", 4)), 5u);
    EXPECT_EQ(fake.drives.DriveType(std::wstring(L"\0", 1)), 1u);
    EXPECT_EQ(fake.drives.DriveType(L"Q:\\"), 1u);
    EXPECT_EQ(fake.drives.VolumeLabel(L'D'), L"");
    EXPECT_EQ(fake.drives.VolumeLabel(L'c'), L"SISTEMA");
}

TEST(ScriptedDialogsTest, UnscriptedQuestionFailsTheTest) {
    ScriptedDialogs dialogs;
    dialogs.answers.push_back(MsgAnswer::Yes);
    EXPECT_EQ(dialogs.MessageBox(L"error", L"t", MsgIcon::Critical, MsgButtons::Ok), MsgAnswer::Ok);
    EXPECT_EQ(dialogs.MessageBox(L"¿seguro?", L"t", MsgIcon::Exclamation, MsgButtons::YesNo), MsgAnswer::Yes);
    EXPECT_NONFATAL_FAILURE(
        EXPECT_EQ(dialogs.MessageBox(L"¿otra?", L"t", MsgIcon::Exclamation, MsgButtons::YesNo),
                  MsgAnswer::No),
        "unscripted");
    EXPECT_EQ(dialogs.Texts(), (std::vector<std::wstring>{L"error", L"¿seguro?", L"¿otra?"}));
}

}  // namespace
}  // namespace tesoro::testing
