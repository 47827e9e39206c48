#include "copy_log/log_entries.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace tesoro {
namespace {

std::vector<std::wstring> Entries(const LogEntries& log) {
    std::vector<std::wstring> lines;
    for (int i = 1; i <= log.Count(); ++i) lines.push_back(log.Entry(i));
    return lines;
}

using Lines = std::vector<std::wstring>;

TEST(LogEntriesTest, ListReadFromTheFileIsUnchanged) {
    const LogEntries log(Lines{L"a", L"b"});
    EXPECT_EQ(log.Count(), 2);
    EXPECT_EQ(log.Size(), 3);
    EXPECT_FALSE(log.Changed());
}

TEST(LogEntriesTest, AppendGrowsByOneAndMarksChanged) {
    LogEntries log;
    log.Append(L"uno");
    log.Append(L"dos");
    EXPECT_EQ(Entries(log), (Lines{L"uno", L"dos"}));
    EXPECT_EQ(log.Size(), 3);
    EXPECT_TRUE(log.Changed());
}

TEST(LogEntriesTest, AppendDropsTheEmptySlotsBehindTheCount) {
    LogEntries log(Lines{L"a", L"b", L"c", L"d"});
    log.Remove(1);
    log.Remove(1);
    ASSERT_EQ(log.Size(), 5);
    log.Append(L"e");
    EXPECT_EQ(log.Size(), 4);
    EXPECT_EQ(Entries(log), (Lines{L"c", L"d", L"e"}));
}

TEST(LogEntriesTest, RemoveMovesTheFollowingEntriesUpAndKeepsTheStorage) {
    LogEntries log(Lines{L"1", L"2", L"3", L"4", L"5"});
    log.Remove(2);
    EXPECT_EQ(Entries(log), (Lines{L"1", L"3", L"4", L"5"}));
    EXPECT_EQ(log.Size(), 6);
    EXPECT_EQ(log.Entry(5), L"");
    EXPECT_TRUE(log.Changed());
}

TEST(LogEntriesTest, RemovingTheOnlyEntryLeavesAnEmptyLog) {
    LogEntries log(Lines{L"solo"});
    log.Remove(1);
    EXPECT_EQ(log.Count(), 0);
    EXPECT_EQ(log.Entry(1), L"");
}

TEST(LogEntriesTest, RemoveAndReplaceOutsideTheEntriesChangeNothing) {
    LogEntries log(Lines{L"a"});
    log.Remove(0);
    log.Remove(2);
    log.Replace(2, L"x");
    log.Replace(0, L"x");
    EXPECT_EQ(Entries(log), (Lines{L"a"}));
    EXPECT_FALSE(log.Changed());

    LogEntries empty;
    empty.Remove(1);
    EXPECT_EQ(empty.Count(), 0);
}

TEST(LogEntriesTest, ReplaceChangesOneEntryOnly) {
    LogEntries log(Lines{L"a", L"b", L"c"});
    log.Replace(2, L"nuevo");
    EXPECT_EQ(Entries(log), (Lines{L"a", L"nuevo", L"c"}));
    EXPECT_EQ(log.Size(), 4);
    EXPECT_TRUE(log.Changed());
}

class FirstNamingTest : public ::testing::Test {
protected:
    LogEntries log{Lines{
        L"1/2/2026:  informe.doc -> A:\\COPIAS\\INFORME.BAK",
        L"2/2/2026:  año.xls -> C:\\Datos\\año.BAK",
        L"3/2/2026:  INFORME.DOC -> C:\\INFORME.BAK",
    }};
};

TEST_F(FirstNamingTest, IgnoresLetterCaseIncludingAccentedLetters) {
    EXPECT_EQ(log.FirstNaming(L"c:\\datos\\AÑO.bak"), 2);
}

TEST_F(FirstNamingTest, TrimsThePathAndTakesTheEntryThatEndsWithIt) {
    EXPECT_EQ(log.FirstNaming(L"  C:\\INFORME.BAK  "), 3);
    EXPECT_EQ(log.FirstNaming(L"a:\\copias\\informe.bak"), 1);
}

TEST_F(FirstNamingTest, AnEntryThatOnlyContainsThePathNamesAnotherCopy) {
    EXPECT_EQ(log.FirstNaming(L"informe"), 0);
    EXPECT_EQ(log.FirstNaming(L"C:\\Datos\\año.BA"), 0);
    EXPECT_EQ(log.FirstNaming(L"D:\\OTRO.BAK"), 0);
    EXPECT_EQ(LogEntries().FirstNaming(L"x"), 0);
}

TEST(TrimTest, RemovesOnlySpaces) {
    EXPECT_EQ(Trim(L"   a b  "), L"a b");
    EXPECT_EQ(Trim(L"\ta\t"), L"\ta\t");
    EXPECT_EQ(Trim(L"    "), L"");
}

TEST(DestinationPartTest, TakesTheTextTwoCharactersAfterTheFirstArrowOfTheUntrimmedLine) {
    const std::pair<const wchar_t*, const wchar_t*> cases[] = {
        {L"7/12/2026:  a.txt -> C:\\X\\A.BAK  ", L"C:\\X\\A.BAK"},
        {L"d:  a>b.txt -> A:\\A.BAK", L".txt -> A:\\A.BAK"},
        {L"  x -> C:\\A", L"\\A"},  // the arrow is counted before the line is trimmed
        {L"a ->", L""},             // an arrow at the end gives nothing
        {L"a -> ", L""},
        {L"XC:\\A.BAK", L"C:\\A.BAK"},  // without an arrow: from the second character
        {L"X", L""},
        {L"", L""},
    };
    for (const auto& [line, destination] : cases) EXPECT_EQ(DestinationPart(line), destination) << line;
}

}  // namespace
}  // namespace tesoro
