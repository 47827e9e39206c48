// Making a copy under faulty input and faults: names that are not plain file names, read-only copies
// made again, names outside the log's code page across restarts, and a copy cut short by the end of
// the process.
#include "main_window/frm_main_ids.h"
#include "support.h"

namespace e2e {
namespace {

using namespace tesoro::ids;

// Every name under a folder, hidden ones and those in subfolders included.
std::vector<std::wstring> Tree(const std::wstring& folder) {
    std::vector<std::wstring> names;
    WIN32_FIND_DATAW entry;
    HANDLE found = FindFirstFileW((folder + L"\\*").c_str(), &entry);
    if (found == INVALID_HANDLE_VALUE) return names;
    do {
        std::wstring name = entry.cFileName;
        if (name == L"." || name == L"..") continue;
        names.push_back(folder + L"\\" + name);
        if (entry.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) {
            for (const auto& inner : Tree(folder + L"\\" + name)) names.push_back(inner);
        }
    } while (FindNextFileW(found, &entry));
    FindClose(found);
    return names;
}

bool HoldsTemporary(const std::wstring& folder) {
    for (const auto& path : Tree(folder)) {
        if (path.find(L"\\~tesoro-") != std::wstring::npos) return true;
    }
    return false;
}

SCENARIO("safe copy", "names that are not plain file names are refused and nothing is written") {
    std::wstring folder = Folder(L"nombres", {{L"datos.txt", "datos"}});
    // An entry on another drive: start-up leaves it untested, so the file has no reason to change.
    const std::string log = LogBytes({L"1/2/2025:  viejo.txt -> D:\\copias\\viejo.BAK"});
    REQUIRE(WriteBytes(kLogPath, log), "cannot write the log");
    const auto before = Tree(L"C:\\e2e");
    const auto tempBefore = Tree(L"C:\\windows\\temp");
    App app(folder);
    Click(app.Control(ChkLog));
    app.Sync();
    ClickFile(app, L"datos.txt");
    const std::vector<std::wstring> names = {L"..\\x.BAK", L"..\\..\\windows\\temp\\TESORO.DAT",
                                             L"\\x.BAK",   L"sub\\x.BAK",
                                             L"x.BAK:s",   L"tsp.BAK ",
                                             L"tdot.BAK.", L"NUL.BAK",
                                             L"..",        L"com1"};
    for (const auto& name : names) {
        Type(app.Control(TxtArchDestino), name);
        app.Sync();
        Click(app.Control(CmdCopiar));
        auto box = app.WaitForMessageBox();
        CHECK_BOX(box,
                  L"El Archivo Destino no puede llamarse:\r«" + name +
                      L"»\r\rUn nombre de archivo no puede:\r* contener \\  /  :\r* ser . o ..\r"
                      L"* terminar en punto o en espacio\r* ser un nombre de dispositivo (CON, PRN, AUX,\r"
                      L"   NUL, COM1 a COM9, LPT1 a LPT9), tampoco\r   con extensión.",
                  L"Resultado de generar copia...", {IDOK}, L"critical");
        if (name == names.front()) Screenshot(L"safe-copy-refused-name");
        REQUIRE(box && app.Answer(*box, IDOK), "cannot answer the message box");
        app.Sync();
        CHECK(!app.WaitForMessageBox(300), "a second box followed for " + Show(name));
    }
    CloseAndWait(app);
    CHECK(Tree(L"C:\\e2e") == before, "a file was written under C:\\e2e");
    CHECK(Tree(L"C:\\windows\\temp") == tempBefore, "a file was written beside TESORO.DAT");
    CHECK(ReadBytes(kLogPath).value_or("") == log, "TESORO.DAT changed");
}

SCENARIO("safe copy", "a read-only source is copied twice") {
    std::wstring folder = Folder(L"solo-lectura", {{L"fijo.txt", "primera"}});
    DeleteFileW(kLogPath.c_str());
    REQUIRE(SetFileAttributesW((folder + L"\\fijo.txt").c_str(), FILE_ATTRIBUTE_READONLY), "cannot protect");
    App app(folder);
    ClickFile(app, L"fijo.txt");
    CopyAndConfirm(app);
    const std::wstring copy = folder + L"\\fijo.BAK";
    CHECK(GetFileAttributesW(copy.c_str()) & FILE_ATTRIBUTE_READONLY, "the copy is not read-only");
    SetFileAttributesW((folder + L"\\fijo.txt").c_str(), FILE_ATTRIBUTE_NORMAL);
    REQUIRE(WriteBytes(folder + L"\\fijo.txt", "segunda"), "cannot change the source");
    SetFileAttributesW((folder + L"\\fijo.txt").c_str(), FILE_ATTRIBUTE_READONLY);
    ClickFile(app, L"fijo.txt");
    CopyAndConfirm(app, true);
    CHECK(ReadBytes(copy).value_or("") == "segunda", "the read-only copy was not replaced");
    CHECK(GetFileAttributesW(copy.c_str()) & FILE_ATTRIBUTE_READONLY, "the new copy is not read-only");
    CloseAndWait(app);
    CHECK_EQ(LogLines(ReadBytes(kLogPath).value_or("")).size(), 1u);
    SetFileAttributesW((folder + L"\\fijo.txt").c_str(), FILE_ATTRIBUTE_NORMAL);
    SetFileAttributesW(copy.c_str(), FILE_ATTRIBUTE_NORMAL);
}

SCENARIO("safe copy", "a Greek name keeps its one entry across restarts") {
    std::wstring folder = Folder(L"griego", {{L"Ωμέγα.txt", "omega"}});
    DeleteFileW(kLogPath.c_str());
    const std::wstring line = ShortDate() + L":  ?????.txt -> " + folder + L"\\?????.BAK";
    {
        App app(folder);
        ClickFile(app, L"Ωμέγα.txt");
        CopyAndConfirm(app);
        CloseAndWait(app);
    }
    CHECK(FileExists(folder + L"\\Ωμέγα.BAK"), "no copy was made");
    CHECK(LogLines(ReadBytes(kLogPath).value_or("")) == std::vector<std::wstring>{line},
          "the line is not as stored");
    {
        App app(folder);  // pruning must keep the entry: its copy exists
        CloseAndWait(app);
    }
    CHECK(LogLines(ReadBytes(kLogPath).value_or("")) == std::vector<std::wstring>{line},
          "the entry was pruned");
    {
        App app(folder);
        ClickFile(app, L"Ωμέγα.txt");
        CopyAndConfirm(app, true);
        CloseAndWait(app);
    }
    CHECK(LogLines(ReadBytes(kLogPath).value_or("")) == std::vector<std::wstring>{line},
          "replacing the copy did not replace its one entry");
}

SCENARIO("safe copy", "a copy cut short by the end of the process leaves nothing in sight") {
    std::wstring folder = Folder(L"cortada", {{L"pequeño.txt", "pequeño"}});
    REQUIRE(WriteBytes(folder + L"\\grande.dat", std::string(400u << 20, 'g')),
            "cannot write the large file");
    std::wstring temporary;
    {
        App app(folder);
        ClickFile(app, L"grande.dat");
        Click(app.Control(CmdCopiar));
        const DWORD start = GetTickCount();
        while (!HoldsTemporary(folder) && GetTickCount() - start < kWaitMs) Sleep(1);
        REQUIRE(HoldsTemporary(folder), "the copy never began");
        REQUIRE(TerminateProcess(OpenProcess(PROCESS_TERMINATE, FALSE, app.Pid()), 9),
                "cannot end the program");
        app.WaitForExit();
    }
    REQUIRE(HoldsTemporary(folder), "the ended copy left no temporary file to test with");
    CHECK(!FileExists(folder + L"\\grande.BAK"), "a partial copy stands under the copy's name");
    App app(folder);
    const auto listed = Items(app.Control(FileFuente));
    for (const auto& name : listed)
        CHECK(name.find(L"~tesoro") == std::wstring::npos, "listed: " + Show(name));
    CHECK_EQ(listed.size(), 2u);
    ClickFile(app, L"pequeño.txt");
    CopyAndConfirm(app);
    CHECK(!HoldsTemporary(folder), "the next copy left the stale temporary file");
    CloseAndWait(app);
    DeleteFileW((folder + L"\\grande.dat").c_str());
}

}  // namespace
}  // namespace e2e
