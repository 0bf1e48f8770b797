#include "core/AppState.h"
#include "core/Hints.h"
#include "encoding/TextCodec.h"
#include "support/MessageRecorder.h"
#include "support/ModalAnswer.h"
#include "windows/delivery/UBrowser.h"
#include "windows/parts/KeyboardAccess.h"

#include <QAccessible>
#include <QApplication>
#include <QClipboard>
#include <QScrollBar>
#include <QLabel>
#include <QMimeData>
#include <QPrintPreviewDialog>
#include <QPrinter>
#include <QPrinterInfo>
#include <QProcess>
#include <QTemporaryDir>
#include <QTest>
#include <QTextBrowser>

namespace {

// A report page as the report routines write it: the 8-bit code page, CR LF lines.
QByteArray reportPage(const QString& title, int pupilLines)
{
    QStringList lines{
        QStringLiteral("<html><head>"),
        QStringLiteral("<meta http-equiv=\"Content-Type\" content=\"text/html; charset=windows-1250\">"),
        QStringLiteral("<title>Podgląd zawartości</title>"),
        QStringLiteral("</head>"),
        QStringLiteral("<STYLE TYPE=\"text/css\">"),
        QStringLiteral("<!--"),
        QStringLiteral(".N {font-family: arial,tahoma,verdana;  font-size: 11pt; font-weight: normal; "
                       "text-decoration: none;color: #000000; }"),
        QStringLiteral("-->"),
        QStringLiteral("</STYLE>"),
        QStringLiteral("<body bgcolor=\"#FFFFFF\" topmargin=\"0\" leftmargin=\"20\" rightmargin=\"20\">"),
        QStringLiteral("<p align=\"center\" class=\"N\"><br><b>%1</b></p>").arg(title),
        QStringLiteral("<p align=\"left\" class=\"N\">"),
        QStringLiteral("<b>Klasa:</b> IIa<br>")};
    for (int i = 1; i <= pupilLines; ++i)
        lines << QStringLiteral("&nbsp;&nbsp;&nbsp;Uczeń Żółkiewski %1 - matematyka<br>").arg(i);
    lines << QStringLiteral("&nbsp;<br>") << QStringLiteral("</p>") << QStringLiteral("</body>")
          << QStringLiteral("</html>");
    return TextCodec::toCp1250(lines.join(QStringLiteral("\r\n")) + QStringLiteral("\r\n"));
}

QString pdfText(const QString& pdf)
{
    QProcess process;
    process.start(QStringLiteral("pdftotext"), {QStringLiteral("-layout"), pdf, QStringLiteral("-")});
    if (!process.waitForFinished(30000) || process.exitCode() != 0)
        return {};
    return QString::fromUtf8(process.readAllStandardOutput());
}

void clickLabel(QWidget* window, const char* name, Qt::KeyboardModifiers modifiers = {},
                Qt::MouseButton button = Qt::LeftButton)
{
    auto* label = window->findChild<QLabel*>(QString::fromLatin1(name));
    QVERIFY(label);
    QTest::mouseClick(label, button, modifiers, label->rect().center());
}

} // namespace

class TestBrowser : public QObject
{
    Q_OBJECT

private:
    QTemporaryDir m_dir;
    QString m_page;
    QString m_longPage;

    QTextBrowser* view(TFBrowser& window)
    {
        return window.findChild<QTextBrowser*>(QStringLiteral("WebBrowser"));
    }

private Q_SLOTS:
    void initTestCase()
    {
        QVERIFY(m_dir.isValid());
        m_page = m_dir.filePath(QStringLiteral("Klas.htm"));
        m_longPage = m_dir.filePath(QStringLiteral("Dlugi.htm"));
        QFile page(m_page);
        QVERIFY(page.open(QIODevice::WriteOnly));
        page.write(reportPage(QStringLiteral("Werdykon klasy - nauczanie"), 3));
        page.close();
        QFile longPage(m_longPage);
        QVERIFY(longPage.open(QIODevice::WriteOnly));
        longPage.write(reportPage(QStringLiteral("Werdykon klasy - nauczanie"), 150));
    }

    void init() { appState() = AppState{}; }

    void showsThePageInItsCodePageAndNamesItsHints()
    {
        TFBrowser window;
        window.LoadPreview(m_page);
        window.ShowStepWindow();
        const QString text = view(window)->toPlainText();
        QVERIFY2(text.contains(QStringLiteral("Uczeń Żółkiewski 1 - matematyka")), qPrintable(text));
        QVERIFY(text.contains(QStringLiteral("Werdykon klasy - nauczanie")));
        // The style block is read as style, not shown as text.
        QVERIFY(!text.contains(QStringLiteral("font-family")));
        QCOMPARE(appState().HintGroup, int(HintGroupPreview));
        QCOMPARE(appState().HintCount, 2);

        // A page that cannot be read replaces the previous one with a page saying so.
        window.LoadPreview(m_dir.filePath(QStringLiteral("brak.htm")));
        QVERIFY(!view(window)->toPlainText().contains(QStringLiteral("Żółkiewski")));
        QVERIFY(view(window)->toPlainText().contains(QStringLiteral("Nie można wyświetlić podglądu.")));
    }

    // A screen reader meets the preview as a document whose text it can read and walk,
    // not as a label with nothing behind it.
    void thePreviewIsADocumentAScreenReaderCanRead()
    {
        KeyboardAccess::Install();
        TFBrowser window;
        window.LoadPreview(m_page);
        window.ShowStepWindow();
        QAccessibleInterface* reader = QAccessible::queryAccessibleInterface(view(window));
        QVERIFY(reader);
        QCOMPARE(reader->role(), QAccessible::Document);
        QVERIFY(reader->state().readOnly);
        QAccessibleTextInterface* text = reader->textInterface();
        QVERIFY(text);
        const QString shown = view(window)->toPlainText();
        QCOMPARE(text->characterCount(), int(shown.size()));
        QCOMPARE(text->text(0, text->characterCount()), shown);

        // Word by word from where the pupil's line begins; a selection made by the
        // reader is the view's own.
        const int at = int(shown.indexOf(QStringLiteral("Żółkiewski")));
        QVERIFY(at > 0);
        int start = -1;
        int end = -1;
        QCOMPARE(text->textAtOffset(at + 2, QAccessible::WordBoundary, &start, &end), QStringLiteral("Żółkiewski"));
        QCOMPARE(start, at);
        text->setSelection(0, at, end);
        QCOMPARE(view(window)->textCursor().selectedText(), QStringLiteral("Żółkiewski"));
        QCOMPARE(text->selectionCount(), 1);
        QVERIFY(!text->characterRect(at).isEmpty());
    }

    void copiesTheWholePageByLabelAndByCtrlCOnly()
    {
        TFBrowser window;
        window.LoadPreview(m_page);
        window.ShowStepWindow();
        QVERIFY(QTest::qWaitForWindowExposed(&window));
        QClipboard* clipboard = QApplication::clipboard();

        int hintsHidden = 0;
        connect(&window, &TFBrowser::HideHint, this, [&] { ++hintsHidden; });
        clipboard->clear();
        clickLabel(&window, "LCopiuj");
        const QMimeData* copied = clipboard->mimeData();
        QVERIFY(copied);
        QVERIFY(copied->hasHtml());
        QVERIFY(copied->html().contains(QStringLiteral("Żółkiewski 3")));
        QVERIFY(copied->text().contains(QStringLiteral("Werdykon klasy - nauczanie")));
        QVERIFY(copied->text().contains(QStringLiteral("Uczeń Żółkiewski 3 - matematyka")));
        QVERIFY(!view(window)->textCursor().hasSelection());
        QCOMPARE(hintsHidden, 1);

        // Ctrl+C in the view copies the whole page, not the view's selection.
        clipboard->clear();
        QTextCursor part = view(window)->textCursor();
        part.movePosition(QTextCursor::NextWord, QTextCursor::KeepAnchor);
        view(window)->setTextCursor(part);
        view(window)->setFocus();
        QTest::keyClick(view(window), Qt::Key_C, Qt::ControlModifier);
        QVERIFY(clipboard->text().contains(QStringLiteral("Uczeń Żółkiewski 3 - matematyka")));
        QVERIFY(!view(window)->textCursor().hasSelection());

        // With Shift or Alt held as well the window copies nothing.
        for (Qt::KeyboardModifiers modifiers :
             {Qt::ControlModifier | Qt::ShiftModifier, Qt::ControlModifier | Qt::AltModifier}) {
            clipboard->clear();
            QTest::keyClick(&window, Qt::Key_C, modifiers);
            QTest::keyClick(view(window), Qt::Key_C, modifiers);
            QVERIFY(clipboard->text().isEmpty());
        }
        clipboard->clear();
        QTest::keyClick(&window, Qt::Key_C, Qt::ControlModifier);
        QVERIFY(clipboard->text().contains(QStringLiteral("Żółkiewski 1")));

        // A reader half-way down a long page stays there when he copies it.
        window.LoadPreview(m_longPage);
        QScrollBar* bar = view(window)->verticalScrollBar();
        QVERIFY(bar->maximum() > 100);
        bar->setValue(bar->maximum() / 2);
        const int place = bar->value();
        clickLabel(&window, "LCopiuj");
        QVERIFY(clipboard->text().contains(QStringLiteral("Żółkiewski")));
        QCOMPARE(bar->value(), place);
    }

    // The print label prints at once, without a dialog, on the default printer: here a
    // PDF file, through the same path.
    void printsEveryPageWithTheFooterToAPdfFile()
    {
        TFBrowser window;
        window.LoadPreview(m_longPage);
        window.ShowStepWindow();
        const QString pdf = m_dir.filePath(QStringLiteral("wydruk.pdf"));
        window.SetDefaultPrinter([pdf] {
            auto printer = std::make_unique<QPrinter>(QPrinter::HighResolution);
            printer->setOutputFormat(QPrinter::PdfFormat);
            printer->setOutputFileName(pdf);
            return printer;
        });
        MessageRecorder messages;
        clickLabel(&window, "LDrukuj");
        QVERIFY(messages.messages().isEmpty());

        const QString text = pdfText(pdf);
        QVERIFY2(!text.isEmpty(), "pdftotext read nothing");
        // pdftotext ends every page with a form feed.
        const QStringList pages = text.split(QLatin1Char('\f'), Qt::SkipEmptyParts);
        QVERIFY2(pages.size() >= 3, qPrintable(QString::number(pages.size())));
        for (int i = 0; i < pages.size(); ++i) {
            const QString footer =
                QStringLiteral("Werdykon klasy - nauczanie - strona %1 z %2").arg(i + 1).arg(pages.size());
            const QStringList lines = pages.at(i).trimmed().split(QLatin1Char('\n'));
            QVERIFY2(lines.last().trimmed() == footer, qPrintable(lines.last()));
            // No header: a page begins with the report's own text.
            QVERIFY2(lines.first().trimmed() != footer && !lines.first().contains(QStringLiteral("strona")),
                     qPrintable(lines.first()));
        }
        QCOMPARE(pages.first().trimmed().split(QLatin1Char('\n')).first().trimmed(),
                 QStringLiteral("Werdykon klasy - nauczanie"));
        // Nothing is lost between the pages. (A line next to a page break may also
        // stand, clipped away and invisible, in the text of the neighbouring page.)
        for (int i = 1; i <= 150; ++i)
            QVERIFY(text.contains(QStringLiteral("Żółkiewski %1 -").arg(i)));
    }

    void printingWithoutAPrinterTellsTheUser()
    {
        TFBrowser window;
        window.SetDefaultPrinter([] { return std::unique_ptr<QPrinter>(); });
        window.LoadPreview(m_page);
        window.ShowStepWindow();
        MessageRecorder messages;
        clickLabel(&window, "LDrukuj");
        QCOMPARE(messages.messages().size(), 1);
        QVERIFY(messages.texts().first().contains(QStringLiteral("drukarki domyślnej")));
        // A Shift+right click prints as well, it does not open the preview.
        clickLabel(&window, "LDrukuj", Qt::ShiftModifier, Qt::RightButton);
        QCOMPARE(messages.messages().size(), 2);
    }

    void shiftLeftClickOpensTheMaximisedPrintPreview()
    {
        TFBrowser window;
        window.LoadPreview(m_longPage);
        window.ShowStepWindow();
        MessageRecorder messages;
        bool maximised = false;
        bool isPreview = false;
        ModalAnswer answer([&](QWidget* modal) {
            isPreview = qobject_cast<QPrintPreviewDialog*>(modal) != nullptr;
            maximised = modal->windowState().testFlag(Qt::WindowMaximized);
            modal->close();
        });
        clickLabel(&window, "LDrukuj", Qt::ShiftModifier);
        QVERIFY(answer.ran());
        QVERIFY(isPreview);
        QVERIFY(maximised);
        QVERIFY(messages.messages().isEmpty());
    }
};

QTEST_MAIN(TestBrowser)
#include "tst_browser.moc"
