// The main window: its controls, window-level state and handlers.
#pragma once

#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "about_window/autor_win.h"
#include "copy_log/log_entries.h"
#include "copy_log/log_file.h"
#include "platform/controls.h"
#include "platform/drive_list.h"
#include "platform/file_list.h"
#include "platform/services.h"

namespace tesoro {

class FrmMain {
public:
    explicit FrmMain(Platform& platform);
    FrmMain(const FrmMain&) = delete;
    FrmMain& operator=(const FrmMain&) = delete;

    Form form;

    // Controls, front to back.
    CheckBox ChkDetener;
    Timer TmrDatos{1000};
    Button CmdVerLog;
    Timer TmrFlecha{300};
    Button CmdBorrar;
    Button CmdAyuda;
    Button CmdAutor;
    Frame FraDestino;
    CheckBox ChkEditar;
    FolderList DirDestino;
    TextBox TxtArchDestino;
    CheckBox ChkLog;
    DriveList DrvDestino;
    Label LblFichDestino;
    Button CmdSalir;
    Button CmdCopiar;
    TextBox TxtAyuda;
    Frame FraFuente;
    Button CmdCancelar;
    FileList FileFuente;
    FolderList DirFuente;
    DriveList DrvFuente;
    LineLabel LblDat;
    Label LblArchFuente;
    Label LblFuente;
    Label LblBorrar;
    Image ImgFlecha;
    Line Line1;

    // Tops of ImgFlecha beside the buttons it points at.
    static constexpr int kArrowAtBorrar = 1080;
    static constexpr int kArrowAtVerLog = 1920;
    static constexpr int kArrowAtAyuda = 2760;

    // Every control with a window of its own, front to back (frames before their children).
    std::vector<Control*> StackingOrder();
    // The controls that take the keyboard focus, first to last.
    std::vector<Control*> FocusOrder();
    // What the window host needs to make the window: the controls in both orders, the timers, and the
    // buttons Enter and Esc press.
    FormContent Content();

    // Window-level state.
    bool DeleteMode = false;
    std::int16_t LabelBreakPos = 0;
    bool CdPresent = false;
    std::wstring CdDrive;
    std::wstring StartSourceDrive;
    std::wstring StartDestDrive;
    LogEntries Log;
    AutorWinInstance AboutWindow;  // the about window, while one is open

    // Handlers, each in the file of its feature.
    void Form_Load();              // frm_main.cpp
    void Form_Unload();            // frm_main.cpp; ends the process
    void CmdSalir_Click();         // frm_main.cpp
    void CmdCopiar_Click();        // copying.cpp
    void DrvFuente_Change();       // selection.cpp
    void DrvDestino_Change();      // selection.cpp
    void DirFuente_Change();       // selection.cpp
    void FileFuente_PathChange();  // selection.cpp
    void FileFuente_Click();       // selection.cpp
    void CmdVerLog_Click();        // log_view.cpp, and log_editor.cpp while ChkEditar is checked
    void TmrDatos_Timer();         // ticker.cpp
    void chkdetener_Click();       // ticker.cpp
    void tmrflecha_Timer();        // ticker.cpp
    void CmdBorrar_Click();        // delete_mode.cpp
    void CmdCancelar_Click();      // delete_mode.cpp
    void CmdAyuda_Click();         // help_panel.cpp
    void CmdAutor_Click();         // about_button.cpp

    // Choosing the source from outside the window: a path from the command line or dropped onto the window
    // is chosen through the source lists as the user would choose it. A drop is taken only while the
    // source lists are shown and usable and no handler is running; otherwise it beeps. SourceDropped
    // tells whether it was taken.
    void OpenSourcePath(const std::wstring& path);
    bool SourceListsInUse() const;
    bool SourceDropped(const std::wstring& path);
    // A second start of the program handed over its path (empty when it had none): the window comes to
    // the front and takes the path as a drop.
    void PathHandedOver(const std::wstring& path);

    // Every handler runs through here, the window's own and the steps the program takes from outside
    // (the command line): a close asked for meanwhile waits until the outermost one has returned.
    void RunHandler(const std::function<void()>& handler);
    // A close of the window from outside the handlers (the close box, the system menu, another program):
    // at once, or once the running handler has returned, after stopping a copy under way.
    void RequestClose();
    // Windows ends the session and then the process: a copy under way is asked to stop, the log's pending
    // changes are saved without any box, and the process ends.
    void EndSession();

    // Window-level procedures.
    void Tam_Lbl_Fuente();
    std::wstring SourcePathFromLabel() const;

private:
    // What a view or mode does to the other controls while it is on.
    struct Covering {
        bool on = false;
        std::vector<Control*> shows{};  // hidden while it is off
        std::vector<Control*> hides{};
        std::vector<Control*> disables{};
        std::vector<Control*> covers{};        // shown, but no key reaches them
        std::vector<Control*> skippedByTab{};  // Tab skips them; Enter and Esc still press them
    };
    std::vector<Covering> Coverings();  // the instructions, the log view, delete mode

    void BuildLayout();
    void WireEvents();
    void FindCdDrive();
    void GoBackToStartDrive(DriveList& list, const std::wstring& startDrive, int& recoveryDepth);
    std::wstring FirstReadableDrive(const DriveList& list);
    void ShowDriveUnavailable();
    struct SourceOnDisk {  // a folder, and the file in it when the path names a file
        std::wstring folder;
        std::wstring file;
    };
    std::optional<SourceOnDisk> FindSource(const std::wstring& drive, const std::vector<std::wstring>& names);
    void ShowSourceNotFound(const std::wstring& path);
    bool DestinationIsCdDrive() const;
    // What one press of CmdCopiar is to do, once the user's choices passed every check.
    struct CopyPlan {
        std::wstring source, destination;
        bool existed = false;  // a file was there and the user agreed to replace it
    };
    std::optional<CopyPlan> PlanCopy();
    bool MakeCopy(const CopyPlan& plan);
    void FinishCopy(const CopyPlan& plan);
    // Why the copy could not be logged, or nullopt when it was.
    std::optional<std::wstring> RecordCopy(const std::wstring& destination, bool existed);
    void ReportNotLogged(const std::wstring& reason);
    void ShowSourceFolder();
    void SaveLog();
    std::function<void()> Handler(void (FrmMain::*handler)());
    void ShowCovering();         // covering.cpp
    void PointArrowAt(int top);  // ticker.cpp
    void PutArrowBack();
    void EnterDeleteMode();
    void DeleteChosenCopy();
    void ShowDeleteTip(const std::wstring& name);
    void ListSourceFiles(const std::wstring& pattern);
    void ShowInstructions();
    void HideInstructions();
    void RunLogEditor();  // log_editor.cpp
    void OfferOneRemoval(const std::wstring& name);
    void OpenLogView();
    void CloseLogView();
    MsgAnswer Show(const std::wstring& text, const std::wstring& title, MsgIcon icon,
                   MsgButtons buttons = MsgButtons::Ok);

    Platform& platform_;
    CopyLogFile logFile_;
    int sourceDriveRecovery_ = 0;
    int destDriveRecovery_ = 0;
    int handlersRunning_ = 0;
    bool closePending_ = false;
};

}  // namespace tesoro
