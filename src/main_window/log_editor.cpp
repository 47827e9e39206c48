// The log editor: an entry whose copy is not on drive C: (pruning at start cares for those) removed by
// name, after a question.
#include "copy_log/log_view_text.h"
#include "main_window/frm_main.h"

namespace tesoro {

namespace {

constexpr wchar_t kEditorPrompt[] =
    L"Introduzca el nombre de la copia de seguridad\rque desee eliminar del fichero TESORO.DAT";
constexpr wchar_t kEditorPromptTitle[] = L"TESORO.DAT: Eliminar nombre de archivo...";
constexpr wchar_t kEditorTitle[] = L"TESORO.DAT: Eliminar nombre...";
constexpr wchar_t kNoDataText[] = L"No existen datos en\rel archivo TESORO.DAT";

}  // namespace

// Cancel or the prompt's close box ends the editor without offering anything; an empty answer given with
// "Aceptar" matches every entry.
void FrmMain::RunLogEditor() {
    const std::optional<std::wstring> name =
        platform_.dialogs.InputBox(kEditorPrompt, kEditorPromptTitle, L".BAK");
    if (name) {
        if (Log.Count() <= 0) {
            Show(kNoDataText, kEditorTitle, MsgIcon::Information);
        } else {
            OfferOneRemoval(logFile_.StoredForm(*name));  // as the entries are stored
        }
    }
    ChkEditar.SetValue(0);
}

// Offers the matching entries in turn; the first one confirmed is removed and ends the search.
void FrmMain::OfferOneRemoval(const std::wstring& name) {
    for (int i = NextEditorCandidate(Log, name, 1); i != 0; i = NextEditorCandidate(Log, name, i + 1)) {
        const std::wstring question = L"¿Desea eliminar: " + DestinationPart(Log.Entry(i)) + L" ?";
        if (Show(question, kEditorTitle, MsgIcon::Exclamation, MsgButtons::YesNo) == MsgAnswer::Yes) {
            Log.RemoveClosingEmptySlots(i);
            SaveLog();
            return;
        }
    }
}

}  // namespace tesoro
