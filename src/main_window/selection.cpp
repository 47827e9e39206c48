// The source and destination lists: drives that cannot be read, the source label and the proposed name.
#include "main_window/file_names.h"
#include "main_window/frm_main.h"

namespace tesoro {

namespace {

const wchar_t kDriveUnavailable[] = L"La unidad de disco no está disponible";
const wchar_t kDriveUnavailableTitle[] = L"Error al Acceder a la unidad de disco";

}  // namespace

// Drive lists.

void FrmMain::DrvFuente_Change() {
    try {
        DirFuente.SetPath(DrvFuente.Drive());
        DrvDestino.SetDrive(DrvFuente.Drive());
        DirDestino.SetPath(DrvDestino.Drive());
    } catch (const PlatformError&) {
        GoBackToStartDrive(DrvFuente, StartSourceDrive, sourceDriveRecovery_);
    }
}

void FrmMain::DrvDestino_Change() {
    try {
        DirDestino.SetPath(DrvDestino.Drive());
    } catch (const PlatformError&) {
        GoBackToStartDrive(DrvDestino, StartDestDrive, destDriveRecovery_);
        try {
            DirDestino.SetPath(DirFuente.Path());
        } catch (const PlatformError&) {
            // The source folder has gone as well: the destination list stays where it is.
        }
    }
}

// A drive that cannot be read is reported once and the list goes back to its start-up drive. Should that
// drive fail too (a disc taken out since), the list moves on to the first drive that can be read instead
// of reporting and retrying without end.
void FrmMain::GoBackToStartDrive(DriveList& list, const std::wstring& startDrive, int& recoveryDepth) {
    if (recoveryDepth > 1) return;
    if (recoveryDepth == 0) ShowDriveUnavailable();
    const bool tryStartDrive = recoveryDepth == 0 && !SameDrive(list.Drive(), startDrive);
    const std::wstring target = tryStartDrive ? startDrive : FirstReadableDrive(list);
    if (target.empty()) return;
    ++recoveryDepth;
    list.SetDrive(target);
    --recoveryDepth;
}

void FrmMain::ShowDriveUnavailable() { Show(kDriveUnavailable, kDriveUnavailableTitle, MsgIcon::Critical); }

std::wstring FrmMain::FirstReadableDrive(const DriveList& list) {
    for (const std::wstring& drive : list.Items()) {
        if (SameDrive(drive, list.Drive())) continue;
        try {
            platform_.fs.DriveCurrentFolder(drive[0]);
            return drive;
        } catch (const PlatformError&) {
        }
    }
    return {};
}

// Source selection.

void FrmMain::DirFuente_Change() {
    FileFuente.Follow(DirFuente);  // from the folder list's reading
    TxtArchDestino.SetText(kPlaceholderName);
    if (DeleteMode) ShowDeleteTip(kPlaceholderName);
}

void FrmMain::FileFuente_PathChange() {
    // The source folder list has just read the folder: the destination list takes that reading.
    if (DrvDestino.Drive() == DrvFuente.Drive()) DirDestino.Follow(DirFuente);
    ShowSourceFolder();
}

void FrmMain::FileFuente_Click() {
    const std::wstring name = FileFuente.FileName();
    LblArchFuente.SetCaption(JoinPath(DirFuente.Path(), name));
    if (DeleteMode) ShowDeleteTip(name);
    TxtArchDestino.SetText(ProposedCopyName(name));
    Tam_Lbl_Fuente();
}

}  // namespace tesoro
