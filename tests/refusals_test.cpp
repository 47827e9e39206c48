// The cause a refused copy or deletion is told with: each step of a copy and each answer of the system
// to its line, the lines a copy and a deletion share, and the system's code when nothing else fits.
#include "main_window/refusals.h"

#include <gtest/gtest.h>

#include "platform/services.h"

namespace tesoro::testing {
namespace {

std::wstring CopyCause(CopyStep step, FailureReason reason, std::uint32_t code = 5) {
    return RefusalCause(FileOperation::Copy, PlatformError("refused", reason, code, step));
}

std::wstring DeleteCause(FailureReason reason, std::uint32_t code = 5) {
    return RefusalCause(FileOperation::Delete, PlatformError("refused", reason, code));
}

const wchar_t kSourceInUse[] = L"El archivo fuente está abierto en otro programa.";
const wchar_t kDestinationInUse[] = L"El archivo destino está abierto en otro programa.";
const wchar_t kAccessDenied[] =
    L"Acceso denegado: no tiene permiso para leer el archivo fuente o escribir en la carpeta destino.";
const wchar_t kFolderGone[] = L"La carpeta destino ya no existe.";
const wchar_t kNotReady[] = L"La unidad de disco no está disponible.";

TEST(CopyRefusals, WhoHoldsAFileOpenAndWhatIsGoneDependOnTheStep) {
    EXPECT_EQ(CopyCause(CopyStep::OpenSource, FailureReason::InUse), kSourceInUse);
    EXPECT_EQ(CopyCause(CopyStep::WriteCopy, FailureReason::InUse), kSourceInUse);  // a lock met reading it
    EXPECT_EQ(CopyCause(CopyStep::PutInPlace, FailureReason::InUse), kDestinationInUse);
    EXPECT_EQ(CopyCause(CopyStep::OpenSource, FailureReason::NotFound),
              L"El archivo fuente ya no existe: se ha borrado o movido.");
    EXPECT_EQ(CopyCause(CopyStep::WriteCopy, FailureReason::NotFound), kFolderGone);
    EXPECT_EQ(CopyCause(CopyStep::PutInPlace, FailureReason::NotFound), kFolderGone);
    EXPECT_EQ(CopyCause(CopyStep::OpenSource, FailureReason::IsFolder),
              L"Asignó un nombre de copia de seguridad sin seleccionar un archivo fuente.");
    EXPECT_EQ(CopyCause(CopyStep::PutInPlace, FailureReason::IsFolder), L"El destino es una carpeta.");
}

TEST(CopyRefusals, TheOtherAnswersTellTheSameAtEveryStep) {
    const std::pair<FailureReason, const wchar_t*> answers[] = {
        {FailureReason::AccessDenied, kAccessDenied},
        {FailureReason::DiskFull, L"El disco destino está lleno."},
        {FailureReason::TooLarge,
         L"El archivo es demasiado grande para el disco destino: su formato no admite archivos de más de 4 "
         L"GB."},
        {FailureReason::WriteProtected, L"El disco destino está protegido contra escritura."},
        {FailureReason::NotReady, kNotReady},
        {FailureReason::SameFile, L"El archivo destino es el propio archivo fuente."},
        {FailureReason::HiddenOrSystem, L"El archivo destino está oculto o es un archivo del sistema."},
    };
    for (const auto& [reason, cause] : answers) {
        for (CopyStep step :
             {CopyStep::None, CopyStep::OpenSource, CopyStep::WriteCopy, CopyStep::PutInPlace}) {
            SCOPED_TRACE(static_cast<int>(step));
            EXPECT_EQ(CopyCause(step, reason), cause);
        }
    }
}

TEST(CopyRefusals, AnythingElseNamesTheSystemsCode) {
    EXPECT_EQ(CopyCause(CopyStep::WriteCopy, FailureReason::Other, 1117),
              L"Windows no permite hacer la copia (error 1117).");
    EXPECT_EQ(CopyCause(CopyStep::None, FailureReason::Other, 123),
              L"Windows no permite hacer la copia (error 123).");
    EXPECT_EQ(CopyCause(CopyStep::OpenSource, FailureReason::ReadOnly, 5),
              L"Windows no permite hacer la copia (error 5).");
    EXPECT_EQ(CopyCause(CopyStep::WriteCopy, FailureReason::Other, 0), L"Windows no permite hacer la copia.");
    EXPECT_EQ(RefusalCause(FileOperation::Copy, std::runtime_error("not the system's")),
              L"Windows no permite hacer la copia.");
}

// A deletion has causes of its own; the drive not ready is told alike.
TEST(DeleteRefusals, EachAnswerToItsLine) {
    EXPECT_EQ(DeleteCause(FailureReason::NotFound), L"El archivo ya no existe: se ha borrado o movido.");
    EXPECT_EQ(DeleteCause(FailureReason::ReadOnly), L"El archivo es de solo lectura.");
    EXPECT_EQ(DeleteCause(FailureReason::InUse), L"El archivo está abierto en otro programa.");
    EXPECT_EQ(DeleteCause(FailureReason::AccessDenied), L"Acceso denegado: no tiene permiso para borrarlo.");
    EXPECT_EQ(DeleteCause(FailureReason::WriteProtected), L"El disco está protegido contra escritura.");
    EXPECT_EQ(DeleteCause(FailureReason::NotReady), kNotReady);
    EXPECT_EQ(DeleteCause(FailureReason::DiskFull, 112), L"Windows no permite borrarlo (error 112).");
    EXPECT_EQ(DeleteCause(FailureReason::Other, 0), L"Windows no permite borrarlo.");
}

// A step named inside another keeps its name as the error leaves the outer one; the error thrown on is
// the one thrown, of its own kind.
TEST(CopySteps, TheInnermostStepNamesTheRefusal) {
    try {
        InCopyStep(CopyStep::PutInPlace,
                   [] { InCopyStep(CopyStep::WriteCopy, [] { throw CopyCancelled(); }); });
        FAIL() << "nothing thrown";
    } catch (const CopyCancelled& cancelled) {
        EXPECT_EQ(cancelled.Step(), CopyStep::WriteCopy);
    }
}

}  // namespace
}  // namespace tesoro::testing
