#pragma once

#include "protocol/TransferControl.h"

#include <QByteArray>
#include <QString>

// Reading a file that someone else put in place (the school's network folder, the
// program's own data folder): only a regular file is read, a link to one included.
// A FIFO, a device, a folder or a link to any of them is refused before a byte is
// read, so that such a name can neither hang the program nor feed it without end.
enum class FileReadResult
{
    Read,
    Missing,    // no such file, or its folder cannot be reached
    NotRegular, // a FIFO, device, folder, socket, or a link to one
    TooLarge,   // more than the allowed bytes
    Failed,     // opened, but reading failed
    TimedOut,   // the control's time limit ran out
    Cancelled,  // the control's progress asked to stop
};

// Reads the whole of `path` into `bytes` (emptied first), at most `maxBytes`,
// reporting progress to `control` between chunks and giving up after its time limit.
FileReadResult ReadRegularFile(const QString& path, qint64 maxBytes, const TransferControl& control,
                               QByteArray* bytes);
