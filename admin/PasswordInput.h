#pragma once

#include <QString>

// A password for a command: the first line of a file (at most 4 KB, a regular file,
// no link followed), or typed on the terminal with the echo off. False with the
// reason in Polish.
bool ReadPasswordFile(const QString& path, QString* password, QString* error);
bool AskPasswordOnTerminal(const QString& prompt, QString* password, QString* error);
