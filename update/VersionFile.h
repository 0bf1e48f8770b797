#pragma once

#include <QByteArray>
#include <QList>
#include <QString>

// The version file "verinfo.inf" as lines of encoded values: its marker, three dates
// of the data and the program version.

inline const QString kVersionMarker = QStringLiteral("TabulonInfo");
constexpr int kVersionFileLines = 5;

// Line `index` decoded; empty when there is no such line.
QString VersionLine(const QList<QByteArray>& lines, int index);

// A version file the program can act on: its marker, three dates it can read and the
// program version line.
bool VersionFileIsSound(const QList<QByteArray>& lines);
bool VersionFileIsSound(const QByteArray& bytes);
