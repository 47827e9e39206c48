// A copy on a thread of its own with a progress window: the handler's steps after it, a cancelled copy,
// a copy that fails on the way, and the amounts the window shows.
#include "copy_fixture.h"
#include "platform/copy_amount.h"

namespace tesoro::testing {
namespace {

const std::wstring kCopy = L"C:\\Datos\\informe.BAK";

class CopyProgressTest : public CopyFixture {
protected:
    void SetUp() override {
        CopyFixture::SetUp();
        fake.fs.copyPieceBytes = 4;
    }
    void ChooseAndCopy(std::initializer_list<MsgAnswer> answers = {}) {
        ChooseSource();
        Copy(answers);
    }
    const ScriptedDialogs::ProgressRun& OnlyRun() {
        EXPECT_EQ(fake.dialogs.progressRuns.size(), 1u);
        return fake.dialogs.progressRuns.back();
    }
};

TEST_F(CopyProgressTest, TheCopyRunsOnAThreadOfItsOwnAndTheStepsAfterItRunAsBefore) {
    Start();
    ChooseAndCopy();
    EXPECT_NE(fake.fs.lastCopyThread, std::this_thread::get_id());
    const auto& run = OnlyRun();
    EXPECT_EQ(run.title, L"Copia de Seguridad en curso");
    EXPECT_EQ(run.text, L"Copiando informe.BAK...");
    ASSERT_EQ(run.reports.size(), 6u);
    EXPECT_EQ(run.reports.front(), std::make_pair(std::uint64_t{4}, std::uint64_t{21}));
    EXPECT_EQ(run.reports.back(), std::make_pair(std::uint64_t{21}, std::uint64_t{21}));

    EXPECT_EQ(fake.fs.Contents(kCopy), kSourceBytes);
    EXPECT_EQ(fake.dialogs.Texts(), std::vector<std::wstring>{kM4});
    EXPECT_EQ(form->Log.Count(), 1);
    EXPECT_EQ(form->LblArchFuente.Caption(), L"C:\\Datos");
    EXPECT_EQ(form->TxtArchDestino.Text(), L"¿?.BAK");
}

TEST_F(CopyProgressTest, ACancelledCopyKeepsTheOlderCopyLogsNothingAndCanBeDoneAgain) {
    fake.fs.AddFile(kCopy, "copia anterior");
    Start();
    fake.dialogs.cancelAfterBytes = 8;
    ChooseAndCopy({MsgAnswer::Yes});

    EXPECT_TRUE(OnlyRun().cancelled);
    ASSERT_EQ(Messages().size(), 2u);  // the question, then the cancel; no success box
    EXPECT_EQ(Messages()[1].text, L"La copia se ha cancelado.");
    EXPECT_EQ(Messages()[1].title, L"Resultado de generar copia...");
    EXPECT_EQ(Messages()[1].icon, MsgIcon::Information);
    EXPECT_EQ(Messages()[1].buttons, MsgButtons::Ok);
    EXPECT_EQ(fake.fs.Contents(kCopy), "copia anterior");
    EXPECT_EQ(fake.fs.WriteCount(kCopy), 0);
    EXPECT_EQ(form->Log.Count(), 0);
    EXPECT_FALSE(form->Log.Changed());
    // The choice stays, so the user can press the button again.
    EXPECT_EQ(form->LblArchFuente.Caption(), L"C:\\Datos\\informe.doc");
    EXPECT_EQ(form->TxtArchDestino.Text(), L"informe.BAK");

    fake.dialogs.cancelAfterBytes.reset();
    Copy({MsgAnswer::Yes});
    EXPECT_EQ(fake.dialogs.Texts().back(), kM4);
    EXPECT_EQ(fake.fs.Contents(kCopy), kSourceBytes);
    EXPECT_EQ(form->Log.Count(), 1);
}

TEST_F(CopyProgressTest, ACancelOfANewCopyLeavesNoFile) {
    Start();
    fake.dialogs.cancelAfterBytes = 21;  // pressed as the last piece arrives: still before it is put in place
    ChooseAndCopy();
    EXPECT_FALSE(fake.fs.Exists(kCopy));
    EXPECT_EQ(fake.dialogs.Texts(), std::vector<std::wstring>{L"La copia se ha cancelado."});
    EXPECT_EQ(form->Log.Count(), 0);
}

TEST_F(CopyProgressTest, AFailureOnTheCopyingThreadStillGivesTheFailureBox) {
    fake.fs.SetLocked(L"C:\\Datos\\informe.doc");
    Start();
    ChooseAndCopy();
    ASSERT_EQ(Messages().size(), 1u);
    EXPECT_TRUE(Messages()[0].text.starts_with(L"IMPOSIBLE REALIZAR LA COPIA"));
    EXPECT_EQ(form->Log.Count(), 0);
    EXPECT_FALSE(fake.fs.Exists(kCopy));
}

TEST(CopiedAmountTest, TheUnitSuitsTheTotalAndTheTotalIsReachedOnlyAtTheEnd) {
    EXPECT_EQ(CopiedAmountText(0, 0), L"0 bytes de 0 bytes");
    EXPECT_EQ(CopiedAmountText(300, 1000), L"300 bytes de 1.000 bytes");
    EXPECT_EQ(CopiedAmountText(1536, 4096), L"1 KB de 4 KB");
    EXPECT_EQ(CopiedAmountText(402653184, 1073741824), L"384 MB de 1.024 MB");
    EXPECT_EQ(CopiedAmountText(1073741823, 1073741824), L"1.023 MB de 1.024 MB");
    EXPECT_EQ(CopiedAmountText(1073741824, 1073741824), L"1.024 MB de 1.024 MB");
    EXPECT_EQ(CopiedAmountText(5'000'000'000'000, 5'000'000'000'000), L"4.768.372 MB de 4.768.372 MB");
    EXPECT_EQ(CopiedAmountText(9, 5), L"5 bytes de 5 bytes");  // a file that grew while copied
}

}  // namespace
}  // namespace tesoro::testing
