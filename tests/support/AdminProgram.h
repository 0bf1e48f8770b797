#pragma once

#include <QByteArray>
#include <QString>
#include <QStringList>

// One run of build/bin/tabulon-admin with the given arguments and standard input,
// bounded to two minutes. exitCode is -1 when the program did not start, crashed or
// did not end in time.
struct AdminRun
{
    int exitCode = -1;
    QByteArray out;
    QString err; // standard error as UTF-8
};

AdminRun RunAdmin(const QStringList& args, const QByteArray& input = {});
