// A long copy: the progress window, and what Cancelar leaves behind.
#include "main_window/frm_main_ids.h"
#include "resources/resource_ids.h"
#include "support.h"

// After <windows.h>, which the driver's header brings.
#include <commctrl.h>

namespace e2e {
namespace {

using namespace tesoro::ids;

const std::wstring kProgressTitle = L"Copia de Seguridad en curso";

// A file of `bytes` zero bytes made without writing them (sparse where the disk allows), so a copy that
// takes seconds costs the test no time to prepare.
bool MakeLargeFile(const std::wstring& path, long long bytes) {
    HANDLE file = CreateFileW(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
    if (file == INVALID_HANDLE_VALUE) return false;
    LARGE_INTEGER size;
    size.QuadPart = bytes;
    const bool ok = SetFilePointerEx(file, size, nullptr, FILE_BEGIN) && SetEndOfFile(file);
    CloseHandle(file);
    return ok;
}

SCENARIO("progress", "a long copy shows the progress window and Cancelar keeps the older copy") {
    std::wstring folder = Folder(L"progreso", {{L"imagen.BAK", "la copia anterior"}});
    REQUIRE(MakeLargeFile(folder + L"\\imagen.dsk", 6LL << 30), "cannot make the large source file");
    DeleteFileW(kLogPath.c_str());
    App app(folder);
    ClickFile(app, L"imagen.dsk");
    Click(app.Control(CmdCopiar));
    auto question = app.WaitForMessageBox();
    REQUIRE(question && app.Answer(*question, IDYES), "the replace question did not come");

    HWND progress = app.WaitForWindow(kProgressTitle);
    REQUIRE(progress, "no progress window appeared");
    CHECK_EQ(Text(GetDlgItem(progress, IDC_PROGRESS_TEXT)), L"Copiando imagen.BAK...");
    HWND cancel = GetDlgItem(progress, IDCANCEL);
    REQUIRE(cancel, "the progress window has no Cancelar button");
    CHECK_EQ(Text(cancel), L"Cancelar");
    CHECK(!IsWindowEnabled(app.Main()), "the main window can be used during the copy");
    HWND bar = GetDlgItem(progress, IDC_PROGRESS_BAR);
    CHECK(WaitUntil([&] { return SendMessageW(bar, PBM_GETPOS, 0, 0) > 0; }, 5000), "the bar does not move");
    Screenshot(L"progress_window");

    Click(cancel);
    auto box = app.WaitForMessageBox(20000);
    CHECK_BOX(box, L"La copia se ha cancelado.", L"Resultado de generar copia...", {IDOK}, L"information");
    CHECK(!IsWindow(progress) || !IsWindowVisible(progress), "the progress window stayed");
    REQUIRE(box && app.Answer(*box, IDOK), "cannot answer the message box");
    app.Sync();
    CHECK(ReadBytes(folder + L"\\imagen.BAK").value_or("") == "la copia anterior", "the older copy changed");
    CHECK_EQ(AllNames(folder).size(), 2u);  // the source and the older copy: no temporary file left
    CHECK_EQ(Text(app.Control(TxtArchDestino)), L"imagen.BAK");
    CHECK(IsWindowEnabled(app.Main()), "the main window stayed disabled");
    CloseAndWait(app);
    CHECK(LogLines(ReadBytes(kLogPath).value_or("")).empty(), "the cancelled copy was logged");
    DeleteFileW((folder + L"\\imagen.dsk").c_str());
}

}  // namespace
}  // namespace e2e
