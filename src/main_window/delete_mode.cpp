// Delete mode: the source area lists only the safety copies, and the chosen one is deleted after a
// question, together with the first log entry that names it.
#include "main_window/file_names.h"
#include "main_window/frm_main.h"
#include "main_window/refusals.h"

namespace tesoro {

namespace {

// Outer heights of the window in the two modes, border and title bar included.
constexpr int kNormalHeight = 5340 + Form::kDesignFrameHeight;  // 5715
constexpr int kDeleteModeHeight = 3825;

const wchar_t kDeleteTitle[] = L"Borrar archivo de seguridad";
const wchar_t kDeleteTip[] = L"Borrar Archivo: ";

}  // namespace

void FrmMain::CmdBorrar_Click() {
    if (DeleteMode) {
        DeleteChosenCopy();
    } else {
        EnterDeleteMode();
    }
}

void FrmMain::EnterDeleteMode() {
    form.SetHeight(kDeleteModeHeight);
    PointArrowAt(kArrowAtBorrar);
    FraFuente.SetCaption(L"BORRAR ARCHIVO:");
    LblFuente.SetCaption(L"Nombre del archivo de seguridad:");
    ListSourceFiles(L"*.BAK");
    ShowSourceFolder();
    ShowDeleteTip(kPlaceholderName);
    TxtArchDestino.SetText(kPlaceholderName);
    DeleteMode = true;
    ShowCovering();
}

// CmdBorrar's tool tip names the copy it would delete.
void FrmMain::ShowDeleteTip(const std::wstring& name) { CmdBorrar.SetToolTip(kDeleteTip + name); }

void FrmMain::DeleteChosenCopy() {
    const std::wstring path = SourcePathFromLabel();
    if (TxtArchDestino.Text() == kPlaceholderName) return;
    if (Show(L"¿Desea borrar el archivo\r" + path + L"?", kDeleteTitle, MsgIcon::Exclamation,
             MsgButtons::YesNo) != MsgAnswer::Yes) {
        return;
    }
    try {
        platform_.fs.DeleteFile(path);
    } catch (const PlatformError& error) {
        // Nothing after the deletion happens: the log keeps its entry and the file stays chosen. Only a
        // file that is no longer there leaves the list, which is read again.
        Show(L"IMPOSIBLE BORRAR EL ARCHIVO\r" + path + L"\r\rMotivo: " +
                 RefusalCause(FileOperation::Delete, error),
             kDeleteTitle, MsgIcon::Critical);
        if (error.Reason() == FailureReason::NotFound) ListSourceFiles(FileFuente.Pattern());
        return;
    }
    TxtArchDestino.SetText(kPlaceholderName);
    ShowSourceFolder();
    ShowDeleteTip(FileFuente.FileName());
    // The entry names the copy as the file stores it: a name with characters the code page lacks too.
    const std::wstring copy = logFile_.StoredForm(JoinPath(DirFuente.Path(), FileFuente.FileName()));
    if (const int entry = Log.FirstNaming(copy); entry > 0) {
        Log.Remove(entry);
        SaveLog();
    }
    ListSourceFiles(FileFuente.Pattern());  // the deleted file leaves the list
}

void FrmMain::CmdCancelar_Click() {
    DeleteMode = false;
    ShowCovering();
    form.SetHeight(kNormalHeight);
    FraFuente.SetCaption(L"FUENTE:");
    LblFuente.SetCaption(L"Copia de Seguridad del archivo:");
    ListSourceFiles(L"*.*");
    ShowSourceFolder();
    try {
        DirDestino.SetPath(DirFuente.Path());
    } catch (const PlatformError&) {
        // The source folder has gone meanwhile: the destination list stays where it is.
    }
    TxtArchDestino.SetText(kPlaceholderName);
    PutArrowBack();
    CmdBorrar.SetToolTip(L"Activar Borrar Archivo *.BAK");
}

// Reads the source folder again under the pattern. A folder that can no longer be read (removed
// meanwhile) leaves the list empty, never showing the other mode's files.
void FrmMain::ListSourceFiles(const std::wstring& pattern) {
    try {
        FileFuente.SetPattern(pattern);
    } catch (const PlatformError&) {
        FileFuente.Clear(pattern);
    }
}

}  // namespace tesoro
