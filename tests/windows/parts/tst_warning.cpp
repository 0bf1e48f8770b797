#include "windows/parts/SkinPicture.h"
#include "core/AppState.h"
#include "core/Messages.h"
#include "windows/parts/UWarning.h"
#include "windows/editors/ClassEditor.h"
#include "drafts/EditorDrafts.h"
#include "windows/editors/EntryDialog.h"
#include "support/ModalAnswer.h"

#include <QGuiApplication>
#include <QLabel>
#include <QLineEdit>
#include <QScreen>
#include <QTest>
#include <QVBoxLayout>
#include <QAccessible>
#include <QFontMetrics>

#include <memory>

namespace {

template <typename T = QWidget> T* part(QWidget* dialog, const char* name)
{
    return dialog->findChild<T*>(QString::fromLatin1(name));
}

bool shows(QWidget* dialog, const char* imageName, const char* pictureName)
{
    const QLabel* image = part<QLabel>(dialog, imageName);
    return image && image->pixmap().toImage() == SkinPicture(QString::fromLatin1(pictureName)).toImage();
}

bool visibleIn(QWidget* dialog, const char* panelName)
{
    QWidget* panel = part(dialog, panelName);
    return panel && panel->isVisible();
}

void keys(QWidget* dialog, std::initializer_list<Qt::Key> sequence)
{
    for (Qt::Key key : sequence)
        QTest::keyClick(dialog, key);
}

} // namespace

class TestWarning : public QObject
{
    Q_OBJECT

private:
    std::unique_ptr<TFWarning> m_dialog;

    // Shows one message and answers it with `action` from inside the modal loop.
    int ask(int kind, int icon, const QString& text, const ModalAnswer::Action& action)
    {
        ModalAnswer answer(action);
        const int result = ShowMessage(kind, icon, text);
        if (!answer.ran() || answer.leftOpen())
            qWarning("the dialog was not shown or not closed by the answer");
        return answer.ran() && !answer.leftOpen() ? result : -1;
    }

    int askWithKeys(int kind, std::initializer_list<Qt::Key> sequence)
    {
        return ask(kind, IconQuestion, QStringLiteral("Pytanie?"), [&](QWidget* d) { keys(d, sequence); });
    }

private Q_SLOTS:
    void initTestCase()
    {
        m_dialog = std::make_unique<TFWarning>();
        setMessagePresenter(m_dialog.get());
    }

    void cleanupTestCase()
    {
        setMessagePresenter(nullptr);
        m_dialog.reset();
    }

    void windowIsFramelessOnTopAndCentred()
    {
        QRect shownAt;
        Qt::WindowFlags flags;
        bool modal = false;
        QCOMPARE(ask(KindNotice, IconInformation, QStringLiteral("Gotowe."),
                     [&](QWidget* d) {
                         shownAt = d->frameGeometry();
                         flags = d->windowFlags();
                         modal = d->isModal();
                         QTest::keyClick(d, Qt::Key_Return);
                     }),
                 int(AnswerClose));
        QCOMPARE(shownAt.size(), QSize(350, 150));
        QVERIFY(flags & Qt::FramelessWindowHint);
        QVERIFY(flags & Qt::WindowStaysOnTopHint);
        QVERIFY(modal);
        QCOMPARE(shownAt.center(), QGuiApplication::primaryScreen()->availableGeometry().center());
    }

    void noticeAnswersZamknijOnly()
    {
        QCOMPARE(askWithKeys(KindNotice, {Qt::Key_Return}), int(AnswerClose));
        QCOMPARE(appState().DialogResult, int(AnswerClose));
        QCOMPARE(askWithKeys(KindNotice, {Qt::Key_Escape}), int(AnswerClose));
        QCOMPARE(askWithKeys(KindNotice, {Qt::Key_Z}), int(AnswerClose));

        // T, N, A, the arrows and Tab neither close a notice nor move its highlight.
        bool stayedOpen = true;
        bool zamknijKeptHighlight = true;
        bool onlyZamknij = false;
        const int answer = ask(KindNotice, IconWarning, QStringLiteral("Uwaga."), [&](QWidget* d) {
            onlyZamknij = visibleIn(d, "pButZamknij") && !visibleIn(d, "PButTak") &&
                          !visibleIn(d, "PButNie") && !visibleIn(d, "PButAnuluj");
            for (Qt::Key key : {Qt::Key_T, Qt::Key_N, Qt::Key_A, Qt::Key_Left, Qt::Key_Right, Qt::Key_Tab}) {
                QTest::keyClick(d, key);
                stayedOpen = stayedOpen && d->isVisible();
                zamknijKeptHighlight = zamknijKeptHighlight && shows(d, "ImButZamknij", "butzamknijakt");
            }
            QTest::keyClick(d, Qt::Key_Return);
        });
        QCOMPARE(answer, int(AnswerClose));
        QVERIFY(onlyZamknij);
        QVERIFY(stayedOpen);
        QVERIFY(zamknijKeptHighlight);
    }

    void questionKeys()
    {
        QCOMPARE(askWithKeys(KindQuestion, {Qt::Key_Return}), int(AnswerYes));
        QCOMPARE(askWithKeys(KindQuestion, {Qt::Key_Right, Qt::Key_Return}), int(AnswerNo));
        QCOMPARE(askWithKeys(KindQuestion, {Qt::Key_Left, Qt::Key_Return}), int(AnswerCancel));
        QCOMPARE(askWithKeys(KindQuestion, {Qt::Key_Left, Qt::Key_Left, Qt::Key_Return}), int(AnswerNo));
        QCOMPARE(askWithKeys(KindQuestion, {Qt::Key_Right, Qt::Key_Right, Qt::Key_Right, Qt::Key_Return}),
                 int(AnswerYes));
        QCOMPARE(askWithKeys(KindQuestion, {Qt::Key_Enter}), int(AnswerYes));
        QCOMPARE(askWithKeys(KindQuestion, {Qt::Key_T}), int(AnswerYes));
        QCOMPARE(askWithKeys(KindQuestion, {Qt::Key_N}), int(AnswerNo));
        QCOMPARE(askWithKeys(KindQuestion, {Qt::Key_Right, Qt::Key_A}), int(AnswerCancel));
        QCOMPARE(appState().DialogResult, int(AnswerCancel));

        // Z belongs to Zamknij, which a question does not show; Escape cancels it, and
        // Space answers with the highlighted button as Enter does.
        bool stayedOpen = false;
        const int answer = ask(KindQuestion, IconQuestion, QStringLiteral("Usunąć?"), [&](QWidget* d) {
            keys(d, {Qt::Key_Z});
            stayedOpen = d->isVisible();
            QTest::keyClick(d, Qt::Key_N);
        });
        QVERIFY(stayedOpen);
        QCOMPARE(answer, int(AnswerNo));
        QCOMPARE(askWithKeys(KindQuestion, {Qt::Key_Right, Qt::Key_Escape}), int(AnswerCancel));
        QCOMPARE(askWithKeys(KindQuestion, {Qt::Key_Right, Qt::Key_Space}), int(AnswerNo));
    }

    void tabMovesTheHighlightRight()
    {
        QCOMPARE(askWithKeys(KindQuestion, {Qt::Key_Tab, Qt::Key_Return}), int(AnswerNo));
        QCOMPARE(askWithKeys(KindQuestion, {Qt::Key_Tab, Qt::Key_Tab, Qt::Key_Return}), int(AnswerCancel));
        QCOMPARE(askWithKeys(KindQuestion, {Qt::Key_Tab, Qt::Key_Tab, Qt::Key_Tab, Qt::Key_Return}),
                 int(AnswerYes));
        // Shift+Tab moves it back, to the left.
        QCOMPARE(askWithKeys(KindQuestion, {Qt::Key_Backtab, Qt::Key_Return}), int(AnswerCancel));
    }

    // Outside the shown dialog Tab is left to the windows: it moves the focus on.
    void tabMovesTheFocusInOtherWindows()
    {
        QWidget window;
        auto* layout = new QVBoxLayout(&window);
        auto* first = new QLineEdit(&window);
        auto* second = new QLineEdit(&window);
        layout->addWidget(first);
        layout->addWidget(second);
        window.show();
        QApplication::setActiveWindow(&window);
        first->setFocus();
        QVERIFY(QTest::qWaitForWindowActive(&window));
        QTRY_COMPARE(QApplication::focusWidget(), first);

        QTest::keyClick(first, Qt::Key_Tab);
        QCOMPARE(QApplication::focusWidget(), second);
        QTest::keyClick(second, Qt::Key_Backtab);
        QCOMPARE(QApplication::focusWidget(), first);
        QVERIFY(first->text().isEmpty() && second->text().isEmpty());
    }

    void buttonPicturesFollowTheHighlight()
    {
        bool start = false, afterRight = false, afterLeft = false, afterSecondLeft = false;
        ask(KindQuestion, IconQuestion, QStringLiteral("Zapisać?"), [&](QWidget* d) {
            start = shows(d, "ImButTak", "buttakakt") && shows(d, "ImButNie", "butnie") &&
                    shows(d, "ImButAnuluj", "butanuluj");
            QTest::keyClick(d, Qt::Key_Right);
            afterRight = shows(d, "ImButTak", "buttak") && shows(d, "ImButNie", "butnieakt") &&
                         shows(d, "ImButAnuluj", "butanuluj");
            QTest::keyClick(d, Qt::Key_Left);
            afterLeft = shows(d, "ImButTak", "buttakakt") && shows(d, "ImButNie", "butnie");
            QTest::keyClick(d, Qt::Key_Left);
            afterSecondLeft = shows(d, "ImButTak", "buttak") && shows(d, "ImButNie", "butnie") &&
                              shows(d, "ImButAnuluj", "butanulujakt");
            QTest::keyClick(d, Qt::Key_A);
        });
        QVERIFY(start);
        QVERIFY(afterRight);
        QVERIFY(afterLeft);
        QVERIFY(afterSecondLeft);

        // A new question starts from Tak again, whatever the last one ended on.
        bool freshStart = false;
        ask(KindQuestion, IconQuestion, QStringLiteral("Jeszcze raz?"), [&](QWidget* d) {
            freshStart = shows(d, "ImButTak", "buttakakt") && shows(d, "ImButAnuluj", "butanuluj");
            QTest::keyClick(d, Qt::Key_Return);
        });
        QVERIFY(freshStart);
    }

    void mouseAnswers()
    {
        auto clickOn = [](const char* name) {
            return [name](QWidget* d) { QTest::mouseClick(part(d, name), Qt::LeftButton, {}, QPoint(5, 5)); };
        };
        QCOMPARE(ask(KindQuestion, IconQuestion, QStringLiteral("?"), clickOn("ImButTak")), int(AnswerYes));
        QCOMPARE(ask(KindQuestion, IconQuestion, QStringLiteral("?"), clickOn("ImButNie")), int(AnswerNo));
        QCOMPARE(ask(KindQuestion, IconQuestion, QStringLiteral("?"), clickOn("ImButAnuluj")),
                 int(AnswerCancel));
        QCOMPARE(ask(KindQuestion, IconQuestion, QStringLiteral("?"), clickOn("LClose")), int(AnswerCancel));
        QCOMPARE(ask(KindNotice, IconInformation, QStringLiteral("!"), clickOn("ImButZamknij")),
                 int(AnswerClose));
        QCOMPARE(ask(KindNotice, IconInformation, QStringLiteral("!"), clickOn("LClose")), int(AnswerClose));
        QCOMPARE(ask(KindHandOver, IconInformation, QStringLiteral("!"), clickOn("LClose")),
                 int(AnswerCancel));

        // A right click is no answer.
        bool stayedOpen = false;
        ask(KindQuestion, IconQuestion, QStringLiteral("?"), [&](QWidget* d) {
            QTest::mouseClick(part(d, "ImButTak"), Qt::RightButton, {}, QPoint(5, 5));
            stayedOpen = d->isVisible();
            QTest::keyClick(d, Qt::Key_A);
        });
        QVERIFY(stayedOpen);
    }

    void handOverOffersTakAndAnuluj()
    {
        bool buttons = false;
        int takLeft = -1;
        bool textShown = false, iconShown = false;
        const int answer = ask(KindHandOver, IconInformation, QStringLiteral("Za chwilę otworzy się poczta."),
                               [&](QWidget* d) {
                                   buttons = visibleIn(d, "PButTak") && visibleIn(d, "PButAnuluj") &&
                                             !visibleIn(d, "PButNie") && !visibleIn(d, "pButZamknij");
                                   takLeft = part(d, "PButTak")->x();
                                   textShown = part<QLabel>(d, "LTekstWarning")->text() ==
                                               QStringLiteral("Za chwilę otworzy się poczta.");
                                   iconShown = shows(d, "ImIkona", "ikoinfo");
                                   keys(d, {Qt::Key_N, Qt::Key_Z});
                                   if (d->isVisible())
                                       QTest::keyClick(d, Qt::Key_Return);
                               });
        QCOMPARE(answer, int(AnswerYes));
        QVERIFY(buttons);
        QCOMPARE(takLeft, 156);
        QVERIFY(textShown);
        QVERIFY(iconShown);

        QCOMPARE(askWithKeys(KindHandOver, {Qt::Key_Right, Qt::Key_Return}), int(AnswerCancel));
        QCOMPARE(askWithKeys(KindHandOver, {Qt::Key_Left, Qt::Key_Return}), int(AnswerCancel));
        QCOMPARE(askWithKeys(KindHandOver, {Qt::Key_Tab, Qt::Key_Tab, Qt::Key_Return}), int(AnswerYes));
        QCOMPARE(askWithKeys(KindHandOver, {Qt::Key_T}), int(AnswerYes));
        QCOMPARE(askWithKeys(KindHandOver, {Qt::Key_A}), int(AnswerCancel));
        QCOMPARE(askWithKeys(KindHandOver, {Qt::Key_Escape}), int(AnswerCancel));

        // A question after it puts Tak back in its own place.
        int questionTakLeft = -1;
        ask(KindQuestion, IconQuestion, QStringLiteral("?"), [&](QWidget* d) {
            questionTakLeft = part(d, "PButTak")->x();
            QTest::keyClick(d, Qt::Key_Return);
        });
        QCOMPARE(questionTakLeft, 63);
    }

    void iconAndText()
    {
        auto iconAfter = [this](int icon, const char* picture) {
            bool right = false;
            ask(KindNotice, icon, QStringLiteral("Ikona"), [&](QWidget* d) {
                right = shows(d, "ImIkona", picture);
                QTest::keyClick(d, Qt::Key_Return);
            });
            return right;
        };
        QVERIFY(iconAfter(IconWarning, "ikouwaga"));
        QVERIFY(iconAfter(7, "ikouwaga")); // out of range: the last icon stays
        QVERIFY(iconAfter(0, "ikouwaga"));
        QVERIFY(iconAfter(IconQuestion, "ikopytanie"));
        QVERIFY(iconAfter(-1, "ikopytanie"));
        QVERIFY(iconAfter(IconInformation, "ikoinfo"));

        auto shownText = [this](const QString& text) {
            QString shown;
            int lines = 0;
            ask(KindNotice, IconInformation, text, [&](QWidget* d) {
                auto* label = part<QLabel>(d, "LTekstWarning");
                shown = label->text();
                lines = label->heightForWidth(label->width()) / label->fontMetrics().lineSpacing();
                QTest::keyClick(d, Qt::Key_Return);
            });
            return std::make_pair(shown, lines);
        };
        const auto single = shownText(QStringLiteral("Brak danych"));
        const auto broken = shownText(QStringLiteral("Brak danych\rProgram nie może działać."));
        QCOMPARE(broken.first, QStringLiteral("Brak danych\nProgram nie może działać."));
        QCOMPARE(broken.second, single.second + 1);
        QCOMPARE(shownText(QStringLiteral("a\r\nb")).first, QStringLiteral("a\nb"));
        // Markup in a message (a file name, say) is shown as typed.
        const auto markup = shownText(QStringLiteral("<b>plik</b>.xml"));
        QCOMPARE(markup.first, QStringLiteral("<b>plik</b>.xml"));
        QCOMPARE(part<QLabel>(m_dialog.get(), "LTekstWarning")->textFormat(), Qt::PlainText);
    }

    void otherWaysOfClosing()
    {
        // Kinds the dialog does not know are shown as notices, text and all.
        bool asNotice = false;
        QCOMPARE(ask(9, IconInformation, QStringLiteral("Nieznany rodzaj"),
                     [&](QWidget* d) {
                         asNotice =
                             visibleIn(d, "pButZamknij") && !visibleIn(d, "PButTak") &&
                             part<QLabel>(d, "LTekstWarning")->text() == QStringLiteral("Nieznany rodzaj");
                         QTest::keyClick(d, Qt::Key_Escape);
                     }),
                 int(AnswerClose));
        QVERIFY(asNotice);

        // Closed by the window system, a question is cancelled, never answered Nie.
        QCOMPARE(ask(KindQuestion, IconQuestion, QStringLiteral("?"), [](QWidget* d) { d->close(); }),
                 int(AnswerCancel));
        QCOMPARE(ask(KindHandOver, IconInformation, QStringLiteral("?"), [](QWidget* d) { d->close(); }),
                 int(AnswerCancel));
        QCOMPARE(ask(KindNotice, IconInformation, QStringLiteral("!"), [](QWidget* d) { d->close(); }),
                 int(AnswerClose));
    }

    void dragByTheTitleStrip()
    {
        QPoint before, after, afterRelease;
        ask(KindNotice, IconInformation, QStringLiteral("Przesuń mnie"), [&](QWidget* d) {
            QWidget* listwa = part(d, "LListwa");
            before = d->pos();
            auto send = [&](QEvent::Type type, QPoint local, Qt::MouseButton button,
                            Qt::MouseButtons buttons) {
                QMouseEvent event(type, QPointF(local), QPointF(listwa->mapToGlobal(local)), button, buttons,
                                  {});
                QApplication::sendEvent(listwa, &event);
            };
            send(QEvent::MouseButtonPress, QPoint(10, 10), Qt::LeftButton, Qt::LeftButton);
            send(QEvent::MouseMove, QPoint(40, 25), Qt::NoButton, Qt::LeftButton);
            after = d->pos();
            send(QEvent::MouseButtonRelease, QPoint(40, 25) - (after - before), Qt::LeftButton, Qt::NoButton);
            send(QEvent::MouseMove, QPoint(60, 60), Qt::NoButton, Qt::NoButton);
            afterRelease = d->pos();
            QTest::keyClick(d, Qt::Key_Return);
        });
        QCOMPARE(after - before, QPoint(30, 15));
        QCOMPARE(afterRelease, after);
    }

    void messagesWhileTheDialogIsOpenAreNotLost()
    {
        // A second message raised while one is on screen must not open the dialog twice
        // nor hang; it is answered as dismissed.
        int inner = -1;
        const int outer = ask(KindQuestion, IconQuestion, QStringLiteral("Zewnętrzne"), [&](QWidget* d) {
            inner = m_dialog->present(KindQuestion, IconQuestion, QStringLiteral("Wewnętrzne"));
            QTest::keyClick(d, Qt::Key_T);
        });
        QCOMPARE(inner, int(AnswerCancel));
        QCOMPARE(outer, int(AnswerYes));
    }

    void controlsSitWhereTheSkinExpectsThem()
    {
        const struct
        {
            const char* name;
            QRect place;
        } controls[] = {
            {"ImWarning", {0, 0, 350, 150}},    {"LTekstWarning", {17, 51, 313, 53}},
            {"LClose", {323, 8, 17, 17}},       {"LListwa", {56, 5, 281, 23}},
            {"PIkona", {12, 4, 42, 43}},        {"PButNie", {156, 116, 88, 26}},
            {"PButAnuluj", {248, 116, 88, 26}}, {"pButZamknij", {190, 116, 88, 26}},
        };
        for (const auto& control : controls) {
            QWidget* widget = part(m_dialog.get(), control.name);
            QVERIFY2(widget, control.name);
            QCOMPARE(widget->geometry(), control.place);
        }
        for (const char* image : {"ImIkona", "ImButTak", "ImButNie", "ImButAnuluj", "ImButZamknij"})
            QVERIFY2(part<QLabel>(m_dialog.get(), image), image);
    }

    // The longest texts the program shows fit: the dialog keeps its width and grows
    // in height, the wrapped text lies wholly inside the text area, the buttons below
    // it and everything inside the dialog, within the screen. The same test runs at
    // 200 % (test_warning_2x).
    void theLongestMessagesAreNeverCut_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<bool>("question");
        const QString longestTopic = QStringLiteral("Realizacja programu z przedmiotu nauczania");
        Draft draft;
        draft.About = QStringLiteral("Wiedza o społeczeństwie z elementami ekonomii, klasa IIIb dwujęzyczna");
        draft.Changed = QDateTime(QDate(2026, 10, 28), QTime(23, 59));
        QTest::newRow("draft offer") << EditorDrafts::OfferText(longestTopic, draft) << true;
        QTest::newRow("lock of another computer")
            << EditorDrafts::OtherMachineText(longestTopic, QString(63, QLatin1Char('k'))) << true;
        QTest::newRow("close question") << CloseQuestionText() << true;
        QTest::newRow("dropping typed text") << EntryDialog::DropQuestion() << true;
        QStringList gone;
        QStringList added;
        for (int i = 0; i < 8; ++i)
            gone << QStringLiteral("Wierzbicka-Dąbrowska Małgorzata %1").arg(i);
        for (int i = 0; i < 4; ++i)
            added << QStringLiteral("Szczepańczyk Przemysław %1").arg(i);
        QTest::newRow("pupils gone and new")
            << ClassEditor::PupilChangesNotice(QStringLiteral("IIIb dwujęzyczna"), gone, added) << false;
        QTest::newRow("a short notice") << QStringLiteral("Gotowe.") << false;
    }

    void theLongestMessagesAreNeverCut()
    {
        QFETCH(QString, text);
        QFETCH(bool, question);
        QRect dialogRect;
        QRect textRect;
        QRect needed;
        QList<QRect> buttons;
        QRect screen;
        auto look = [&](QWidget* d) {
            dialogRect = d->rect();
            auto* label = part<QLabel>(d, "LTekstWarning");
            textRect = QRect(label->mapTo(d, QPoint(0, 0)), label->size());
            // What the wrapped text takes, measured with the label's own font.
            needed = label->fontMetrics().boundingRect(QRect(0, 0, label->width(), 100000),
                                                       Qt::TextWordWrap | Qt::AlignLeft | Qt::AlignTop,
                                                       label->text());
            needed.translate(textRect.topLeft());
            for (QWidget* w : d->findChildren<QWidget*>()) {
                if (w->objectName().startsWith(QLatin1String("PBut"), Qt::CaseInsensitive) && w->isVisible())
                    buttons << QRect(w->mapTo(d, QPoint(0, 0)), w->size());
            }
            screen = d->screen()->availableGeometry();
            QTest::keyClick(d, Qt::Key_Escape);
        };
        ModalAnswer answer(look);
        ShowMessage(question ? KindQuestion : KindNotice, IconInformation, text);
        QVERIFY(answer.ran());
        QCOMPARE(dialogRect.width(), TFWarning::kWidth);
        QVERIFY(dialogRect.height() >= TFWarning::kBaseHeight);
        QVERIFY(dialogRect.height() <= screen.height());
        QVERIFY2(textRect.contains(needed), qPrintable(QStringLiteral("text %1,%2 %3x%4 needs %5x%6")
                                                           .arg(textRect.x()).arg(textRect.y())
                                                           .arg(textRect.width()).arg(textRect.height())
                                                           .arg(needed.width()).arg(needed.height())));
        QVERIFY(dialogRect.contains(textRect));
        QVERIFY(!buttons.isEmpty());
        for (const QRect& button : std::as_const(buttons)) {
            QVERIFY(dialogRect.contains(button));
            QVERIFY(button.top() > needed.bottom());
        }
    }

    // Named answers: the dialog opens on the answer that keeps the work, with the
    // keyboard focus on that button; Esc and the close mark give it too; the buttons
    // carry their captions as names and the text is the dialog's description.
    void namedAnswersAreFocusStopsThatKeepWork()
    {
        const NamedAnswers offer{QStringLiteral("Kontynuuj"), QStringLiteral("Zacznij od nowa"), AnswerYes};
        const NamedAnswers change{QStringLiteral("Zmień klasę"), QStringLiteral("Zostaw klasę"), AnswerNo};
        const auto askNamed = [](const NamedAnswers& answers, const std::function<void(QWidget*)>& action) {
            ModalAnswer answer(action);
            const int result = AskNamed(IconQuestion, QStringLiteral("Pytanie z nazwanymi odpowiedziami?"), answers);
            return answer.ran() && !answer.leftOpen() ? result : -1;
        };
        QString focusedName;
        QString description;
        QStringList names;
        QCOMPARE(askNamed(offer,
                          [&](QWidget* d) {
                              QWidget* focus = d->focusWidget();
                              focusedName = focus ? focus->accessibleName() : QString();
                              description = d->accessibleDescription();
                              for (const char* button : {"ImButTak", "ImButNie"}) {
                                  QLabel* label = part<QLabel>(d, button);
                                  QVERIFY(label->focusPolicy() & Qt::TabFocus);
                                  names << QAccessible::queryAccessibleInterface(label)->text(QAccessible::Name);
                              }
                              QTest::keyClick(d, Qt::Key_Return);
                          }),
                 int(AnswerYes));
        QCOMPARE(focusedName, QStringLiteral("Kontynuuj"));
        QCOMPARE(description, QStringLiteral("Pytanie z nazwanymi odpowiedziami?"));
        QCOMPARE(names, (QStringList{QStringLiteral("Kontynuuj"), QStringLiteral("Zacznij od nowa")}));

        QCOMPARE(askNamed(change, [&](QWidget* d) {
                     QWidget* focus = d->focusWidget();
                     focusedName = focus ? focus->accessibleName() : QString();
                     QTest::keyClick(d, Qt::Key_Return);
                 }),
                 int(AnswerNo));
        QCOMPARE(focusedName, QStringLiteral("Zostaw klasę"));
        QCOMPARE(askNamed(change, [&](QWidget* d) { QTest::keyClick(d, Qt::Key_Escape); }), int(AnswerNo));
        QCOMPARE(askNamed(offer, [&](QWidget* d) { QTest::keyClick(d, Qt::Key_Escape); }), int(AnswerYes));
        QCOMPARE(askNamed(change, [&](QWidget* d) {
                     QLabel* close = part<QLabel>(d, "LClose");
                     QTest::mouseClick(close, Qt::LeftButton, {}, close->rect().center());
                 }),
                 int(AnswerNo));
        // The other answer is one arrow (or Tab) away, its button then focused; the
        // letters of Tak and Nie mean nothing here.
        QCOMPARE(askNamed(change, [&](QWidget* d) {
                     QTest::keyClick(d, Qt::Key_T);
                     QTest::keyClick(d, Qt::Key_N);
                     QTest::keyClick(d, Qt::Key_Left);
                     QWidget* focus = d->focusWidget();
                     focusedName = focus ? focus->accessibleName() : QString();
                     QTest::keyClick(focus ? focus : d, Qt::Key_Return);
                 }),
                 int(AnswerYes));
        QCOMPARE(focusedName, QStringLiteral("Zmień klasę"));

        // An ordinary question afterwards has its Tak, Nie and Anuluj again.
        QString takName;
        ask(KindQuestion, IconQuestion, QStringLiteral("Zwykłe?"), [&](QWidget* d) {
            takName = d->focusWidget() ? d->focusWidget()->accessibleName() : QString();
            QTest::keyClick(d, Qt::Key_Return);
        });
        QCOMPARE(takName, QStringLiteral("Tak"));
    }
};

QTEST_MAIN(TestWarning)
#include "tst_warning.moc"
