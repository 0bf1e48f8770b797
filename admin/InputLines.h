#pragma once

#include <QStringList>

#include <optional>

// The values a command works on: its arguments, or, when it has none, the lines of
// standard input read as UTF-8 (a line ends at CR LF, CR or LF, as the program reads
// its own text files). "--help" or "-h" first prints `help`; "--" first ends the
// options, so that a value may begin with "--". No value, with `exitCode` set, when
// the command is done already (help shown) or refused (unknown option, input that is
// not UTF-8).
std::optional<QStringList> CommandValues(const QStringList& args, const char* command, const char* help,
                                         int* exitCode);
