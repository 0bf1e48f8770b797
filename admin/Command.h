#pragma once

#include <QString>
#include <QStringList>

#include <cstdio>

// One subcommand of tabulon-admin. Each command lives in its own file and registers
// itself with a static AdminCommandRegistration, so adding a command touches no
// other file. Exit codes: 0 success, 1 the checked input is bad (check-data),
// 2 bad usage or input.
struct AdminCommand
{
    const char* name;
    const char* summary; // one line, Polish, for `tabulon-admin --help`
    int (*run)(const QStringList& args); // args without the program and command names
    // Whether the command, with these args, needs a QGuiApplication (printing to PDF).
    bool (*needsGui)(const QStringList& args) = nullptr;
};

class AdminCommandRegistration
{
public:
    explicit AdminCommandRegistration(const AdminCommand& command);
};

const QList<AdminCommand>& adminCommands();

// Output helpers: text is written as UTF-8.
void adminOut(const QString& text);   // standard output, as is
void adminError(const QString& text); // standard error, "tabulon-admin: " + text + newline
