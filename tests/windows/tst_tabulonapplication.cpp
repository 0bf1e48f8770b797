#include "core/Messages.h"
#include "support/MessageRecorder.h"
#include "support/ModalAnswer.h"
#include "windows/TabulonApplication.h"
#include "windows/parts/SkinPicture.h"
#include "windows/parts/UWarning.h"

#include <QLabel>
#include <QTest>
#include <QTimer>

#include <stdexcept>

namespace {

// A window whose key handler fails the way a forgotten error would.
class FailingWindow : public QWidget
{
public:
    int handled = 0;

protected:
    void keyPressEvent(QKeyEvent* event) override
    {
        if (event->key() == Qt::Key_F)
            throw std::runtime_error("Nie można zapisać pliku „raport.xml”.");
        if (event->key() == Qt::Key_X)
            throw 42;
        ++handled;
    }
};

} // namespace

class TestTabulonApplication : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void uncaughtErrorIsShownAndTheProgramGoesOn()
    {
        MessageRecorder recorder;
        FailingWindow window;

        QTest::keyClick(&window, Qt::Key_F);
        QCOMPARE(recorder.messages().size(), 1);
        QCOMPARE(recorder.messages().at(0).kind, int(KindNotice));
        QCOMPARE(recorder.messages().at(0).icon, int(IconWarning));
        QCOMPARE(recorder.messages().at(0).text, QStringLiteral("Nie można zapisać pliku „raport.xml”."));

        // The same window keeps handling events afterwards.
        QTest::keyClick(&window, Qt::Key_K);
        QTest::keyClick(&window, Qt::Key_F);
        QTest::keyClick(&window, Qt::Key_K);
        QCOMPARE(window.handled, 2);
        QCOMPARE(recorder.messages().size(), 2);

        // Something thrown that is not an error object still gets a readable text.
        QTest::keyClick(&window, Qt::Key_X);
        QCOMPARE(recorder.messages().size(), 3);
        QCOMPARE(recorder.messages().at(2).text, QStringLiteral("Wystąpił nieoczekiwany błąd programu."));
    }

    void errorFromATimerIsCaughtToo()
    {
        MessageRecorder recorder;
        bool laterRan = false;
        QTimer::singleShot(0, [] { throw std::logic_error("Błąd w zegarze"); });
        QTimer::singleShot(10, [&] { laterRan = true; });
        QTRY_VERIFY(laterRan);
        QCOMPARE(recorder.texts(), QStringList{QStringLiteral("Błąd w zegarze")});
    }

    void errorShowsInTheMessageDialog()
    {
        TFWarning dialog;
        setMessagePresenter(&dialog);
        FailingWindow window;
        QString shownText;
        bool asNotice = false;
        bool warningIcon = false;
        {
            ModalAnswer answer([&](QWidget* d) {
                shownText = d->findChild<QLabel*>(QStringLiteral("LTekstWarning"))->text();
                asNotice = d->findChild<QWidget*>(QStringLiteral("pButZamknij"))->isVisible();
                warningIcon = d->findChild<QLabel*>(QStringLiteral("ImIkona"))->pixmap().toImage() ==
                              SkinPicture(QStringLiteral("ikouwaga")).toImage();
                QTest::keyClick(d, Qt::Key_Z);
            });
            QTest::keyClick(&window, Qt::Key_F);
            QVERIFY(answer.ran());
            QVERIFY(!answer.leftOpen());
        }
        setMessagePresenter(nullptr);
        QCOMPARE(shownText, QStringLiteral("Nie można zapisać pliku „raport.xml”."));
        QVERIFY(asNotice);
        QVERIFY(warningIcon);
        QTest::keyClick(&window, Qt::Key_K);
        QCOMPARE(window.handled, 1);
    }
};

int main(int argc, char** argv)
{
    TabulonApplication app(argc, argv);
    TestTabulonApplication test;
    return QTest::qExec(&test, argc, argv);
}

#include "tst_tabulonapplication.moc"
