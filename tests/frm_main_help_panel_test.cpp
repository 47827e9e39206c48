// The instructions panel: showing and hiding it in both modes, what it disables and where the arrow
// points; and the help text itself, against what the program shows.
#include <fstream>
#include <regex>
#include <sstream>

#include "main_window_fixture.h"
#include "platform/cp1252.h"

namespace tesoro::testing {
namespace {

class HelpPanelTest : public MainWindowTest {
protected:
    void SetUp() override { fake.fs.AddFile(L"C:\\Copias\\DATOS.BAK", "datos"); }

    void ExpectShown() {
        FrmMain& f = *form;
        EXPECT_TRUE(f.TxtAyuda.Visible());
        EXPECT_EQ(f.CmdAyuda.ToolTip(), L"Ocultar INSTRUCCIONES");
        EXPECT_EQ(f.FraFuente.Caption(), L"INSTRUCCIONES:");
        EXPECT_FALSE(f.FraDestino.Enabled());
        EXPECT_FALSE(f.CmdCopiar.Enabled());
        EXPECT_FALSE(f.CmdBorrar.Enabled());
        EXPECT_FALSE(f.CmdVerLog.Enabled());
        EXPECT_TRUE(f.CmdAyuda.Enabled());
        EXPECT_TRUE(f.CmdAutor.Enabled());
        EXPECT_TRUE(f.CmdSalir.Enabled());
        EXPECT_EQ(f.ImgFlecha.Top(), 2760);
        EXPECT_TRUE(f.TmrFlecha.Enabled());
    }
    void ExpectHiddenWithTheSharedButtonsBack() {
        FrmMain& f = *form;
        EXPECT_FALSE(f.TxtAyuda.Visible());
        EXPECT_EQ(f.CmdAyuda.ToolTip(), L"Ver INSTRUCCIONES");
        EXPECT_EQ(f.FraFuente.Caption(), L"FUENTE:");
        EXPECT_TRUE(f.FraDestino.Enabled());
        EXPECT_TRUE(f.CmdBorrar.Enabled());
        EXPECT_TRUE(f.CmdVerLog.Enabled());
    }
};

TEST_F(HelpPanelTest, ShowingAndHidingInNormalMode) {
    Start();
    EXPECT_EQ(form->CmdAyuda.ToolTip(), L"Activar AYUDA");
    form->CmdAyuda_Click();
    ExpectShown();
    EXPECT_FALSE(form->ImgFlecha.Visible());  // the first tick of the timer shows it

    // Hidden in either phase of the blinking, the arrow stops hidden.
    for (bool arrowShown : {true, false}) {
        form->ImgFlecha.SetVisible(arrowShown);
        form->CmdAyuda_Click();
        ExpectHiddenWithTheSharedButtonsBack();
        EXPECT_FALSE(form->TmrFlecha.Enabled());
        EXPECT_FALSE(form->ImgFlecha.Visible());
        EXPECT_TRUE(form->CmdCopiar.Enabled());
        form->CmdAyuda_Click();
        ExpectShown();
    }
}

TEST_F(HelpPanelTest, InDeleteModeHidingPointsTheArrowBackAtTheDeleteButton) {
    Start();
    OpenFolder(L"C:\\Copias");
    form->CmdBorrar_Click();
    form->ImgFlecha.SetVisible(true);
    form->CmdAyuda_Click();
    ExpectShown();
    form->CmdAyuda_Click();
    ExpectHiddenWithTheSharedButtonsBack();
    FrmMain& f = *form;
    EXPECT_EQ(f.ImgFlecha.Top(), 1080);
    EXPECT_TRUE(f.TmrFlecha.Enabled());
    EXPECT_TRUE(f.ImgFlecha.Visible());  // still blinking, not stopped
    EXPECT_FALSE(f.CmdCopiar.Enabled());
    EXPECT_TRUE(f.DeleteMode);
    EXPECT_TRUE(f.LblBorrar.Visible());
    EXPECT_TRUE(f.CmdCancelar.Visible());
    EXPECT_EQ(f.form.Height(), 3825);

    // The delete button works again at once.
    ClickFile(L"DATOS.BAK");
    fake.dialogs.answers.push_back(MsgAnswer::Yes);
    f.CmdBorrar_Click();
    EXPECT_FALSE(fake.fs.Exists(L"C:\\Copias\\DATOS.BAK"));
}

// The text box only covers the source area: what lies under it and the controls it does not disable
// stay as they were.
TEST_F(HelpPanelTest, WhatLiesUnderTheTextIsLeftAlone) {
    Start();
    OpenFolder(L"C:\\Copias");
    ClickFile(L"DATOS.BAK");
    form->ChkLog.SetValue(0);
    form->CmdAyuda_Click();
    form->CmdAyuda_Click();
    FrmMain& f = *form;
    EXPECT_EQ(f.LblArchFuente.Caption(), L"C:\\Copias\\DATOS.BAK");
    EXPECT_EQ(f.TxtArchDestino.Text(), L"DATOS.BAK");
    EXPECT_EQ(f.FileFuente.FileName(), L"DATOS.BAK");
    EXPECT_TRUE(f.DrvFuente.Visible() && f.DirFuente.Visible() && f.FileFuente.Visible());
    EXPECT_FALSE(f.CmdCancelar.Visible());
    EXPECT_FALSE(f.LblBorrar.Visible());
    EXPECT_EQ(f.ChkLog.Value(), 0);
    EXPECT_FALSE(f.TmrDatos.Enabled());
    EXPECT_TRUE(Messages().empty());
}

// Each view disables the other's button while open, in either mode; in delete mode both give the
// arrow back to the delete button when they close.
TEST_F(HelpPanelTest, TheLogViewAndTheInstructionsShutEachOtherOut) {
    Start();
    OpenFolder(L"C:\\Copias");
    FrmMain& f = *form;
    for (bool deleteMode : {false, true}) {
        SCOPED_TRACE(deleteMode ? "delete mode" : "normal mode");
        if (deleteMode) f.CmdBorrar_Click();
        f.CmdAyuda_Click();
        EXPECT_FALSE(f.CmdVerLog.Enabled());
        f.CmdAyuda_Click();
        f.CmdVerLog_Click();
        EXPECT_TRUE(f.LblDat.Visible());
        EXPECT_FALSE(f.CmdAyuda.Enabled());
        f.CmdVerLog_Click();
        EXPECT_FALSE(f.LblDat.Visible());
        EXPECT_TRUE(f.CmdAyuda.Enabled() && f.CmdVerLog.Enabled());
        EXPECT_EQ(f.TmrFlecha.Enabled(), deleteMode);
        EXPECT_EQ(f.CmdCopiar.Enabled(), !deleteMode);
    }
    EXPECT_EQ(f.ImgFlecha.Top(), 1080);
    EXPECT_TRUE(f.LblBorrar.Visible() && f.CmdCancelar.Visible());
    EXPECT_EQ(f.FileFuente.Items(), std::vector<std::wstring>{L"DATOS.BAK"});
}

// ---- The help text ----

std::wstring ReadHelpText() {
    std::ifstream file(TESORO_RESOURCES_DIR "/ayuda.txt", std::ios::binary);
    std::stringstream bytes;
    bytes << file.rdbuf();
    std::string utf8 = bytes.str();
    std::wstring text;
    for (std::size_t i = 0; i < utf8.size();) {  // the text holds nothing beyond two-byte sequences
        const auto c = static_cast<unsigned char>(utf8[i]);
        if (c < 0x80) {
            text += static_cast<wchar_t>(c);
            i += 1;
        } else {
            text +=
                static_cast<wchar_t>(((c & 0x1F) << 6) | (static_cast<unsigned char>(utf8[i + 1]) & 0x3F));
            i += 2;
        }
    }
    return text;
}

std::vector<std::wstring> Lines(const std::wstring& text) {
    std::vector<std::wstring> lines;
    for (std::size_t start = 0; start <= text.size();) {
        const std::size_t end = std::min(text.find(L"\r\n", start), text.size());
        lines.push_back(text.substr(start, end - start));
        start = end + 2;
    }
    return lines;
}

// A heading: a line of its own pushed right by spaces, underlined by a row of one character as long
// as the heading.
bool IsHeading(const std::vector<std::wstring>& lines, std::size_t i, wchar_t rule) {
    if (i + 1 >= lines.size()) return false;
    const std::wstring& line = lines[i];
    const std::size_t indent = line.find_first_not_of(L' ');
    if (indent == std::wstring::npos || indent < 4) return false;
    const std::wstring& under = lines[i + 1];
    return under.size() == line.size() && under.find_first_not_of(L' ') == indent &&
           under.find_first_not_of(rule, indent) == std::wstring::npos;
}

TEST(HelpTextTest, SixSectionsInOrderWithTheirLayout) {
    const std::wstring text = ReadHelpText();
    ASSERT_FALSE(text.empty());
    // Lines end in carriage return and line feed, never in a lone one of the two.
    EXPECT_EQ(std::count(text.begin(), text.end(), L'\r'), std::count(text.begin(), text.end(), L'\n'));
    const std::vector<std::wstring> lines = Lines(text);

    std::vector<std::wstring> headings, subheadings;
    for (std::size_t i = 0; i < lines.size(); ++i) {
        const std::wstring trimmed = Trim(lines[i]);
        if (IsHeading(lines, i, L'*')) headings.push_back(trimmed);
        if (IsHeading(lines, i, L'=')) subheadings.push_back(trimmed);
    }
    EXPECT_EQ(headings,
              (std::vector<std::wstring>{L"INTRODUCCIÓN:", L"GENERAR COPIA DE SEGURIDAD",
                                         L"BORRAR COPIA DE SEGURIDAD", L"GUARDAR INFORMACIÓN EN TESORO.DAT",
                                         L"NOTAS FINALES:", L"DESCRIPCIÓN DE LOS CUADROS"}));
    EXPECT_EQ(subheadings, std::vector<std::wstring>{L"PASOS A SEGUIR PARA GENERAR LA COPIA:"});
    EXPECT_EQ(lines.back(), L"¡Ah! Si se ha leído usted todas estas instrucciones le felicito...");

    // Three steps to copy and five to delete, numbered "1.-" and so on.
    auto stepsBetween = [&](const std::wstring& from, const std::wstring& to) {
        const std::size_t a = text.find(from), b = text.find(to);
        const std::wstring part = text.substr(a, b - a);
        std::wregex step(L"\r\n(\\d)\\.- ");
        std::wstring numbers;
        for (std::wsregex_iterator it(part.begin(), part.end(), step), end; it != end; ++it)
            numbers += (*it)[1];
        return numbers;
    };
    EXPECT_EQ(stepsBetween(L"PASOS A SEGUIR", L"BORRAR COPIA"), L"123");
    EXPECT_EQ(stepsBetween(L"BORRAR COPIA", L"GUARDAR INFORMACI"), L"12345");
    // No personal name or address: the about window holds those.
    EXPECT_EQ(text.find(L'@'), std::wstring::npos);
}

// The buttons and boxes the text names are the ones the window shows, by their tool tips and captions.
TEST_F(HelpPanelTest, TheTextNamesTheButtonsAsTheWindowShowsThem) {
    Start();
    // Quoted names may be broken over two lines; compare with single spaces, letter case aside.
    const std::wstring flat =
        UpperCaseCp1252(std::regex_replace(ReadHelpText(), std::wregex(L"\r\n *"), L" "));
    auto withoutAccessKey = [](std::wstring caption) {
        std::erase(caption, L'&');
        return caption;
    };
    FrmMain& f = *form;
    for (const std::wstring& shown :
         {f.CmdCopiar.ToolTip(), f.CmdBorrar.ToolTip(), f.CmdVerLog.ToolTip(), f.CmdAutor.ToolTip(),
          f.CmdSalir.ToolTip(), f.ChkEditar.Caption(), withoutAccessKey(f.CmdCancelar.Caption()),
          withoutAccessKey(f.ChkLog.Caption())}) {
        EXPECT_NE(flat.find(UpperCaseCp1252(shown)), std::wstring::npos) << "not named: " << shown;
    }
}

}  // namespace
}  // namespace tesoro::testing
