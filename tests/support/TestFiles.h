#pragma once

#include <QByteArray>
#include <QString>

// Whole-file reads and writes for tests that set up or check files byte for byte.
namespace TestFiles {
// The file's bytes; empty when it cannot be read.
QByteArray readFile(const QString& path);
// Replaces the file with `bytes`; false when any of them could not be written.
bool writeFile(const QString& path, const QByteArray& bytes);
} // namespace TestFiles
