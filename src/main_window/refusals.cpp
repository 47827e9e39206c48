#include "main_window/refusals.h"

#include <optional>

#include "platform/services.h"

namespace tesoro {

namespace {

struct Refusal {
    std::optional<FileOperation> operation;  // unset: either
    std::optional<CopyStep> step;            // unset: any
    FailureReason reason;
    const wchar_t* cause;
};

using enum FailureReason;
using Step = CopyStep;
constexpr auto kCopy = FileOperation::Copy;
constexpr auto kDelete = FileOperation::Delete;

// The first row that fits tells the cause.
const Refusal kRefusals[] = {
    {kDelete, {}, NotFound, L"El archivo ya no existe: se ha borrado o movido."},
    {kDelete, {}, ReadOnly, L"El archivo es de solo lectura."},
    {kDelete, {}, InUse, L"El archivo está abierto en otro programa."},
    {kDelete, {}, AccessDenied, L"Acceso denegado: no tiene permiso para borrarlo."},
    {kDelete, {}, WriteProtected, L"El disco está protegido contra escritura."},
    // The source is read while the copy is written: another program's lock on it is met there too.
    {kCopy, Step::OpenSource, InUse, L"El archivo fuente está abierto en otro programa."},
    {kCopy, Step::WriteCopy, InUse, L"El archivo fuente está abierto en otro programa."},
    {kCopy, Step::PutInPlace, InUse, L"El archivo destino está abierto en otro programa."},
    {kCopy, Step::OpenSource, NotFound, L"El archivo fuente ya no existe: se ha borrado o movido."},
    {kCopy, {}, NotFound, L"La carpeta destino ya no existe."},
    // The source label names a folder until a file is chosen.
    {kCopy, Step::OpenSource, IsFolder,
     L"Asignó un nombre de copia de seguridad sin seleccionar un archivo fuente."},
    {kCopy, {}, IsFolder, L"El destino es una carpeta."},
    {kCopy,
     {},
     AccessDenied,
     L"Acceso denegado: no tiene permiso para leer el archivo fuente o escribir en la carpeta destino."},
    {kCopy, {}, DiskFull, L"El disco destino está lleno."},
    {kCopy,
     {},
     TooLarge,
     L"El archivo es demasiado grande para el disco destino: su formato no admite archivos de más de 4 GB."},
    {kCopy, {}, WriteProtected, L"El disco destino está protegido contra escritura."},
    {kCopy, {}, SameFile, L"El archivo destino es el propio archivo fuente."},
    {kCopy, {}, HiddenOrSystem, L"El archivo destino está oculto o es un archivo del sistema."},
    {{}, {}, NotReady, L"La unidad de disco no está disponible."},
};

bool Fits(const Refusal& row, FileOperation operation, const PlatformError& error) {
    return (!row.operation || row.operation == operation) && (!row.step || row.step == error.Step()) &&
           row.reason == error.Reason();
}

std::wstring OtherCause(FileOperation operation, std::uint32_t systemCode) {
    std::wstring cause =
        operation == kCopy ? L"Windows no permite hacer la copia" : L"Windows no permite borrarlo";
    if (systemCode != 0) cause += L" (error " + std::to_wstring(systemCode) + L")";
    return cause + L".";
}

}  // namespace

std::wstring RefusalCause(FileOperation operation, const std::exception& failure) {
    const auto* refusal = dynamic_cast<const PlatformError*>(&failure);
    if (!refusal) return OtherCause(operation, 0);
    for (const Refusal& row : kRefusals) {
        if (Fits(row, operation, *refusal)) return row.cause;
    }
    return OtherCause(operation, refusal->SystemCode());
}

}  // namespace tesoro
