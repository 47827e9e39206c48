// Routes the doubles' complaints to the test framework; kept apart so that programs built without
// GoogleTest (the fuzz targets) can still use the doubles.
#include <gtest/gtest.h>

#include "doubles/fake_platform.h"

namespace tesoro::testing {
namespace {

std::string Narrow(const std::wstring& text) {
    std::string narrow;
    for (wchar_t c : text) narrow += c < 128 ? static_cast<char>(c) : '?';
    return narrow;
}

const bool kRouted = [] {
    ScriptedDialogs::reportUnscripted = [](const std::wstring& text) { ADD_FAILURE() << Narrow(text); };
    return true;
}();

}  // namespace
}  // namespace tesoro::testing
