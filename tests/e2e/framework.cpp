#include "framework.h"

#include <windows.h>

#include <cstdio>

namespace e2e {
namespace {

std::vector<std::string>* currentFailures = nullptr;

std::string Utf8(const std::wstring& text) {
    if (text.empty()) return {};
    int size = WideCharToMultiByte(CP_UTF8, 0, text.data(), static_cast<int>(text.size()), nullptr, 0,
                                   nullptr, nullptr);
    std::string out(size, '\0');
    WideCharToMultiByte(CP_UTF8, 0, text.data(), static_cast<int>(text.size()), out.data(), size, nullptr,
                        nullptr);
    return out;
}

void Print(const std::string& line) {
    std::fwrite(line.data(), 1, line.size(), stdout);
    std::fputc('\n', stdout);
    std::fflush(stdout);
}

}  // namespace

std::vector<Scenario>& Scenarios() {
    static std::vector<Scenario> all;
    return all;
}

Registrar::Registrar(const char* group, const char* name, Phase phase, void (*body)()) {
    Scenarios().push_back({group, name, phase, body});
}

void RecordFailure(const char* file, int line, const std::string& message) {
    std::string where = file;
    if (auto slash = where.find_last_of("/\\"); slash != std::string::npos) where = where.substr(slash + 1);
    std::string entry = where + ":" + std::to_string(line) + ": " + message;
    if (currentFailures)
        currentFailures->push_back(entry);
    else
        Print("  outside a scenario: " + entry);
}

std::string Show(const std::wstring& text) {
    std::wstring out;
    for (wchar_t c : text) {
        if (c == L'\r')
            out += L"\\r";
        else if (c == L'\n')
            out += L"\\n";
        else if (c == L'\0')
            out += L"\\0";
        else
            out += c;
    }
    return Utf8(out);
}

std::string Show(const std::string& text) {
    std::string out;
    char hex[8];
    for (unsigned char c : text) {
        if (c >= 0x20 && c < 0x7f) {
            out += static_cast<char>(c);
        } else {
            std::snprintf(hex, sizeof hex, "\\x%02x", c);
            out += hex;
        }
    }
    return out;
}

std::string Show(long long value) { return std::to_string(value); }

std::string Show(const std::vector<std::wstring>& texts) {
    std::string shown = "{";
    for (const std::wstring& text : texts) shown += "\n    " + Show(text);
    return shown + (texts.empty() ? "}" : "\n}");
}

int RunAll(Phase phase, const std::string& filter) {
    int passed = 0, failed = 0;
    for (const Scenario& scenario : Scenarios()) {
        std::string title = scenario.group + "/" + scenario.name;
        if (scenario.phase != phase || title.find(filter) == std::string::npos) continue;
        std::vector<std::string> failures;
        currentFailures = &failures;
        DWORD started = GetTickCount();
        try {
            scenario.body();
        } catch (const RequirementFailed&) {
            // already recorded
        } catch (const std::exception& error) {
            failures.push_back(std::string("exception: ") + error.what());
        }
        currentFailures = nullptr;
        std::string took =
            " (" + std::to_string((GetTickCount() - started) / 100 / 10.0).substr(0, 4) + " s)";
        Print((failures.empty() ? "[PASS] " : "[FAIL] ") + title + took);
        for (const std::string& failure : failures) Print("    " + failure);
        (failures.empty() ? passed : failed)++;
    }
    Print(std::to_string(passed) + " passed, " + std::to_string(failed) + " failed");
    return failed;
}

}  // namespace e2e
