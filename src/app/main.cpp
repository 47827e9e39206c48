// Process entry: builds the platform and the main window, then runs the message loop.
#include <cstdlib>
#include <exception>
#include <memory>
#include <optional>
#include <string>

#include "main_window/command_line.h"
#include "main_window/frm_main.h"
#include "platform/win32/win32_hand_over.h"
#include "platform/win32/win32_services.h"
#include "platform/win32/win32_window.h"
#include "resources/resource_ids.h"

namespace {

constexpr wchar_t kFailureText[] = L"No se pudo completar la operación.";
constexpr wchar_t kFailureTitle[] = L"Copias de Seguridad";

// The instructions are stored as UTF-8 text in the resources, lines ending in CR LF.
std::wstring LoadHelpText(HINSTANCE instance) {
    HRSRC found = FindResourceW(instance, MAKEINTRESOURCEW(IDR_HELPTEXT), RT_RCDATA);
    HGLOBAL loaded = found ? LoadResource(instance, found) : nullptr;
    const char* bytes = loaded ? static_cast<const char*>(LockResource(loaded)) : nullptr;
    if (!bytes) return {};
    std::string utf8(bytes, SizeofResource(instance, found));
    if (utf8.starts_with("\xEF\xBB\xBF")) utf8.erase(0, 3);
    if (utf8.empty()) return {};
    const int length =
        MultiByteToWideChar(CP_UTF8, 0, utf8.data(), static_cast<int>(utf8.size()), nullptr, 0);
    std::wstring text(static_cast<std::size_t>(length), L'\0');
    MultiByteToWideChar(CP_UTF8, 0, utf8.data(), static_cast<int>(utf8.size()), text.data(), length);
    return text;
}

void ReportFailure(tesoro::Platform& platform) {
    platform.dialogs.MessageBox(kFailureText, kFailureTitle, tesoro::MsgIcon::Exclamation,
                                tesoro::MsgButtons::Ok);
}

}  // namespace

int WINAPI wWinMain(HINSTANCE instance, HINSTANCE, PWSTR, int) {
    tesoro::PrepareProcessErrorMode();

    // A second start hands its path to the window already open, so that one program keeps the log.
    const tesoro::win32::RunningInstance running;
    if (running.Another()) {
        const std::unique_ptr<tesoro::FileSystem> fs = tesoro::win32_detail::MakeFileSystem();
        if (tesoro::win32::HandOver(tesoro::PathFromCommandLine(GetCommandLineW(), *fs))) return 0;
    }

    std::optional<tesoro::Win32Platform> services;
    try {
        services.emplace();
        tesoro::Platform& platform = services->platform();
        tesoro::FrmMain frm(platform);
        frm.TxtAyuda.SetText(LoadHelpText(instance));

        auto reportFailure = [&platform] { ReportFailure(platform); };
        tesoro::win32::Win32WindowFactory windows(instance, platform.screen, reportFailure);
        services->SetWindowFactory(windows);

        tesoro::win32::TopLevelWindow window(instance, platform.screen, frm.Content());
        window.className = tesoro::win32::kMainWindowClass;
        window.onFailure = reportFailure;
        window.onClose = [&frm] { frm.RequestClose(); };
        window.onSessionEnd = [&frm] { frm.EndSession(); };
        window.endsProgram = true;
        window.createHiddenLater = true;
        window.onFileDropped = [&frm](const std::wstring& path) { frm.SourceDropped(path); };
        window.onHandOver = [&frm](const std::wstring& path) { frm.PathHandedOver(path); };
        window.Create();
        services->SetOwner(window.Hwnd());
        try {
            frm.Form_Load();
        } catch (const std::exception&) {
            ReportFailure(platform);
        }
        window.Show();
        if (const std::wstring path = tesoro::PathFromCommandLine(GetCommandLineW(), platform.fs);
            !path.empty()) {
            try {
                frm.RunHandler([&] { frm.OpenSourcePath(path); });
            } catch (const std::exception&) {
                ReportFailure(platform);
            }
        }
        return window.RunMessageLoop();
    } catch (const std::exception&) {
        if (services) ReportFailure(services->platform());
        return 1;
    }
}
