// What the rest of Windows does to the running program, each sent from another process as Windows sends
// it: the end of the session, a close during a long copy, a second start, another writer of the log, a
// file held for a moment, a kill. The log must keep every entry through all of them.
#include "main_window/frm_main_ids.h"
#include "platform/win32/win32_hand_over.h"
#include "resources/resource_ids.h"
#include "support.h"

namespace e2e {
namespace {

using namespace tesoro::ids;

std::wstring Entry(const std::wstring& source, const std::wstring& copy) {
    return ShortDate() + L":  " + source + L" -> " + copy;
}

std::vector<std::wstring> Saved() { return LogLines(ReadBytes(kLogPath).value_or("")); }

// Presses CmdCopiar and waits for the success box, left open.
MessageBoxInfo CopyUntilSuccessBox(const App& app) {
    Click(app.Control(CmdCopiar));
    auto box = app.WaitForMessageBox();
    CHECK_BOX(box, kDone, kDoneTitle, {IDOK}, L"information");
    REQUIRE(box.has_value(), "no success box");
    return *box;
}

SCENARIO("session", "the end of the session saves the entry a held log kept pending, and ends the program") {
    std::wstring folder = Folder(L"sesion", {{L"datos.txt", "datos"}});
    DeleteFileW(kLogPath.c_str());
    App app(folder);
    REQUIRE(FileExists(kLogPath), "no TESORO.DAT after start");
    {
        HeldFile held(kLogPath);  // the save after the copy fails and says nothing
        REQUIRE(held.Held(), "cannot hold TESORO.DAT");
        ClickFile(app, L"datos.txt");
        MessageBoxInfo done = CopyUntilSuccessBox(app);
        app.Answer(done, IDOK);
        app.Sync();
        CHECK(Saved().empty(), "the held log was written");
    }
    DWORD_PTR answer = 0;
    CHECK(SendMessageTimeoutW(app.Main(), WM_QUERYENDSESSION, 0, ENDSESSION_LOGOFF, SMTO_ABORTIFHUNG, 5000,
                              &answer),
          "WM_QUERYENDSESSION was not answered");
    CHECK_EQ(static_cast<long long>(answer), static_cast<long long>(TRUE));
    SendMessageTimeoutW(app.Main(), WM_ENDSESSION, TRUE, ENDSESSION_LOGOFF, SMTO_ABORTIFHUNG, 5000, &answer);
    CHECK(app.WaitForExit(5000), "the program went on after the end of the session");
    app.Kill();  // as Windows would, had it not ended
    CHECK_EQ(Saved(), std::vector<std::wstring>{Entry(L"datos.txt", folder + L"\\datos.BAK")});
}

SCENARIO("session", "a log held at exit is offered again until it can be saved") {
    std::wstring folder = Folder(L"salida", {{L"datos.txt", "datos"}});
    DeleteFileW(kLogPath.c_str());
    App app(folder);
    HeldFile held(kLogPath);
    ClickFile(app, L"datos.txt");
    CopyAndConfirm(app);
    app.Close();
    const std::wstring text =
        L"No se pudo guardar el archivo TESORO.DAT:\rC:\\Windows\\Temp\\TESORO.DAT"
        L"\r\rSi otro programa lo está usando, ciérrelo y pulse Reintentar.\r"
        L"Con Cancelar, el archivo anterior se conserva sin cambios.";
    auto box = app.WaitForMessageBox();
    CHECK_BOX(box, text, L"Error en TESORO.DAT", (std::vector<int>{IDCANCEL, IDRETRY}), L"exclamation");
    REQUIRE(box.has_value(), "no question at exit");
    CHECK((GetWindowLongW(GetDlgItem(box->hwnd, IDRETRY), GWL_STYLE) & BS_TYPEMASK) == BS_DEFPUSHBUTTON,
          "Reintentar is not the default button");
    Screenshot(L"exit-save-retry");
    app.Answer(*box, IDRETRY);  // still held: asked again
    box = app.WaitForMessageBox();
    REQUIRE(box && box->title == L"Error en TESORO.DAT", "not asked again");
    held.Release();
    app.Answer(*box, IDRETRY);
    CHECK(app.WaitForExit(), "the program did not end once the log was saved");
    CHECK_EQ(Saved(), std::vector<std::wstring>{Entry(L"datos.txt", folder + L"\\datos.BAK")});
}

SCENARIO("session", "a close while the success box is open waits for it, then ends with the entry saved") {
    std::wstring folder = Folder(L"cerrar-caja", {{L"datos.txt", "datos"}});
    DeleteFileW(kLogPath.c_str());
    App app(folder);
    ClickFile(app, L"datos.txt");
    MessageBoxInfo done = CopyUntilSuccessBox(app);
    app.Close();
    CHECK(!app.WaitForExit(1000), "the close cut the handler short");
    CHECK(IsWindow(done.hwnd), "the success box went with the close");
    app.Answer(done, IDOK);
    CHECK(app.WaitForExit(), "the program did not end once the box was answered");
    CHECK_EQ(Saved(), std::vector<std::wstring>{Entry(L"datos.txt", folder + L"\\datos.BAK")});
    CHECK_EQ(AllNames(folder), (std::vector<std::wstring>{L"datos.BAK", L"datos.txt"}));
}

SCENARIO("session", "a kill right after a logged copy loses no entry") {
    std::wstring folder = Folder(L"matar", {{L"datos.txt", "datos"}});
    DeleteFileW(kLogPath.c_str());
    App app(folder);
    ClickFile(app, L"datos.txt");
    CopyUntilSuccessBox(app);  // left open: the entry is already in the file
    app.Kill();
    CHECK_EQ(Saved(), std::vector<std::wstring>{Entry(L"datos.txt", folder + L"\\datos.BAK")});
}

SCENARIO("session", "closing every window during a 1 GiB copy stops it, keeps the older copy and ends") {
    std::wstring folder = Folder(L"cerrar", {{L"imagen.BAK", "la copia anterior"}, {L"notas.txt", "notas"}});
    HANDLE source =
        CreateFileW((folder + L"\\imagen.dsk").c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
    REQUIRE(source != INVALID_HANDLE_VALUE, "cannot make the large source file");
    LARGE_INTEGER size;
    size.QuadPart = 1LL << 30;
    SetFilePointerEx(source, size, nullptr, FILE_BEGIN);
    SetEndOfFile(source);
    CloseHandle(source);
    DeleteFileW(kLogPath.c_str());
    App app(folder);
    {
        // A first copy whose entry waits for the exit: the log cannot be written now.
        HeldFile held(kLogPath);
        ClickFile(app, L"notas.txt");
        CopyAndConfirm(app);
    }
    ClickFile(app, L"imagen.dsk");
    Click(app.Control(CmdCopiar));
    auto question = app.WaitForMessageBox();
    REQUIRE(question && app.Answer(*question, IDYES), "the replace question did not come");
    REQUIRE(app.WaitForWindow(L"Copia de Seguridad en curso"), "no progress window appeared");
    app.CloseAllWindows();
    CHECK(app.WaitForExit(10000), "the program did not end after the close");
    CHECK(!app.CurrentMessageBox(), "a box held the close up");
    CHECK(ReadBytes(folder + L"\\imagen.BAK").value_or("") == "la copia anterior", "the older copy changed");
    CHECK_EQ(AllNames(folder),
             (std::vector<std::wstring>{L"imagen.BAK", L"imagen.dsk", L"notas.BAK", L"notas.txt"}));
    CHECK_EQ(Saved(), std::vector<std::wstring>{Entry(L"notas.txt", folder + L"\\notas.BAK")});
    DeleteFileW((folder + L"\\imagen.dsk").c_str());
}

SCENARIO("session", "a second start hands its file to the open window and ends") {
    std::wstring folder = Folder(L"segundo", {{L"datos.txt", "datos"}, {L"otro\\informe.doc", "informe"}});
    App app(folder);
    const std::optional<DWORD> exitCode = RunToExit(folder, L"\"" + folder + L"\\otro\\informe.doc\"");
    CHECK(exitCode.has_value(), "the second start did not end");
    CHECK_EQ(exitCode.value_or(1), 0ul);
    CHECK(WaitForText(app.Control(LblArchFuente), folder + L"\\otro\\informe.doc"),
          "the open window did not choose the file");
    CHECK_EQ(Text(app.Control(TxtArchDestino)), L"informe.BAK");
    CHECK_EQ(TopLevelWindowsOfClass(tesoro::win32::kMainWindowClass).size(), 1u);
    CHECK(!app.CurrentMessageBox(), "a box came with the hand-over");

    // Without a path, the open window only comes back, minimised as it was.
    ShowWindow(app.Main(), SW_MINIMIZE);
    REQUIRE(WaitUntil([&] { return IsIconic(app.Main()) != FALSE; }), "cannot minimise the window");
    CHECK_EQ(RunToExit(folder, L"").value_or(1), 0ul);
    CHECK(WaitUntil([&] { return !IsIconic(app.Main()); }), "the window stayed minimised");
    CHECK_EQ(Text(app.Control(TxtArchDestino)), L"informe.BAK");
    CloseAndWait(app);
}

SCENARIO("session", "another writer's entry, an editor removal and a copy all reach the log") {
    std::wstring folder = Folder(L"escritores", {{L"datos.txt", "datos"}});
    const std::wstring onD = L"3/4/2026:  lista.dbf -> D:\\COPIAS\\LISTA.BAK";
    const std::wstring others = L"3/4/2026:  ajeno.doc -> D:\\AJENO.BAK";
    REQUIRE(WriteBytes(kLogPath, LogBytes({onD})), "cannot write the log");
    App app(folder);
    REQUIRE(WriteBytes(kLogPath, LogBytes({onD, others})), "cannot write the log as another instance would");

    Click(app.Control(ChkEditar));
    app.Sync();
    Click(app.Control(CmdVerLog));
    auto prompt = app.WaitForMessageBox();
    REQUIRE(prompt.has_value(), "the editor's prompt did not appear");
    Type(GetDlgItem(prompt->hwnd, IDC_INPUTBOX_TEXT), L"lista");
    PostMessageW(GetDlgItem(prompt->hwnd, IDOK), BM_CLICK, 0, 0);
    REQUIRE(WaitUntil([&] { return !IsWindow(prompt->hwnd); }), "the prompt did not close");
    auto question = app.WaitForMessageBox();
    REQUIRE(question && question->text == L"¿Desea eliminar: D:\\COPIAS\\LISTA.BAK ?", "no confirmation");
    app.Answer(*question, IDYES);
    app.Sync();
    CHECK_EQ(Saved(), std::vector<std::wstring>{others});

    ClickFile(app, L"datos.txt");
    CopyAndConfirm(app);
    CHECK_EQ(Saved(), (std::vector<std::wstring>{others, Entry(L"datos.txt", folder + L"\\datos.BAK")}));
    CloseAndWait(app);
    CHECK_EQ(Saved(), (std::vector<std::wstring>{others, Entry(L"datos.txt", folder + L"\\datos.BAK")}));
}

SCENARIO("session", "an older copy held for 1.5 s just before the replace is replaced all the same") {
    std::wstring folder = Folder(L"retenido", {{L"datos.txt", "datos nuevos"}, {L"datos.BAK", "antiguos"}});
    App app(folder);
    ClickFile(app, L"datos.txt");
    Click(app.Control(CmdCopiar));
    auto question = app.WaitForMessageBox();
    REQUIRE(question && question->title == L"Archivo Existente", "the replace question did not come");
    HeldFile held(folder + L"\\datos.BAK");
    REQUIRE(held.Held(), "cannot hold the older copy");
    held.ReleaseAfter(1500);
    app.Answer(*question, IDYES);
    auto box = app.WaitForMessageBox();
    CHECK_BOX(box, kDone, kDoneTitle, {IDOK}, L"information");
    if (box) app.Answer(*box, IDOK);
    CHECK(ReadBytes(folder + L"\\datos.BAK").value_or("") == "datos nuevos", "the copy was not replaced");
    CHECK_EQ(AllNames(folder), (std::vector<std::wstring>{L"datos.BAK", L"datos.txt"}));
    CloseAndWait(app);
}

SCENARIO("session", "deleting a copy named in Greek removes its entry") {
    std::wstring folder = Folder(L"griego", {{L"αβγδ.txt", "griego"}});
    DeleteFileW(kLogPath.c_str());
    App app(folder);
    ClickFile(app, L"αβγδ.txt");
    CopyAndConfirm(app);
    REQUIRE(Saved() == std::vector<std::wstring>{Entry(L"????.txt", folder + L"\\????.BAK")},
            "the copy's entry is not in the log: " + Show(Saved().empty() ? L"" : Saved()[0]));

    Click(app.Control(CmdBorrar));
    app.Sync();
    ClickFile(app, L"αβγδ.BAK");
    Click(app.Control(CmdBorrar));
    auto question = app.WaitForMessageBox();
    REQUIRE(question && app.Answer(*question, IDYES), "no question before the deletion");
    app.Sync();
    CHECK(!FileExists(folder + L"\\αβγδ.BAK"), "the copy was not deleted");
    CHECK(Saved().empty(), "the copy's entry stayed");
    CloseAndWait(app);
}

}  // namespace
}  // namespace e2e
