#include "collect/SummaryPdf.h"

#include "files/SafeFile.h"

#include <QAbstractTextDocumentLayout>
#include <QBuffer>
#include <QMarginsF>
#include <QPageLayout>
#include <QPageSize>
#include <QPainter>
#include <QPdfWriter>
#include <QTextDocument>

namespace {

// Blocks are gathered into one layout up to this many characters ...
constexpr qsizetype kPieceChars = 400 * 1024;
// ... and a layout may be at most this tall in the writer's units (1200 dpi): text
// positions are fixed-point numbers that overflow at 2^25.
constexpr double kMaxLayoutHeight = 16.0 * 1024 * 1024;

} // namespace

QByteArray SummaryPdfBytes(const QStringList& parts, QString* error)
{
    if (parts.size() < 2) {
        *error = QStringLiteral("puste zestawienie");
        return {};
    }
    const QString& head = parts.first();
    const QString& tail = parts.last();
    const qsizetype blocks = parts.size() - 1; // parts[1 .. blocks-1]

    QBuffer buffer;
    buffer.open(QIODevice::WriteOnly);
    {
        QPdfWriter writer(&buffer);
        writer.setTitle(QStringLiteral("Zestawienie sprawozdań"));
        writer.setCreator(QStringLiteral("tabulon-admin collect"));
        writer.setPageLayout(QPageLayout(QPageSize(QPageSize::A4), QPageLayout::Portrait,
                                         QMarginsF(20, 20, 20, 20), QPageLayout::Millimeter));
        const QRectF page = writer.pageLayout().paintRectPixels(writer.resolution());
        QPainter painter;
        if (!painter.begin(&writer)) {
            *error = QStringLiteral("nie udało się rozpocząć wydruku do PDF");
            return {};
        }
        bool firstPage = true;
        qsizetype next = 1;
        qsizetype limit = kPieceChars;
        do {
            QString body;
            qsizetype end = next;
            while (end < blocks && (end == next || body.size() + parts.at(end).size() <= limit))
                body += parts.at(end++);
            QTextDocument document;
            document.documentLayout()->setPaintDevice(&writer);
            document.setPageSize(page.size());
            document.setHtml(head + body + tail);
            body.clear();
            if (document.size().height() > kMaxLayoutHeight) {
                if (end - next > 1) {
                    limit = std::max<qsizetype>(1, limit / 2);
                    continue;
                }
                *error = QStringLiteral("jeden fragment zestawienia jest za długi do wydruku w PDF");
                painter.end();
                return {};
            }
            const int pages = document.pageCount();
            for (int p = 0; p < pages; ++p) {
                if (!firstPage && !writer.newPage()) {
                    *error = QStringLiteral("nie udało się dodać strony do PDF");
                    painter.end();
                    return {};
                }
                firstPage = false;
                painter.save();
                painter.translate(0, -p * page.height());
                document.drawContents(&painter, QRectF(0, p * page.height(), page.width(), page.height()));
                painter.restore();
            }
            next = end;
            limit = kPieceChars;
        } while (next < blocks);
        if (!painter.end()) {
            *error = QStringLiteral("nie udało się zakończyć wydruku do PDF");
            return {};
        }
    }
    buffer.close();
    if (!buffer.data().startsWith("%PDF") || !buffer.data().trimmed().endsWith("%%EOF")) {
        *error = QStringLiteral("nie udało się wydrukować zestawienia do PDF");
        return {};
    }
    return buffer.data();
}

bool WriteSummaryPdf(const QStringList& parts, const QString& path, QString* error)
{
    const QByteArray pdf = SummaryPdfBytes(parts, error);
    if (pdf.isEmpty())
        return false;
    const FileResult result = SafeFile::Write(path, pdf);
    if (!result)
        *error = FileFailureText(result);
    return result.ok();
}

bool WriteSummaryPdf(const QString& html, const QString& path, QString* error)
{
    const qsizetype open = html.indexOf(QStringLiteral("<body"));
    const qsizetype bodyStart = open < 0 ? 0 : html.indexOf(u'>', open) + 1;
    const qsizetype close = html.lastIndexOf(QStringLiteral("</body>"));
    const qsizetype bodyEnd = close < bodyStart ? html.size() : close;
    return WriteSummaryPdf(QStringList{html.left(bodyStart), html.mid(bodyStart, bodyEnd - bodyStart),
                                       html.mid(bodyEnd)},
                           path, error);
}
