#include "windows/delivery/UBrowser.h"

#include "core/Hints.h"
#include "core/Messages.h"
#include "encoding/TextCodec.h"
#include "files/SafeFile.h"
#include "resources/skins/WorkAreaLayout.h"
#include "windows/delivery/PreviewPrint.h"
#include "windows/parts/KeyboardAccess.h"
#include "windows/parts/SkinOnShow.h"
#include "windows/parts/WindowParts.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QKeyEvent>
#include <QPrintPreviewDialog>
#include <QPrinter>
#include <QPrinterInfo>
#include <QScrollBar>
#include <QStringDecoder>
#include <QTextBrowser>
#include <QTextFrame>
#include <QUrl>

using namespace WindowParts;

namespace {

// The report pages declare their 8-bit code page; other pages are read as the HTML
// says, UTF-8 when it says nothing.
QString decodePage(const QByteArray& bytes)
{
    const QByteArray head = bytes.left(1024).toLower();
    if (head.contains("charset=windows-1250"))
        return TextCodec::fromCp1250(bytes);
    QStringDecoder decoder = QStringDecoder::decoderForHtml(bytes);
    if (!decoder.isValid())
        decoder = QStringDecoder(QStringDecoder::Utf8);
    return decoder.decode(bytes);
}

QString unreadablePage(const QString& path)
{
    return QStringLiteral("<html><body><p><b>Nie można wyświetlić podglądu.</b></p>"
                          "<p>Nie udało się odczytać pliku %1.</p></body></html>")
        .arg(path.toHtmlEscaped());
}

bool isExactlyCtrlC(const QKeyEvent* event)
{
    const Qt::KeyboardModifiers modifiers = event->modifiers() & ~Qt::KeypadModifier;
    return modifiers == Qt::ControlModifier && event->key() == Qt::Key_C;
}

} // namespace

TFBrowser::TFBrowser(QWidget* parent)
    : QWidget(parent, parent ? Qt::Widget : Qt::Window | Qt::FramelessWindowHint | Qt::WindowStaysOnTopHint)
{
    // FormCreate
    m_defaultPrinter = []() -> std::unique_ptr<QPrinter> {
        const QPrinterInfo printer = QPrinterInfo::defaultPrinter();
        if (printer.isNull())
            return nullptr;
        return std::make_unique<QPrinter>(printer, QPrinter::HighResolution);
    };
    setObjectName(QStringLiteral("FBrowser"));
    setWindowTitle(QStringLiteral("System szkolny - prezentacja danych"));
    setFixedSize(kWidth, kHeight);
    setAutoFillBackground(true);
    QPalette white = palette();
    white.setColor(QPalette::Window, Qt::white);
    setPalette(white);

    m_pPodTlo = makePanel(this, "PPodTlo", QRect(0, 0, kWidth, kHeight));
    m_imTlo = makeLabel(m_pPodTlo, "ImTlo", QRect(0, 0, kWidth, kHeight));
    SetSkin(m_imTlo, QStringLiteral("tlobrowser"));
    m_lCopiuj = makeButtonLabel(m_pPodTlo, "LCopiuj", WorkAreaLayout::kCopyButton);
    m_lDrukuj = makeButtonLabel(m_pPodTlo, "LDrukuj", WorkAreaLayout::kPrintButton);

    m_pPodWebbrowser = makePanel(m_pPodTlo, "PPodWebbrowser", QRect(128, 60, 664, 414));
    m_pPodWebbrowser->setAutoFillBackground(true);
    m_pPodWebbrowser->setPalette(white);
    // The view is larger than its panel, so that the panel cuts its border off.
    m_webBrowser = new QTextBrowser(m_pPodWebbrowser);
    m_webBrowser->setObjectName(QStringLiteral("WebBrowser"));
    m_webBrowser->setGeometry(-2, -3, 669, 420);
    m_webBrowser->setOpenLinks(false);
    m_webBrowser->setOpenExternalLinks(false);
    m_webBrowser->setPalette(white);

    for (QObject* watched :
         {static_cast<QObject*>(m_imTlo), static_cast<QObject*>(m_lCopiuj), static_cast<QObject*>(m_lDrukuj),
          static_cast<QObject*>(m_webBrowser), static_cast<QObject*>(m_webBrowser->viewport())})
        watched->installEventFilter(this);
}

namespace {
// A preview page is a few pages of text; a far larger file is not one of ours.
constexpr qint64 kMaxPageBytes = 16 * 1024 * 1024;
} // namespace

void TFBrowser::LoadPreview(const QString& path)
{
    m_loadedPath = path;
    // The page is read and laid out here and now: once this returns, the page is
    // complete and a print right after it prints the whole page.
    QByteArray bytes;
    if (!SafeFile::Read(path, kMaxPageBytes, &bytes)) {
        m_webBrowser->setHtml(unreadablePage(QDir::toNativeSeparators(path)));
        return;
    }
    m_webBrowser->document()->setBaseUrl(
        QUrl::fromLocalFile(QFileInfo(path).absolutePath() + QLatin1Char('/')));
    m_webBrowser->setHtml(decodePage(bytes));
    // The report pages ask for 20-pixel side margins and none at the top.
    QTextFrameFormat margins = m_webBrowser->document()->rootFrame()->frameFormat();
    margins.setLeftMargin(20);
    margins.setRightMargin(20);
    margins.setTopMargin(0);
    m_webBrowser->document()->rootFrame()->setFrameFormat(margins);
    m_webBrowser->moveCursor(QTextCursor::Start);
}

void TFBrowser::CopyPreview()
{
    // The reader keeps his place in the page: the copy leaves the view where it was.
    QScrollBar* bar = m_webBrowser->verticalScrollBar();
    const int position = bar->value();
    m_webBrowser->selectAll();
    m_webBrowser->copy();
    QTextCursor cursor = m_webBrowser->textCursor();
    cursor.clearSelection();
    cursor.movePosition(QTextCursor::Start);
    m_webBrowser->setTextCursor(cursor);
    bar->setValue(position);
}

bool TFBrowser::PrintTo(QPrinter& printer, QString* error) const
{
    const QTextDocument* page = m_webBrowser->document();
    return PrintPreviewPage(*page, PreviewPageKind(*page), printer, error);
}

void TFBrowser::ShowStepWindow()
{
    show();
    raise();
    // Ctrl+C and the scroll keys work at once, without a click into the page.
    m_webBrowser->setFocus();
}

void TFBrowser::CloseStepWindow()
{
    hide();
}

void TFBrowser::showEvent(QShowEvent* event)
{
    QWidget::showEvent(event);
    FormShow();
}

void TFBrowser::FormShow()
{
    // Over the main window, which is this window's parent; alone (in tests) the
    // window stays where it is.
    if (parentWidget())
        move(kLeftOffset, kTopOffset);
    SetHintGroup(HintGroupPreview);
}

void TFBrowser::keyPressEvent(QKeyEvent* event)
{
    if (!FormKeyDown(event))
        QWidget::keyPressEvent(event);
}

bool TFBrowser::FormKeyDown(const QKeyEvent* event)
{
    if (!isExactlyCtrlC(event))
        return false;
    CopyPreview();
    return true;
}

void TFBrowser::LCopiujClick()
{
    CopyPreview();
    Q_EMIT HideHint();
}

void TFBrowser::LDrukujMouseDown(const QMouseEvent* event)
{
    Q_EMIT HideHint();
    const bool previewWanted = event->button() == Qt::LeftButton && event->modifiers() == Qt::ShiftModifier;
    if (previewWanted)
        ShowPrintPreview();
    else
        PrintNow();
}

void TFBrowser::PrintNow()
{
    const std::unique_ptr<QPrinter> printer = m_defaultPrinter ? m_defaultPrinter() : nullptr;
    if (!printer) {
        ShowMessage(KindNotice, IconInformation,
                    QStringLiteral("Nie można wydrukować: w systemie nie ma drukarki domyślnej.\r"
                                   "Ustaw drukarkę domyślną i spróbuj ponownie."));
        return;
    }
    QString error;
    if (!PrintTo(*printer, &error))
        ShowMessage(KindNotice, IconInformation, QStringLiteral("Wydruk się nie powiódł.\r") + error);
}

void TFBrowser::ShowPrintPreview()
{
    const QPrinterInfo defaultPrinter = QPrinterInfo::defaultPrinter();
    QPrinter printer(QPrinter::HighResolution);
    if (!defaultPrinter.isNull())
        printer.setPrinterName(defaultPrinter.printerName());
    QPrintPreviewDialog preview(&printer, this);
    preview.setObjectName(QStringLiteral("PodgladWydruku"));
    connect(&preview, &QPrintPreviewDialog::paintRequested, this, [this](QPrinter* target) {
        QString error;
        if (!PrintTo(*target, &error))
            ShowMessage(KindNotice, IconInformation, QStringLiteral("Wydruk się nie powiódł.\r") + error);
    });
    preview.setWindowState(Qt::WindowMaximized);
    KeyboardAccess::ExecReturningFocus(preview);
}

bool TFBrowser::eventFilter(QObject* watched, QEvent* event)
{
    if (watched == m_webBrowser || watched == m_webBrowser->viewport()) {
        // The view would copy only its selection; on this window Ctrl+C copies the
        // whole page wherever the focus is.
        if (event->type() == QEvent::ShortcutOverride || event->type() == QEvent::KeyPress) {
            auto* key = static_cast<QKeyEvent*>(event);
            if (isExactlyCtrlC(key)) {
                if (event->type() == QEvent::KeyPress)
                    CopyPreview();
                event->accept();
                return true;
            }
        }
        if (watched == m_webBrowser->viewport() && isPress(event))
            WebBrowserClick();
        return false;
    }
    if (watched == m_lCopiuj && isLeftClick(event, m_lCopiuj)) {
        LCopiujClick();
        return true;
    }
    if (watched == m_lDrukuj && isPress(event)) {
        LDrukujMouseDown(static_cast<QMouseEvent*>(event));
        return true;
    }
    if (watched == m_imTlo && isLeftClick(event, m_imTlo))
        ImTloClick();
    return QWidget::eventFilter(watched, event);
}
