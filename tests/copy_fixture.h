// A main window on a machine holding C:\Datos\informe.doc, with the steps of making its copy.
#pragma once

#include "main_window_fixture.h"

namespace tesoro::testing {

inline constexpr wchar_t kM4[] = L"La Copia de Seguridad se realizó con éxito.";
inline constexpr wchar_t kM5[] =
    L"IMPOSIBLE REALIZAR LA COPIA\r\rMotivos:\r\r* Asignó un nombre de copia de seguridad\r"
    L"   sin seleccionar un archivo fuente.\r\r* El disco destino está lleno";
// M5 with the cause of one failure.
inline std::wstring M5(const std::wstring& cause) { return std::wstring(kM5) + L"\r\rMotivo: " + cause; }
inline const std::string kSourceBytes = "contenido del informe";  // 21 bytes

class CopyFixture : public MainWindowTest {
protected:
    void SetUp() override { fake.fs.AddFile(L"C:\\Datos\\informe.doc", kSourceBytes); }

    // Chooses C:\Datos\<name> as the source with the proposed name.
    void ChooseSource(const std::wstring& name = L"informe.doc") {
        OpenFolder(L"C:\\Datos");
        ClickFile(name);
    }
    void Copy(std::initializer_list<MsgAnswer> answers = {}) {
        Answer(answers);
        form->CmdCopiar_Click();
    }
    const ScriptedDialogs::Message& LastMessage() const { return Messages().back(); }
};

}  // namespace tesoro::testing
