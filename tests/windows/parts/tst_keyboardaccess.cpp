#include "windows/editors/UWerdykon.h"
#include "windows/editors/WerdykonSteps.h"
#include "windows/parts/AccessibleNames.h"
#include "core/AppState.h"
#include "windows/parts/KeyboardAccess.h"
#include "core/SchoolData.h"
#include "windows/UGlowny.h"
#include "support/MessageRecorder.h"
#include "support/ModalAnswer.h"
#include "support/TestServer.h"
#include "support/RunningProgram.h"

#include <QAccessible>
#include <QApplication>
#include <QComboBox>
#include <QFileDialog>
#include <QDir>
#include <QLineEdit>
#include <QListWidget>
#include <QTemporaryDir>
#include <QTest>

using namespace WerdykonSteps;

namespace {

// Set while the test itself delivers a key: the clicks a key gives a button (Enter,
// Space) are the keyboard's, not the mouse's.
int g_keyDelivery = 0;

// Counts the mouse input the windows get, however it is sent (a test's own clicks
// are no spontaneous events), apart from the clicks the keys give: a keyboard-only
// run has none.
class MouseInput final : public QObject
{
public:
    MouseInput() { qApp->installEventFilter(this); }
    ~MouseInput() override { qApp->removeEventFilter(this); }
    int count = 0;

protected:
    bool eventFilter(QObject*, QEvent* event) override
    {
        switch (event->type()) {
        case QEvent::MouseButtonPress:
        case QEvent::MouseButtonRelease:
        case QEvent::MouseButtonDblClick:
        case QEvent::Wheel:
            count += g_keyDelivery == 0 ? 1 : 0;
            break;
        default:
            break;
        }
        return false;
    }
};

// A part of another control that a screen reader reads as that control (the list a
// combo box drops down).
bool insideCombo(const QWidget* widget)
{
    for (const QWidget* up = widget->parentWidget(); up; up = up->parentWidget()) {
        if (qobject_cast<const QComboBox*>(up))
            return true;
    }
    return false;
}

QString nameOf(const QWidget* control)
{
    return AccessibleNames::FormOf(control) + QLatin1Char('/') + control->objectName() + QLatin1Char('(') +
           QString::fromLatin1(control->metaObject()->className()) + QLatin1Char(')');
}

} // namespace

// The program's windows from the keyboard and for screen readers.
class TestKeyboardAccess : public QObject
{
    Q_OBJECT

private:
    std::unique_ptr<RunningProgram> m_program;
    TFGlowny* m_main = nullptr;

    QWidget* focused() const { return QApplication::focusWidget(); }
    QString focusedName() const { return focused() ? focused()->objectName() : QStringLiteral("(none)"); }

    void key(Qt::Key k, Qt::KeyboardModifiers modifiers = Qt::NoModifier) const
    {
        QWidget* target = focused() ? focused() : m_main;
        ++g_keyDelivery;
        QTest::keyClick(target, k, modifiers);
        --g_keyDelivery;
    }

    // Tab until the control `name` has the focus; false when a whole round of the
    // window's controls does not reach it.
    bool tabTo(const char* name) const
    {
        for (int presses = 0; presses < 60; ++presses) {
            if (focused() && focused()->objectName() == QLatin1String(name))
                return true;
            key(Qt::Key_Tab);
        }
        qWarning("Tab does not reach %s (focus on %s)", name,
                 focused() ? qPrintable(nameOf(focused())) : "none");
        return false;
    }

    // From the welcome panel to the class editor with Enter alone (the first teacher,
    // the first topic); the editor opens on its first field, the class.
    bool openClassEditorByKeys() const
    {
        if (!tabTo("LNowaWerdykon"))
            return false;
        for (int step = 0; step < 3; ++step)
            key(Qt::Key_Return);
        auto* editor = m_program->window<TFWerdykon>();
        return editor && editor->isVisible() &&
               QTest::qWaitFor([this] { return focusedName() == QLatin1String("CListaKlasOgolne"); });
    }

private Q_SLOTS:
    void init()
    {
        m_program = std::make_unique<RunningProgram>(loadGoldenSchool);
        m_main = m_program->main();
        QVERIFY(m_program->isStarted());
        QApplication::setActiveWindow(m_main);
        QVERIFY(QTest::qWaitForWindowActive(m_main));
    }

    void cleanup() { m_program.reset(); }

    // Every control of every window, the hidden ones included, has a name a screen
    // reader can say; labels and pictures acting as buttons are buttons to it.
    void everyControlHasAnAccessibleName()
    {
        QStringList unnamed;
        QStringList notButtons;
        int controls = 0;
        for (QWidget* widget : QApplication::allWidgets()) {
            const bool button = KeyboardAccess::IsButtonLabel(widget);
            const bool control = button || ((widget->focusPolicy() & Qt::TabFocus) && !widget->focusProxy() &&
                                            !qobject_cast<QFileDialog*>(widget->window()));
            if (!control || insideCombo(widget))
                continue;
            ++controls;
            QAccessibleInterface* reader = QAccessible::queryAccessibleInterface(widget);
            if (!reader || reader->text(QAccessible::Name).trimmed().isEmpty())
                unnamed << nameOf(widget);
            const QAccessible::Role role = KeyboardAccess::IsPageTab(widget) ? QAccessible::PageTab : QAccessible::Button;
            if (button && (!reader || reader->role() != role))
                notButtons << nameOf(widget);
        }
        QVERIFY2(controls > 80, qPrintable(QString::number(controls)));
        QVERIFY2(unnamed.isEmpty(), qPrintable(unnamed.join(QLatin1Char(' '))));
        QVERIFY2(notButtons.isEmpty(), qPrintable(notButtons.join(QLatin1Char(' '))));
    }

    // A class classification report made and taken to the delivery window with the keys
    // alone: Tab, Enter, Space, the arrows, Alt+Right and Escape.
    void keyboardOnlyFromTheWelcomePanelToDelivery()
    {
        MessageRecorder messages;
        MouseInput mouse;
        auto* editor = m_program->window<TFWerdykon>();
        QVERIFY(editor);

        QVERIFY(tabTo("LNowaWerdykon"));
        key(Qt::Key_Return);
        QCOMPARE(appState().WizardStep, 1);
        QCOMPARE(focused()->objectName(), QStringLiteral("BListaNauczycieli"));
        key(Qt::Key_Down);
        key(Qt::Key_Return);
        QCOMPARE(appState().WizardStep, 2);
        QCOMPARE(appState().TeacherName, QStringLiteral("Kowalska Anna"));
        QCOMPARE(focused()->objectName(), QStringLiteral("blistazagadnien"));
        key(Qt::Key_Return);
        QCOMPARE(appState().WizardStep, 3);
        QVERIFY(editor->isVisible());

        // The general tab: the class, then the number of promoted pupils one Tab on
        // from the number classified.
        QVERIFY(tabTo("CListaKlasOgolne"));
        QCOMPARE(part<QComboBox>(editor, "CListaKlasOgolne")->currentIndex(), 0);
        QVERIFY(tabTo("EKlasyfikowanych"));
        key(Qt::Key_Tab);
        QCOMPARE(focused()->objectName(), QStringLiteral("EPromowanych"));
        QTest::keyClicks(focused(), QStringLiteral("4"));
        QCOMPARE(part<QLineEdit>(editor, "EPromowanych")->text(), QStringLiteral("4"));

        // Another tab of the editor, a pupil chosen in its list and added by Space.
        QVERIFY(tabTo("LFrekwencja"));
        key(Qt::Key_Space);
        QVERIFY(part(editor, "PFrekwencja")->isVisible());
        QVERIFY(tabTo("LUczniowieFrekwencja"));
        key(Qt::Key_Down);
        QVERIFY(tabTo("LDodajFrekwencja"));
        key(Qt::Key_Return);
        QCOMPARE(items(editor, "L100Frekwencja"), QStringList{QStringLiteral("Bąk Zofia")});

        key(Qt::Key_Right, Qt::AltModifier);
        QCOMPARE(appState().WizardStep, 4);
        QVERIFY(!editor->isVisible());
        const QByteArray report =
            readAll(appState().TempFolder + appState().DocumentFileName + QStringLiteral(".xml"));
        QVERIFY(report.contains("<Promowanych>4</Promowanych>"));
        QVERIFY(report.contains(QStringLiteral("Bąk Zofia").toLocal8Bit()) ||
                report.contains("B\xb9k Zofia"));

        // Escape goes back from the preview, Alt+Right forward again, twice to delivery.
        key(Qt::Key_Escape);
        QCOMPARE(appState().WizardStep, 3);
        QCOMPARE(items(editor, "L100Frekwencja").size(), 1);
        key(Qt::Key_Right, Qt::AltModifier);
        QCOMPARE(appState().WizardStep, 4);
        key(Qt::Key_Right, Qt::AltModifier);
        QCOMPARE(appState().WizardStep, 5);
        QVERIFY(tabTo("LZapisNaDysku"));
        // Qt's own file dialog, left with Escape, gives the keyboard back to the way
        // that opened it, in an active main window.
        {
            bool fileDialog = false;
            ModalAnswer answer([&](QWidget* dialog) {
                fileDialog = qobject_cast<QFileDialog*>(dialog) != nullptr;
                QTest::keyClick(dialog, Qt::Key_Escape);
            });
            key(Qt::Key_Return);
            QVERIFY(answer.ran() && !answer.leftOpen());
            QVERIFY(fileDialog);
        }
        QTRY_COMPARE(QApplication::activeWindow(), m_main);
        QTRY_COMPARE(focusedName(), QStringLiteral("LZapisNaDysku"));
        QVERIFY(tabTo("LPocztaTajna"));

        QVERIFY(messages.messages().isEmpty());
        QCOMPARE(mouse.count, 0);
    }


    // What a screen reader is told about the windows' parts: the main window a frame
    // with the program's title, the editor's tabs page tabs (the current one selected,
    // none unavailable), a choice list named by its caption with its entry as value,
    // the painted headings readable, a list entry read with what was entered for it.
    void rolesNamesAndStatesForScreenReaders()
    {
        QAccessibleInterface* window = QAccessible::queryAccessibleInterface(m_main);
        QCOMPARE(window->role(), QAccessible::Window);
        QCOMPARE(window->text(QAccessible::Name), QStringLiteral("Tabulon"));

        QStringList headings;
        for (QLabel* label : m_main->findChildren<QLabel*>(QStringLiteral("TekstZObrazu"))) {
            QAccessibleInterface* text = QAccessible::queryAccessibleInterface(label);
            if (text->role() == QAccessible::Heading)
                headings << text->text(QAccessible::Name);
        }
        QVERIFY2(headings.contains(QStringLiteral("Witaj w programie Tabulon")), qPrintable(headings.join('|')));
        QVERIFY(headings.contains(QStringLiteral("Werdykon uczniów danej klasy")));

        auto* editor = m_program->window<TFWerdykon>();
        QVERIFY(openClassEditorByKeys());
        const QStringList tabs{"LOgolne", "LFrekwencja", "LSrednie", "LNdst"};
        for (const QString& name : tabs) {
            QAccessibleInterface* tab = QAccessible::queryAccessibleInterface(part(editor, qPrintable(name)));
            QCOMPARE(tab->role(), QAccessible::PageTab);
            QVERIFY(!tab->state().disabled);
            QCOMPARE(bool(tab->state().selected), name == QLatin1String("LOgolne"));
        }
        QAccessibleInterface* strip = QAccessible::queryAccessibleInterface(part(editor, "Pzakladki"));
        QCOMPARE(strip->role(), QAccessible::PageTabList);
        QAccessibleInterface* classes = QAccessible::queryAccessibleInterface(part(editor, "CListaKlasOgolne"));
        QCOMPARE(classes->role(), QAccessible::ComboBox);
        QCOMPARE(classes->text(QAccessible::Name), QStringLiteral("Klasa"));
        QCOMPARE(classes->text(QAccessible::Value), QStringLiteral("IIIb <gim>"));

        // The step marker says where the teacher is.
        QCOMPARE(m_main->findChild<QWidget*>(QStringLiteral("ImBiezacyKrok"))->accessibleName(),
                 QStringLiteral("Krok 3 z 5"));

        // A button's accessible action returns before the window it opens is shown.
        key(Qt::Key_Tab, Qt::ControlModifier);
        QAccessibleInterface* add = QAccessible::queryAccessibleInterface(part(editor, "LDodajFrekwencja"));
        MessageRecorder messages;
        add->actionInterface()->doAction(QAccessibleActionInterface::pressAction());
        QVERIFY(messages.messages().isEmpty());
        QTRY_COMPARE(messages.messages().size(), 1);
    }

    // The whole way with the keyboard and no window manager: a question answered, every
    // tab of the class editor in reading order, the entered values beside the names, the
    // subjects marked with Space, and the report sent by mail.
    void keyboardWalkThroughEveryTabAndASentReport()
    {
        QTemporaryDir inbox;
        TestServer server;
        TestServer::SmtpOptions options;
        options.folder = inbox.path();
        QVERIFY(server.startSmtp(options));
        Settings& settings = appState().Settings;
        settings.SmtpHost = QStringLiteral("127.0.0.1");
        settings.SmtpPort = QString::number(server.port());
        settings.SenderAddress = QString::fromLatin1(TestServer::kSmtpUser);
        settings.SmtpPassword = QString::fromLatin1(TestServer::kSmtpPassword);
        settings.SchoolAddress = QStringLiteral("sekretariat@szkola.test");
        settings.AllowPlainLogin = true;

        MouseInput mouse;
        auto* editor = m_program->window<TFWerdykon>();
        QVERIFY(openClassEditorByKeys());

        // The number promoted changed, then a class change asks; Esc keeps the class,
        // and the focus comes back to the class list in an active window.
        QVERIFY(tabTo("EPromowanych"));
        part<QLineEdit>(editor, "EPromowanych")->selectAll();
        QTest::keyClicks(focused(), QStringLiteral("5"));
        QVERIFY(tabTo("CListaKlasOgolne"));
        {
            ModalAnswer answer([](QWidget* dialog) { QTest::keyClick(dialog, Qt::Key_Escape); });
            key(Qt::Key_Down);
            QVERIFY(answer.ran() && !answer.leftOpen());
        }
        QCOMPARE(part<QComboBox>(editor, "CListaKlasOgolne")->currentIndex(), 0);
        QTRY_COMPARE(QApplication::activeWindow(), m_main);
        QTRY_COMPARE(focusedName(), QStringLiteral("CListaKlasOgolne"));

        // Ctrl+Tab to the next tab: its first control has the focus; Tab goes on in
        // reading order: left list, its buttons from top to bottom, right list.
        key(Qt::Key_Tab, Qt::ControlModifier);
        QVERIFY(part(editor, "PFrekwencja")->isVisible());
        QCOMPARE(focused()->objectName(), QStringLiteral("LUczniowieFrekwencja"));
        QStringList order{focused()->objectName()};
        for (int i = 0; i < 3; ++i) {
            key(Qt::Key_Tab);
            order << focused()->objectName();
        }
        QCOMPARE(order, (QStringList{"LUczniowieFrekwencja", "LDodajFrekwencja", "LUsunFrekwencja",
                                     "L100Frekwencja"}));
        // The empty list with the focus shows the mark.
        auto* mark = focused()->findChild<QWidget*>(QStringLiteral("FocusMark"));
        QVERIFY(mark && mark->isVisible());

        // Ctrl+Page Down to the averages: Enter adds the pupil, the dialog offers
        // "5,0", Enter takes it, and the list shows the average beside the name.
        key(Qt::Key_PageDown, Qt::ControlModifier);
        QVERIFY(part(editor, "PSrednie")->isVisible());
        QCOMPARE(focused()->objectName(), QStringLiteral("LUczniowieSrednie"));
        {
            QString offered;
            ModalAnswer answer([&](QWidget* dialog) {
                offered = part<QLineEdit>(dialog, "EWartoscSredniej")->text();
                QTest::keyClick(QApplication::focusWidget(), Qt::Key_Return);
            });
            key(Qt::Key_Return);
            QVERIFY(answer.ran() && !answer.leftOpen());
            QCOMPARE(offered, QStringLiteral("5,0"));
        }
        auto* averages = part<QListWidget>(editor, "LSrednieZPaskiem");
        QCOMPARE(averages->count(), 1);
        QCOMPARE(averages->item(0)->text(), QStringLiteral("Adamczyk Łukasz"));
        QCOMPARE(averages->item(0)->data(Qt::AccessibleTextRole).toString(),
                 QStringLiteral("Adamczyk Łukasz, 5,00"));
        {
            // And it is drawn: the average stands at the row's right end.
            averages->clearSelection();
            const auto inkAtRowEnd = [averages] {
                const QImage picture = averages->viewport()->grab().toImage();
                const QRect row = averages->visualItemRect(averages->item(0));
                int ink = 0;
                for (int x = row.right() - 40; x < row.right(); ++x) {
                    for (int y = qMax(0, row.top()); y <= row.bottom() && y < picture.height(); ++y)
                        ink += qGray(picture.pixel(x, y)) < 200 ? 1 : 0;
                }
                return ink;
            };
            QTRY_VERIFY2(inkAtRowEnd() > 10, qPrintable(QString::number(inkAtRowEnd())));
        }
        QTRY_COMPARE(focusedName(), QStringLiteral("LUczniowieSrednie"));

        // The failing subjects: check boxes, Space marks two of them.
        key(Qt::Key_Tab, Qt::ControlModifier);
        QVERIFY(part(editor, "PNdst")->isVisible());
        {
            QStringList checked;
            ModalAnswer answer([&](QWidget* dialog) {
                auto* subjects = part<QListWidget>(dialog, "LPrzedmioty");
                QWidget* list = QApplication::focusWidget();
                QTest::keyClick(list, Qt::Key_Space);
                QTest::keyClick(list, Qt::Key_Down);
                QTest::keyClick(list, Qt::Key_Down);
                QTest::keyClick(list, Qt::Key_Space);
                for (int row = 0; row < subjects->count(); ++row) {
                    if (subjects->item(row)->checkState() == Qt::Checked)
                        checked << subjects->item(row)->text();
                }
                QTest::keyClick(list, Qt::Key_Return);
            });
            key(Qt::Key_Return);
            QVERIFY(answer.ran() && !answer.leftOpen());
            QCOMPARE(checked, (QStringList{"Matematyka", "Język polski"}));
        }
        QCOMPARE(part<QListWidget>(editor, "LNiedostateczni")->item(0)->data(Qt::AccessibleTextRole).toString(),
                 QStringLiteral("Adamczyk Łukasz, Matematyka, Język polski"));
        QTRY_COMPARE(focusedName(), QStringLiteral("LUczniowieNdst"));

        // Back through the tabs with Ctrl+Shift+Tab and Ctrl+Page Up, round to the last.
        key(Qt::Key_Backtab, Qt::ControlModifier | Qt::ShiftModifier);
        QVERIFY(part(editor, "PSrednie")->isVisible());
        key(Qt::Key_PageUp, Qt::ControlModifier);
        QVERIFY(part(editor, "PFrekwencja")->isVisible());
        key(Qt::Key_PageUp, Qt::ControlModifier);
        QVERIFY(part(editor, "POgolne")->isVisible());
        QCOMPARE(focused()->objectName(), QStringLiteral("CListaKlasOgolne"));
        key(Qt::Key_PageUp, Qt::ControlModifier);
        QVERIFY(part(editor, "PNdst")->isVisible());

        // On to delivery, and the report sent by mail with Enter.
        key(Qt::Key_Right, Qt::AltModifier);
        QCOMPARE(appState().WizardStep, 4);
        key(Qt::Key_Right, Qt::AltModifier);
        QCOMPARE(appState().WizardStep, 5);
        QVERIFY(tabTo("LPocztaTajna"));
        {
            ModalAnswer answer([](QWidget* dialog) { QTest::keyClick(dialog, Qt::Key_Return); }, 20000);
            key(Qt::Key_Return);
            QVERIFY(answer.ran() && !answer.leftOpen());
        }
        QCOMPARE(QDir(inbox.path()).entryList({QStringLiteral("*.eml")}).size(), 1);
        QTRY_COMPARE(focusedName(), QStringLiteral("LPocztaTajna"));
        QCOMPARE(mouse.count, 0);
    }

    // A list's text keeps clear of its left border, as every field's does, while a
    // chosen entry is marked across the whole row.
    void listTextKeepsClearOfTheLeftBorder()
    {
        auto* editor = m_program->window<TFWerdykon>();
        QVERIFY(openClassEditorByKeys());
        key(Qt::Key_Tab, Qt::ControlModifier);
        auto* list = part<QListWidget>(editor, "LUczniowieFrekwencja");
        QVERIFY(list->isVisible() && list->count() > 2);
        list->clearSelection();
        list->item(2)->setSelected(true);
        const QImage picture = list->viewport()->grab().toImage();
        // The first column, from the left, with a dark (text) pixel in an entry's row.
        const auto firstInk = [&](int row, bool dark) {
            const QRect place = list->visualItemRect(list->item(row));
            for (int x = 0; x < place.width(); ++x) {
                for (int y = place.top(); y <= place.bottom(); ++y) {
                    const bool isDark = qGray(picture.pixel(x, y)) < 128;
                    if (isDark == dark)
                        return x;
                }
            }
            return -1;
        };
        const int text = firstInk(1, true);
        QVERIFY2(text >= 6, qPrintable(QString::number(text)));
        QCOMPARE(firstInk(2, true), 0); // the chosen row's mark starts at the border
    }

    // Qt's own dialogs keep their Tab: the message dialog's filter leaves them alone.
    void tabMovesTheFocusInQtsOwnDialogs()
    {
        QFileDialog dialog(m_main, QStringLiteral("Wskaż plik sprawozdania"));
        dialog.setOption(QFileDialog::DontUseNativeDialog);
        dialog.show();
        QApplication::setActiveWindow(&dialog);
        QVERIFY(QTest::qWaitForWindowActive(&dialog));
        QWidget* first = QApplication::focusWidget();
        QVERIFY(first && first->window() == &dialog);
        QTest::keyClick(first, Qt::Key_Tab);
        QWidget* next = QApplication::focusWidget();
        QVERIFY(next && next != first && next->window() == &dialog);
        QTest::keyClick(next, Qt::Key_Backtab);
        QCOMPARE(QApplication::focusWidget(), first);
    }
};

QTEST_MAIN(TestKeyboardAccess)
#include "tst_keyboardaccess.moc"
