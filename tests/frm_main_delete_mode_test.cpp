// Delete mode: the reshaped window, the question, the deletion with its log entry, the failures that
// change nothing, and leaving the mode again.
#include <functional>

#include "main_window_fixture.h"

namespace tesoro::testing {
namespace {

const wchar_t kTitle[] = L"Borrar archivo de seguridad";

class DeleteModeTest : public MainWindowTest {
protected:
    void SetUp() override {
        fake.fs.AddFile(L"C:\\Copias\\DATOS.BAK", "datos");
        fake.fs.AddFile(L"C:\\Copias\\DATOS.BAKUP", "otra cosa");
        fake.fs.AddFile(L"C:\\Copias\\informe.bak", "informe");
        fake.fs.AddFile(L"C:\\Copias\\informe.doc", "original");
        fake.fs.AddFile(L"C:\\Copias\\viejo.bak2", "no es copia");
    }

    // Starts in C:\Copias with the given log and enters delete mode.
    void StartInDeleteMode(std::vector<std::wstring> log = {}) {
        Start();
        OpenFolder(L"C:\\Copias");
        SetLog(std::move(log));
        form->CmdBorrar_Click();
    }
    void Delete(std::initializer_list<MsgAnswer> answers) {
        Answer(answers);
        form->CmdBorrar_Click();
    }
    std::vector<std::wstring> LiveEntries() const { return EntriesOf(form->Log); }
    void ExpectQuestion(const ScriptedDialogs::Message& m, const std::wstring& path) {
        EXPECT_EQ(m.text, L"¿Desea borrar el archivo\r" + path + L"?");
        EXPECT_EQ(m.title, kTitle);
        EXPECT_EQ(m.icon, MsgIcon::Exclamation);
        EXPECT_EQ(m.buttons, MsgButtons::YesNo);
    }
};

TEST_F(DeleteModeTest, EnteringShortensTheWindowAndListsOnlySafetyCopies) {
    StartInDeleteMode();
    FrmMain& f = *form;
    EXPECT_TRUE(f.DeleteMode);
    EXPECT_EQ(f.form.Height(), 3825);
    EXPECT_EQ(f.ImgFlecha.Top(), 1080);
    EXPECT_TRUE(f.TmrFlecha.Enabled());
    EXPECT_EQ(f.FraFuente.Caption(), L"BORRAR ARCHIVO:");
    EXPECT_EQ(f.LblFuente.Caption(), L"Nombre del archivo de seguridad:");
    EXPECT_EQ(f.FileFuente.Pattern(), L"*.BAK");
    EXPECT_EQ(f.FileFuente.Items(), (std::vector<std::wstring>{L"DATOS.BAK", L"informe.bak"}));
    EXPECT_FALSE(f.FraDestino.Visible());
    EXPECT_TRUE(f.LblBorrar.Visible());
    EXPECT_EQ(f.LblArchFuente.Caption(), L"C:\\Copias");
    EXPECT_TRUE(f.CmdCancelar.Visible());
    EXPECT_EQ(f.CmdBorrar.ToolTip(), L"Borrar Archivo: ¿?.BAK");
    EXPECT_FALSE(f.CmdCopiar.Enabled());
    EXPECT_EQ(f.TxtArchDestino.Text(), L"¿?.BAK");
    // The window's shorter client area (3450) still holds the hint but no longer the lower buttons.
    const int client = 3825 - Form::kDesignFrameHeight;
    EXPECT_LE(f.LblBorrar.Top() + 165, client);
    EXPECT_GT(f.CmdAutor.Top(), client);
    EXPECT_GT(f.CmdSalir.Top(), client);
    EXPECT_TRUE(Messages().empty());
}

TEST_F(DeleteModeTest, AFileChosenBeforeEnteringIsDroppedSoTheFirstClickDoesNothing) {
    Start();
    OpenFolder(L"C:\\Copias");
    ClickFile(L"DATOS.BAK");
    form->CmdBorrar_Click();
    EXPECT_EQ(form->TxtArchDestino.Text(), L"¿?.BAK");
    EXPECT_EQ(form->LblArchFuente.Caption(), L"C:\\Copias");
    form->CmdBorrar_Click();
    EXPECT_TRUE(Messages().empty());
    EXPECT_TRUE(fake.fs.Exists(L"C:\\Copias\\DATOS.BAK"));
    EXPECT_TRUE(form->DeleteMode);
}

TEST_F(DeleteModeTest, YesDeletesTheFileAndItsEntryAndForgetsTheChoice) {
    StartInDeleteMode({LogLine(L"informe.doc", L"C:\\Copias\\informe.bak"),
                       LogLine(L"DATOS.DB", L"C:\\Copias\\DATOS.BAK"), LogLine(L"x.doc", L"A:\\x.BAK")});
    ClickFile(L"DATOS.BAK");
    EXPECT_EQ(form->CmdBorrar.ToolTip(), L"Borrar Archivo: DATOS.BAK");
    Delete({MsgAnswer::Yes});

    ASSERT_EQ(Messages().size(), 1u);
    ExpectQuestion(Messages()[0], L"C:\\Copias\\DATOS.BAK");
    EXPECT_FALSE(fake.fs.Exists(L"C:\\Copias\\DATOS.BAK"));
    EXPECT_TRUE(fake.fs.Exists(L"C:\\Copias\\DATOS.BAKUP"));
    EXPECT_EQ(form->TxtArchDestino.Text(), L"¿?.BAK");
    EXPECT_EQ(form->LblArchFuente.Caption(), L"C:\\Copias");
    EXPECT_EQ(form->CmdBorrar.ToolTip(), L"Borrar Archivo: DATOS.BAK");  // the file just deleted
    EXPECT_EQ(LiveEntries(), (std::vector<std::wstring>{LogLine(L"informe.doc", L"C:\\Copias\\informe.bak"),
                                                        LogLine(L"x.doc", L"A:\\x.BAK")}));
    EXPECT_TRUE(form->Log.Changed());
    EXPECT_FALSE(Listed(L"DATOS.BAK"));
    EXPECT_TRUE(form->DeleteMode);

    // Nothing is chosen any more: another click asks nothing.
    form->CmdBorrar_Click();
    EXPECT_EQ(Messages().size(), 1u);
}

TEST_F(DeleteModeTest, AnyAnswerButYesChangesNothing) {
    StartInDeleteMode({LogLine(L"DATOS.DB", L"C:\\Copias\\DATOS.BAK")});
    ClickFile(L"DATOS.BAK");
    Delete({MsgAnswer::No});
    ASSERT_EQ(Messages().size(), 1u);
    EXPECT_TRUE(fake.fs.Exists(L"C:\\Copias\\DATOS.BAK"));
    EXPECT_EQ(form->TxtArchDestino.Text(), L"DATOS.BAK");
    EXPECT_EQ(form->LblArchFuente.Caption(), L"C:\\Copias\\DATOS.BAK");
    EXPECT_EQ(form->Log.Count(), 1);
    EXPECT_FALSE(form->Log.Changed());
    // The choice stays: the next click asks again.
    Delete({MsgAnswer::Yes});
    EXPECT_EQ(Messages().size(), 2u);
    EXPECT_FALSE(fake.fs.Exists(L"C:\\Copias\\DATOS.BAK"));
}

// Paths around the 50 characters at which the source label is broken: the question and the deletion
// always use the whole path, whatever line break the label carries.
TEST_F(DeleteModeTest, LongPathsAreAskedAboutAndDeletedUnbroken) {
    const std::wstring folder = L"C:\\" + std::wstring(46, L'd');  // 49 characters
    const struct {
        std::wstring path;
        bool broken;
    } cases[] = {
        {L"C:\\Copias\\" + std::wstring(36, L'x') + L".BAK", false},  // 50 characters
        {L"C:\\Copias\\" + std::wstring(37, L'x') + L".BAK", true},   // 51
        {folder + L"\\" + std::wstring(20, L'y') + L".BAK", true},    // the backslash is the 50th
    };
    for (const auto& c : cases) fake.fs.AddFile(c.path, "copia");
    Start();
    form->CmdBorrar_Click();
    for (const auto& c : cases) {
        SCOPED_TRACE(std::to_string(c.path.size()) + " characters");
        const std::size_t slash = c.path.rfind(L'\\');
        OpenFolder(c.path.substr(0, slash));
        ClickFile(c.path.substr(slash + 1));
        const std::wstring label = form->LblArchFuente.Caption();
        EXPECT_EQ(label.find(L'\r') != std::wstring::npos, c.broken);
        if (c.broken) {
            EXPECT_LE(label.find(L'\r'), 50u);
        }
        Delete({MsgAnswer::Yes});
        ExpectQuestion(Messages().back(), c.path);
        EXPECT_FALSE(fake.fs.Exists(c.path));
    }
    EXPECT_EQ(Messages().size(), 3u);
}

TEST_F(DeleteModeTest, OnlyTheFirstEntryNamingTheFileGoesAndTheGapCloses) {
    const std::wstring bak = L"C:\\Copias\\DATOS.BAK";
    StartInDeleteMode({LogLine(L"a.doc", L"A:\\a.BAK"), LogLine(L"DATOS.DB", L"c:\\copias\\datos.bak"),
                       LogLine(L"b.doc", L"A:\\b.BAK"), LogLine(L"DATOS.DB", bak)});
    ClickFile(L"DATOS.BAK");
    Delete({MsgAnswer::Yes});
    EXPECT_EQ(LiveEntries(),
              (std::vector<std::wstring>{LogLine(L"a.doc", L"A:\\a.BAK"), LogLine(L"b.doc", L"A:\\b.BAK"),
                                         LogLine(L"DATOS.DB", bak)}));
    EXPECT_EQ(form->Log.Entry(4), L"");  // the freed place behind the count
}

// An entry whose copy has a longer name that begins with the deleted one's belongs to another copy
// that still exists; it keeps its line.
TEST_F(DeleteModeTest, TheEntryOfALongerNameIsNotTakenForTheDeletedCopy) {
    StartInDeleteMode(
        {LogLine(L"DATOS.DB", L"C:\\Copias\\DATOS.BAKUP"), LogLine(L"DATOS.DB", L"C:\\Copias\\DATOS.BAK  ")});
    ClickFile(L"DATOS.BAK");
    Delete({MsgAnswer::Yes});
    EXPECT_EQ(LiveEntries(), (std::vector<std::wstring>{LogLine(L"DATOS.DB", L"C:\\Copias\\DATOS.BAKUP")}));

    // Only that entry left, and the file it names deleted: nothing else is touched.
    SetLog({LogLine(L"DATOS.DB", L"C:\\Copias\\DATOS.BAKUP")});
    ClickFile(L"informe.bak");
    Delete({MsgAnswer::Yes});
    EXPECT_EQ(form->Log.Count(), 1);
    EXPECT_FALSE(form->Log.Changed());
}

TEST_F(DeleteModeTest, ALogOfOneOrNoEntries) {
    StartInDeleteMode({LogLine(L"DATOS.DB", L"C:\\Copias\\DATOS.BAK")});
    ClickFile(L"DATOS.BAK");
    Delete({MsgAnswer::Yes});
    EXPECT_EQ(form->Log.Count(), 0);
    EXPECT_EQ(form->Log.Entry(1), L"");
    EXPECT_TRUE(form->Log.Changed());

    SetLog({});
    ClickFile(L"informe.bak");
    Delete({MsgAnswer::Yes});
    EXPECT_FALSE(fake.fs.Exists(L"C:\\Copias\\informe.bak"));
    EXPECT_EQ(form->Log.Count(), 0);
    EXPECT_FALSE(form->Log.Changed());
}

// Every way the system can refuse a file that is there: the user is told which file and why, and nothing
// after the deletion happens (the log keeps its entry, the file stays chosen and listed).
TEST_F(DeleteModeTest, AFailedDeletionIsReportedAndChangesNothing) {
    const std::wstring bak = L"C:\\Copias\\DATOS.BAK";
    const std::wstring head = L"IMPOSIBLE BORRAR EL ARCHIVO\r" + bak + L"\r\rMotivo: ";
    const struct {
        const char* what;
        std::function<void()> arrange;
        std::function<void()> undo;
        std::wstring reason;
    } cases[] = {
        {"read-only", [&] { fake.fs.SetAttributes(bak, {.readOnly = true}); },
         [&] { fake.fs.SetAttributes(bak, {}); }, L"El archivo es de solo lectura."},
        {"in use", [&] { fake.fs.SetLocked(bak); }, [&] { fake.fs.SetLocked(bak, false); },
         L"El archivo está abierto en otro programa."},
        {"access refused", [&] { fake.fs.SetAttributes(L"C:\\Copias", {.readOnly = true}); },
         [&] { fake.fs.SetAttributes(L"C:\\Copias", {}); },
         L"Acceso denegado: no tiene permiso para borrarlo."},
        {"drive not ready", [&] { fake.fs.GetDrive(L'C').ready = false; },
         [&] { fake.fs.GetDrive(L'C').ready = true; }, L"La unidad de disco no está disponible."},
        {"write-protected", [&] { fake.fs.deleteRefusal = PlatformError("", FailureReason::WriteProtected); },
         [&] { fake.fs.deleteRefusal.reset(); }, L"El disco está protegido contra escritura."},
        {"other, with a code", [&] { fake.fs.deleteRefusal = PlatformError("", FailureReason::Other, 1117); },
         [&] { fake.fs.deleteRefusal.reset(); }, L"Windows no permite borrarlo (error 1117)."},
        {"other, without a code", [&] { fake.fs.deleteRefusal = PlatformError(""); },
         [&] { fake.fs.deleteRefusal.reset(); }, L"Windows no permite borrarlo."},
    };
    StartInDeleteMode({LogLine(L"DATOS.DB", bak)});
    ClickFile(L"DATOS.BAK");
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        c.arrange();
        Delete({MsgAnswer::Yes});
        const ScriptedDialogs::Message& m = Messages().back();
        EXPECT_EQ(m.text, head + c.reason);
        EXPECT_EQ(m.title, kTitle);
        EXPECT_EQ(m.icon, MsgIcon::Critical);
        EXPECT_EQ(m.buttons, MsgButtons::Ok);
        EXPECT_EQ(form->Log.Count(), 1);
        EXPECT_FALSE(form->Log.Changed());
        EXPECT_EQ(form->TxtArchDestino.Text(), L"DATOS.BAK");
        EXPECT_EQ(form->LblArchFuente.Caption(), bak);
        EXPECT_EQ(form->CmdBorrar.ToolTip(), L"Borrar Archivo: DATOS.BAK");
        EXPECT_TRUE(Listed(L"DATOS.BAK"));
        c.undo();
    }
    EXPECT_EQ(Messages().size(), 2 * std::size(cases));
    // Once the obstacle is gone the same choice deletes.
    Delete({MsgAnswer::Yes});
    EXPECT_FALSE(fake.fs.Exists(bak));
    EXPECT_EQ(form->Log.Count(), 0);
}

// A copy that went meanwhile is refused as gone and leaves the list, which is read again; everything else
// stays as for any refusal. Its folder gone too, the list is empty.
TEST_F(DeleteModeTest, AVanishedCopyLeavesTheListAndNothingElseChanges) {
    const std::wstring bak = L"C:\\Copias\\DATOS.BAK";
    StartInDeleteMode({LogLine(L"DATOS.DB", bak)});
    ClickFile(L"DATOS.BAK");
    fake.fs.Remove(bak);
    Delete({MsgAnswer::Yes});
    const ScriptedDialogs::Message& m = Messages().back();
    EXPECT_EQ(m.text, L"IMPOSIBLE BORRAR EL ARCHIVO\r" + bak +
                          L"\r\rMotivo: El archivo ya no existe: se ha borrado o movido.");
    EXPECT_EQ(m.title, kTitle);
    EXPECT_EQ(m.icon, MsgIcon::Critical);
    EXPECT_EQ(form->FileFuente.Items(), std::vector<std::wstring>{L"informe.bak"});
    EXPECT_EQ(form->FileFuente.Pattern(), L"*.BAK");
    EXPECT_EQ(form->LblArchFuente.Caption(), bak);
    EXPECT_EQ(form->TxtArchDestino.Text(), L"DATOS.BAK");
    EXPECT_EQ(form->CmdBorrar.ToolTip(), L"Borrar Archivo: DATOS.BAK");
    EXPECT_EQ(LiveEntries(), std::vector<std::wstring>{LogLine(L"DATOS.DB", bak)});
    EXPECT_FALSE(form->Log.Changed());

    ClickFile(L"informe.bak");
    fake.fs.Remove(L"C:\\Copias");
    Delete({MsgAnswer::Yes});
    EXPECT_TRUE(
        Messages().back().text.ends_with(L"Motivo: El archivo ya no existe: se ha borrado o movido."));
    EXPECT_TRUE(form->FileFuente.Items().empty());
    EXPECT_EQ(form->LblArchFuente.Caption(), L"C:\\Copias\\informe.bak");
    EXPECT_TRUE(form->DeleteMode);
}

TEST_F(DeleteModeTest, LeavingRestoresTheCopyLayoutWithTheSourceFolderAsDestination) {
    fake.fs.AddDrive(L'D', kFixed, L"DATOS");
    fake.fs.AddFolder(L"D:\\Otra");
    Start();
    ChooseDrive(form->DrvDestino, L'D');
    form->DirDestino.SetPath(L"D:\\Otra");
    OpenFolder(L"C:\\Copias");
    const auto normalItems = form->FileFuente.Items();
    form->CmdBorrar_Click();
    ClickFile(L"informe.bak");
    form->ImgFlecha.SetVisible(true);  // caught in the shown phase of its blinking
    form->CmdCancelar_Click();

    FrmMain& f = *form;
    EXPECT_FALSE(f.DeleteMode);
    EXPECT_EQ(f.form.Height(), 5715);
    EXPECT_EQ(f.FraFuente.Caption(), L"FUENTE:");
    EXPECT_EQ(f.LblFuente.Caption(), L"Copia de Seguridad del archivo:");
    EXPECT_EQ(f.FileFuente.Pattern(), L"*.*");
    EXPECT_EQ(f.FileFuente.Items(), normalItems);
    EXPECT_EQ(f.LblArchFuente.Caption(), L"C:\\Copias");
    EXPECT_TRUE(f.FraDestino.Visible());
    EXPECT_EQ(f.DirDestino.Path(), L"C:\\Copias");
    EXPECT_TRUE(SameDrive(f.DrvDestino.Drive(), L"D:"));  // the destination drive list is not changed
    EXPECT_EQ(f.TxtArchDestino.Text(), L"¿?.BAK");
    EXPECT_FALSE(f.CmdCancelar.Visible());
    EXPECT_FALSE(f.TmrFlecha.Enabled());
    EXPECT_FALSE(f.ImgFlecha.Visible());
    EXPECT_EQ(f.ImgFlecha.Top(), 1080);  // hidden where it stood
    EXPECT_FALSE(f.LblBorrar.Visible());
    EXPECT_TRUE(f.CmdCopiar.Enabled());
    EXPECT_EQ(f.CmdBorrar.ToolTip(), L"Activar Borrar Archivo *.BAK");

    // And back in: the same mode again, the marquee's text untouched by the round trip.
    const std::wstring hint = f.LblBorrar.Caption();
    f.CmdBorrar_Click();
    EXPECT_TRUE(f.DeleteMode);
    EXPECT_EQ(f.form.Height(), 3825);
    EXPECT_EQ(f.LblBorrar.Caption(), hint);
}

// A source folder removed while it is shown: entering and leaving still complete, and the list shows
// nothing rather than the other mode's files.
TEST_F(DeleteModeTest, AnUnreadableSourceFolderStillLetsTheModeChange) {
    Start();
    OpenFolder(L"C:\\Copias");
    fake.fs.GetDrive(L'C').ready = false;
    form->CmdBorrar_Click();
    EXPECT_TRUE(form->DeleteMode);
    EXPECT_EQ(form->FileFuente.Pattern(), L"*.BAK");
    EXPECT_TRUE(form->FileFuente.Items().empty());
    EXPECT_TRUE(form->CmdCancelar.Visible());

    form->CmdCancelar_Click();
    EXPECT_FALSE(form->DeleteMode);
    EXPECT_EQ(form->FileFuente.Pattern(), L"*.*");
    EXPECT_TRUE(form->CmdCopiar.Enabled());
    EXPECT_EQ(form->CmdBorrar.ToolTip(), L"Activar Borrar Archivo *.BAK");

    fake.fs.GetDrive(L'C').ready = true;
    OpenFolder(L"C:\\");
    OpenFolder(L"C:\\Copias");
    EXPECT_EQ(form->FileFuente.Items().size(), 5u);
    EXPECT_TRUE(Messages().empty());
}

}  // namespace
}  // namespace tesoro::testing
