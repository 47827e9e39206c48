// Making a safety copy: the copy itself, its log line, replacing an existing copy, and the refusals.
#include "main_window/frm_main_ids.h"
#include "support.h"

namespace e2e {
namespace {

using namespace tesoro::ids;

std::string Binary(int seed) {
    std::string bytes;
    for (int i = 0; i < 3000; ++i) bytes += static_cast<char>((i * 7 + seed) & 0xff);
    return bytes;
}

const std::wstring kCopyFailed =
    L"IMPOSIBLE REALIZAR LA COPIA\r\rMotivos:\r\r* Asignó un nombre de copia de seguridad\r"
    L"   sin seleccionar un archivo fuente.\r\r* El disco destino está lleno\r\rMotivo: ";

// Opens the file as another program that shares it with no one would; closed when the object goes.
class HeldOpen {
public:
    explicit HeldOpen(const std::wstring& path)
        : file_(CreateFileW(path.c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING, 0, nullptr)) {
        REQUIRE(file_ != INVALID_HANDLE_VALUE, "cannot hold " + Show(path) + " open");
    }
    ~HeldOpen() { CloseHandle(file_); }
    HeldOpen(const HeldOpen&) = delete;
    HeldOpen& operator=(const HeldOpen&) = delete;

private:
    HANDLE file_;
};

// Presses CmdCopiar, answers Yes to replacing the older copy, and checks the failure box with its cause.
void CopyFailsWith(const App& app, const std::wstring& cause) {
    Click(app.Control(CmdCopiar));
    auto box = app.WaitForMessageBox();
    REQUIRE(box && box->title == L"Archivo Existente" && app.Answer(*box, IDYES),
            "no question to answer Yes");
    app.Sync();
    box = app.WaitForMessageBox();
    CHECK_BOX(box, kCopyFailed + cause, L"Resultado de generar copia...", {IDOK}, L"information");
    Screenshot(L"copy_failed_with_cause");
    REQUIRE(box && app.Answer(*box, IDOK), "cannot close the failure box");
    app.Sync();
}

SCENARIO("copying", "a source or an older copy another program holds open gives M5 with its cause") {
    std::wstring folder = Folder(L"abierto", {{L"libro.xls", "hoja nueva"}, {L"libro.BAK", "hoja antigua"}});
    App app(folder);
    ClickFile(app, L"libro.xls");
    {
        HeldOpen source(folder + L"\\libro.xls");
        CopyFailsWith(app, L"El archivo fuente está abierto en otro programa.");
    }
    CHECK_EQ(Text(app.Control(LblArchFuente)), folder + L"\\libro.xls");
    CHECK_EQ(Text(app.Control(TxtArchDestino)), L"libro.BAK");
    {
        HeldOpen older(folder + L"\\libro.BAK");
        CopyFailsWith(app, L"El archivo destino está abierto en otro programa.");
    }
    CHECK(ReadBytes(folder + L"\\libro.BAK") == std::optional<std::string>("hoja antigua"),
          "the older copy was changed");
    CopyAndConfirm(app, true);
    CHECK(ReadBytes(folder + L"\\libro.BAK") == std::optional<std::string>("hoja nueva"),
          "the copy was not made once the files were let go");
    CloseAndWait(app);
}

SCENARIO("copying", "a copy is byte for byte and is logged") {
    const std::string source = Binary(1);
    std::wstring folder = Folder(L"copia", {{L"origen\\informe.txt", source}});
    DeleteFileW(kLogPath.c_str());
    App app(folder);
    OpenFolder(app, DirFuente, L"origen");
    OpenFolder(app, DirDestino, L"copia");
    ClickFile(app, L"informe.txt");
    CHECK_EQ(Text(app.Control(TxtArchDestino)), L"informe.BAK");
    CopyAndConfirm(app);
    auto copy = ReadBytes(folder + L"\\informe.BAK");
    CHECK(copy.has_value(), "no copy at " + Show(folder + L"\\informe.BAK"));
    CHECK(copy && *copy == source, "the copy's bytes differ from the source");
    CHECK(WaitForText(app.Control(LblArchFuente), folder + L"\\origen"),
          "the label was not reset to the folder");
    CHECK_EQ(Text(app.Control(TxtArchDestino)), kPlaceholder);
    CloseAndWait(app);
    auto lines = LogLines(ReadBytes(kLogPath).value_or(""));
    REQUIRE(!lines.empty(), "TESORO.DAT holds no entry");
    CHECK_EQ(lines.back(), ShortDate() + L":  informe.txt -> " + folder + L"\\informe.BAK");
}

SCENARIO("copying", "an existing copy is replaced only after Yes") {
    const std::string first = Binary(2), second = Binary(3);
    std::wstring folder = Folder(L"reemplazo", {{L"datos.txt", first}});
    const std::wstring copyPath = folder + L"\\datos.BAK";
    DeleteFileW(kLogPath.c_str());
    App app(folder);
    ClickFile(app, L"datos.txt");
    CopyAndConfirm(app);
    REQUIRE(ReadBytes(copyPath).value_or("") == first, "the first copy was not made");

    REQUIRE(WriteBytes(folder + L"\\datos.txt", second), "cannot change the source");
    ClickFile(app, L"datos.txt");
    const std::wstring question = L"Ya EXITE el archivo: datos.BAK\r\r¿Desea Reemplazarlo?";
    Click(app.Control(CmdCopiar));
    auto box = app.WaitForMessageBox();
    CHECK_BOX(box, question, L"Archivo Existente", (std::vector<int>{IDYES, IDNO}), L"exclamation");
    REQUIRE(box && app.Answer(*box, IDNO), "cannot answer No");
    app.Sync();
    CHECK(!app.WaitForMessageBox(500), "a box followed the answer No");
    CHECK(ReadBytes(copyPath).value_or("") == first, "the answer No changed the copy");
    CHECK_EQ(Text(app.Control(TxtArchDestino)), L"datos.BAK");

    Click(app.Control(CmdCopiar));
    box = app.WaitForMessageBox();
    CHECK_BOX(box, question, L"Archivo Existente", (std::vector<int>{IDYES, IDNO}), L"exclamation");
    REQUIRE(box && app.Answer(*box, IDYES), "cannot answer Yes");
    app.Sync();
    box = app.WaitForMessageBox();
    CHECK_BOX(box, kDone, kDoneTitle, {IDOK}, L"information");
    REQUIRE(box && app.Answer(*box, IDOK), "cannot answer the success box");
    CHECK(ReadBytes(copyPath).value_or("") == second, "the answer Yes did not replace the copy");
    CloseAndWait(app);
    auto lines = LogLines(ReadBytes(kLogPath).value_or(""));
    CHECK_EQ(lines.size(), 1u);
    if (!lines.empty()) CHECK_EQ(lines[0], ShortDate() + L":  datos.txt -> " + copyPath);
}

SCENARIO("copying", "a source path longer than 50 characters is copied from the right file") {
    // "C:\e2e\" and 42 characters put the label's line break right after character 50, a backslash.
    const std::wstring parent = L"una carpeta con un nombre bastante largo 1";
    const std::string source = Binary(4);
    std::wstring folder = Folder(parent, {{L"sub\\documento.txt", source}, {L"documento.txt", "otro"}});
    std::wstring sub = folder + L"\\sub";
    App app(sub);
    HWND label = app.Control(LblArchFuente);
    CHECK_EQ(Text(label), folder + L"\\\rsub");
    ClickFile(app, L"documento.txt");
    CHECK_EQ(Text(label), folder + L"\\\rsub\\documento.txt");
    CopyAndConfirm(app);
    CHECK(ReadBytes(sub + L"\\documento.BAK").value_or("") == source, "the copy is not the chosen file");
    CHECK_EQ(Text(label), folder + L"\\\rsub");
    CHECK(Contains(Items(app.Control(FileFuente)), L"documento.BAK"), "the new copy is not listed");
}

SCENARIO("copying", "with ChkLog unchecked a copy is not logged") {
    std::wstring folder = Folder(L"sin-registro", {{L"carta.txt", "carta"}, {L"viejo.BAK", "v"}});
    const std::string log = LogBytes({L"1/2/2025:  viejo.txt -> " + folder + L"\\viejo.BAK"});
    REQUIRE(WriteBytes(kLogPath, log), "cannot write the log");
    App app(folder);
    HWND check = app.Control(ChkLog);
    Click(check);
    app.Sync();
    REQUIRE(CheckState(check) == BST_UNCHECKED, "ChkLog did not uncheck");
    ClickFile(app, L"carta.txt");
    CopyAndConfirm(app);
    CHECK(FileExists(folder + L"\\carta.BAK"), "no copy was made");
    CloseAndWait(app);
    CHECK(ReadBytes(kLogPath).value_or("") == log, "the log changed");
}

SCENARIO("copying", "the placeholder name is refused") {
    std::wstring folder = Folder(L"sin-nombre", {{L"algo.txt", "algo"}});
    App app(folder);
    Click(app.Control(CmdCopiar));
    auto box = app.WaitForMessageBox();
    CHECK_BOX(box, L"El Archivo Destino debe\rtener un nombre...", L"Resultado de generar copia...", {IDOK},
              L"critical");
    REQUIRE(box && app.Answer(*box, IDOK), "cannot answer the message box");
    app.Sync();
    CHECK(!app.WaitForMessageBox(500), "a second box appeared");
    CHECK(!FileExists(folder + L"\\" + kPlaceholder), "a file named like the placeholder was made");
    CHECK_EQ(Text(app.Control(TxtArchDestino)), kPlaceholder);
}

SCENARIO_IN_PHASE("copying", "a CD-ROM destination is refused", Phase::CdRom) {
    REQUIRE(GetDriveTypeW(L"E:\\") == DRIVE_CDROM, "the test setup has no CD-ROM drive E:");
    std::wstring folder = Folder(L"cd", {{L"fuente.txt", "fuente"}});
    App app(folder);
    ClickFile(app, L"fuente.txt");
    ChooseDrive(app, DrvDestino, L"e:");
    CHECK(WaitForSelection(app.Control(DrvDestino), L"e:"), "DrvDestino did not take E:");
    CHECK(!app.CurrentMessageBox(), "choosing the CD-ROM drive showed a message box");
    Click(app.Control(CmdCopiar));
    auto box = app.WaitForMessageBox();
    CHECK_BOX(box, L"La unidad de CD no puede estar asignada\rcomo unidad destino.",
              L"Error en unidad destino", {IDOK}, L"critical");
    REQUIRE(box && app.Answer(*box, IDOK), "cannot answer the message box");
    app.Sync();
    CHECK(!app.WaitForMessageBox(500), "a second box appeared");
    CHECK(!FileExists(L"E:\\fuente.BAK"), "a copy was made on the CD-ROM drive");
    CHECK_EQ(Text(app.Control(TxtArchDestino)), L"fuente.BAK");
}

}  // namespace
}  // namespace e2e
