#include "copy_log/log_file.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "doubles/fake_platform.h"
#include "platform/cp1252.h"

namespace tesoro {
namespace {

using testing::FakeCodec;
using testing::FakeFileSystem;
using testing::FakePlatform;
using Lines = std::vector<std::wstring>;

const std::wstring kTempLog = L"C:\\Windows\\Temp\\TESORO.DAT";
const std::wstring kRootLog = L"C:\\TESORO.DAT";
const std::wstring kKept = L"Se conserva tal como está y los cambios de esta sesión no se guardarán en él.";

// The bytes of TESORO.DAT, written out by hand so that the reader and writer are checked against the
// format rather than against each other.
std::string Header(unsigned tag, std::int64_t count, std::size_t countBytes = 2) {
    std::string record(CopyLogFile::kRecordSize, '\0');
    record[0] = static_cast<char>(tag & 0xFF);
    record[1] = static_cast<char>(tag >> 8);
    for (std::size_t i = 0; i < countBytes; ++i) record[2 + i] = static_cast<char>((count >> (8 * i)) & 0xFF);
    return record;
}

std::string LineRecord(const std::string& ansi, std::size_t length) {
    std::string record(CopyLogFile::kRecordSize, '\0');
    record[0] = static_cast<char>(length & 0xFF);
    record[1] = static_cast<char>(length >> 8);
    record.replace(2, ansi.size(), ansi.substr(0, CopyLogFile::kRecordSize - 2));
    return record;
}
std::string LineRecord(const std::string& ansi) { return LineRecord(ansi, ansi.size()); }

std::string LogFile(const std::vector<std::string>& ansiLines) {
    std::string bytes = Header(2, static_cast<std::int64_t>(ansiLines.size()));
    for (const auto& line : ansiLines) bytes += LineRecord(line);
    return bytes;
}

std::string Entry(const std::string& destination) { return "1/3/2026:  datos.txt -> " + destination; }
std::wstring WEntry(const std::string& destination) { return DecodeCp1252(Entry(destination)); }

Lines Entries(const LogEntries& log) {
    Lines lines;
    for (int i = 1; i <= log.Count(); ++i) lines.push_back(log.Entry(i));
    return lines;
}

// ---- the format ----

class LogFormatTest : public ::testing::Test {
protected:
    FakeCodec codec;
};

TEST_F(LogFormatTest, FileTooShortForACountIsAnEmptyLog) {
    EXPECT_EQ(ParseLogFile("", codec), Lines{});
    EXPECT_EQ(ParseLogFile(std::string("\x02\x00\x05", 3), codec), Lines{});
}

TEST_F(LogFormatTest, ReadsLinesInTheAnsiCodePage) {
    const auto lines = ParseLogFile(LogFile({"\xBFQu\xE9 a\xF1o?", "100 \x80"}), codec);
    EXPECT_EQ(lines, (Lines{L"¿Qué año?", L"100 €"}));
}

TEST_F(LogFormatTest, ReadsAThirtyTwoBitCount) {
    const std::string bytes = Header(3, 2, 4) + LineRecord("a") + LineRecord("b");
    EXPECT_EQ(ParseLogFile(bytes, codec), (Lines{L"a", L"b"}));
}

TEST_F(LogFormatTest, RecordsMissingBehindTheEndReadAsEmptyLines) {
    EXPECT_EQ(ParseLogFile(Header(2, 3) + LineRecord("a"), codec), (Lines{L"a", L"", L""}));
    EXPECT_EQ(ParseLogFile(std::string("\x02\x00\x02\x00", 4), codec), (Lines{L"", L""}));
}

TEST_F(LogFormatTest, LastRecordMayEndRightAfterItsLine) {
    const std::string bytes = Header(2, 1) + std::string("\x03\x00xyz", 5);
    EXPECT_EQ(ParseLogFile(bytes, codec), (Lines{L"xyz"}));
}

TEST_F(LogFormatTest, LineFillingTheWholeRecordIsRead) {
    const std::string longest(CopyLogFile::kMaxLineBytes, 'z');
    EXPECT_EQ(ParseLogFile(LogFile({longest}), codec),
              (Lines{std::wstring(CopyLogFile::kMaxLineBytes, L'z')}));
}

TEST_F(LogFormatTest, BytesThatAreNoLogAreRefused) {
    const std::string cutLine = Header(2, 1) + std::string("\x05\x00xy", 4);
    const std::string cutLength = Header(2, 1) + std::string("\x05", 1);
    const std::vector<std::string> damaged = {
        Header(0, 1) + LineRecord("a"),          // unknown tag
        Header(0x4241, 0),                       // text where the tag belongs
        Header(2, -1),                           // negative count
        Header(3, -5, 4),                        // negative 32-bit count
        Header(3, 40000, 4),                     // more lines than a log can hold
        std::string("\x03\x00\x01\x00", 4),      // 32-bit count cut off
        Header(2, 1) + LineRecord("a", 127),     // line longer than a record
        Header(2, 1) + LineRecord("a", 0xFFFF),  // absurd length
        cutLine,                                 // line runs past the end
        cutLength,                               // length prefix cut off
    };
    for (std::size_t i = 0; i < damaged.size(); ++i)
        EXPECT_EQ(ParseLogFile(damaged[i], codec), std::nullopt) << i;
}

TEST_F(LogFormatTest, EmptyLogIsOneRecordOfTagTwoAndCountZero) {
    EXPECT_EQ(SerializeLogFile(LogEntries(), codec), Header(2, 0));
}

TEST_F(LogFormatTest, WritesExactlyTheBytesItReads) {
    const std::string bytes =
        LogFile({"7/1/2026:  \xBFQu\xE9.txt -> C:\\Espa\xF1"
                 "a\\Q.BAK",
                 "", "\x80 \x81\x8D\x8F\x90\x9D"});
    const auto lines = ParseLogFile(bytes, codec);
    ASSERT_TRUE(lines);
    EXPECT_EQ(SerializeLogFile(LogEntries(*lines), codec), bytes);
}

TEST_F(LogFormatTest, SlotsBehindTheCountAreNotWritten) {
    LogEntries log(Lines{L"a", L"b", L"c"});
    log.Remove(2);
    EXPECT_EQ(SerializeLogFile(log, codec), LogFile({"a", "c"}));
}

TEST_F(LogFormatTest, RefusesWhatDoesNotFitRatherThanCuttingIt) {
    EXPECT_TRUE(SerializeLogFile(LogEntries(Lines{std::wstring(126, L'€')}), codec));
    EXPECT_EQ(SerializeLogFile(LogEntries(Lines{std::wstring(127, L'a')}), codec), std::nullopt);
    EXPECT_TRUE(SerializeLogFile(LogEntries(Lines(LogEntries::kMaxCount)), codec));
    EXPECT_EQ(SerializeLogFile(LogEntries(Lines(LogEntries::kMaxCount + 1)), codec), std::nullopt);
}

TEST(Cp1252Test, DecodesTheWholeCodePage) {
    EXPECT_EQ(DecodeCp1252("\x80\x8A\x8C\x8E\x9A\x9C\x9E\x9F"), L"€ŠŒŽšœžŸ");
    EXPECT_EQ(DecodeCp1252("\x81\x8D\x8F\x90\x9D"), L"\u0081\u008D\u008F\u0090\u009D");
    EXPECT_EQ(DecodeCp1252("\xA0\xBF\xD1\xF1\xFF"), L"\u00A0¿Ññÿ");
}

TEST(Cp1252Test, EveryByteSurvivesARoundTrip) {
    std::string all;
    for (int b = 0; b < 256; ++b) all.push_back(static_cast<char>(b));
    EXPECT_EQ(EncodeCp1252(DecodeCp1252(all)), all);
}

TEST(Cp1252Test, CharactersOutsideTheCodePageBecomeOneQuestionMarkEach) {
    EXPECT_EQ(EncodeCp1252(L"a\u0080b\u0100c\u4E2D"), "a?b?c?");
    EXPECT_EQ(EncodeCp1252(std::wstring{L'x', wchar_t(0xD83D), wchar_t(0xDE00), L'y'}), "x?y");
    EXPECT_EQ(EncodeCp1252(std::wstring{wchar_t(0xD83D), L'y', wchar_t(0xDE00)}), "?y?");
}

TEST(UpperCaseCp1252Test, CoversTheLettersOfTheAnsiCodePage) {
    EXPECT_EQ(UpperCaseCp1252(L"abc xyz 123"), L"ABC XYZ 123");
    EXPECT_EQ(UpperCaseCp1252(L"áéíóúàèçñüâåæøþ"), L"ÁÉÍÓÚÀÈÇÑÜÂÅÆØÞ");
    EXPECT_EQ(UpperCaseCp1252(L"œšžÿ"), L"ŒŠŽŸ");
}

TEST(UpperCaseCp1252Test, LeavesEverythingElseAsItIs) { EXPECT_EQ(UpperCaseCp1252(L"÷ß¿µ€ÑŒ"), L"÷ß¿µ€ÑŒ"); }

// ---- the file on disk ----

class CopyLogFileTest : public ::testing::Test {
protected:
    FakePlatform fake;
    CopyLogFile file{fake.platform};

    void AddLog(const std::vector<std::string>& ansiLines) { fake.fs.AddFile(kTempLog, LogFile(ansiLines)); }
    void ExpectOneMessage(const std::wstring& text) {
        ASSERT_EQ(fake.dialogs.messages.size(), 1u);
        const auto& message = fake.dialogs.messages[0];
        EXPECT_EQ(message.text, text);
        EXPECT_EQ(message.title, L"Error en TESORO.DAT");
        EXPECT_EQ(message.icon, MsgIcon::Exclamation);
        EXPECT_EQ(message.buttons, MsgButtons::Ok);
    }
};

TEST_F(CopyLogFileTest, FirstStartLeavesAnEmptyFile) {
    LogEntries log = file.Load();
    EXPECT_EQ(log.Count(), 0);
    EXPECT_FALSE(log.Changed());
    EXPECT_TRUE(fake.fs.Exists(kTempLog));
    EXPECT_EQ(fake.fs.Contents(kTempLog), "");
    file.SaveBeforeExit(log);
    EXPECT_EQ(fake.fs.Contents(kTempLog), "");
    EXPECT_TRUE(fake.dialogs.messages.empty());
}

TEST_F(CopyLogFileTest, LogLiesInTheRootWhenTheTempFolderIsMissing) {
    FakeFileSystem fs;
    fs.AddDrive(L'C', testing::kFixed);
    Platform bare{fs,          fake.drives, fake.dialogs, fake.clock,   fake.shell,
                  fake.screen, fake.codec,  fake.process, fake.windows, fake.windowApi};
    CopyLogFile rootFile(bare);
    EXPECT_EQ(rootFile.Path(), kRootLog);
    rootFile.Load();
    EXPECT_TRUE(fs.Exists(kRootLog));

    fs.AddFolder(L"C:\\Windows\\Temp");
    EXPECT_EQ(rootFile.Path(), kTempLog);
}

TEST_F(CopyLogFileTest, EntryWhoseCopyOnCIsGoneIsDroppedAndTheFileShrinks) {
    fake.fs.AddFile(L"C:\\Copias\\A.BAK", "a");
    fake.fs.AddFile(L"C:\\Copias\\C.BAK", "c");
    AddLog({Entry("C:\\Copias\\A.BAK"), Entry("C:\\Copias\\B.BAK"), Entry("C:\\Copias\\C.BAK")});

    LogEntries log = file.Load();
    EXPECT_EQ(Entries(log), (Lines{WEntry("C:\\Copias\\A.BAK"), WEntry("C:\\Copias\\C.BAK")}));
    EXPECT_TRUE(log.Changed());

    file.SaveBeforeExit(log);
    EXPECT_EQ(fake.fs.Contents(kTempLog), LogFile({Entry("C:\\Copias\\A.BAK"), Entry("C:\\Copias\\C.BAK")}));
    EXPECT_EQ(fake.fs.Contents(kTempLog).size(), 384u);
}

TEST_F(CopyLogFileTest, SurvivorsMoveUpInTheirOrder) {
    fake.fs.AddFile(L"C:\\2.BAK", "");
    fake.fs.AddFile(L"C:\\4.BAK", "");
    AddLog({Entry("C:\\1.BAK"), Entry("C:\\2.BAK"), Entry("C:\\3.BAK"), Entry("C:\\4.BAK")});

    const LogEntries log = file.Load();
    EXPECT_EQ(Entries(log), (Lines{WEntry("C:\\2.BAK"), WEntry("C:\\4.BAK")}));
    EXPECT_EQ(log.Size(), 5);
    EXPECT_EQ(log.Entry(3), L"");
    EXPECT_EQ(log.Entry(4), L"");
}

TEST_F(CopyLogFileTest, OnlyCopiesOnDriveCAreChecked) {
    fake.fs.AddDrive(L'A', testing::kRemovable).ready = false;
    fake.fs.AddDrive(L'D', testing::kFixed);
    AddLog({Entry("A:\\GONE.BAK"), Entry("D:\\GONE.BAK"), "sin flecha C:\\GONE.BAK", ""});

    const LogEntries log = file.Load();
    EXPECT_EQ(log.Count(), 4);
    EXPECT_FALSE(log.Changed());
}

TEST_F(CopyLogFileTest, LowerCaseDriveAndEntriesWithoutArrowArePrunedToo) {
    AddLog({Entry("c:\\copias\\gone.bak"), "XC:\\GONE.BAK", Entry("D:\\X.BAK")});
    fake.fs.AddDrive(L'D', testing::kFixed);
    const LogEntries log = file.Load();
    EXPECT_EQ(Entries(log), (Lines{WEntry("D:\\X.BAK")}));
}

TEST_F(CopyLogFileTest, HiddenFileOrFolderDoesNotKeepAnEntry) {
    fake.fs.AddFile(L"C:\\Oculto.BAK", "", {.hidden = true});
    fake.fs.AddFolder(L"C:\\Carpeta.BAK");
    AddLog({Entry("C:\\Oculto.BAK"), Entry("C:\\Carpeta.BAK")});
    EXPECT_EQ(file.Load().Count(), 0);
}

TEST_F(CopyLogFileTest, PruningAsksOnceForEachCopyAndNeverAgainAboutAMissingFolder) {
    fake.fs.AddFile(L"C:\\Copias\\A.BAK", "a");
    AddLog({Entry("C:\\Borrada\\1.BAK"), Entry("C:\\Copias\\A.BAK"), Entry("C:\\Borrada\\2.BAK"),
            Entry("C:\\Borrada\\*.BAK"), Entry("C:\\Borrada\\..\\Copias\\A.BAK"), Entry("C:\\Copias\\B.BAK"),
            Entry("C:\\Copias\\?.BAK"), Entry("C:\\Borrada\\3.BAK"), Entry("D:\\Borrada\\4.BAK")});

    const LogEntries log = file.Load();
    EXPECT_EQ(Entries(log), (Lines{WEntry("C:\\Copias\\A.BAK"), WEntry("C:\\Borrada\\..\\Copias\\A.BAK"),
                                   WEntry("C:\\Copias\\?.BAK"), WEntry("D:\\Borrada\\4.BAK")}));
    // One look for the first copy in the missing folder, none for the others there; the same folder
    // written another way is another question. Only the line with wildcards is searched.
    EXPECT_EQ(fake.fs.lookUps, 5);
    EXPECT_EQ(fake.fs.searches, 1);
}

TEST_F(CopyLogFileTest, EntryIsKeptWhenTheSearchItselfFails) {
    AddLog({Entry("C:\\A|B.BAK")});
    const LogEntries log = file.Load();
    EXPECT_EQ(log.Count(), 1);
    EXPECT_FALSE(log.Changed());
}

TEST_F(CopyLogFileTest, EmptyLineFromTheFileStaysCountedBehindTheOthers) {
    AddLog({"", Entry("C:\\GONE.BAK"), Entry("A:\\K.BAK")});
    const LogEntries log = file.Load();
    EXPECT_EQ(Entries(log), (Lines{WEntry("A:\\K.BAK"), L""}));
}

TEST_F(CopyLogFileTest, CountLargerThanTheRecordsIsTrusted) {
    fake.fs.AddFile(kTempLog, Header(2, 3) + LineRecord(Entry("A:\\K.BAK")));
    const LogEntries log = file.Load();
    EXPECT_EQ(Entries(log), (Lines{WEntry("A:\\K.BAK"), L"", L""}));
    EXPECT_FALSE(log.Changed());
    EXPECT_TRUE(fake.dialogs.messages.empty());
}

TEST_F(CopyLogFileTest, LogWhoseCopiesAllExistIsNotRewritten) {
    fake.fs.AddFile(L"C:\\A.BAK", "");
    AddLog({Entry("C:\\A.BAK"), Entry("A:\\B.BAK")});
    const std::string before = fake.fs.Contents(kTempLog);

    LogEntries log = file.Load();
    file.SaveBeforeExit(log);
    EXPECT_EQ(fake.fs.WriteCount(kTempLog), 0);
    EXPECT_EQ(fake.fs.Contents(kTempLog), before);
}

TEST_F(CopyLogFileTest, ChangedLogIsWrittenWithItsNewLines) {
    AddLog({Entry("A:\\1.BAK")});
    LogEntries log = file.Load();
    log.Append(L"1/3/2026:  año.txt -> A:\\¿€.BAK");
    file.SaveBeforeExit(log);
    EXPECT_EQ(fake.fs.Contents(kTempLog),
              LogFile({Entry("A:\\1.BAK"), "1/3/2026:  a\xF1o.txt -> A:\\\xBF\x80.BAK"}));
    EXPECT_TRUE(fake.dialogs.messages.empty());
}

TEST_F(CopyLogFileTest, LineFitsCountsBytesOfTheAnsiCodePage) {
    EXPECT_TRUE(file.LineFits(std::wstring(126, L'ñ')));
    EXPECT_FALSE(file.LineFits(std::wstring(127, L'a')));
}

// ---- failures ----

class DamagedLogTest : public CopyLogFileTest, public ::testing::WithParamInterface<std::string> {};

TEST_P(DamagedLogTest, IsReportedOnceAndNeverOverwritten) {
    fake.fs.AddFile(kTempLog, GetParam());
    LogEntries log = file.Load();
    EXPECT_EQ(log.Count(), 0);
    ExpectOneMessage(L"El archivo TESORO.DAT está dañado:\r" + kTempLog + L"\r\r" + kKept);

    log.Append(L"nueva");
    file.SaveBeforeExit(log);
    EXPECT_EQ(fake.fs.Contents(kTempLog), GetParam());
    EXPECT_EQ(fake.fs.WriteCount(kTempLog), 0);
    EXPECT_EQ(fake.dialogs.messages.size(), 1u);
}

INSTANTIATE_TEST_SUITE_P(BadInput, DamagedLogTest,
                         ::testing::Values(Header(7, 0), Header(2, -3), Header(3, 32768, 4),
                                           Header(2, 1) + LineRecord("a", 127),
                                           Header(2, 2) + LineRecord("a") + std::string("\x09\x00xyz", 5)));

TEST_F(CopyLogFileTest, UnreadableLogIsReportedOnceAndNeverOverwritten) {
    AddLog({Entry("C:\\GONE.BAK")});
    const std::string before = fake.fs.Contents(kTempLog);
    fake.fs.SetLocked(kTempLog);

    LogEntries log = file.Load();
    EXPECT_EQ(log.Count(), 0);
    ExpectOneMessage(L"No se puede leer el archivo TESORO.DAT:\r" + kTempLog + L"\r\r" + kKept);

    fake.fs.SetLocked(kTempLog, false);
    log.Append(L"nueva");
    file.SaveBeforeExit(log);
    EXPECT_EQ(fake.fs.Contents(kTempLog), before);
    EXPECT_EQ(fake.dialogs.messages.size(), 1u);
}

const std::wstring kRetryText = L"No se pudo guardar el archivo TESORO.DAT:\r" + kTempLog +
                                L"\r\rSi otro programa lo está usando, ciérrelo y pulse Reintentar.\r"
                                L"Con Cancelar, el archivo anterior se conserva sin cambios.";

class FailedSaveTest : public CopyLogFileTest {
protected:
    void SetUp() override {
        AddLog({Entry("A:\\1.BAK")});
        before = fake.fs.Contents(kTempLog);
        log = file.Load();
        log.Append(WEntry("A:\\2.BAK"));
    }
    // At exit the user is asked, and gives up.
    void ExpectSaveFailed() {
        EXPECT_FALSE(file.Save(log));
        EXPECT_EQ(log.Pending().size(), 1u);
        fake.dialogs.answers.push_back(MsgAnswer::Cancel);
        file.SaveBeforeExit(log);
        EXPECT_EQ(fake.fs.Contents(kTempLog), before);
        ASSERT_EQ(fake.dialogs.messages.size(), 1u);
        const auto& message = fake.dialogs.messages[0];
        EXPECT_EQ(message.text, kRetryText);
        EXPECT_EQ(message.title, L"Error en TESORO.DAT");
        EXPECT_EQ(message.icon, MsgIcon::Exclamation);
        EXPECT_EQ(message.buttons, MsgButtons::RetryCancel);
    }

    std::string before;
    LogEntries log;
};

TEST_F(FailedSaveTest, FileLocked) {
    fake.fs.SetLocked(kTempLog);
    ExpectSaveFailed();
}

TEST_F(FailedSaveTest, FolderReadOnly) {
    fake.fs.SetAttributes(L"C:\\Windows\\Temp", {.readOnly = true});
    ExpectSaveFailed();
}

TEST_F(FailedSaveTest, DiskFull) {
    fake.fs.GetDrive(L'C').full = true;
    ExpectSaveFailed();
}

TEST_F(FailedSaveTest, AnotherSaverKeepsTheLock) {
    fake.fs.lockedByOthers.insert(L"C:\\WINDOWS\\TEMP\\TESORO.DAT");
    ExpectSaveFailed();
}

TEST_F(FailedSaveTest, RetryTakesTheSaveOnceTheOtherProgramLetsGo) {
    fake.fs.SetLocked(kTempLog);
    fake.dialogs.whileOpen = [&] { fake.fs.SetLocked(kTempLog, false); };
    fake.dialogs.answers.push_back(MsgAnswer::Retry);
    file.SaveBeforeExit(log);
    EXPECT_EQ(fake.fs.Contents(kTempLog), LogFile({Entry("A:\\1.BAK"), Entry("A:\\2.BAK")}));
    EXPECT_EQ(fake.dialogs.messages.size(), 1u);
    EXPECT_TRUE(log.Pending().empty());
}

TEST_F(FailedSaveTest, ALineTooLongForARecordIsDroppedAndTheRestSaved) {
    log.Append(std::wstring(127, L'x'));
    log.Append(WEntry("A:\\3.BAK"));
    EXPECT_TRUE(file.Save(log));
    EXPECT_EQ(fake.fs.Contents(kTempLog),
              LogFile({Entry("A:\\1.BAK"), Entry("A:\\2.BAK"), Entry("A:\\3.BAK")}));
    EXPECT_EQ(file.NotLogged(), (Lines{CopyLogFile::kLineTooLong}));
}

TEST_F(CopyLogFileTest, FileThatCannotBeCreatedIsReportedAtExit) {
    fake.fs.SetAttributes(L"C:\\Windows\\Temp", {.readOnly = true});
    LogEntries log = file.Load();
    EXPECT_TRUE(fake.dialogs.messages.empty());
    EXPECT_FALSE(fake.fs.Exists(kTempLog));

    log.Append(L"nueva");
    EXPECT_FALSE(file.Save(log));
    EXPECT_TRUE(fake.dialogs.messages.empty());  // not during work
    fake.dialogs.answers.push_back(MsgAnswer::Cancel);
    file.SaveBeforeExit(log);
    ASSERT_EQ(fake.dialogs.Texts(), (Lines{kRetryText}));
}

// ---- several writers ----

// The file another instance of the program (or another user's) writes while this one runs.
class MergedSaveTest : public CopyLogFileTest {
protected:
    void SetUp() override {
        AddLog({Entry("A:\\1.BAK"), Entry("A:\\2.BAK")});
        log = file.Load();
    }
    void OtherWrites(const std::vector<std::string>& ansiLines) {
        fake.fs.AddFile(kTempLog, LogFile(ansiLines));
    }
    std::string Saved() { return fake.fs.Contents(kTempLog); }

    LogEntries log;
};

TEST_F(MergedSaveTest, AppendsGoAfterWhatAnotherWriterAppended) {
    OtherWrites({Entry("A:\\1.BAK"), Entry("A:\\2.BAK"), Entry("A:\\otro.BAK")});
    log.Append(WEntry("A:\\mio.BAK"));
    ASSERT_TRUE(file.Save(log));
    EXPECT_EQ(Saved(),
              LogFile({Entry("A:\\1.BAK"), Entry("A:\\2.BAK"), Entry("A:\\otro.BAK"), Entry("A:\\mio.BAK")}));
    // The list holds what the file does, and nothing is pending any more.
    EXPECT_EQ(Entries(log), (Lines{WEntry("A:\\1.BAK"), WEntry("A:\\2.BAK"), WEntry("A:\\otro.BAK"),
                                   WEntry("A:\\mio.BAK")}));
    EXPECT_TRUE(log.Pending().empty());
}

TEST_F(MergedSaveTest, ARemovalKeepsWhatAnotherWriterAppended) {
    OtherWrites({Entry("A:\\1.BAK"), Entry("A:\\2.BAK"), Entry("A:\\otro.BAK")});
    log.RemoveClosingEmptySlots(1);
    ASSERT_TRUE(file.Save(log));
    EXPECT_EQ(Saved(), LogFile({Entry("A:\\2.BAK"), Entry("A:\\otro.BAK")}));
}

TEST_F(MergedSaveTest, ARemovalOfAnEntryAnotherWriterRemovedChangesNothingElse) {
    OtherWrites({Entry("A:\\2.BAK")});
    log.Remove(1);
    ASSERT_TRUE(file.Save(log));
    EXPECT_EQ(Saved(), LogFile({Entry("A:\\2.BAK")}));
}

TEST_F(MergedSaveTest, AReplacedCopyTakesOverTheEntryAnotherWriterReplaced) {
    // Both copied over A:\2.BAK: the other instance's line stands in the file, ours takes its place.
    OtherWrites({Entry("A:\\1.BAK"), "2/3/2026:  otro.txt -> A:\\2.BAK"});
    ASSERT_TRUE(log.Apply(LogChange::ReplaceCopy(L"A:\\2.BAK", L"3/3/2026:  mio.txt -> A:\\2.BAK")));
    ASSERT_TRUE(file.Save(log));
    EXPECT_EQ(Saved(), LogFile({Entry("A:\\1.BAK"), "3/3/2026:  mio.txt -> A:\\2.BAK"}));
}

TEST_F(MergedSaveTest, AReplacedCopyWhoseEntryIsGoneIsAppended) {
    OtherWrites({Entry("A:\\1.BAK")});
    ASSERT_TRUE(log.Apply(LogChange::ReplaceCopy(L"A:\\2.BAK", L"3/3/2026:  mio.txt -> A:\\2.BAK")));
    ASSERT_TRUE(file.Save(log));
    EXPECT_EQ(Saved(), LogFile({Entry("A:\\1.BAK"), "3/3/2026:  mio.txt -> A:\\2.BAK"}));
}

TEST_F(MergedSaveTest, ARemovalTakesTheFirstOfTwoEqualEntriesOnly) {
    OtherWrites({Entry("A:\\2.BAK"), Entry("A:\\1.BAK"), Entry("A:\\2.BAK")});
    log.Remove(2);
    ASSERT_TRUE(file.Save(log));
    EXPECT_EQ(Saved(), LogFile({Entry("A:\\1.BAK"), Entry("A:\\2.BAK")}));
}

TEST_F(MergedSaveTest, AFileDeletedMeanwhileCountsAsEmpty) {
    fake.fs.DeleteFile(kTempLog);
    log.Remove(1);
    log.Append(WEntry("A:\\3.BAK"));
    ASSERT_TRUE(file.Save(log));
    EXPECT_EQ(Saved(), LogFile({Entry("A:\\3.BAK")}));
}

TEST_F(MergedSaveTest, AFileDamagedMeanwhileIsLeftAsItIsAndTheChangesStayPending) {
    const std::string damaged = Header(7, 0);
    fake.fs.AddFile(kTempLog, damaged);
    log.Append(WEntry("A:\\3.BAK"));
    EXPECT_FALSE(file.Save(log));
    EXPECT_EQ(Saved(), damaged);
    EXPECT_EQ(log.Pending().size(), 1u);

    // Mended (here: deleted) before the next change, the file takes both.
    fake.fs.DeleteFile(kTempLog);
    log.Append(WEntry("A:\\4.BAK"));
    ASSERT_TRUE(file.Save(log));
    EXPECT_EQ(Saved(), LogFile({Entry("A:\\3.BAK"), Entry("A:\\4.BAK")}));
    EXPECT_TRUE(fake.dialogs.messages.empty());
}

TEST_F(MergedSaveTest, AnAppendThatNoLongerFitsIsDroppedAndToldAtExit) {
    std::vector<std::string> full(LogEntries::kMaxCount, Entry("A:\\x.BAK"));
    full.front() = Entry("A:\\1.BAK");
    OtherWrites(full);
    log.Append(WEntry("A:\\3.BAK"));
    log.Remove(1);
    ASSERT_TRUE(file.Save(log));
    full.erase(full.begin());  // the removal still counts
    EXPECT_EQ(Saved(), LogFile(full));
    EXPECT_EQ(file.NotLogged(), (Lines{CopyLogFile::kLogFull}));
}

TEST_F(MergedSaveTest, TwoSaversOneAfterTheOtherKeepEachOthersEntries) {
    CopyLogFile otherFile{fake.platform};
    LogEntries other = otherFile.Load();
    log.Append(WEntry("A:\\mio.BAK"));
    other.Append(WEntry("A:\\otro.BAK"));
    other.Remove(1);
    ASSERT_TRUE(file.Save(log));
    ASSERT_TRUE(otherFile.Save(other));
    EXPECT_EQ(Saved(), LogFile({Entry("A:\\2.BAK"), Entry("A:\\mio.BAK"), Entry("A:\\otro.BAK")}));

    // A saver that finds the lock held leaves the file and keeps its change for later.
    const auto held = fake.fs.LockUpdates(kTempLog);
    log.Append(WEntry("A:\\tarde.BAK"));
    EXPECT_FALSE(file.Save(log));
    EXPECT_EQ(Saved(), LogFile({Entry("A:\\2.BAK"), Entry("A:\\mio.BAK"), Entry("A:\\otro.BAK")}));
}

TEST_F(MergedSaveTest, NothingPendingWritesNothing) {
    OtherWrites({Entry("A:\\otro.BAK")});
    EXPECT_TRUE(file.Save(log));
    EXPECT_EQ(fake.fs.WriteCount(kTempLog), 0);
}

}  // namespace
}  // namespace tesoro
