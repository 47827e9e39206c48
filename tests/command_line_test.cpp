// The path on the command line, in each shape Windows writes it: quoted, quoted with the backslash
// before the closing quote, unquoted with spaces, relative, extended-length, a device name.
#include "main_window/command_line.h"

#include <gtest/gtest.h>

#include "doubles/fake_platform.h"

namespace tesoro::testing {
namespace {

class CommandLineTest : public ::testing::Test {
protected:
    void SetUp() override {
        fake.fs.AddFile(L"C:\\Datos\\informe.txt", "informe");
        fake.fs.AddFile(L"C:\\Otra Carpeta\\otro.txt", "otro");
        fake.fs.AddFile(L"C:\\Dos  Espacios\\a.txt", "a");
        fake.fs.AddDrive(L'D', kFixed, L"DATOS");
        fake.fs.AddFolder(L"D:\\Copias");
        fake.fs.SetDriveCurrentFolder(L'D', L"D:\\Copias");
        fake.fs.AddDrive(L'A', kRemovable).ready = false;
        fake.fs.SetCurrentFolder(L"C:\\Datos");
    }

    // The path read from the line the system hands a program started as "tesoro.exe" + arguments.
    std::wstring Read(const std::wstring& arguments) {
        return PathFromCommandLine(L"\"C:\\Program Files\\Tesoro\\tesoro.exe\" " + arguments, fake.fs);
    }

    FakePlatform fake;
};

TEST_F(CommandLineTest, NothingAfterTheProgramsNameIsNoPath) {
    EXPECT_EQ(PathFromCommandLine(L"\"C:\\Program Files\\Tesoro\\tesoro.exe\"", fake.fs), L"");
    EXPECT_EQ(PathFromCommandLine(L"tesoro.exe   ", fake.fs), L"");
    EXPECT_EQ(PathFromCommandLine(L"", fake.fs), L"");
    EXPECT_EQ(Read(L"\"\""), L"");
}

TEST_F(CommandLineTest, AQuotedPathIsTakenAsItIs) {
    EXPECT_EQ(Read(L"\"C:\\Datos\\informe.txt\""), L"C:\\Datos\\informe.txt");
    EXPECT_EQ(Read(L"C:\\Datos\\informe.txt"), L"C:\\Datos\\informe.txt");
    EXPECT_EQ(PathFromCommandLine(L"tesoro.exe \"C:\\Otra Carpeta\\otro.txt\"", fake.fs),
              L"C:\\Otra Carpeta\\otro.txt");
    // A "Send to" shortcut given several files passes them all; the first is taken.
    EXPECT_EQ(Read(L"\"C:\\Otra Carpeta\\otro.txt\" \"C:\\Datos\\informe.txt\""),
              L"C:\\Otra Carpeta\\otro.txt");
}

// The backslash before a closing quote is taken for an escape: "D:\" arrives as D:" and
// "C:\Otra Carpeta\" as C:\Otra Carpeta". The quote is the backslash it was.
TEST_F(CommandLineTest, TheBackslashBeforeAClosingQuoteIsKept) {
    EXPECT_EQ(Read(L"\"D:\\\""), L"D:\\");  // the drive's root, not D:'s current folder
    EXPECT_EQ(Read(L"\"C:\\Otra Carpeta\\\""), L"C:\\Otra Carpeta\\");
    EXPECT_EQ(Read(L"\"C:\\Otra Carpeta\\\" \"C:\\Datos\\informe.txt\""), L"C:\\Otra Carpeta\\");
    EXPECT_EQ(Read(L"\"D:\\\\\""), L"D:\\");  // written with its backslash doubled, as the rules ask
}

// Older shortcuts pass a path with spaces unquoted: when its first word names nothing, the rest of the
// line is the path, its spaces as written.
TEST_F(CommandLineTest, AnUnquotedPathWithSpacesIsTakenWhole) {
    EXPECT_EQ(Read(L"C:\\Otra Carpeta\\otro.txt"), L"C:\\Otra Carpeta\\otro.txt");
    EXPECT_EQ(Read(L"C:\\Dos  Espacios\\a.txt"), L"C:\\Dos  Espacios\\a.txt");
    EXPECT_EQ(Read(L"C:\\Otra Carpeta\\falta.txt  "), L"C:\\Otra Carpeta\\falta.txt");  // reported whole
    // The first word names something: it is the path, and the words after it are other arguments.
    EXPECT_EQ(Read(L"C:\\Datos\\informe.txt C:\\Datos"), L"C:\\Datos\\informe.txt");
}

TEST_F(CommandLineTest, ARelativePathIsCompletedAsTheSystemCompletesIt) {
    EXPECT_EQ(Read(L"informe.txt"), L"C:\\Datos\\informe.txt");
    EXPECT_EQ(Read(L"\"..\\Otra Carpeta\\otro.txt\""), L"C:\\Datos\\..\\Otra Carpeta\\otro.txt");
    EXPECT_EQ(Read(L"D:viejo.BAK"), L"D:\\Copias\\viejo.BAK");
    EXPECT_EQ(Read(L"D:"), L"D:\\Copias");
    EXPECT_EQ(Read(L"\\Otra Carpeta\\otro.txt"), L"C:\\Otra Carpeta\\otro.txt");
    EXPECT_EQ(Read(L"A:x.txt"), L"A:\\x.txt");  // a drive that cannot be read: its root
    EXPECT_EQ(Read(L"\\\\servidor\\datos\\x.txt"), L"\\\\servidor\\datos\\x.txt");
}

TEST_F(CommandLineTest, AnExtendedLengthPathIsReadInItsUsualForm) {
    EXPECT_EQ(Read(L"\\\\?\\C:\\Datos\\informe.txt"), L"C:\\Datos\\informe.txt");
    EXPECT_EQ(Read(L"\"\\\\?\\C:\\Otra Carpeta\\otro.txt\""), L"C:\\Otra Carpeta\\otro.txt");
    EXPECT_EQ(Read(L"\"\\\\?\\UNC\\servidor\\datos\\x.txt\""), L"\\\\servidor\\datos\\x.txt");
}

TEST_F(CommandLineTest, ADeviceNameIsGivenBackAsTyped) {
    EXPECT_EQ(Read(L"CON"), L"CON");
    EXPECT_EQ(Read(L"\"nul.txt\""), L"nul.txt");
    EXPECT_EQ(Read(L"C:\\Datos\\lpt1"), L"C:\\Datos\\lpt1");
}

// The program's name is read without escapes, as the system reads it; quoted or not.
TEST_F(CommandLineTest, TheProgramsNameIsSkippedHoweverItIsWritten) {
    EXPECT_EQ(PathFromCommandLine(L"C:\\Tesoro\\tesoro.exe informe.txt", fake.fs), L"C:\\Datos\\informe.txt");
    EXPECT_EQ(PathFromCommandLine(L"\"C:\\Tesoro\\\"informe.txt", fake.fs), L"C:\\Datos\\informe.txt");
    EXPECT_EQ(PathFromCommandLine(L"tesoro\t \"D:\\\"", fake.fs), L"D:\\");
}

TEST_F(CommandLineTest, WithoutACurrentFolderARelativePathStaysAsGiven) {
    struct NoCurrentFolder : FakeFileSystem {
        std::wstring CurrentFolder() override { throw PlatformError("no current folder"); }
    } fs;
    fs.AddDrive(L'C', kFixed);
    EXPECT_EQ(PathFromCommandLine(L"tesoro.exe informe.txt", fs), L"informe.txt");
}

}  // namespace
}  // namespace tesoro::testing
