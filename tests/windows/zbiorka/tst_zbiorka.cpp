#include "collect/HandInTable.h"
#include "support/CollectionSample.h"
#include "support/DovecotServer.h"
#include "support/MessageRecorder.h"
#include "support/ModalAnswer.h"
#include "support/TestFiles.h"
#include "windows/zbiorka/CollectWorker.h"
#include "windows/zbiorka/HandInModel.h"
#include "windows/zbiorka/ZbiorkaWindow.h"

#include <QApplication>
#include <QCheckBox>
#include <QDialog>
#include <QDir>
#include <QFileDialog>
#include <QGroupBox>
#include <QInputDialog>
#include <QLineEdit>
#include <QListWidget>
#include <QProcess>
#include <QPushButton>
#include <QSignalSpy>
#include <QStandardPaths>
#include <QTableView>
#include <QTemporaryDir>
#include <QTest>
#include <QTextBrowser>

#include <memory>

namespace {

QPushButton* buttonNamed(QWidget& window, const QString& name)
{
    for (QPushButton* b : window.findChildren<QPushButton*>()) {
        if (b->accessibleName() == name)
            return b;
    }
    return nullptr;
}

QTableView* viewNamed(QWidget& window, const QString& name)
{
    for (QTableView* v : window.findChildren<QTableView*>()) {
        if (v->accessibleName() == name)
            return v;
    }
    return nullptr;
}

// The words of one cell, by row name and column (topic).
QString cell(QTableView* view, const QString& rowName, int column)
{
    QAbstractItemModel* model = view->model();
    for (int r = 0; r < model->rowCount(); ++r) {
        if (model->index(r, 0).data().toString() == rowName)
            return model->index(r, column).data().toString();
    }
    return QStringLiteral("(no row %1)").arg(rowName);
}

bool waitForCollection(ZbiorkaWindow& window)
{
    QSignalSpy done(window.worker(), &CollectWorker::finished);
    return done.wait(90000);
}

// The password dialog answered by typing, as a user does.
ModalAnswer::Action typePassword(const QString& password, bool* asked)
{
    return [password, asked](QWidget* modal) {
        *asked = modal->objectName() == QStringLiteral("PasswordDialog");
        QTest::keyClicks(modal->focusWidget(), password);
        QTest::keyClick(modal->focusWidget(), Qt::Key_Return);
    };
}

} // namespace

class TestZbiorka : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void init()
    {
        QVERIFY(m_home.isValid());
        qputenv("XDG_DATA_HOME", m_home.path().toLocal8Bit());
    }

    // The round-trip set from the network folder and the school's mailbox: who
    // handed in what, the missing ones, a document's origin, the PDF, and what
    // "Odśwież" finds new.
    void collectsFolderAndMailbox()
    {
        DovecotServer server;
        QString error;
        if (!server.startTrusted(&error))
            QSKIP(qPrintable(QStringLiteral("Dovecot cannot start here: ") + error));
        QTemporaryDir temp;
        MessageRecorder recorder;
        CollectionSample sample;
        QVERIFY(sample.write(temp.path()));
        for (const QByteArray& mail : std::as_const(sample.Mails))
            QVERIFY2(server.append(mail, &error), qPrintable(error));

        ZbiorkaWindow window;
        window.setUseKeyring(false);
        CollectionSources s;
        s.Paths = {sample.NetworkFolder};
        s.UseImap = true;
        s.Imap.Host = QStringLiteral("127.0.0.1");
        s.Imap.Port = server.port();
        s.Imap.ImplicitTls = true;
        s.Imap.User = QLatin1String(DovecotServer::kUser);
        s.DataFolder = sample.DataFolder;
        window.setSources(s);
        window.show();
        QVERIFY(QTest::qWaitForWindowExposed(&window));

        bool asked = false;
        {
            ModalAnswer answer(typePassword(QLatin1String(DovecotServer::kPassword), &asked));
            QTest::mouseClick(buttonNamed(window, QStringLiteral("Zbierz")), Qt::LeftButton);
            QVERIFY(answer.ran() && asked);
        }
        QVERIFY(window.busy());
        QVERIFY(buttonNamed(window, QStringLiteral("Anuluj"))->isEnabled());
        QVERIFY(waitForCollection(window));
        QVERIFY(window.outcome());
        QVERIFY2(window.outcome()->Problems.isEmpty(), qPrintable(window.outcome()->Problems.join(u'\n')));

        // The choices are remembered for the next start, the password is not.
        const QByteArray remembered = TestFiles::readFile(CollectionSources::SettingsPath());
        QVERIFY2(remembered.contains("serwer=127.0.0.1") && !remembered.contains(DovecotServer::kPassword) &&
                     !remembered.contains("tajne"),
                 remembered.constData());
        {
            ZbiorkaWindow next;
            const CollectionSources again = next.sources();
            QCOMPARE(again.Paths, s.Paths);
            QVERIFY(again.UseImap && again.Imap.ImplicitTls);
            QCOMPARE(again.Imap.Port, server.port());
            QCOMPARE(again.Imap.User, s.Imap.User);
            QCOMPARE(again.DataFolder, s.DataFolder);
        }
        QCOMPARE(window.outcome()->Imap.fetched, 3);

        QTableView* teachers = viewNamed(window, QStringLiteral("Nauczyciele i tematy"));
        QTableView* classes = viewNamed(window, QStringLiteral("Klasy i tematy klasowe"));
        QVERIFY(teachers && classes);
        QCOMPARE(teachers->model()->rowCount(), 5);
        QCOMPARE(cell(teachers, QStringLiteral("Kowalska Anna"), 1), QStringLiteral("oddane"));
        QCOMPARE(cell(teachers, QStringLiteral("Kowalska Anna"), 2), QStringLiteral("oddane"));
        QCOMPARE(cell(teachers, QStringLiteral("Kowalska Anna"), 4), QStringLiteral("–"));
        QCOMPARE(cell(teachers, QStringLiteral("Nowak Jan"), 4), QStringLiteral("oddane"));
        QCOMPARE(cell(teachers, QStringLiteral("Zieliński Piotr"), 5), QStringLiteral("oddane"));
        QCOMPARE(cell(teachers, QStringLiteral("Lis Adam"), 1), QStringLiteral("brak (3b)"));
        QCOMPARE(cell(teachers, QStringLiteral("Lis Adam"), 3), QStringLiteral("oddane"));
        for (int topic = 1; topic <= 9; ++topic)
            QCOMPARE(cell(teachers, QStringLiteral("Pusty Marek"), topic), QStringLiteral("brak"));
        QCOMPARE(cell(classes, QStringLiteral("2a"), 1), QStringLiteral("oddane: Kowalska Anna"));
        QCOMPARE(cell(classes, QStringLiteral("3b"), 1), QStringLiteral("brak"));
        QCOMPARE(cell(classes, QStringLiteral("3b"), 3), QStringLiteral("oddane: Lis Adam"));
        // Colour goes with the words: each state its own.
        QVERIFY(HandInModel::colourOf(HandInState::Missing) != HandInModel::colourOf(HandInState::HandedIn));

        // The missing list: the summary names Pusty Marek and Lis Adam's class.
        const ReportCollection::Missing& missing = window.outcome()->Missing;
        QCOMPARE(missing.Teachers.size(), 2);
        QCOMPARE(missing.Teachers[0].Teacher, QStringLiteral("Lis Adam"));
        QCOMPARE(missing.Teachers[0].MissingItems, QStringLiteral("1 (3b), 2 (3b)"));
        QCOMPARE(missing.Teachers[1].Teacher, QStringLiteral("Pusty Marek"));
        const QString summary = window.findChild<QTextBrowser*>()->toPlainText();
        QVERIFY2(summary.contains(QStringLiteral("Pusty Marek")), qPrintable(summary.left(3000)));

        // "tylko braki" keeps the rows with a gap.
        window.findChild<QCheckBox*>(QStringLiteral("OnlyMissing"))->setChecked(true);
        QCOMPARE(teachers->model()->rowCount(), 2);
        QCOMPARE(classes->model()->rowCount(), 1);
        window.findChild<QCheckBox*>(QStringLiteral("OnlyMissing"))->setChecked(false);

        // Sorting by a topic puts the missing first.
        teachers->sortByColumn(1, Qt::AscendingOrder);
        QCOMPARE(teachers->model()->index(0, 1).data().toString().left(4), QStringLiteral("brak"));

        // A mailed document shows where it came from.
        QString shown;
        {
            ModalAnswer answer([&](QWidget* modal) {
                shown = modal->findChild<QTextBrowser*>()->toPlainText();
                QTest::keyClick(modal, Qt::Key_Escape);
            });
            QAbstractItemModel* model = teachers->model();
            QModelIndex target;
            for (int r = 0; r < model->rowCount(); ++r) {
                if (model->index(r, 0).data().toString() == QStringLiteral("Nowak Jan"))
                    target = model->index(r, 4);
            }
            QVERIFY(target.isValid());
            teachers->setFocus();
            teachers->setCurrentIndex(target);
            QTest::keyClick(teachers, Qt::Key_Return);
            QVERIFY(answer.ran());
        }
        QVERIFY2(shown.contains(QStringLiteral("Program zrealizowany.")) &&
                     shown.contains(QStringLiteral("skrzynka sekretariat@127.0.0.1:%1/INBOX, list UID 1").arg(server.port())),
                 qPrintable(shown));

        // The summary saved as PDF through the save dialog.
        const QString pdf = QDir(temp.path()).filePath(QStringLiteral("rada.pdf"));
        {
            ModalAnswer answer([&](QWidget* modal) {
                auto* dialog = qobject_cast<QFileDialog*>(modal);
                QVERIFY(dialog);
                dialog->selectFile(pdf);
                QTest::keyClick(modal->focusWidget(), Qt::Key_Return);
            });
            QPushButton* save = buttonNamed(window, QStringLiteral("Zapisz zestawienie"));
            QVERIFY(save && save->isEnabled());
            QTest::mouseClick(save, Qt::LeftButton);
            QVERIFY2(answer.ran(), answer.timedOut() ? "timed out" : "not run");
        }
        QVERIFY(QFile::exists(pdf));
        QProcess text;
        text.start(QStandardPaths::findExecutable(QStringLiteral("pdftotext")),
                   {QStringLiteral("-enc"), QStringLiteral("UTF-8"), pdf, QStringLiteral("-")});
        QVERIFY(text.waitForFinished(60000));
        const QString printed = QString::fromUtf8(text.readAllStandardOutput()).simplified();
        QVERIFY2(printed.contains(QStringLiteral("Pusty Marek")) && printed.contains(QStringLiteral("Olimpiada.")),
                 qPrintable(printed.left(1500)));

        // A report arrives; "Odśwież" fetches only it and names it as new.
        QVERIFY(server.append(CollectionSample::LateMail(temp.path()), &error));
        QTest::mouseClick(buttonNamed(window, QStringLiteral("Odśwież")), Qt::LeftButton);
        QVERIFY(waitForCollection(window));
        QCOMPARE(window.outcome()->Imap.fetched, 1);
        QStringList lines;
        for (QListWidget* list : window.findChildren<QListWidget*>()) {
            if (list->accessibleName() == QStringLiteral("Zmiany od poprzedniego zbierania"))
                for (int i = 0; i < list->count(); ++i)
                    lines.append(list->item(i)->text());
        }
        QCOMPARE(lines, QStringList{QStringLiteral("nowe: Lis Adam – 1. ") + TopicHeading(1) + QStringLiteral(" (3b)")});
        QCOMPARE(cell(classes, QStringLiteral("3b"), 1), QStringLiteral("oddane: Lis Adam"));
        QVERIFY(recorder.messages().isEmpty());
    }

    // Every control can be reached with Tab alone, in reading order, and Esc
    // cancels a running collection.
    void tabReachesEveryControl()
    {
        ZbiorkaWindow window;
        window.setUseKeyring(false);
        QTemporaryDir temp;
        CollectionSample sample;
        QVERIFY(sample.write(temp.path()));
        CollectionSources s;
        s.Paths = {sample.NetworkFolder};
        s.UseImap = true;
        s.Imap.Host = QStringLiteral("poczta.example");
        s.Imap.User = QStringLiteral("sekretariat");
        s.DataFolder = sample.DataFolder;
        window.setSources(s);
        window.show();
        QApplication::setActiveWindow(&window);
        QVERIFY(QTest::qWaitForWindowActive(&window));
        // With results, so that the result buttons are enabled too.
        s.UseImap = false;
        window.setSources(s);
        QVERIFY(window.collect());
        QVERIFY(waitForCollection(window));
        s.UseImap = true;
        window.setSources(s);
        QListWidget* paths = nullptr;
        for (QListWidget* list : window.findChildren<QListWidget*>()) {
            if (list->accessibleName() == QStringLiteral("Foldery i pliki poczty"))
                paths = list;
        }
        QVERIFY(paths);
        paths->setCurrentRow(0);

        QList<QWidget*> expected;
        for (QWidget* w : window.findChildren<QWidget*>()) {
            if (w->isVisibleTo(&window) && w->isEnabled() && (w->focusPolicy() & Qt::TabFocus) &&
                !w->accessibleName().isEmpty())
                expected.append(w);
        }
        QVERIFY(expected.size() >= 20);
        paths->setFocus();
        QSet<QWidget*> reached;
        for (int i = 0; i < 80; ++i) {
            if (QWidget* f = QApplication::focusWidget())
                reached.insert(f);
            QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
        }
        for (QWidget* w : std::as_const(expected))
            QVERIFY2(reached.contains(w) || reached.contains(w->focusProxy()), qPrintable(w->accessibleName()));
    }

private:
    QTemporaryDir m_home;
};

QTEST_MAIN(TestZbiorka)
#include "tst_zbiorka.moc"
