// Included by each fuzz target, once. A run allocates a few kilobytes, so a 16 MB quarantine still catches
// any use after free within a run; the default 256 MB one kept every allocation on fresh pages of memory,
// and the faults for them cost as much as the run itself. Undefined behaviour stops the run (the build
// does not recover from it) and is reported with the calls that led to it.
#pragma once

extern "C" const char* __asan_default_options() { return "quarantine_size_mb=16"; }
extern "C" const char* __ubsan_default_options() { return "print_stacktrace=1"; }
