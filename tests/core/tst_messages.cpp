#include "core/AppState.h"
#include "core/Messages.h"
#include "support/MessageRecorder.h"

#include <QTest>

class TestMessages : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void answersAreKeptInDialogResult()
    {
        MessageRecorder recorder;
        recorder.scriptAnswers({AnswerYes, AnswerCancel});
        QCOMPARE(ShowMessage(KindQuestion, IconQuestion, QStringLiteral("Usunąć?")), int(AnswerYes));
        QCOMPARE(appState().DialogResult, int(AnswerYes));
        QCOMPARE(ShowMessage(KindQuestion, IconQuestion, QStringLiteral("Na pewno?")), int(AnswerCancel));
        QCOMPARE(appState().DialogResult, int(AnswerCancel));
        QCOMPARE(ShowMessage(KindNotice, IconInformation, QStringLiteral("Gotowe")), int(AnswerClose));
        QCOMPARE(recorder.messages().size(), 3);
        QCOMPARE(recorder.messages().at(1).kind, int(KindQuestion));
        QCOMPARE(recorder.messages().at(2).icon, int(IconInformation));
    }

    void recorderRestoresThePreviousPresenter()
    {
        MessagePresenter* before = messagePresenter();
        {
            MessageRecorder outer;
            {
                MessageRecorder inner;
                QCOMPARE(messagePresenter(), &inner);
            }
            QCOMPARE(messagePresenter(), &outer);
        }
        QCOMPARE(messagePresenter(), before);
    }
};

QTEST_GUILESS_MAIN(TestMessages)
#include "tst_messages.moc"
