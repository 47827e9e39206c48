// What the user is told of a copy or a deletion that the system refused: the cause, after "Motivo: ".
#pragma once

#include <exception>
#include <string>

namespace tesoro {

enum class FileOperation { Copy, Delete };

// The cause, from the step the system refused and its answer; a failure that is no refusal of the system
// is told as one without an error code.
std::wstring RefusalCause(FileOperation operation, const std::exception& failure);

}  // namespace tesoro
