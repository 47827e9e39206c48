// The log view's text rules: the caption, the line model it is held in, one scrolling step, the marquee
// and the editor's search.
#include "copy_log/log_view_text.h"

#include <gtest/gtest.h>

#include <random>
#include <string>
#include <vector>

namespace tesoro {
namespace {

using Lines = std::vector<std::wstring>;
const std::wstring kRule(91, L'*');

// The scrolling step written out on one string, as the window-less rule reads: the first line with its
// carriage return goes through a 200-character buffer and comes back trimmed at the end.
std::wstring ScrollCaption(const std::wstring& caption) {
    const std::size_t found = caption.find(L'\r');
    const std::size_t p = found == std::wstring::npos ? 0 : found + 1;
    std::wstring buffer = caption.substr(0, std::min<std::size_t>(p, 200));
    buffer.resize(200, L' ');
    const std::size_t first = buffer.find_first_not_of(L' ');
    const std::wstring moved =
        first == std::wstring::npos ? L"" : buffer.substr(first, buffer.find_last_not_of(L' ') - first + 1);
    return caption.substr(p) + moved;
}

TEST(LogViewTextTest, CaptionOfThreeEntries) {
    const LogEntries log(Lines{L"a", L"b", L"c"});
    EXPECT_EQ(LogViewText(log).Text(), kRule + L"\ra\r\rb\r\rc\r");
}

TEST(LogViewTextTest, CaptionOfAnEmptyLogHasThreeLines) {
    const std::wstring noData = std::wstring(50, L' ') + L"NO HAY DATOS";
    EXPECT_EQ(noData.size(), 62u);
    const LineText text = LogViewText(LogEntries());
    EXPECT_EQ(text.Text(), kRule + L"\r" + noData + L"\r" + kRule);
    EXPECT_EQ(text.LineCount(), 3u);
}

TEST(LogViewTextTest, CaptionOfALogWithSlotsBehindTheCountShowsOnlyTheEntries) {
    LogEntries log(Lines{L"a", L"b", L"c"});
    log.Remove(2);
    EXPECT_EQ(LogViewText(log).Text(), kRule + L"\ra\r\rc\r");
}

TEST(LineTextTest, SplitsAtEveryCarriageReturnAndKeepsTheTextExactly) {
    for (const std::wstring text : {L"", L"\r", L"\r\r", L"a", L"a\r", L"\ra", L"a\r\nb\rc", L" \r  x  \r"}) {
        const LineText lines(text);
        EXPECT_EQ(lines.Text(), text);
        EXPECT_EQ(lines.Length(), text.size());
        EXPECT_EQ(lines.LineCount(),
                  static_cast<std::size_t>(std::count(text.begin(), text.end(), L'\r')) + 1);
    }
    const LineText lines(L"uno\r\rtres");
    EXPECT_EQ(lines.Line(0), L"uno");
    EXPECT_EQ(lines.Line(1), L"");
    EXPECT_EQ(lines.Line(2), L"tres");
}

TEST(LineTextTest, AppendingJoinsTheLastLineAndTakingReturnsTheFirstWithItsBreak) {
    LineText lines(L"a\rb");
    lines.Append(L"c\rd");
    EXPECT_EQ(lines.Text(), L"a\rbc\rd");
    EXPECT_EQ(lines.TakeFirstLine(), L"a\r");
    EXPECT_EQ(lines.TakeFirstLine(), L"bc\r");
    EXPECT_FALSE(lines.HasLineBreak());
    EXPECT_EQ(lines.TakeFirstLine(), L"");
    EXPECT_EQ(lines.Text(), L"d");
    EXPECT_EQ(lines.Length(), 1u);
}

TEST(ScrollTest, EightEntriesCycleIn16Steps) {
    Lines entries;
    for (int i = 1; i <= 8; ++i) entries.push_back(L"e" + std::to_wstring(i));
    const LineText start = LogViewText(LogEntries(entries));
    LineText text = start;
    ScrollOneLine(text);
    EXPECT_TRUE(text.Text().starts_with(L"e1\r"));
    EXPECT_TRUE(text.Text().ends_with(L"e8\r" + kRule + L"\r"));
    ScrollOneLine(text);
    EXPECT_TRUE(text.Text().starts_with(L"\r"));
    for (int tick = 3; tick <= 16; ++tick) {
        EXPECT_NE(text, start) << "back at the start after " << tick - 1 << " steps";
        ScrollOneLine(text);
    }
    EXPECT_EQ(text, start);
}

TEST(ScrollTest, ALineOf250CharactersIsCutTo200AndTheNextLineSuppliesItsBreak) {
    const std::wstring longLine(250, L'x');
    LineText text(longLine + L"\r\rsiguiente\r");
    ScrollOneLine(text);
    EXPECT_EQ(text.Text(), L"\rsiguiente\r" + std::wstring(200, L'x'));
    ScrollOneLine(text);  // the empty line ends the cut one
    EXPECT_EQ(text.Text(), L"siguiente\r" + std::wstring(200, L'x') + L"\r");
    EXPECT_EQ(text.LineCount(), 3u);  // one line fewer than the four it had
}

TEST(ScrollTest, ACutLineFollowedByTheRuleLineIsJoinedToIt) {
    LineText text(std::wstring(250, L'x') + L"\r" + kRule + L"\rfin\r");
    ScrollOneLine(text);
    ScrollOneLine(text);
    EXPECT_EQ(text.Text(), L"fin\r" + std::wstring(200, L'x') + kRule + L"\r");
}

TEST(ScrollTest, BufferLimitsAndTrimming) {
    // 199 characters and the carriage return fill the buffer exactly: the break stays.
    LineText fits(std::wstring(199, L'y') + L"\rz");
    ScrollOneLine(fits);
    EXPECT_EQ(fits.Text(), L"z" + std::wstring(199, L'y') + L"\r");
    // 200 characters: the carriage return is cut off.
    LineText cut(std::wstring(200, L'y') + L"\rz");
    ScrollOneLine(cut);
    EXPECT_EQ(cut.Text(), L"z" + std::wstring(200, L'y'));
    // Leading spaces go, spaces before the break stay.
    LineText spaced(L"   a b   \rz");
    ScrollOneLine(spaced);
    EXPECT_EQ(spaced.Text(), L"za b   \r");
    // A text without a carriage return is left as it is.
    LineText single(L"  sin salto  ");
    ScrollOneLine(single);
    EXPECT_EQ(single.Text(), L"  sin salto  ");
}

// The line model gives, step after step, exactly what the rule gives on one string, whatever the lines.
TEST(ScrollTest, MatchesTheRuleOnOneStringOverManySteps) {
    std::mt19937 random(20261207);
    const wchar_t alphabet[] = L"  ab*\r";
    for (int round = 0; round < 40; ++round) {
        std::wstring caption;
        const int pieces = static_cast<int>(random() % 12);
        for (int k = 0; k < pieces; ++k) {
            const int length = static_cast<int>(random() % 3 == 0 ? 195 + random() % 70 : random() % 12);
            for (int c = 0; c < length; ++c) caption += alphabet[random() % 5];  // no break inside
            if (random() % 6 != 0) caption += L'\r';
            if (random() % 4 == 0) caption += std::wstring(random() % 4, L' ');
        }
        LineText lines(caption);
        for (int step = 0; step < 60; ++step) {
            caption = ScrollCaption(caption);
            ScrollOneLine(lines);
            ASSERT_EQ(lines.Text(), caption) << "round " << round << ", step " << step;
            ASSERT_EQ(lines.Length(), caption.size());
        }
    }
}

TEST(MarqueeTest, TurnsOneCharacterPerStepAndComesBackAfterItsLength) {
    const std::wstring start =
        L"Seleccione el archivo de seguridad que desee borrar y haga click sobre «borrar archivo».      ";
    ASSERT_EQ(start.size(), 94u);
    std::wstring caption = MarqueeStep(start);
    EXPECT_TRUE(caption.starts_with(L"eleccione"));
    EXPECT_TRUE(caption.ends_with(L"      S"));
    EXPECT_EQ(caption.size(), 94u);
    for (int tick = 2; tick <= 94; ++tick) caption = MarqueeStep(caption);
    EXPECT_EQ(caption, start);
    EXPECT_EQ(MarqueeStep(L""), L" ");
    EXPECT_EQ(MarqueeStep(L"x"), L"x");
}

class EditorSearchTest : public ::testing::Test {
protected:
    static std::wstring Line(const std::wstring& source, const std::wstring& destination) {
        return L"7/12/2026:  " + source + L" -> " + destination;
    }
    LogEntries log{Lines{Line(L"lista.dbf", L"C:\\DATOS\\LISTA.BAK"),  // 1: on C:, never offered
                         Line(L"LISTA.DBF", L"A:\\COPIAS\\LISTA.BAK"),
                         Line(L"carta.doc", L"c:\\CARTAS\\CARTA.BAK"),
                         Line(L"notas.txt", L"D:\\LISTA\\NOTAS.BAK"), L""}};
};

TEST_F(EditorSearchTest, SkipsUpperCaseCAndMatchesTheWholeLineWithoutRegardToCase) {
    EXPECT_EQ(NextEditorCandidate(log, L".BAK", 1), 2);
    EXPECT_EQ(NextEditorCandidate(log, L".BAK", 3), 3);  // lower-case "c:" counts as another drive
    EXPECT_EQ(NextEditorCandidate(log, L".BAK", 4), 4);
    EXPECT_EQ(NextEditorCandidate(log, L".BAK", 5), 0);
    EXPECT_EQ(NextEditorCandidate(log, L"  lista ", 1), 2);  // the source name matches too
    EXPECT_EQ(NextEditorCandidate(log, L"lista", 3), 4);     // and so does a folder
    EXPECT_EQ(NextEditorCandidate(log, L"7/12/2026:  carta", 1), 3);
    EXPECT_EQ(NextEditorCandidate(log, L"DATOS", 1), 0);
}

TEST_F(EditorSearchTest, AnEmptyNameMatchesEveryEntryNotOnUpperCaseC) {
    Lines offered;
    for (int i = NextEditorCandidate(log, L"", 1); i != 0; i = NextEditorCandidate(log, L"", i + 1))
        offered.push_back(std::to_wstring(i));
    EXPECT_EQ(offered, (Lines{L"2", L"3", L"4", L"5"}));  // the empty line from the file as well
}

TEST(EditorRemovalTest, ClosesTheGapAndLetsAnEmptyLineFromTheFileSinkBehind) {
    LogEntries log(Lines{L"1", L"2", L"3", L"4", L"5"});
    log.RemoveClosingEmptySlots(2);
    EXPECT_EQ(log.Count(), 4);
    EXPECT_EQ(log.Entry(1) + log.Entry(2) + log.Entry(3) + log.Entry(4), L"1345");
    EXPECT_EQ(log.Entry(5), L"");
    EXPECT_TRUE(log.Changed());

    LogEntries withEmpty(Lines{L"x", L"", L"y", L"z"});
    withEmpty.RemoveClosingEmptySlots(4);
    EXPECT_EQ(withEmpty.Count(), 3);
    EXPECT_EQ(withEmpty.Entry(1), L"x");
    EXPECT_EQ(withEmpty.Entry(2), L"y");
    EXPECT_EQ(withEmpty.Entry(3), L"");

    LogEntries only(Lines{L"solo"});
    only.RemoveClosingEmptySlots(1);
    EXPECT_EQ(only.Count(), 0);
    only.RemoveClosingEmptySlots(1);
    EXPECT_EQ(only.Count(), 0);
}

}  // namespace
}  // namespace tesoro
