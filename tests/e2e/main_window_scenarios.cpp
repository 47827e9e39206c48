// The main window as it opens: size, the button column, the two groups, what starts hidden, the first
// contents, and every way of closing it.
#include "main_window/frm_main_ids.h"
#include "support.h"

namespace e2e {
namespace {

using namespace tesoro::ids;

void CheckPlace(const App& app, int id, const char* name, RECT expected) {
    RECT place = PlaceIn(app.Main(), app.Control(id));
    auto show = [](RECT r) {
        return "(" + std::to_string(r.left) + "," + std::to_string(r.top) + ") " + std::to_string(r.right) +
               "x" + std::to_string(r.bottom);
    };
    CHECK(EqualRect(&place, &expected),
          std::string(name) + " is at " + show(place) + ", expected " + show(expected));
}

SCENARIO("main window", "client size, caption and border") {
    HDC screen = GetDC(nullptr);
    int dpi = GetDeviceCaps(screen, LOGPIXELSX);
    ReleaseDC(nullptr, screen);
    REQUIRE(dpi == 96, "the test display is not at 96 dpi but " + Show(dpi));
    App app(Folder(L"ventana"));
    SIZE client = ClientSize(app.Main());
    CHECK_EQ(client.cx, 461);
    CHECK_EQ(client.cy, 356);
    wchar_t caption[64] = {};
    GetWindowTextW(app.Main(), caption, 64);
    CHECK_EQ(std::wstring(caption), L"Copias de Seguridad");
    LONG style = GetWindowLongW(app.Main(), GWL_STYLE);
    CHECK(!(style & WS_THICKFRAME), "the window can be resized");
    CHECK(!(style & WS_MAXIMIZEBOX), "the window has a maximise button");
    CHECK((style & WS_MINIMIZEBOX) && (style & WS_SYSMENU),
          "the window lacks its minimise button or system menu");
    RECT window;
    GetWindowRect(app.Main(), &window);
    int screenW = GetSystemMetrics(SM_CXSCREEN), screenH = GetSystemMetrics(SM_CYSCREEN);
    int dx = window.left + window.right - screenW, dy = window.top + window.bottom - screenH;
    CHECK(dx >= -2 && dx <= 2 && dy >= -2 && dy <= 2, "the window is not centred on the screen");
}

// Run with the screen at 120 and at 192 dpi: the design's 6915 x 5340 twips, each rounded to the nearest
// pixel once (no whole number of twips per pixel exists at 192 dpi).
SCENARIO_IN_PHASE("main window", "client size at the screen's dpi", Phase::OtherDpi) {
    struct Expected {
        int dpi;
        SIZE client;
    };
    const Expected sizes[] = {
        {96, {461, 356}}, {120, {576, 445}}, {144, {692, 534}}, {168, {807, 623}}, {192, {922, 712}}};
    HDC screen = GetDC(nullptr);
    const int dpi = GetDeviceCaps(screen, LOGPIXELSY);
    ReleaseDC(nullptr, screen);
    const Expected* expected = nullptr;
    for (const Expected& size : sizes) {
        if (size.dpi == dpi) expected = &size;
    }
    REQUIRE(expected, "no size known for " + Show(dpi) + " dpi");
    App app(Folder(L"dpi" + std::to_wstring(dpi)));
    SIZE client = ClientSize(app.Main());
    CHECK_EQ(client.cx, expected->client.cx);
    CHECK_EQ(client.cy, expected->client.cy);
    app.WaitForPaint();
    Screenshot(L"main-" + std::to_wstring(dpi) + L"dpi");
}

SCENARIO("main window", "button column and frames are in place") {
    App app(Folder(L"columna"));
    CheckPlace(app, CmdCopiar, "CmdCopiar", {400, 8, 49, 41});
    CheckPlace(app, ChkDetener, "ChkDetener", {400, 64, 49, 41});
    CheckPlace(app, CmdBorrar, "CmdBorrar", {400, 64, 49, 41});
    CheckPlace(app, CmdVerLog, "CmdVerLog", {400, 120, 49, 41});
    CheckPlace(app, CmdAyuda, "CmdAyuda", {400, 176, 49, 41});
    CheckPlace(app, CmdAutor, "CmdAutor", {400, 232, 49, 41});
    CheckPlace(app, CmdSalir, "CmdSalir", {400, 304, 49, 41});
    CheckPlace(app, FraFuente, "FraFuente", {8, 0, 377, 217});
    CheckPlace(app, FraDestino, "FraDestino", {8, 224, 377, 129});
    app.WaitForPaint();
    Screenshot(L"main");
}

SCENARIO("main window", "only the start-up controls are visible") {
    App app(Folder(L"visibles"));
    const std::pair<int, const char*> hidden[] = {{ChkDetener, "ChkDetener"}, {TxtAyuda, "TxtAyuda"},
                                                  {LblDat, "LblDat"},         {CmdCancelar, "CmdCancelar"},
                                                  {LblBorrar, "LblBorrar"},   {ImgFlecha, "ImgFlecha"}};
    for (auto [id, name] : hidden)
        CHECK(!Visible(app.Control(id)), std::string(name) + " is visible at start");
    const std::pair<int, const char*> shown[] = {
        {CmdCopiar, "CmdCopiar"},   {CmdBorrar, "CmdBorrar"},
        {CmdVerLog, "CmdVerLog"},   {CmdAyuda, "CmdAyuda"},
        {CmdAutor, "CmdAutor"},     {CmdSalir, "CmdSalir"},
        {FraFuente, "FraFuente"},   {FraDestino, "FraDestino"},
        {DrvFuente, "DrvFuente"},   {DirFuente, "DirFuente"},
        {FileFuente, "FileFuente"}, {DrvDestino, "DrvDestino"},
        {DirDestino, "DirDestino"}, {TxtArchDestino, "TxtArchDestino"},
        {ChkLog, "ChkLog"},         {ChkEditar, "ChkEditar"}};
    for (auto [id, name] : shown) {
        HWND control = app.Control(id);
        CHECK(Visible(control) && Enabled(control), std::string(name) + " is hidden or disabled at start");
    }
}

// The controls hidden at start and the tool tips are made after the first paint: by the time the
// program reads input they are all there, in the designed stacking order.
SCENARIO("main window", "every control and tool tip is in place right after start") {
    App app(Folder(L"completa"));
    auto childIds = [](HWND parent) {
        std::vector<int> ids;
        for (HWND w = GetWindow(parent, GW_CHILD); w; w = GetWindow(w, GW_HWNDNEXT))
            ids.push_back(GetDlgCtrlID(w));
        return ids;
    };
    CHECK(childIds(app.Main()) ==
              (std::vector<int>{ChkDetener, CmdVerLog, CmdBorrar, CmdAyuda, CmdAutor, FraDestino, CmdSalir,
                                CmdCopiar, TxtAyuda, FraFuente, LblBorrar, ImgFlecha, Line1}),
          "the window's controls are not in their stacking order");
    CHECK(childIds(app.Control(FraFuente)) == (std::vector<int>{CmdCancelar, FileFuente, DirFuente, DrvFuente,
                                                                LblDat, LblArchFuente, LblFuente}),
          "the source frame's controls are not in their stacking order");
    CHECK(childIds(app.Control(FraDestino)) ==
              (std::vector<int>{ChkEditar, DirDestino, TxtArchDestino, ChkLog, DrvDestino, LblFichDestino}),
          "the destination frame's controls are not in their stacking order");
    const std::pair<int, const wchar_t*> tips[] = {
        {CmdCopiar, L"Generar Copia de Seguridad"},   {CmdVerLog, L"Ver TESORO.DAT"},
        {CmdBorrar, L"Activar Borrar Fichero *.BAK"}, {CmdAyuda, L"Activar AYUDA"},
        {CmdAutor, L"Notas sobre el Programa"},       {CmdSalir, L"Salir del Programa"}};
    for (auto [id, tip] : tips) CHECK_EQ(ToolTip(app, app.Control(id)), std::wstring(tip));
}

// The program's own pointers are loaded when first pointed at, and each control keeps its shape.
SCENARIO("main window", "the pointer takes each control's shape") {
    App app(Folder(L"completa"));
    SetForegroundWindow(app.Main());
    auto pointerOver = [&](int id) {
        PointAt(app.Control(id));
        app.Sync();
        CURSORINFO info{};
        info.cbSize = sizeof info;
        return GetCursorInfo(&info) ? info.hCursor : nullptr;
    };
    const HCURSOR input = pointerOver(CmdCopiar), viewSwitch = pointerOver(CmdVerLog);
    const HCURSOR text = pointerOver(TxtArchDestino);
    CHECK(input && viewSwitch && text, "no pointer over a control");
    CHECK(input != viewSwitch && input != text && viewSwitch != text,
          "CmdCopiar, CmdVerLog and TxtArchDestino do not show three pointers");
    CHECK(pointerOver(CmdSalir) == input, "CmdSalir does not show the same pointer as CmdCopiar");
    CHECK(pointerOver(CmdAyuda) == viewSwitch, "CmdAyuda does not show the same pointer as CmdVerLog");
}

SCENARIO("main window", "start-up contents") {
    std::wstring folder = Folder(L"arranque", {{L"uno.txt", "1"}});
    App app(folder);
    CHECK_EQ(Text(app.Control(LblArchFuente)), folder);
    CHECK_EQ(Text(app.Control(TxtArchDestino)), kPlaceholder);
    CHECK_EQ(Text(app.Control(LblFuente)), L"Copia de Seguridad del Archivo:");
    CHECK_EQ(Text(app.Control(LblFichDestino)), L"Nombre Archivo de Seguridad:");
    CHECK_EQ(Text(app.Control(ChkLog)), L"&Guardar información en TESORO.DAT");
    CHECK_EQ(Text(app.Control(ChkEditar)), L"Editar TESORO.DAT");
    CHECK_EQ(CheckState(app.Control(ChkLog)), BST_CHECKED);
    CHECK_EQ(CheckState(app.Control(ChkEditar)), BST_UNCHECKED);
    CHECK(StartsWithNoCase(SelectedText(app.Control(DrvFuente)), L"c:"), "DrvFuente does not show C:");
    CHECK(StartsWithNoCase(SelectedText(app.Control(DrvDestino)), L"c:"), "DrvDestino does not show C:");
    CHECK(Contains(Items(app.Control(FileFuente)), L"uno.txt"), "FileFuente does not list the start folder");
}

SCENARIO("main window", "a start folder longer than 50 characters shows on two lines") {
    // "C:\e2e\" and 40 characters put the last backslash within the first 50 at position 48.
    std::wstring parent = L"una carpeta con un nombre bastante largo";
    std::wstring folder = Folder(parent + L"\\subcarpeta final");
    App app(folder);
    CHECK_EQ(Text(app.Control(LblArchFuente)), L"C:\\e2e\\" + parent + L"\\\rsubcarpeta final");
}

SCENARIO("main window", "Esc ends the program") {
    App app(Folder(L"escape"));
    app.PressKey(VK_ESCAPE);
    CHECK(app.WaitForExit(), "the program is still running after Esc");
    CHECK(!app.CurrentMessageBox(), "a message box appeared");
}

SCENARIO("main window", "closing the window ends the program") {
    App app(Folder(L"cerrar"));
    app.Close();
    CHECK(app.WaitForExit(), "the program is still running after WM_CLOSE");
}

SCENARIO("main window", "CmdSalir ends the program") {
    App app(Folder(L"salir"));
    Click(app.Control(CmdSalir));
    CHECK(app.WaitForExit(), "the program is still running after CmdSalir");
}

}  // namespace
}  // namespace e2e
