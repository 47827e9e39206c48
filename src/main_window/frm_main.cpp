#include "main_window/frm_main.h"

#include <utility>

#include "main_window/file_names.h"
#include "main_window/frm_main_ids.h"
#include "resources/resource_ids.h"

namespace tesoro {

namespace {

constexpr Rgb kDarkBlue{0, 0, 128};
constexpr Rgb kDarkRed{128, 0, 0};
constexpr Rgb kDarkGreen{0, 64, 0};
constexpr Rgb kButtonRed{192, 0, 0};

const FontStyle kFrameFont{L"MS Sans Serif", 9.75, true};
const FontStyle kCheckFont{L"MS Sans Serif", 9.75};
const FontStyle kCaptionFont{L"Comic Sans MS", 9};

// The right-hand column of buttons: every place is 735 x 615 twips at Left 6000.
Rect ColumnPlace(int top) { return {6000, top, 735, 615}; }

void SetLook(Control& control, const FontStyle& font, Rgb color) {
    control.font = font;
    control.foreColor = color;
}

constexpr std::size_t kLabelWrapWidth = 50;  // characters on the first line of the source label

}  // namespace

FrmMain::FrmMain(Platform& platform)
    : ChkDetener(Kind::CheckBox, ids::ChkDetener, nullptr, ColumnPlace(960)),
      CmdVerLog(Kind::Button, ids::CmdVerLog, nullptr, ColumnPlace(1800)),
      CmdBorrar(Kind::Button, ids::CmdBorrar, nullptr, ColumnPlace(960)),
      CmdAyuda(Kind::Button, ids::CmdAyuda, nullptr, ColumnPlace(2640)),
      CmdAutor(Kind::Button, ids::CmdAutor, nullptr, ColumnPlace(3480)),
      FraDestino(Kind::Frame, ids::FraDestino, nullptr, {120, 3360, 5655, 1935}),
      ChkEditar(Kind::CheckBox, ids::ChkEditar, &FraDestino, {240, 1560, 2175, 255}),
      // The start folder's files are read along with its subfolders, for the source file list.
      DirDestino(ids::DirDestino, &FraDestino, {2880, 600, 2655, 1215}, platform.fs, FileList::kStartPattern),
      TxtArchDestino(Kind::TextBox, ids::TxtArchDestino, &FraDestino, {2880, 240, 2655, 285}),
      ChkLog(Kind::CheckBox, ids::ChkLog, &FraDestino, {240, 960, 2175, 495}),
      DrvDestino(ids::DrvDestino, &FraDestino, {240, 600, 1575, 315}, platform.drives, platform.fs),
      LblFichDestino(Kind::Label, ids::LblFichDestino, &FraDestino, {240, 240, 0, 0}),
      CmdSalir(Kind::Button, ids::CmdSalir, nullptr, ColumnPlace(4560)),
      CmdCopiar(Kind::Button, ids::CmdCopiar, nullptr, ColumnPlace(120)),
      TxtAyuda(Kind::HelpText, ids::TxtAyuda, nullptr, {240, 240, 5415, 2895}),
      FraFuente(Kind::Frame, ids::FraFuente, nullptr, {120, 0, 5655, 3255}),
      CmdCancelar(Kind::Button, ids::CmdCancelar, &FraFuente, {3720, 240, 1695, 255}),
      // The source lists start where the destination lists did: one reading serves all three.
      FileFuente(ids::FileFuente, &FraFuente, {2880, 1080, 2655, 2040}, platform.fs, DirDestino),
      DirFuente(ids::DirFuente, &FraFuente, {120, 1440, 2535, 1665}, DirDestino),
      DrvFuente(ids::DrvFuente, &FraFuente, {120, 1080, 1575, 315}, DrvDestino),
      LblDat(ids::LblDat, &FraFuente, {120, 240, 5415, 2895}),
      LblArchFuente(Kind::Label, ids::LblArchFuente, &FraFuente, {240, 600, 0, 0}),
      LblFuente(Kind::Label, ids::LblFuente, &FraFuente, {240, 240, 0, 0}),
      LblBorrar(Kind::Label, ids::LblBorrar, nullptr, {120, 3240, 0, 0}),
      ImgFlecha(Kind::Image, ids::ImgFlecha, nullptr, {5520, kArrowAtAyuda, 480, 480}),
      Line1(ids::Line1, {6120, 4320, 480, 0}, 3),
      AboutWindow(platform),
      platform_(platform),
      logFile_(platform) {
    BuildLayout();
    WireEvents();
}

void FrmMain::BuildLayout() {
    form.caption = L"Copias de Seguridad";
    form.clientWidth = 6915;
    form.clientHeight = 5340;
    form.SetHeight(5340 + Form::kDesignFrameHeight);
    form.icon = IDI_APP;

    ChkDetener.picture = IDI_DETENER;
    ChkDetener.pressedPicture = IDI_FLECHA;
    ChkDetener.SetCaption(L"DETENER");  // its name until its first tool tip
    ChkDetener.SetVisible(false);

    CmdVerLog.picture = IDI_VERLOG;
    CmdVerLog.SetToolTip(L"Ver TESORO.DAT");
    CmdBorrar.picture = IDI_BORRAR;
    CmdBorrar.SetToolTip(L"Activar Borrar Fichero *.BAK");
    CmdAyuda.picture = IDI_AYUDA;
    CmdAyuda.SetToolTip(L"Activar AYUDA");
    CmdAutor.picture = IDI_AUTOR;
    CmdAutor.SetToolTip(L"Notas sobre el Programa");
    CmdSalir.picture = IDI_SALIR;
    CmdSalir.SetToolTip(L"Salir del Programa");
    CmdCopiar.picture = IDB_COPIAR;
    CmdCopiar.SetToolTip(L"Generar Copia de Seguridad");

    FraDestino.SetCaption(L"DESTINO:");
    SetLook(FraDestino, kFrameFont, kDarkRed);

    ChkEditar.SetCaption(L"Editar TESORO.DAT");
    ChkEditar.font = kCheckFont;
    ChkLog.SetCaption(L"&Guardar información en TESORO.DAT");
    ChkLog.font = kCheckFont;
    ChkLog.SetToolTip(L"Almacena el nombre y la carpeta de los ficheros y su copia de seguridad");
    ChkLog.SetValue(1);

    LblFichDestino.SetCaption(L"Nombre Archivo de Seguridad:");
    SetLook(LblFichDestino, kCaptionFont, kDarkRed);

    TxtAyuda.font = {L"MS Sans Serif", 9.75};
    TxtAyuda.SetVisible(false);

    FraFuente.SetCaption(L"FUENTE:");
    SetLook(FraFuente, kFrameFont, kDarkBlue);

    CmdCancelar.SetCaption(L"&Cerrar Borrar Archivo");
    CmdCancelar.backColor = kButtonRed;

    LblDat.SetVisible(false);

    LblArchFuente.font = {L"MS Sans Serif", 8.25, true};

    LblFuente.SetCaption(L"Copia de Seguridad del Archivo:");
    SetLook(LblFuente, kCaptionFont, kDarkBlue);

    LblBorrar.SetCaption(
        L"Seleccione el archivo de seguridad que desee borrar y haga click sobre «borrar archivo».      ");
    SetLook(LblBorrar, {L"Small Fonts", 6.75}, kDarkGreen);

    ImgFlecha.picture = IDI_FLECHA;
    ImgFlecha.SetVisible(false);

    ShowCovering();  // delete mode's own controls hidden

    for (Control* c : {static_cast<Control*>(&CmdVerLog), static_cast<Control*>(&CmdBorrar),
                       static_cast<Control*>(&CmdAyuda)}) {
        c->cursor = CursorKind::ViewSwitch;
    }
    for (Control* c : FocusOrder()) {
        if (c->cursor == CursorKind::Normal && c != &TxtArchDestino && c != &TxtAyuda) {
            c->cursor = CursorKind::Input;
        }
    }
}

void FrmMain::WireEvents() {
    CmdSalir.onClick = Handler(&FrmMain::CmdSalir_Click);
    CmdCopiar.onClick = Handler(&FrmMain::CmdCopiar_Click);
    DrvFuente.onChange = Handler(&FrmMain::DrvFuente_Change);
    DrvDestino.onChange = Handler(&FrmMain::DrvDestino_Change);
    DirFuente.onChange = Handler(&FrmMain::DirFuente_Change);
    DirFuente.ReadFilesFor(FileFuente);  // the file list follows it
    FileFuente.onPathChange = Handler(&FrmMain::FileFuente_PathChange);
    FileFuente.onClick = Handler(&FrmMain::FileFuente_Click);
    CmdVerLog.onClick = Handler(&FrmMain::CmdVerLog_Click);
    TmrDatos.onTimer = Handler(&FrmMain::TmrDatos_Timer);
    ChkDetener.onClick = Handler(&FrmMain::chkdetener_Click);
    TmrFlecha.onTimer = Handler(&FrmMain::tmrflecha_Timer);
    CmdBorrar.onClick = Handler(&FrmMain::CmdBorrar_Click);
    CmdCancelar.onClick = Handler(&FrmMain::CmdCancelar_Click);
    CmdAyuda.onClick = Handler(&FrmMain::CmdAyuda_Click);
    CmdAutor.onClick = Handler(&FrmMain::CmdAutor_Click);
}

std::function<void()> FrmMain::Handler(void (FrmMain::*handler)()) {
    return [this, handler] { RunHandler([this, handler] { (this->*handler)(); }); };
}

std::vector<Control*> FrmMain::StackingOrder() {
    return {&ChkDetener, &CmdVerLog,  &CmdBorrar,      &CmdAyuda,      &CmdAutor,    &FraDestino,
            &ChkEditar,  &DirDestino, &TxtArchDestino, &ChkLog,        &DrvDestino,  &LblFichDestino,
            &CmdSalir,   &CmdCopiar,  &TxtAyuda,       &FraFuente,     &CmdCancelar, &FileFuente,
            &DirFuente,  &DrvFuente,  &LblDat,         &LblArchFuente, &LblFuente,   &LblBorrar,
            &ImgFlecha,  &Line1};
}

std::vector<Control*> FrmMain::FocusOrder() {
    return {&CmdCopiar, &CmdVerLog,  &CmdAyuda,       &CmdAutor,   &CmdSalir,   &DrvFuente,
            &DirFuente, &FileFuente, &TxtArchDestino, &DrvDestino, &DirDestino, &ChkLog,
            &CmdBorrar, &TxtAyuda,   &CmdCancelar,    &ChkDetener, &ChkEditar};
}

FormContent FrmMain::Content() {
    return {form, StackingOrder(), FocusOrder(), {&TmrDatos, &TmrFlecha}, &CmdCopiar, &CmdSalir};
}

MsgAnswer FrmMain::Show(const std::wstring& text, const std::wstring& title, MsgIcon icon,
                        MsgButtons buttons) {
    return platform_.dialogs.MessageBox(text, title, icon, buttons);
}

// ---- Start-up and shut-down ----

void FrmMain::Form_Load() {
    RunHandler([this] {
        FindCdDrive();
        ShowSourceFolder();
        TxtArchDestino.SetText(kPlaceholderName);
        StartSourceDrive = DrvFuente.Drive();
        StartDestDrive = DrvDestino.Drive();
        Log = logFile_.Load();
        SaveLog();  // what pruning dropped
    });
}

// Walks the drive roots in the order the system gives them; the first CD-ROM drive wins. The list is
// taken with the NUL that ends it, so the last piece looked at is that lone NUL.
void FrmMain::FindCdDrive() {
    std::wstring list = ReadDriveRoots(platform_.drives);
    unsigned type = 0;
    while (!list.empty() && type != 5) {
        const auto nul = list.find(L'\0');
        if (nul == std::wstring::npos) break;
        CdDrive = list.substr(0, nul + 1);
        list.erase(0, nul + 1);
        type = platform_.drives.DriveType(CdDrive);
        if (type == 5) CdPresent = true;
    }
}

void FrmMain::Form_Unload() {
    logFile_.SaveBeforeExit(Log);
    for (const std::wstring& reason : logFile_.NotLogged()) ReportNotLogged(reason);
    platform_.process.End();
}

void FrmMain::CmdSalir_Click() { Form_Unload(); }

void FrmMain::RunHandler(const std::function<void()>& handler) {
    ++handlersRunning_;
    try {
        handler();
    } catch (...) {
        --handlersRunning_;
        throw;
    }
    if (--handlersRunning_ == 0 && std::exchange(closePending_, false)) RequestClose();
}

// A close that arrives while a handler waits in a box or for a copy would end the process in the middle
// of it: a copy made but not logged yet, a temporary file left behind. It waits, and a copy under way
// stops as its "Cancelar" stops it.
void FrmMain::RequestClose() {
    // As a handler itself: a close asked for while its own box is open waits for it too.
    if (handlersRunning_ == 0) return RunHandler([this] { Form_Unload(); });
    closePending_ = true;
    platform_.dialogs.CancelWork();
}

void FrmMain::EndSession() {
    platform_.dialogs.CancelWork();
    logFile_.Save(Log);
    platform_.process.End();
}

// A save that fails during work is not told: its changes stay pending, and the next change or the exit
// tries again.
void FrmMain::SaveLog() { logFile_.Save(Log); }

// ---- The source label ----

void FrmMain::Tam_Lbl_Fuente() {
    const std::wstring caption = LblArchFuente.Caption();
    if (caption.size() <= kLabelWrapWidth) return;
    const auto slash = caption.find_last_of(L'\\', kLabelWrapWidth - 1);
    if (slash != std::wstring::npos) LabelBreakPos = static_cast<std::int16_t>(slash + 1);
    LblArchFuente.SetCaption(caption.substr(0, LabelBreakPos) + L'\r' + caption.substr(LabelBreakPos));
}

std::wstring FrmMain::SourcePathFromLabel() const {
    std::wstring caption = LblArchFuente.Caption();
    if (caption.size() <= kLabelWrapWidth) return caption;
    const auto lineBreak = caption.find(L'\r');
    if (lineBreak != std::wstring::npos) caption.erase(lineBreak, 1);
    return caption;
}

void FrmMain::ShowSourceFolder() {
    LblArchFuente.SetCaption(DirFuente.Path());
    Tam_Lbl_Fuente();
}

}  // namespace tesoro
