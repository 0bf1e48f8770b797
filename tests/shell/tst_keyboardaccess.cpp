#include "editors/UWerdykon.h"
#include "editors/WerdykonSteps.h"
#include "shell/AccessibleNames.h"
#include "shell/AppState.h"
#include "shell/KeyboardAccess.h"
#include "shell/SchoolData.h"
#include "shell/UGlowny.h"
#include "support/MessageRecorder.h"
#include "support/RunningProgram.h"

#include <QAccessible>
#include <QApplication>
#include <QComboBox>
#include <QFileDialog>
#include <QLineEdit>
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
            if (button && (!reader || reader->role() != QAccessible::Button))
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
        QVERIFY(tabTo("LPocztaTajna"));

        QVERIFY(messages.messages().isEmpty());
        QCOMPARE(mouse.count, 0);
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
