#pragma once

#include <QString>
#include <QStringList>

class InputCollector;

// Decides, before anything is written, whether the outputs of a collecting run may
// be written where they are named. Files are compared by device and inode, never by
// the path that names them, so a path through a linked folder, a hard link or two
// spellings of one name cannot slip through. An output is refused when it
// - is the same file as a file the run read (or one of `alsoRead`, e.g. the school's
//   data files),
// - is the same file as another output (the same name in the same folder, or two
//   names of one file),
// - exists and is no regular file (a folder, a FIFO, a device), or
// - is a symbolic link inside an input folder: someone who could hand in a report
//   there could also have planted it.
// A link elsewhere is replaced by the written file, never followed. The answer is
// the reason in Polish, empty when every output may be written.
QString CheckOutputs(const QStringList& outputs, const InputCollector& inputs, const QStringList& alsoRead);
