// Making a safety copy and recording it in the copy log.
#include "main_window/file_names.h"
#include "main_window/frm_main.h"

namespace tesoro {

namespace {

const wchar_t kCopyFailed[] =
    L"IMPOSIBLE REALIZAR LA COPIA\r\rMotivos:\r\r* Asignó un nombre de copia de seguridad\r"
    L"   sin seleccionar un archivo fuente.\r\r* El disco destino está lleno";
const wchar_t kCopyResultTitle[] = L"Resultado de generar copia...";
const wchar_t kCopyDoneTitle[] = L"Resultado Copia de Seguridad";
const wchar_t kNotLogged[] = L"La copia se realizó, pero no se ha anotado en TESORO.DAT:\r";

}  // namespace

bool FrmMain::DestinationIsCdDrive() const { return CdPresent && SameDrive(DrvDestino.Drive(), CdDrive); }

void FrmMain::CmdCopiar_Click() {
    if (DestinationIsCdDrive()) {
        Show(L"La unidad de CD no puede estar asignada\rcomo unidad destino.", L"Error en unidad destino",
             MsgIcon::Critical);
        return;
    }
    const std::wstring name = TxtArchDestino.Text();
    if (name.empty() || name.starts_with(L"¿?.")) {
        Show(L"El Archivo Destino debe\rtener un nombre...", kCopyResultTitle, MsgIcon::Critical);
        return;
    }
    const std::wstring destination = JoinPath(DirDestino.Path(), name);
    bool existed = false;
    try {
        existed = platform_.fs.FindOrdinaryFile(destination);
    } catch (const PlatformError&) {
        Show(kCopyFailed, kCopyResultTitle, MsgIcon::Information);
        return;
    }
    if (existed && Show(L"Ya EXITE el archivo: " + name + L"\r\r¿Desea Reemplazarlo?", L"Archivo Existente",
                        MsgIcon::Exclamation, MsgButtons::YesNo) != MsgAnswer::Yes) {
        return;
    }
    const std::wstring source = SourcePathFromLabel();
    try {
        platform_.fs.CopyFile(source, destination);
        Show(L"La Copia de Seguridad se realizó con éxito.", kCopyDoneTitle, MsgIcon::Information);
        if (ChkLog.Value() != 0) RecordCopy(destination, existed);
        if (DirFuente.Path() == DirDestino.Path()) FileFuente.Refresh();
        ShowSourceFolder();
        TxtArchDestino.SetText(kPlaceholderName);
    } catch (const std::exception&) {
        Show(kCopyFailed, kCopyResultTitle, MsgIcon::Information);
    }
}

// A replaced copy takes over the first entry that names it; a new copy is appended. A line that cannot
// be stored whole, or a log already at its largest count, is not recorded, and the user is told.
void FrmMain::RecordCopy(const std::wstring& destination, bool existed) {
    const std::wstring line =
        platform_.clock.ShortDate() + L":  " + FileFuente.FileName() + L" -> " + destination;
    if (!logFile_.LineFits(line)) {
        Show(std::wstring(kNotLogged) + L"la línea ocupa más de 126 caracteres.", kCopyDoneTitle,
             MsgIcon::Information);
        return;
    }
    const int replaced = existed ? Log.FirstContaining(destination) : 0;
    if (replaced > 0) {
        Log.Replace(replaced, line);
    } else if (Log.Full()) {
        Show(std::wstring(kNotLogged) + L"el registro ya tiene 32767 entradas.", kCopyDoneTitle,
             MsgIcon::Information);
    } else {
        Log.Append(line);
    }
}

}  // namespace tesoro
