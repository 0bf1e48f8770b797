#include "core/AppState.h"
#include "core/KlasaFull.h"
#include "support/MessageRecorder.h"
#include "support/ModalAnswer.h"
#include "windows/editors/UEditNdst.h"
#include "windows/editors/UEditSrednie.h"
#include "windows/editors/UEdycjaNdst.h"
#include "windows/editors/UNaganneEdycja.h"

#include <QApplication>
#include <QComboBox>
#include <QPointer>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPlainTextEdit>
#include <QTest>

namespace {

const QString kBadNumber = QStringLiteral("Wpisz poprawnie wartość średniej.");
const QString kOutOfRange = QStringLiteral("Wartość średniej musi być z przedziału [4,75-6,0]. Popraw.");
const QString kNoSubject = QStringLiteral("Wskaż na liście co najmniej jeden przedmiot.");
const QString kEmptyText = QStringLiteral("Wpisz uzasadnienie lub anuluj.\rUzasadnienie nie może być puste.");

template <typename T> T* part(QWidget* window, const char* name)
{
    return window->findChild<T*>(QString::fromLatin1(name));
}

void clickLabel(QWidget* window, const char* name)
{
    auto* label = part<QLabel>(window, name);
    QVERIFY(label);
    QTest::mouseClick(label, Qt::LeftButton, {}, label->rect().center());
}

void selectRows(QListWidget* list, std::initializer_list<int> rows)
{
    list->clearSelection();
    for (int row : rows)
        list->item(row)->setSelected(true);
}

} // namespace

class TestEntryDialogs : public QObject
{
    Q_OBJECT

private:
    _UczenFull& row(int index) { return klasaFull().Rows[index]; }

    struct AverageRun
    {
        bool confirmed;
        QString shown; // the edit's text when Enter was pressed
        QStringList messages;
    };

    // Types `typed` over the preselected default and presses Enter; a dialog still
    // open after that is cancelled with Esc.
    AverageRun typeAverage(TFEditSrednie& dialog, const QString& typed)
    {
        MessageRecorder recorder;
        // A refused value's notice, then the question before the typed value goes.
        recorder.scriptAnswers({AnswerClose, AnswerYes});
        QString shown;
        ModalAnswer answer([&](QWidget* modal) {
            auto* edit = part<QLineEdit>(modal, "EWartoscSredniej");
            if (!typed.isNull())
                QTest::keyClicks(edit, typed);
            shown = edit->text();
            QTest::keyClick(edit, Qt::Key_Return);
            if (modal->isVisible())
                QTest::keyClick(edit, Qt::Key_Escape);
        });
        dialog.exec();
        QStringList texts = recorder.texts();
        texts.removeAll(EntryDialog::DropQuestion());
        return {dialog.AverageConfirmed() && answer.ran(), shown, texts};
    }

private Q_SLOTS:
    void init()
    {
        appState() = AppState{};
        klasaFull() = _KlasaFull{};
        klasaFull().LoadClassSheet(QStringLiteral("IIa"),
                                   {QStringLiteral("Adamczyk Jan"), QStringLiteral("Bąk Ola")});
        appState().CurrentPupilIndex = 1;
    }

    void averageAcceptsTheRangeAndRefusesTheRest()
    {
        TFEditSrednie dialog;
        struct Case
        {
            QString typed;
            int stored;      // 0: refused
            QString message; // for a refused value
        };
        const QList<Case> cases{
            {QString(), 500, {}}, // Enter on the untouched default "5,0"
            {QStringLiteral("4,75"), 475, {}},
            {QStringLiteral("6"), 600, {}},
            {QStringLiteral("4,7451"), 475, {}},
            {QStringLiteral("5.5"), 550, {}},
            {QStringLiteral("x5y,z2!5"), 525, {}}, // letters never reach the edit
            {QStringLiteral("4,74"), 0, kOutOfRange},
            {QStringLiteral("6,01"), 0, kOutOfRange},
            {QStringLiteral("4,7449"), 0, kOutOfRange},
            {QStringLiteral(","), 0, kBadNumber},
            {QStringLiteral("5,,5"), 0, kBadNumber},
        };
        for (const Case& c : cases) {
            row(1).Average = 7;
            const AverageRun run = typeAverage(dialog, c.typed);
            const QByteArray what = c.typed.toUtf8();
            if (c.stored) {
                QVERIFY2(run.confirmed, what.constData());
                QCOMPARE(row(1).Average, c.stored);
                QVERIFY2(run.messages.isEmpty(), what.constData());
            } else {
                QVERIFY2(!run.confirmed, what.constData());
                QCOMPARE(row(1).Average, 7);
                QCOMPARE(run.messages, QStringList{c.message});
            }
            QCOMPARE(row(0).Average, 0);
        }
        // Delete and the cursor keys edit the field; only typed characters are judged.
        // X11 attaches the DEL character to the Delete key.
        ModalAnswer editing([](QWidget* modal) {
            auto* edit = part<QLineEdit>(modal, "EWartoscSredniej");
            QTest::keyClick(edit, Qt::Key_Home);
            for (int i = 0; i < 2; ++i) {
                QKeyEvent press(QEvent::KeyPress, Qt::Key_Delete, Qt::NoModifier, QString(QChar(0x7f)));
                QApplication::sendEvent(edit, &press);
            }
            QCOMPARE(edit->text(), QStringLiteral("0"));
            QTest::keyClicks(edit, QStringLiteral("5,"));
            QTest::keyClick(edit, Qt::Key_End);
            QTest::keyClick(edit, Qt::Key_Backspace);
            QTest::keyClicks(edit, QStringLiteral("25"));
            QTest::keyClick(edit, Qt::Key_Return);
        });
        dialog.exec();
        QVERIFY(editing.ran());
        QVERIFY(dialog.AverageConfirmed());
        QCOMPARE(row(1).Average, 525);

        // A typed point shows as a comma.
        QCOMPARE(typeAverage(dialog, QStringLiteral("5.25")).shown, QStringLiteral("5,25"));

        // Esc and the cancel label leave the row and the flag alone, even after a
        // confirmed showing.
        row(1).Average = 512;
        ModalAnswer esc([](QWidget* modal) {
            QTest::keyClick(part<QLineEdit>(modal, "EWartoscSredniej"), Qt::Key_Escape);
        });
        dialog.exec();
        QVERIFY(esc.ran());
        QVERIFY(!dialog.AverageConfirmed());
        ModalAnswer cancel([](QWidget* modal) { clickLabel(modal, "LAnuluj"); });
        dialog.exec();
        QVERIFY(cancel.ran());
        QVERIFY(!dialog.AverageConfirmed());
        QCOMPARE(row(1).Average, 512);
    }

    void failingSubjectsJoinTheSelectionAndKeepItForNextTime()
    {
        TFEditNdst dialog;
        dialog.SetSubjects(
            {QStringLiteral("Matematyka"), QStringLiteral("Fizyka"), QStringLiteral("Chemia")});
        MessageRecorder recorder;
        auto* subjects = part<QListWidget>(&dialog, "LPrzedmioty");

        // Nothing selected: the message, the dialog stays; then two subjects.
        ModalAnswer first([&](QWidget*) {
            QTest::keyClick(subjects, Qt::Key_Return);
            QVERIFY(dialog.isVisible());
            selectRows(subjects, {2, 0});
            clickLabel(&dialog, "LWprowadz");
        });
        dialog.exec();
        QVERIFY(first.ran());
        QCOMPARE(recorder.texts(), QStringList{kNoSubject});
        QVERIFY(dialog.SubjectsConfirmed());
        QCOMPARE(row(1).FailSubjects, QStringLiteral("Matematyka, Chemia"));

        // The next showing starts with the same selection; Esc cancels (after the
        // question, since the selection changed) and the pupil's subjects stay.
        recorder.scriptAnswers({AnswerYes});
        bool selectionKept = false;
        ModalAnswer escape([&](QWidget*) {
            selectionKept = subjects->item(0)->isSelected() && subjects->item(2)->isSelected() &&
                            !subjects->item(1)->isSelected();
            selectRows(subjects, {1});
            QTest::keyClick(subjects, Qt::Key_Escape);
        });
        dialog.exec();
        QVERIFY(escape.ran());
        QVERIFY(selectionKept);
        QVERIFY(!dialog.SubjectsConfirmed());
        QCOMPARE(row(1).FailSubjects, QStringLiteral("Matematyka, Chemia"));

        // A double click confirms with the selection as the click leaves it.
        ModalAnswer doubleClick([&](QWidget*) {
            const QRect place = subjects->visualItemRect(subjects->item(1));
            QTest::mouseClick(subjects->viewport(), Qt::LeftButton, {}, place.center());
            QTest::mouseDClick(subjects->viewport(), Qt::LeftButton, {}, place.center());
        });
        dialog.exec();
        QVERIFY(doubleClick.ran());
        QVERIFY(dialog.SubjectsConfirmed());
        QCOMPARE(row(1).FailSubjects, QStringLiteral("Fizyka"));
        QCOMPARE(recorder.texts(), (QStringList{kNoSubject, EntryDialog::DropQuestion()}));
    }

    void justificationNeedsSomeTextAndGivesTheTypedLines()
    {
        TFEdytujNdst dialog;
        dialog.SetPupils(QStringLiteral("Adamczyk Jan, Bąk Ola"));
        dialog.SetText({});
        MessageRecorder recorder;
        auto* memo = part<QPlainTextEdit>(&dialog, "MTekst");

        ModalAnswer empty([&](QWidget*) {
            clickLabel(&dialog, "LWprowadz");
            QVERIFY(dialog.isVisible());
            QTest::keyClicks(memo, QStringLiteral(" "));
            clickLabel(&dialog, "LWprowadz");
        });
        dialog.exec();
        QVERIFY(empty.ran());
        QCOMPARE(recorder.texts(), QStringList{kEmptyText});
        QVERIFY(dialog.JustificationConfirmed());
        QCOMPARE(dialog.TypedLines(), QStringList{QStringLiteral(" ")});

        // A line longer than the memo is wide stays one line; an empty line stays.
        const QString longLine = QStringLiteral("Uczeń nie opanował podstawowych wiadomości ").repeated(5);
        dialog.SetText({longLine, QString(), QStringLiteral("b")});
        ModalAnswer typed([&](QWidget*) { clickLabel(&dialog, "LWprowadz"); });
        dialog.exec();
        QCOMPARE(dialog.TypedLines(), (QStringList{longLine, QString(), QStringLiteral("b")}));

        // A line break at the very end starts no further line.
        ModalAnswer ended([&](QWidget*) {
            memo->setPlainText(QStringLiteral("a\nb\n"));
            clickLabel(&dialog, "LWprowadz");
        });
        dialog.exec();
        QVERIFY(ended.ran());
        QCOMPARE(dialog.TypedLines(), (QStringList{QStringLiteral("a"), QStringLiteral("b")}));

        ModalAnswer cancel([&](QWidget*) { QTest::keyClick(memo, Qt::Key_Escape); });
        dialog.exec();
        QVERIFY(cancel.ran());
        QVERIFY(!dialog.JustificationConfirmed());
    }

    // Every way of leaving each dialog without confirming: with nothing typed it just
    // closes; with text typed it asks, the default answer keeps the dialog open with
    // the text, and only "Porzuć tekst" lets it go.
    void leavingWithTypedTextAsksFirst_data()
    {
        QTest::addColumn<QString>("dialog");
        QTest::addColumn<QString>("how");
        for (const char* dialog : {"FEditSrednie", "FEditNdst", "FEdytujNdst", "FEdytujZachowanie"}) {
            for (const char* how : {"Esc", "Anuluj", "close"})
                QTest::newRow(qPrintable(QStringLiteral("%1 %2").arg(QLatin1String(dialog), QLatin1String(how))))
                    << QString::fromLatin1(dialog) << QString::fromLatin1(how);
        }
    }

    void leavingWithTypedTextAsksFirst()
    {
        QFETCH(QString, dialog);
        QFETCH(QString, how);
        std::unique_ptr<EntryDialog> shown;
        if (dialog == QLatin1String("FEditSrednie")) {
            shown = std::make_unique<TFEditSrednie>();
        } else if (dialog == QLatin1String("FEditNdst")) {
            auto subjects = std::make_unique<TFEditNdst>();
            subjects->SetSubjects({QStringLiteral("Fizyka"), QStringLiteral("Chemia")});
            shown = std::move(subjects);
        } else if (dialog == QLatin1String("FEdytujNdst")) {
            shown = std::make_unique<TFEdytujNdst>();
        } else {
            shown = std::make_unique<TFEdytujZachowanie>();
        }
        const auto type = [&](QWidget* modal) {
            if (auto* list = part<QListWidget>(modal, "LPrzedmioty"))
                list->item(1)->setSelected(true);
            else if (auto* memo = modal->findChild<QPlainTextEdit*>())
                QTest::keyClicks(memo, QStringLiteral("Nie odrabia lekcji"));
            else
                QTest::keyClicks(part<QLineEdit>(modal, "EWartoscSredniej"), QStringLiteral("5,5"));
        };
        const auto leave = [&](QWidget* modal) {
            if (how == QLatin1String("Esc"))
                QTest::keyClick(QApplication::focusWidget() ? QApplication::focusWidget() : modal, Qt::Key_Escape);
            else if (how == QLatin1String("Anuluj"))
                clickLabel(modal, "LAnuluj");
            else
                modal->close();
        };

        // Nothing typed: it closes without a word.
        MessageRecorder recorder;
        ModalAnswer untouched([&](QWidget* modal) { leave(modal); });
        shown->exec();
        QVERIFY(untouched.ran() && !untouched.leftOpen());
        QVERIFY(recorder.messages().isEmpty());

        // Typed: the question, whose default keeps the dialog and the text.
        bool stayed = false;
        QJsonObject before;
        QJsonObject after;
        ModalAnswer typed([&](QWidget* modal) {
            type(modal);
            before = shown->TypedState();
            leave(modal);
            stayed = modal->isVisible();
            after = shown->TypedState();
            recorder.scriptAnswers({AnswerYes});
            leave(modal);
        });
        shown->exec();
        QVERIFY(typed.ran() && !typed.leftOpen());
        QVERIFY(stayed);
        QCOMPARE(after, before);
        QVERIFY(!shown->Confirmed());
        QCOMPARE(recorder.texts(), (QStringList{EntryDialog::DropQuestion(), EntryDialog::DropQuestion()}));
        const MessageRecorder::Message question = recorder.messages().first();
        QCOMPARE(question.captions, (QStringList{QStringLiteral("Porzuć tekst"), QStringLiteral("Wróć do tekstu")}));
        QCOMPARE(question.keeps, int(AnswerNo));
    }
};

QTEST_MAIN(TestEntryDialogs)
#include "tst_entrydialogs.moc"
