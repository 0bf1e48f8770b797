// Feeds arbitrary bytes to the school's collecting side: as a report document, as a
// single mail and as an mbox mailbox (through GMime), every attachment found read as
// a report. Nothing may crash, leak or read outside the input.

#include "collect/CollectedReport.h"
#include "collect/MailReader.h"

#include <cstddef>
#include <cstdint>
#include <sys/mman.h>
#include <unistd.h>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    if (size < 1)
        return 0;
    const int mode = data[0] % 3;
    const char* bytes = reinterpret_cast<const char*>(data + 1);
    const auto length = static_cast<qsizetype>(size - 1);
    if (mode == 0) {
        ReadReportDocument(QByteArrayView(bytes, length), QStringLiteral("dokument"));
        return 0;
    }
    const int fd = memfd_create("fuzz_collect", MFD_CLOEXEC);
    if (fd < 0)
        return 0;
    if (write(fd, bytes, static_cast<size_t>(length)) != length || lseek(fd, 0, SEEK_SET) != 0) {
        close(fd);
        return 0;
    }
    MailReader::Sink sink;
    sink.attachment = [](const QString& source, const QByteArray& attachment, const QString&) {
        ReadReportDocument(attachment, source);
    };
    sink.damaged = [](const QString&, const QString&) {};
    if (mode == 1)
        MailReader::ReadSingleMail(fd, QStringLiteral("list"), sink);
    else
        MailReader::ReadMailbox(fd, QStringLiteral("skrzynka"), sink);
    return 0;
}
