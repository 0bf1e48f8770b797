#pragma once

#include <cstdio>
#include <optional>

// The program's version, as its title and `--version` show it.
inline constexpr char kProductVersion[] = "2.5";

// Answers `tabulon --help` and `tabulon --version` (also -h): prints the text in
// Polish to `out` and returns the exit code. Neither needs a display: they are
// answered before the program connects to one, with only a core application object
// (the help text names where the help pages of this copy of the program lie).
// Returns nothing when the program should start; every other argument is the
// toolkit's (-platform, -style, ...).
std::optional<int> AnswerInfoOption(int& argc, char** argv, std::FILE* out);
