// What a screen reader reads from outside the program: picture controls named by their tool tips (an
// "&" of a file name doubled, never an access key), the about window's pictures named, and every
// control answering WM_GETOBJECT without harm, our own labels as the system's static text.
#include <oleacc.h>

#include "about_window/autor_win_ids.h"
#include "main_window/frm_main_ids.h"
#include "support.h"

namespace e2e {
namespace {

using namespace tesoro::ids;
namespace autor = tesoro::autor_ids;

constexpr LRESULT kStaticClassIndex = 65536 + 3;

BOOL CALLBACK CollectChild(HWND window, LPARAM param) {
    reinterpret_cast<std::vector<HWND>*>(param)->push_back(window);
    return TRUE;
}

std::vector<HWND> Descendants(HWND window) {
    std::vector<HWND> all;
    EnumChildWindows(window, CollectChild, reinterpret_cast<LPARAM>(&all));
    return all;
}

// What a control answers when asked for an accessible object; nullopt when it did not answer in time.
std::optional<LRESULT> AskObject(HWND window, LPARAM objectId) {
    DWORD_PTR result = 0;
    if (!SendMessageTimeoutW(window, WM_GETOBJECT, 0, objectId, SMTO_ABORTIFHUNG, 5000, &result)) {
        return std::nullopt;
    }
    return static_cast<LRESULT>(result);
}

// Every control of a window is asked for each kind of object, the class index with the id sign- and
// zero-extended as 64-bit callers pass it; our own panes answer the static text's index.
void AskEveryControl(const App& app, HWND top) {
    const LPARAM classIndexSigned = static_cast<LONG>(OBJID_QUERYCLASSNAMEIDX);
    const LPARAM classIndexZeroExtended = static_cast<DWORD>(OBJID_QUERYCLASSNAMEIDX);
    for (HWND control : Descendants(top)) {
        const bool ours = ClassName(control) == L"TesoroPane";
        const std::string which =
            "control " + Show(GetDlgCtrlID(control)) + " (" + Show(ClassName(control)) + ")";
        for (LPARAM id : {classIndexSigned, classIndexZeroExtended}) {
            const std::optional<LRESULT> index = AskObject(control, id);
            CHECK(index.has_value(), which + " did not answer");
            if (ours) CHECK(index == kStaticClassIndex, which + " is not taken for a static text");
        }
        for (LPARAM id : {static_cast<LPARAM>(OBJID_CLIENT), static_cast<LPARAM>(OBJID_WINDOW), LPARAM{1}}) {
            CHECK(AskObject(control, id).has_value(), which + " did not answer");
        }
        REQUIRE(app.Running(), which + " ended the program");
    }
}

SCENARIO("screen reader",
         "picture controls carry their tool tips as text and every control answers for itself") {
    App app(Folder(L"lector", {{L"I&D.BAK", "copia"}}));
    const std::pair<int, const wchar_t*> pictures[] = {{CmdCopiar, L"Generar Copia de Seguridad"},
                                                       {CmdBorrar, L"Activar Borrar Fichero *.BAK"},
                                                       {CmdVerLog, L"Ver TESORO.DAT"},
                                                       {CmdAyuda, L"Activar AYUDA"},
                                                       {CmdAutor, L"Notas sobre el Programa"},
                                                       {CmdSalir, L"Salir del Programa"},
                                                       {ChkDetener, L"DETENER"}};
    for (const auto& [id, name] : pictures) CHECK_EQ(Text(app.Control(id)), std::wstring(name));
    CHECK_EQ(Text(app.Control(CmdCancelar)), L"&Cerrar Borrar Archivo");

    Click(app.Control(CmdBorrar));
    app.Sync();
    ClickFile(app, L"I&D.BAK");
    CHECK_EQ(ToolTip(app, app.Control(CmdBorrar)), L"Borrar Archivo: I&D.BAK");
    CHECK_EQ(Text(app.Control(CmdBorrar)), L"Borrar Archivo: I&&D.BAK");
    MouseClick(app, app.Control(CmdAyuda));
    CHECK_EQ(Text(app.Control(CmdAyuda)), L"Ocultar INSTRUCCIONES");
    app.WaitForPaint();
    Screenshot(L"picture_buttons_named");

    AskEveryControl(app, app.Main());
    CHECK(AskObject(app.Main(), OBJID_CLIENT).has_value(), "the main window did not answer");

    Click(app.Control(CmdAutor));
    HWND about = app.WaitForWindow(L"Tesoro - Autor - Tomás Ficticio");
    REQUIRE(about != nullptr, "the about window did not appear");
    CHECK_EQ(Text(GetDlgItem(about, autor::Min)), L"Minimizar");
    CHECK_EQ(Text(GetDlgItem(about, autor::CloseB)), L"Cerrar");
    CHECK_EQ(Text(GetDlgItem(about, autor::ImgMail)), L"tomas.ficticio@example.com");
    CHECK_EQ(Text(GetDlgItem(about, autor::ImgMail1)), L"tomas.ficticio@example.com");
    AskEveryControl(app, about);
    app.WaitForPaint();
    Screenshot(L"about_pictures_named");
    CloseAndWait(app);
}

}  // namespace
}  // namespace e2e
