#include "collect/SummaryPdf.h"

#include <QBuffer>
#include <QMarginsF>
#include <QPageLayout>
#include <QPageSize>
#include <QPdfWriter>
#include <QSaveFile>
#include <QTextDocument>

bool WriteSummaryPdf(const QString& html, const QString& path, QString* error)
{
    QBuffer buffer;
    buffer.open(QIODevice::WriteOnly);
    {
        QPdfWriter writer(&buffer);
        writer.setTitle(QStringLiteral("Zestawienie sprawozdań"));
        writer.setCreator(QStringLiteral("tabulon-admin collect"));
        // Rich-text printing keeps a margin of 2 cm of its own on every side.
        writer.setPageLayout(QPageLayout(QPageSize(QPageSize::A4), QPageLayout::Portrait,
                                         QMarginsF(0, 0, 0, 0), QPageLayout::Millimeter));
        QTextDocument document;
        document.setHtml(html);
        document.print(&writer);
    }
    buffer.close();
    if (!buffer.data().startsWith("%PDF")) {
        *error = QStringLiteral("nie udało się wydrukować zestawienia do PDF");
        return false;
    }
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly) || file.write(buffer.data()) != buffer.data().size() ||
        !file.commit()) {
        *error = file.errorString();
        return false;
    }
    return true;
}
