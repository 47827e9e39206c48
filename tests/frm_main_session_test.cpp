// What the rest of Windows does to a running window: the log saved after each change so that no way of
// ending loses it, the end of the session, a close that arrives while a handler waits, a second start
// handing its path over, and a file another program holds for a moment.
#include "copy_fixture.h"

namespace tesoro::testing {
namespace {

const std::wstring kCopy = L"C:\\Datos\\informe.BAK";

class SessionTest : public CopyFixture {
protected:
    // The entries TESORO.DAT holds.
    std::vector<std::wstring> Saved() {
        return ParseLogFile(fake.fs.Contents(kLogPath), fake.codec).value_or(std::vector<std::wstring>{});
    }
    std::wstring CopyLine() const { return LogLine(L"informe.doc", kCopy); }
};

// ---- the log reaches the file with each change ----

TEST_F(SessionTest, EachChangeOfTheLogIsInTheFileAtOnce) {
    fake.fs.AddDrive(L'A', kRemovable);
    fake.fs.AddFile(L"A:\\viejo.BAK", "");
    fake.fs.AddFile(kLogPath, *SerializeLogFile(LogEntries({LogLine(L"x.doc", L"C:\\Borrada\\x.BAK"),
                                                            LogLine(L"v.doc", L"A:\\viejo.BAK")}),
                                                fake.codec));
    Start();
    EXPECT_EQ(Saved(), (std::vector<std::wstring>{LogLine(L"v.doc", L"A:\\viejo.BAK")}));  // pruned

    ChooseSource();
    form->CmdCopiar.Click();
    EXPECT_EQ(Saved(), (std::vector<std::wstring>{LogLine(L"v.doc", L"A:\\viejo.BAK"), CopyLine()}));

    form->ChkEditar.SetValue(1);
    fake.dialogs.inputs.push_back(L"viejo");
    Answer({MsgAnswer::Yes});
    form->CmdVerLog.Click();
    EXPECT_EQ(Saved(), (std::vector<std::wstring>{CopyLine()}));

    form->CmdBorrar.Click();
    ClickFile(L"informe.BAK");
    Answer({MsgAnswer::Yes});
    form->CmdBorrar.Click();
    EXPECT_EQ(Saved(), std::vector<std::wstring>{});
    EXPECT_EQ(fake.fs.Contents(kLogPath).size(), 128u);
}

TEST_F(SessionTest, ASaveThatFailsDuringWorkIsNotToldAndIsTriedAgainWithTheNextChange) {
    Start();
    fake.fs.SetLocked(kLogPath);
    ChooseSource();
    form->CmdCopiar.Click();
    EXPECT_EQ(fake.dialogs.Texts(), std::vector<std::wstring>{kM4});
    EXPECT_EQ(form->Log.Pending().size(), 1u);

    fake.fs.SetLocked(kLogPath, false);
    fake.fs.AddFile(L"C:\\Datos\\notas.txt", "notas");
    form->FileFuente.Refresh();
    ClickFile(L"notas.txt");
    form->CmdCopiar.Click();
    EXPECT_EQ(Saved(),
              (std::vector<std::wstring>{CopyLine(), LogLine(L"notas.txt", L"C:\\Datos\\notas.BAK")}));
    EXPECT_TRUE(form->Log.Pending().empty());
}

TEST_F(SessionTest, AtExitAFailedSaveCanBeTriedAgainUntilItWorks) {
    Start();
    fake.fs.SetLocked(kLogPath);
    ChooseSource();
    form->CmdCopiar.Click();

    // Reintentar once while the file is still held, then once more after the other program let go.
    int asked = 0;
    fake.dialogs.whileOpen = [&] {
        if (++asked == 2) fake.fs.SetLocked(kLogPath, false);
    };
    Answer({MsgAnswer::Retry, MsgAnswer::Retry});
    Exit();
    EXPECT_EQ(asked, 2);
    EXPECT_EQ(Messages().back().buttons, MsgButtons::RetryCancel);
    EXPECT_EQ(Saved(), std::vector<std::wstring>{CopyLine()});
}

TEST_F(SessionTest, AnExitWithNothingPendingNeitherWritesNorAsks) {
    Start();
    ChooseSource();
    form->CmdCopiar.Click();
    const int writes = fake.fs.WriteCount(kLogPath);
    Exit();
    EXPECT_EQ(fake.fs.WriteCount(kLogPath), writes);
    EXPECT_EQ(fake.dialogs.Texts(), std::vector<std::wstring>{kM4});
}

TEST_F(SessionTest, ACopyAnotherWriterPushedPastTheLastEntryIsToldAtExit) {
    Start();
    fake.fs.AddFile(
        kLogPath,
        *SerializeLogFile(LogEntries(std::vector<std::wstring>(LogEntries::kMaxCount, L"otro")), fake.codec));
    ChooseSource();
    form->CmdCopiar.Click();
    Exit();
    EXPECT_EQ(fake.dialogs.Texts(),
              (std::vector<std::wstring>{kM4,
                                         L"La copia se realizó, pero no se ha anotado en TESORO.DAT:\rel "
                                         L"registro ya tiene 32767 entradas."}));
    EXPECT_EQ(Saved().size(), static_cast<std::size_t>(LogEntries::kMaxCount));
}

// ---- the end of the session ----

TEST_F(SessionTest, TheSessionEndingWhileTheSuccessBoxIsOpenLosesNoEntry) {
    Start();
    ChooseSource();
    fake.dialogs.whileOpen = [&] { form->EndSession(); };
    EXPECT_THROW(form->CmdCopiar.Click(), ProcessEnded);
    EXPECT_EQ(Messages().back().text, kM4);
    EXPECT_EQ(Saved(), std::vector<std::wstring>{CopyLine()});
}

TEST_F(SessionTest, TheSessionEndingDuringACopyStopsItAndSavesWhatIsPending) {
    fake.fs.AddDrive(L'A', kRemovable);
    fake.fs.AddFile(L"A:\\viejo.BAK", "");
    fake.fs.AddFile(kLogPath, "");
    fake.fs.AddFile(kCopy, "copia anterior");
    Start();
    SetLog({LogLine(L"v.doc", L"A:\\viejo.BAK")});
    fake.fs.SetLocked(kLogPath);
    form->ChkEditar.SetValue(1);
    Answer({MsgAnswer::Yes});
    form->CmdVerLog.Click();  // removed, but not saved yet
    fake.fs.SetLocked(kLogPath, false);

    fake.fs.copyPieceBytes = 4;
    ChooseSource();
    fake.dialogs.whileWorking = [&] { form->EndSession(); };
    Answer({MsgAnswer::Yes});
    EXPECT_THROW(form->CmdCopiar.Click(), ProcessEnded);
    EXPECT_TRUE(fake.dialogs.progressRuns.back().cancelled);
    EXPECT_EQ(fake.fs.Contents(kCopy), "copia anterior");
    EXPECT_EQ(Saved(), std::vector<std::wstring>{});
    EXPECT_EQ(Messages().back().title, L"Archivo Existente");  // nothing after the question to replace
}

TEST_F(SessionTest, TheSessionEndingWaitsBrieflyForALogHeldForAMoment) {
    Start();
    fake.fs.SetLocked(kLogPath);
    ChooseSource();
    form->CmdCopiar.Click();  // the save fails, the entry stays pending
    fake.fs.SetLocked(kLogPath, false);
    fake.fs.HoldFor(kLogPath, 1000);
    EXPECT_THROW(form->EndSession(), ProcessEnded);
    EXPECT_EQ(Saved(), std::vector<std::wstring>{CopyLine()});
    EXPECT_EQ(fake.dialogs.Texts(), std::vector<std::wstring>{kM4});
}

// ---- a close that arrives while a handler waits ----

TEST_F(SessionTest, ACloseWhileABoxIsOpenWaitsForTheHandlerToReturn) {
    Start();
    ChooseSource();
    bool closedInside = false;
    fake.dialogs.whileOpen = [&] {
        form->RequestClose();
        closedInside = true;  // reached only if the close did not end the process here
    };
    EXPECT_THROW(form->CmdCopiar.Click(), ProcessEnded);
    EXPECT_TRUE(closedInside);
    EXPECT_EQ(form->TxtArchDestino.Text(), kPlaceholderName);  // the handler ran to its end
    EXPECT_EQ(Saved(), std::vector<std::wstring>{CopyLine()});
}

TEST_F(SessionTest, ACloseDuringACopyStopsItWithoutTheCancelledBoxAndEndsAfterTheHandler) {
    fake.fs.AddFile(kCopy, "copia anterior");
    Start();
    fake.fs.copyPieceBytes = 4;
    ChooseSource();
    fake.dialogs.whileWorking = [&] { form->RequestClose(); };
    Answer({MsgAnswer::Yes});
    EXPECT_THROW(form->CmdCopiar.Click(), ProcessEnded);
    EXPECT_TRUE(fake.dialogs.progressRuns.back().cancelled);
    EXPECT_EQ(fake.fs.Contents(kCopy), "copia anterior");
    EXPECT_TRUE(fake.fs.Names(L"C:\\Datos") == (std::vector<std::wstring>{L"informe.BAK", L"informe.doc"}));
    EXPECT_EQ(Messages().size(), 1u);  // the question to replace only
}

TEST_F(SessionTest, ACloseOutsideAnyHandlerEndsAtOnce) {
    Start();
    EXPECT_THROW(form->RequestClose(), ProcessEnded);
}

TEST_F(SessionTest, ASecondCloseWhileTheExitAsksToTryAgainDoesNotAskTwice) {
    Start();
    fake.fs.SetLocked(kLogPath);
    ChooseSource();
    form->CmdCopiar.Click();
    fake.dialogs.whileOpen = [&] { form->RequestClose(); };
    Answer({MsgAnswer::Cancel});
    EXPECT_THROW(form->RequestClose(), ProcessEnded);
    EXPECT_EQ(Messages().size(), 2u);  // the success box, then one question at exit
    EXPECT_EQ(Messages().back().buttons, MsgButtons::RetryCancel);
}

// ---- a second start hands its path over ----

class HandOverTest : public SessionTest {
protected:
    void SetUp() override {
        SessionTest::SetUp();
        Start();
    }
};

TEST_F(HandOverTest, WhileTheSourceListsAreInUseThePathIsChosenAsTheCommandLineChoosesIt) {
    form->form.SetWindowState(WindowState::Minimized);
    form->PathHandedOver(L"C:\\Datos\\informe.doc");
    EXPECT_EQ(form->form.State(), WindowState::Normal);
    EXPECT_EQ(form->LblArchFuente.Caption(), L"C:\\Datos\\informe.doc");
    EXPECT_EQ(form->TxtArchDestino.Text(), L"informe.BAK");
    EXPECT_EQ(fake.dialogs.beeps, 0);
}

TEST_F(HandOverTest, WithoutAPathTheWindowOnlyComesToTheFront) {
    form->form.SetWindowState(WindowState::Minimized);
    form->PathHandedOver(L"");
    EXPECT_EQ(form->form.State(), WindowState::Normal);
    EXPECT_EQ(form->TxtArchDestino.Text(), kPlaceholderName);
    EXPECT_EQ(fake.dialogs.beeps, 0);
}

TEST_F(HandOverTest, AViewOrDeleteModeOverTheListsBeepsAndChangesNothing) {
    form->CmdAyuda.Click();
    form->PathHandedOver(L"C:\\Datos\\informe.doc");
    form->CmdAyuda.Click();
    form->CmdBorrar.Click();
    form->PathHandedOver(L"C:\\Datos\\informe.doc");
    EXPECT_EQ(fake.dialogs.beeps, 2);
    EXPECT_EQ(form->TxtArchDestino.Text(), kPlaceholderName);
    EXPECT_NE(form->LblArchFuente.Caption(), L"C:\\Datos\\informe.doc");
}

TEST_F(HandOverTest, WhileABoxIsOpenItBeepsAndTheHandlerGoesOnUndisturbed) {
    ChooseSource();
    fake.dialogs.whileOpen = [&] {
        fake.dialogs.whileOpen = nullptr;
        form->PathHandedOver(L"C:\\Datos\\informe.doc");
    };
    Answer({MsgAnswer::No});
    fake.fs.AddFile(kCopy, "copia anterior");
    form->CmdCopiar.Click();  // the question to replace is open when the path arrives
    EXPECT_EQ(fake.dialogs.beeps, 1);
    EXPECT_EQ(Messages().size(), 1u);
    EXPECT_EQ(fake.fs.Contents(kCopy), "copia anterior");
}

// ---- a file another program holds for a moment ----

TEST_F(SessionTest, AnOlderCopyHeldForAMomentIsReplacedOnceItIsLetGo) {
    fake.fs.AddFile(kCopy, "copia anterior");
    fake.fs.HoldFor(kCopy, 1500);
    Start();
    ChooseSource();
    Copy({MsgAnswer::Yes});
    EXPECT_EQ(fake.fs.Contents(kCopy), kSourceBytes);
    EXPECT_GE(fake.fs.nowMs, 1500u);
    EXPECT_LT(fake.fs.nowMs, 1500u + kHoldWaitMs + 1);
    EXPECT_EQ(Messages().back().text, kM4);
}

TEST_F(SessionTest, AnOlderCopyHeldLongerThanTwoSecondsFailsTheCopyAndLeavesNoTemporary) {
    fake.fs.AddFile(kCopy, "copia anterior");
    fake.fs.HoldFor(kCopy, 2500);
    Start();
    ChooseSource();
    Copy({MsgAnswer::Yes});
    EXPECT_EQ(fake.fs.Contents(kCopy), "copia anterior");
    EXPECT_EQ(fake.fs.nowMs, kHoldRetryMs);
    EXPECT_TRUE(Messages().back().text.starts_with(kM5));
    EXPECT_TRUE(fake.fs.Names(L"C:\\Datos") == (std::vector<std::wstring>{L"informe.BAK", L"informe.doc"}));
}

TEST_F(SessionTest, TheLogHeldForAMomentIsSavedOnceItIsLetGo) {
    Start();
    fake.fs.HoldFor(kLogPath, 300);
    ChooseSource();
    form->CmdCopiar.Click();
    EXPECT_EQ(Saved(), std::vector<std::wstring>{CopyLine()});
}

// ---- delete mode finds the entry of any name ----

TEST_F(SessionTest, DeletingACopyNamedOutsideTheCodePageRemovesItsEntry) {
    fake.fs.AddFile(L"C:\\Datos\\αβγδ.doc", "griego");
    Start();
    OpenFolder(L"C:\\Datos");
    ClickFile(L"αβγδ.doc");
    form->CmdCopiar.Click();
    ASSERT_EQ(Saved(), std::vector<std::wstring>{LogLine(L"????.doc", L"C:\\Datos\\????.BAK")});

    form->CmdBorrar.Click();
    ClickFile(L"αβγδ.BAK");
    Answer({MsgAnswer::Yes});
    form->CmdBorrar.Click();
    EXPECT_FALSE(fake.fs.Exists(L"C:\\Datos\\αβγδ.BAK"));
    EXPECT_EQ(form->Log.Count(), 0);
    EXPECT_EQ(Saved(), std::vector<std::wstring>{});
}

}  // namespace
}  // namespace tesoro::testing
