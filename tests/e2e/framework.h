// A tiny test framework for the end-to-end scenarios: named scenarios grouped by feature, checks that
// record a failure with file:line and go on, and requirements that end the scenario at once.
#pragma once

#include <functional>
#include <stdexcept>
#include <string>
#include <vector>

namespace e2e {

// The driver runs in phases because some setups need a restarted Wine server (a CD-ROM drive, another
// screen dpi).
enum class Phase { Main, CdRom, OtherDpi };

struct Scenario {
    std::string group;
    std::string name;
    Phase phase;
    std::function<void()> body;
};

std::vector<Scenario>& Scenarios();

struct Registrar {
    Registrar(const char* group, const char* name, Phase phase, void (*body)());
};

// Thrown by REQUIRE: the scenario cannot go on meaningfully.
struct RequirementFailed : std::runtime_error {
    using std::runtime_error::runtime_error;
};

void RecordFailure(const char* file, int line, const std::string& message);
// Text for messages: UTF-8, with control characters shown as \r, \n, \0.
std::string Show(const std::wstring& text);
std::string Show(const std::string& text);
inline std::string Show(const wchar_t* text) { return Show(std::wstring(text)); }
inline std::string Show(const char* text) { return Show(std::string(text)); }
std::string Show(long long value);
inline std::string Show(int value) { return Show(static_cast<long long>(value)); }
inline std::string Show(unsigned value) { return Show(static_cast<long long>(value)); }
inline std::string Show(long value) { return Show(static_cast<long long>(value)); }
inline std::string Show(unsigned long value) { return Show(static_cast<long long>(value)); }
inline std::string Show(unsigned long long value) { return Show(static_cast<long long>(value)); }
inline std::string Show(bool value) { return value ? "true" : "false"; }
std::string Show(const std::vector<std::wstring>& texts);  // one per line

// Runs the scenarios of a phase whose "group/name" contains `filter`; prints one line per scenario, the
// failures under it and a last line "N passed, N failed". Returns the number of failed scenarios.
int RunAll(Phase phase, const std::string& filter);

}  // namespace e2e

#define E2E_CONCAT2(a, b) a##b
#define E2E_CONCAT(a, b) E2E_CONCAT2(a, b)

// SCENARIO("group", "name") { ...checks... }
#define SCENARIO_IN_PHASE(group, name, phase)                                                         \
    static void E2E_CONCAT(scenario_, __LINE__)();                                                    \
    static const ::e2e::Registrar E2E_CONCAT(registrar_, __LINE__)(group, name, phase,                \
                                                                   &E2E_CONCAT(scenario_, __LINE__)); \
    static void E2E_CONCAT(scenario_, __LINE__)()
#define SCENARIO(group, name) SCENARIO_IN_PHASE(group, name, ::e2e::Phase::Main)

#define CHECK(cond, message)                                                                          \
    do {                                                                                              \
        if (!(cond)) ::e2e::RecordFailure(__FILE__, __LINE__, std::string(#cond) + ": " + (message)); \
    } while (0)

#define CHECK_EQ(actual, expected)                                                                          \
    do {                                                                                                    \
        const auto& e2e_a = (actual);                                                                       \
        const auto& e2e_e = (expected);                                                                     \
        if (!(e2e_a == e2e_e))                                                                              \
            ::e2e::RecordFailure(__FILE__, __LINE__,                                                        \
                                 std::string(#actual) + " is \"" + ::e2e::Show(e2e_a) + "\", expected \"" + \
                                     ::e2e::Show(e2e_e) + "\"");                                            \
    } while (0)

#define REQUIRE(cond, message)                                                               \
    do {                                                                                     \
        if (!(cond)) {                                                                       \
            ::e2e::RecordFailure(__FILE__, __LINE__, std::string(#cond) + ": " + (message)); \
            throw ::e2e::RequirementFailed("requirement failed");                            \
        }                                                                                    \
    } while (0)
