// Making a safety copy and recording it in the copy log.
#include "main_window/file_names.h"
#include "main_window/frm_main.h"
#include "main_window/refusals.h"

namespace tesoro {

namespace {

const wchar_t kCopyFailed[] =
    L"IMPOSIBLE REALIZAR LA COPIA\r\rMotivos:\r\r* Asignó un nombre de copia de seguridad\r"
    L"   sin seleccionar un archivo fuente.\r\r* El disco destino está lleno";
const wchar_t kCopyResultTitle[] = L"Resultado de generar copia...";
const wchar_t kCopyDoneTitle[] = L"Resultado Copia de Seguridad";

// M5, with the cause of this failure after an empty line.
std::wstring CopyFailedText(const std::exception& failure) {
    return std::wstring(kCopyFailed) + L"\r\rMotivo: " + RefusalCause(FileOperation::Copy, failure);
}

std::wstring BadNameMessage(const std::wstring& name) {
    return L"El Archivo Destino no puede llamarse:\r«" + name +
           L"»\r\rUn nombre de archivo no puede:\r* contener \\  /  :\r* ser . o ..\r"
           L"* terminar en punto o en espacio\r* ser un nombre de dispositivo (CON, PRN, AUX,\r"
           L"   NUL, COM1 a COM9, LPT1 a LPT9), tampoco\r   con extensión.";
}

const wchar_t kLogIsDestination[] =
    L"El Archivo Destino no puede ser TESORO.DAT,\rel registro de copias del programa.";

}  // namespace

bool FrmMain::DestinationIsCdDrive() const { return CdPresent && SameDrive(DrvDestino.Drive(), CdDrive); }

void FrmMain::CmdCopiar_Click() {
    const std::optional<CopyPlan> plan = PlanCopy();
    if (plan && MakeCopy(*plan)) FinishCopy(*plan);
}

// The checks before anything is written, in the order the user meets them; nullopt when one refused
// (and told the user) or the user declined to replace an existing file.
std::optional<FrmMain::CopyPlan> FrmMain::PlanCopy() {
    if (DestinationIsCdDrive()) {
        Show(L"La unidad de CD no puede estar asignada\rcomo unidad destino.", L"Error en unidad destino",
             MsgIcon::Critical);
        return std::nullopt;
    }
    const std::wstring name = TxtArchDestino.Text();
    if (name.empty() || name.starts_with(L"¿?.")) {
        Show(L"El Archivo Destino debe\rtener un nombre...", kCopyResultTitle, MsgIcon::Critical);
        return std::nullopt;
    }
    // A name that is a path, or that the system would change, would write a file other than the one
    // named here and logged.
    if (!IsPlainFileName(name)) {
        Show(BadNameMessage(name), kCopyResultTitle, MsgIcon::Critical);
        return std::nullopt;
    }
    CopyPlan plan{SourcePathFromLabel(), JoinPath(DirDestino.Path(), name)};
    if (platform_.fs.SameFile(plan.destination, logFile_.Path())) {
        Show(kLogIsDestination, kCopyResultTitle, MsgIcon::Critical);
        return std::nullopt;
    }
    try {
        plan.existed = platform_.fs.FindOrdinaryFile(plan.destination);
    } catch (const PlatformError& error) {
        Show(CopyFailedText(error), kCopyResultTitle, MsgIcon::Information);
        return std::nullopt;
    }
    if (plan.existed &&
        Show(L"Ya EXITE el archivo: " + name + L"\r\r¿Desea Reemplazarlo?", L"Archivo Existente",
             MsgIcon::Exclamation, MsgButtons::YesNo) != MsgAnswer::Yes) {
        return std::nullopt;
    }
    return plan;
}

// The copy itself: M5 with its cause when it failed.
bool FrmMain::MakeCopy(const CopyPlan& plan) {
    try {
        // On a thread of its own, so that the window stays painted through a long copy; the handler
        // waits for it as for a modal box.
        platform_.dialogs.RunWithProgress(
            L"Copia de Seguridad en curso", L"Copiando " + TxtArchDestino.Text() + L"...",
            [&](CopyProgress& progress) { platform_.fs.CopyFile(plan.source, plan.destination, &progress); });
        return true;
    } catch (const CopyCancelled&) {
        // Not told when the program is being closed: the box would hold the close up.
        if (!closePending_) Show(L"La copia se ha cancelado.", kCopyResultTitle, MsgIcon::Information);
        return false;
    } catch (const std::exception& error) {
        Show(CopyFailedText(error), kCopyResultTitle, MsgIcon::Information);
        return false;
    }
}

// After a copy that was made: each later step that fails is told as what it is, and the rest still run.
// The copy is logged before the success box: a close or the end of the session while the box is open
// then loses nothing.
void FrmMain::FinishCopy(const CopyPlan& plan) {
    std::optional<std::wstring> notLogged;
    if (ChkLog.Value() != 0) {
        try {
            notLogged = RecordCopy(plan.destination, plan.existed);
        } catch (const std::exception&) {
            notLogged = L"se produjo un error inesperado.";
        }
    }
    Show(L"La Copia de Seguridad se realizó con éxito.", kCopyDoneTitle, MsgIcon::Information);
    if (notLogged) ReportNotLogged(*notLogged);
    if (DirFuente.Path() == DirDestino.Path()) {
        try {
            FileFuente.Refresh();
        } catch (const std::exception&) {
            Show(L"La copia se realizó, pero no se pudo volver a leer la carpeta:\r" + DirFuente.Path(),
                 kCopyDoneTitle, MsgIcon::Information);
        }
    }
    ShowSourceFolder();
    TxtArchDestino.SetText(kPlaceholderName);
}

// A replaced copy takes over the first entry that names it; a new copy is appended. The line is kept
// as the file will store it, and the entry is looked for in that form too, so that a name with
// characters the code page lacks finds its own entry again after a restart. A line that cannot be
// stored whole, or a log already at its largest count, is not recorded.
std::optional<std::wstring> FrmMain::RecordCopy(const std::wstring& destination, bool existed) {
    std::wstring date;
    try {
        date = platform_.clock.ShortDate();
    } catch (const PlatformError&) {
        return L"no se pudo leer la fecha del sistema.";
    }
    const std::wstring line = date + L":  " + FileFuente.FileName() + L" -> " + destination;
    if (!logFile_.LineFits(line)) return CopyLogFile::kLineTooLong;
    const std::wstring stored = logFile_.StoredForm(line);
    const LogChange change = existed ? LogChange::ReplaceCopy(logFile_.StoredForm(destination), stored)
                                     : LogChange::Append(stored);
    if (!Log.Apply(change)) return CopyLogFile::kLogFull;
    SaveLog();
    return std::nullopt;
}

void FrmMain::ReportNotLogged(const std::wstring& reason) {
    Show(L"La copia se realizó, pero no se ha anotado en TESORO.DAT:\r" + reason, kCopyDoneTitle,
         MsgIcon::Information);
}

}  // namespace tesoro
