// Feeds arbitrary bytes to the XML reader, its writer, and the three school data
// loaders. Nothing may crash, leak or read outside the input, whatever the answer.

#include "document/PKXML.h"
#include "shell/SchoolData.h"

#include <QBuffer>

#include <cstddef>
#include <cstdint>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    const QByteArrayView bytes(reinterpret_cast<const char*>(data), static_cast<qsizetype>(size));

    TpkXML xml;
    xml.LoadFromBuffer(bytes);
    QBuffer out;
    out.open(QIODevice::WriteOnly);
    xml.SaveToStream(out);
    // What the writer wrote must load again.
    TpkXML again;
    if (!out.data().isEmpty() && !again.LoadFromBuffer(out.data()))
        __builtin_trap();

    SchoolData model;
    LoadDataBuffer(DataFileKind::Teachers, bytes, model);
    LoadDataBuffer(DataFileKind::Subjects, bytes, model);
    LoadDataBuffer(DataFileKind::Classes, bytes, model);
    return 0;
}
