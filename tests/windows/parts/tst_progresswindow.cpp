#include "core/Progress.h"
#include "windows/parts/ProgressWindow.h"

#include <QPushButton>
#include <QTest>

namespace {

// Cancels from the n-th report on, and counts what it was told.
class CancellingPresenter final : public ProgressPresenter
{
public:
    explicit CancellingPresenter(int cancelAt) : m_cancelAt(cancelAt) {}
    void begin(const QString&) override { ++begun; }
    bool report(const QString&, qint64, qint64) override { return ++reports < m_cancelAt; }
    void end() override { ++ended; }
    int begun = 0, reports = 0, ended = 0;

private:
    int m_cancelAt;
};

} // namespace

class TestProgressWindow : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    // A cancel is final for the scope: later reports neither reach the presenter
    // nor turn it back into a go-ahead, and the presenter always hears the end.
    void scopeKeepsCancel()
    {
        CancellingPresenter presenter(2);
        setProgressPresenter(&presenter);
        {
            ProgressScope scope(QStringLiteral("Pobieranie"));
            QVERIFY(scope.report(QStringLiteral("a"), 1, 10));
            QVERIFY(!scope.report(QStringLiteral("a"), 2, 10));
            QVERIFY(!scope.report(QStringLiteral("a"), 3, 10));
            QVERIFY(scope.cancelled());
        }
        setProgressPresenter(nullptr);
        QCOMPARE(presenter.begun, 1);
        QCOMPARE(presenter.reports, 2);
        QCOMPARE(presenter.ended, 1);
        // With no presenter installed nothing is shown and nothing cancels.
        ProgressScope silent(QStringLiteral("x"));
        QVERIFY(silent.report(QString(), 5, 0));
    }

    // The window comes up once the work has lasted its delay, its "Anuluj" (by
    // click, and Esc alike) cancels the work, and it goes when the work ends.
    void windowCancels()
    {
        for (const bool byKey : {false, true}) {
            ProgressWindow window;
            window.setShowDelay(0);
            window.begin(QStringLiteral("Wysyłanie poczty"));
            QVERIFY(window.report(QStringLiteral("raport.xml"), 512, 2048));
            QVERIFY(window.isVisible());
            if (byKey)
                QTest::keyClick(&window, Qt::Key_Escape);
            else
                window.findChild<QPushButton*>(QStringLiteral("BAnuluj"))->click();
            QVERIFY(!window.report(QStringLiteral("raport.xml"), 1024, 2048));
            window.end();
            QVERIFY(!window.isVisible());
            // The next piece of work starts afresh.
            window.begin(QStringLiteral("Kopiowanie"));
            QVERIFY(window.report(QString(), 0, 0));
            window.end();
        }
    }

    void sizesInPolish()
    {
        QCOMPARE(ProgressWindow::sizeText(512, 0), QStringLiteral("512 B"));
        QCOMPARE(ProgressWindow::sizeText(1536 * 1024, 3 * 1024 * 1024 + 200 * 1024),
                 QStringLiteral("1,5 MB z 3,2 MB"));
    }
};

QTEST_MAIN(TestProgressWindow)
#include "tst_progresswindow.moc"
