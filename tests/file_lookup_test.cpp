// The quick look at one path against the search it stands in for: both must give the same answer for
// every kind of path a copy log can name.
#include <gtest/gtest.h>

#include "doubles/fake_platform.h"

namespace tesoro::testing {
namespace {

enum class Outcome { Found, NotFound, Fails };

Outcome Searched(FileSystem& fs, const std::wstring& path) {
    try {
        return fs.FindOrdinaryFile(path) ? Outcome::Found : Outcome::NotFound;
    } catch (const PlatformError&) {
        return Outcome::Fails;
    }
}

Outcome LookedUp(FileSystem& fs, const std::wstring& path) {
    try {
        return fs.LookUpOrdinaryFile(path) == FileLookup::OrdinaryFile ? Outcome::Found : Outcome::NotFound;
    } catch (const PlatformError&) {
        return Outcome::Fails;
    }
}

class FileLookupTest : public ::testing::Test {
protected:
    FileLookupTest() {
        fake.fs.AddFile(L"C:\\Copias\\informe.BAK", "x");
        fake.fs.AddFile(L"C:\\Copias\\nombre largo de la copia.BAK", "x");
        fake.fs.AddFile(L"C:\\Copias\\oculto.BAK", "", {.hidden = true});
        fake.fs.AddFile(L"C:\\Copias\\sistema.BAK", "", {.system = true});
        fake.fs.AddFile(L"C:\\Copias\\solo lectura.BAK", "", {.readOnly = true});
        fake.fs.AddFolder(L"C:\\Copias\\carpeta.BAK");
        fake.fs.AddFile(L"C:\\Copias\\oculto con nombre largo.BAK", "", {.hidden = true});
        fake.fs.AddFile(L"C:\\Carpeta de copias larga\\dentro.BAK", "x");
        fake.fs.AddDrive(L'A', kRemovable).ready = false;
    }
    // 8.3 names, as the system makes them, of a file, of a folder on the way, of a hidden file.
    std::vector<std::pair<std::wstring, Outcome>> ShortNameCases() const {
        const std::wstring longFile = fake.fs.ShortPath(L"C:\\Copias\\nombre largo de la copia.BAK");
        const std::wstring inFolder = fake.fs.ShortPath(L"C:\\Carpeta de copias larga\\dentro.BAK");
        const std::wstring hidden = fake.fs.ShortPath(L"C:\\Copias\\oculto con nombre largo.BAK");
        EXPECT_NE(longFile.find(L'~'), std::wstring::npos);
        EXPECT_NE(inFolder.find(L'~'), std::wstring::npos);
        EXPECT_NE(hidden.find(L'~'), std::wstring::npos);
        return {{longFile, Outcome::Found},
                {inFolder, Outcome::Found},
                {hidden, Outcome::NotFound},
                {L"C:\\Copias\\NOEXIS~1.BAK", Outcome::NotFound},
                {L"C:\\NOEXIS~1\\dentro.BAK", Outcome::NotFound}};
    }

    // Every kind of path a log can name, with what the search answers.
    static std::vector<std::pair<std::wstring, Outcome>> Cases() {
        return {
            // Ordinary files, however the path is spelt.
            {L"C:\\Copias\\informe.BAK", Outcome::Found},
            {L"c:\\COPIAS\\INFORME.bak", Outcome::Found},
            {L"C:/Copias/informe.BAK", Outcome::Found},
            {L"C:\\Copias\\..\\Copias\\.\\informe.BAK", Outcome::Found},
            {L"C:\\Copias\\informe.BAK.", Outcome::Found},
            {L"C:\\Copias\\nombre largo de la copia.BAK", Outcome::Found},
            {L"C:\\Copias\\solo lectura.BAK", Outcome::Found},
            // Things that are not ordinary files.
            {L"C:\\Copias\\oculto.BAK", Outcome::NotFound},
            {L"C:\\Copias\\sistema.BAK", Outcome::NotFound},
            {L"C:\\Copias\\carpeta.BAK", Outcome::NotFound},
            {L"C:\\Copias", Outcome::NotFound},
            {L"C:\\Copias\\", Outcome::NotFound},
            {L"C:\\", Outcome::NotFound},
            // Gone: the file, its folder, a folder above it, a file standing where the folder should be.
            {L"C:\\Copias\\falta.BAK", Outcome::NotFound},
            {L"C:\\Falta\\informe.BAK", Outcome::NotFound},
            {L"C:\\Falta\\Otra\\informe.BAK", Outcome::NotFound},
            {L"C:\\Copias\\informe.BAK\\dentro.BAK", Outcome::NotFound},
            {L"Q:\\informe.BAK", Outcome::NotFound},
            {L"informe.BAK", Outcome::NotFound},  // relative to C:\, where it is not
            // Wildcards, as a line with characters outside the code page holds them.
            {L"C:\\Copias\\*.BAK", Outcome::Found},
            {L"C:\\Copias\\inf?rme.BAK", Outcome::Found},
            {L"C:\\Copias\\o*.BAK", Outcome::NotFound},
            {L"C:\\Copias\\carpeta.*", Outcome::NotFound},
            {L"C:\\Copias\\*.TXT", Outcome::NotFound},
            {L"C:\\Falta\\*.BAK", Outcome::NotFound},
            // Questions that cannot be answered.
            {L"C:\\Cop*\\informe.BAK", Outcome::Fails},
            {L"C:\\Copias\\a|b.BAK", Outcome::Fails},
            {L"C:\\Copias\\a:b.BAK", Outcome::Fails},
            {L"A:\\informe.BAK", Outcome::Fails},
        };
    }

    FakePlatform fake;
};

TEST_F(FileLookupTest, AgreesWithTheSearchEntryForEntry) {
    for (const auto& [path, expected] : ShortNameCases()) {
        EXPECT_EQ(Searched(fake.fs, path), expected) << path;
        EXPECT_EQ(LookedUp(fake.fs, path), expected) << path;
    }
    for (const auto& [path, expected] : Cases()) {
        EXPECT_EQ(Searched(fake.fs, path), expected) << path;
        EXPECT_EQ(LookedUp(fake.fs, path), expected) << path;
    }
}

TEST_F(FileLookupTest, ManyPathsAtOnceAgreeWithTheSearchEntryForEntry) {
    std::vector<std::pair<std::wstring, Outcome>> cases = ShortNameCases();
    for (auto& named : Cases()) cases.push_back(std::move(named));
    std::vector<std::wstring> paths;
    for (const auto& [path, expected] : cases) paths.push_back(path);

    const std::vector<std::optional<FileLookup>> answers = fake.fs.LookUpOrdinaryFiles(paths);
    ASSERT_EQ(answers.size(), cases.size());
    for (std::size_t k = 0; k < cases.size(); ++k) {
        const Outcome atOnce = !answers[k]                               ? Outcome::Fails
                               : *answers[k] == FileLookup::OrdinaryFile ? Outcome::Found
                                                                         : Outcome::NotFound;
        EXPECT_EQ(atOnce, cases[k].second) << cases[k].first;
    }
}

TEST_F(FileLookupTest, TellsAMissingFolderFromAMissingFile) {
    EXPECT_EQ(fake.fs.LookUpOrdinaryFile(L"C:\\Copias\\falta.BAK"), FileLookup::NoOrdinaryFile);
    EXPECT_EQ(fake.fs.LookUpOrdinaryFile(L"C:\\Copias\\carpeta.BAK"), FileLookup::NoOrdinaryFile);
    EXPECT_EQ(fake.fs.LookUpOrdinaryFile(L"C:\\Falta\\informe.BAK"), FileLookup::FolderMissing);
    EXPECT_EQ(fake.fs.LookUpOrdinaryFile(L"C:\\Falta\\Otra\\informe.BAK"), FileLookup::FolderMissing);
    EXPECT_EQ(fake.fs.LookUpOrdinaryFile(L"C:\\Copias\\informe.BAK\\dentro.BAK"), FileLookup::FolderMissing);
    EXPECT_EQ(fake.fs.searches, 0);
}

}  // namespace
}  // namespace tesoro::testing
