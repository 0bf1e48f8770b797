#include "windows/delivery/PreviewPrint.h"

#include "delivery/PrintFooter.h"

#include <QAbstractTextDocumentLayout>
#include <QFontMetricsF>
#include <QPainter>
#include <QPrinter>
#include <QTextBlock>
#include <QTextDocument>
#include <QTextFrame>

#include <memory>

QString PreviewPageKind(const QTextDocument& page)
{
    for (QTextBlock block = page.begin(); block.isValid(); block = block.next()) {
        const QString text = block.text().simplified();
        if (!text.isEmpty())
            return text;
    }
    return {};
}

bool PrintPreviewPage(const QTextDocument& page, const QString& kind, QPrinter& printer, QString* error)
{
    QPainter painter;
    if (!painter.begin(&printer)) {
        if (error)
            *error = QStringLiteral("Nie można rozpocząć drukowania.");
        return false;
    }

    // The page is laid out again for the printer's resolution, on a copy, so that
    // the window's own view stays as it is.
    std::unique_ptr<QTextDocument> copy(page.clone());
    copy->documentLayout()->setPaintDevice(&printer);
    QTextFrameFormat frame = copy->rootFrame()->frameFormat();
    frame.setMargin(0);
    copy->rootFrame()->setFrameFormat(frame);

    QFont footerFont(QStringLiteral("DejaVu Sans"));
    footerFont.setPointSizeF(8);
    const QFontMetricsF footerMetrics(footerFont, &printer);
    const qreal footerHeight = footerMetrics.height() * 2;

    const QRectF area = printer.pageLayout().paintRectPixels(printer.resolution());
    const QSizeF body(area.width(), area.height() - footerHeight);
    copy->setPageSize(body);
    const int pageCount = copy->pageCount();

    for (int index = 0; index < pageCount; ++index) {
        if (index > 0 && !printer.newPage()) {
            painter.end();
            if (error)
                *error = QStringLiteral("Drukarka nie przyjęła kolejnej strony.");
            return false;
        }
        const QRectF view(0, index * body.height(), body.width(), body.height());
        painter.save();
        painter.translate(0, -view.top());
        painter.setClipRect(view);
        QAbstractTextDocumentLayout::PaintContext context;
        context.clip = view;
        context.palette.setColor(QPalette::Text, Qt::black);
        copy->documentLayout()->draw(&painter, context);
        painter.restore();

        painter.setFont(footerFont);
        painter.setPen(Qt::black);
        painter.drawText(QRectF(0, body.height(), body.width(), footerHeight),
                         Qt::AlignHCenter | Qt::AlignBottom, PrintFooter(kind, index + 1, pageCount));
    }
    painter.end();

    if (printer.printerState() == QPrinter::Error) {
        if (error)
            *error = QStringLiteral("Drukarka zgłosiła błąd.");
        return false;
    }
    return true;
}
