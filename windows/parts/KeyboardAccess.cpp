#include "windows/parts/KeyboardAccess.h"

#include "windows/parts/DocumentAccessible.h"
#include "windows/parts/PaintedText.h"

#include <QAbstractButton>
#include <QAbstractItemView>
#include <QAccessible>
#include <QAccessibleWidget>
#include <QApplication>
#include <QComboBox>
#include <QDialog>
#include <QTimer>
#include <QKeyEvent>
#include <QLabel>
#include <QMouseEvent>
#include <QPainter>
#include <QPlainTextEdit>
#include <QPointer>
#include <QTextEdit>

#include <algorithm>

namespace {

// Set on a label that acts as a button; its value says how far the keyboard reaches it.
const char* const kButtonProperty = "tabulonButton";
enum Reach
{
    ReachTab = 1,   // Tab stops on it; Enter and Space click it
    ReachWindow = 2 // its window answers the keys itself (the message dialog's buttons)
};

// Controls of one row of a window may stand a few pixels apart in height.
constexpr int kRowTolerance = 12;

const QColor kMarkYellow(0xF2, 0xC2, 0x30); // the yellow of the main window's captions
const QColor kMarkDark(0x10, 0x1C, 0x2C);   // dark lines either side: the mark shows on yellow and white

// Property of a label that stands for one page of a tab strip; its value is true for
// the page shown.
const char* const kPageTabProperty = "tabulonPageTab";
const char* const kPageTabListProperty = "tabulonPageTabList";

// The focus mark over the focused control: a rounded yellow frame between two dark
// lines, drawn over the control and passing every mouse event through. The dark lines
// keep it visible on the yellow arrows, the yellow on the dark panels.
class FocusMark final : public QWidget
{
public:
    FocusMark()
    {
        setObjectName(QStringLiteral("FocusMark"));
        setAttribute(Qt::WA_TransparentForMouseEvents);
        setAttribute(Qt::WA_TranslucentBackground);
        setFocusPolicy(Qt::NoFocus);
    }

protected:
    void paintEvent(QPaintEvent*) override
    {
        QPainter p(this);
        p.setRenderHint(QPainter::Antialiasing);
        p.setBrush(Qt::NoBrush);
        const QRectF r(rect());
        p.setPen(QPen(kMarkDark, 1));
        p.drawRoundedRect(r.adjusted(0.5, 0.5, -0.5, -0.5), 4, 4);
        p.setPen(QPen(kMarkYellow, 2));
        p.drawRoundedRect(r.adjusted(2, 2, -2, -2), 3, 3);
        p.setPen(QPen(kMarkDark, 1));
        p.drawRoundedRect(r.adjusted(3.5, 3.5, -3.5, -3.5), 2, 2);
    }
};

// A label acting as a button is a button to a screen reader: it says so, reads its
// name and can be pressed.
class ButtonLabelAccessible final : public QAccessibleWidget
{
public:
    explicit ButtonLabelAccessible(QWidget* label)
        : QAccessibleWidget(label, label->property(kPageTabProperty).isValid() ? QAccessible::PageTab
                                                                                : QAccessible::Button)
    {
    }

    QString text(QAccessible::Text t) const override
    {
        QString value = QAccessibleWidget::text(t);
        if (t == QAccessible::Name && value.isEmpty()) {
            auto* label = static_cast<QLabel*>(widget());
            value = label->text().trimmed();
            if (value.isEmpty())
                value = label->toolTip();
        }
        return value;
    }

    QAccessible::State state() const override
    {
        QAccessible::State s = QAccessibleWidget::state();
        const QVariant page = widget()->property(kPageTabProperty);
        if (page.isValid()) {
            s.selectable = true;
            s.selected = page.toBool();
        }
        return s;
    }

    QStringList actionNames() const override { return {pressAction()}; }

    void doAction(const QString& action) override
    {
        if (action != pressAction())
            return;
        // The click may open a modal window, whose own loop would hold the answer to
        // the screen reader until the window closes: the click comes in the next turn.
        QPointer<QWidget> label(widget());
        // The control acted on has the focus, as after a key press on it, so that the
        // focus comes back to it after a window it opens.
        QTimer::singleShot(0, label, [label] {
            if (!label || !label->isVisible() || !label->isEnabled())
                return;
            if (label->focusPolicy() & Qt::TabFocus)
                label->setFocus(Qt::OtherFocusReason);
            KeyboardAccess::ClickButtonLabel(label);
        });
    }
};

// A choice list is named by the caption beside it, not by the entry it shows; the
// entry is its value.
class ChoiceListAccessible final : public QAccessibleWidget
{
public:
    explicit ChoiceListAccessible(QComboBox* combo) : QAccessibleWidget(combo, QAccessible::ComboBox) {}

    QComboBox* combo() const { return static_cast<QComboBox*>(widget()); }

    QString text(QAccessible::Text t) const override
    {
        if (t == QAccessible::Value)
            return combo()->currentText();
        QString value = QAccessibleWidget::text(t);
        if (t == QAccessible::Name && value.isEmpty())
            value = combo()->currentText();
        return value;
    }

    int childCount() const override { return combo()->view() ? 1 : 0; }
    QAccessibleInterface* child(int index) const override
    {
        return index == 0 && combo()->view() ? QAccessible::queryAccessibleInterface(combo()->view()) : nullptr;
    }
    int indexOfChild(const QAccessibleInterface* child) const override
    {
        return child && combo()->view() && child->object() == combo()->view() ? 0 : -1;
    }

    QStringList actionNames() const override { return {showMenuAction(), pressAction()}; }
    void doAction(const QString& action) override
    {
        if (action == showMenuAction() || action == pressAction())
            combo()->showPopup();
    }
};

// The program's windows: the main one a frame named with its title, the editors and
// other windows laid over it panes with theirs; a tab strip a page tab list.
class ProgramWindowAccessible final : public QAccessibleWidget
{
public:
    ProgramWindowAccessible(QWidget* window, QAccessible::Role role) : QAccessibleWidget(window, role) {}

    QString text(QAccessible::Text t) const override
    {
        QString value = QAccessibleWidget::text(t);
        if (t == QAccessible::Name && value.isEmpty())
            value = widget()->windowTitle();
        return value;
    }
};

// A heading painted into a picture, read as a heading.
class PaintedHeadingAccessible final : public QAccessibleWidget
{
public:
    explicit PaintedHeadingAccessible(QWidget* label) : QAccessibleWidget(label, QAccessible::Heading) {}

    QString text(QAccessible::Text t) const override
    {
        QString value = QAccessibleWidget::text(t);
        if (t == QAccessible::Name && value.isEmpty())
            value = static_cast<QLabel*>(widget())->text();
        return value;
    }
};

bool isProgramWindowClass(const QString& className)
{
    return className.startsWith(QLatin1String("TF"));
}

QAccessibleInterface* programFactory(const QString& className, QObject* object)
{
    if (!object || !object->isWidgetType())
        return nullptr;
    auto* widget = static_cast<QWidget*>(object);
    if (className == QLatin1String("QLabel")) {
        bool heading = false;
        if (KeyboardAccess::IsButtonLabel(widget) || KeyboardAccess::IsPageTab(widget))
            return new ButtonLabelAccessible(widget);
        if (PaintedText::IsPaintedText(widget, &heading) && heading)
            return new PaintedHeadingAccessible(widget);
        return nullptr;
    }
    if (className == QLatin1String("QTextBrowser") || className == QLatin1String("QTextEdit")) {
        auto* view = static_cast<QTextEdit*>(widget);
        return view->isReadOnly() ? DocumentAccessible::For(view) : nullptr;
    }
    if (className == QLatin1String("QComboBox")) {
        auto* combo = static_cast<QComboBox*>(widget);
        return combo->isEditable() ? nullptr : new ChoiceListAccessible(combo);
    }
    if (className == QLatin1String("QWidget") && widget->property(kPageTabListProperty).toBool())
        return new ProgramWindowAccessible(widget, QAccessible::PageTabList);
    if (isProgramWindowClass(className) && className == QLatin1String(widget->metaObject()->className()) &&
        !qobject_cast<QDialog*>(widget))
        return new ProgramWindowAccessible(widget, widget->isWindow() ? QAccessible::Window : QAccessible::Pane);
    return nullptr;
}

int reach(const QWidget* widget)
{
    return widget ? widget->property(kButtonProperty).toInt() : 0;
}

bool isActivationKey(const QKeyEvent* key)
{
    const Qt::KeyboardModifiers modifiers = key->modifiers() & ~Qt::KeypadModifier;
    if (modifiers != Qt::NoModifier || key->isAutoRepeat())
        return false;
    return key->key() == Qt::Key_Return || key->key() == Qt::Key_Enter || key->key() == Qt::Key_Space;
}

// A control the focus mark is drawn over: every control Tab reaches, the button
// labels included, but not the message dialog's pictures, which mark themselves.
bool showsFocusMark(const QWidget* widget)
{
    if (!widget || !(widget->focusPolicy() & Qt::TabFocus) || reach(widget) == ReachWindow)
        return false;
    // Qt's own dialogs (the file dialogs) mark their focus themselves.
    if (!QString::fromLatin1(widget->window()->metaObject()->className()).startsWith(QLatin1String("TF")) &&
        !widget->window()->inherits("ProgressWindow") && widget->window()->objectName() != QLatin1String("FPomoc"))
        return false;
    for (const QWidget* up = widget->parentWidget(); up; up = up->parentWidget()) {
        if (qobject_cast<const QComboBox*>(up))
            return false; // the list a combo box drops down has its own highlight
    }
    return true;
}

// After a modal window has closed: the window of the control that opened it is made
// active again (without a window manager nobody else does), and the control has the
// focus back, unless what the window's answer did moved the focus on in that window (a
// new step); it stays there.
void giveBack(const QPointer<QWidget>& opener)
{
    if (!opener || !opener->isVisible() || QApplication::activeModalWidget())
        return;
    QWidget* top = opener->window();
    if (QApplication::activeWindow() != top) {
        top->activateWindow();
        QApplication::setActiveWindow(top);
    }
    QWidget* focused = QApplication::focusWidget();
    if (!focused || focused->window() != top || !focused->isVisible())
        opener->setFocus(Qt::OtherFocusReason);
}

// Enter and Space on a focused button label click it; the focus mark follows the
// focus; after a modal window closes, the focus goes back to the control that opened
// it, and its window is made active again: without a window manager nobody else does.
class ButtonLabelKeys final : public QObject
{
public:
    explicit ButtonLabelKeys(QObject* parent) : QObject(parent)
    {
        connect(qApp, &QApplication::focusChanged, this, [this](QWidget*, QWidget* now) { follow(now); });
    }

protected:
    bool eventFilter(QObject* watched, QEvent* event) override
    {
        if ((event->type() == QEvent::Show || event->type() == QEvent::Hide) && watched->isWidgetType() &&
            !event->spontaneous())
            watchModal(static_cast<QWidget*>(watched), event->type() == QEvent::Show);
        if (event->type() == QEvent::Resize && m_mark && watched == m_mark->parent())
            m_mark->setGeometry(static_cast<QWidget*>(watched)->rect());
        if (event->type() != QEvent::KeyPress || !watched->isWidgetType())
            return false;
        auto* widget = static_cast<QWidget*>(watched);
        if (reach(widget) != ReachTab || !widget->hasFocus() ||
            !isActivationKey(static_cast<QKeyEvent*>(event)))
            return false;
        KeyboardAccess::ClickButtonLabel(widget);
        return true;
    }

private:
    struct Opened
    {
        QPointer<QWidget> window;
        QPointer<QWidget> opener;
    };

    void watchModal(QWidget* window, bool shown)
    {
        // The program's own modal windows; Qt's file dialogs look after themselves.
        if (!window->isWindow() || window->windowModality() == Qt::NonModal ||
            !QString::fromLatin1(window->metaObject()->className()).startsWith(QLatin1String("TF")))
            return;
        if (shown) {
            m_opened.append(Opened{window, QApplication::focusWidget()});
            // Without a window manager a new window does not get the keyboard; a modal
            // one must have it, as nothing else can take a key while it is up.
            QPointer<QWidget> modal(window);
            QTimer::singleShot(0, this, [modal] {
                if (modal && modal->isVisible() && QApplication::activeWindow() != modal) {
                    modal->activateWindow();
                    QApplication::setActiveWindow(modal);
                }
            });
            return;
        }
        for (qsizetype i = m_opened.size() - 1; i >= 0; --i) {
            if (m_opened.at(i).window == window) {
                const QPointer<QWidget> opener = m_opened.takeAt(i).opener;
                QTimer::singleShot(0, this, [opener] { giveBack(opener); });
                break;
            }
        }
    }

    void follow(QWidget* now)
    {
        if (!showsFocusMark(now)) {
            if (m_mark)
                m_mark->hide();
            return;
        }
        if (!m_mark)
            m_mark = new FocusMark;
        m_mark->setParent(now);
        m_mark->setGeometry(now->rect());
        m_mark->show();
        m_mark->raise();
    }

    QPointer<FocusMark> m_mark;
    QList<Opened> m_opened;
};

bool isButtonCandidate(const QLabel* label)
{
    return label->testAttribute(Qt::WA_SetCursor) && label->cursor().shape() == Qt::PointingHandCursor;
}

// Focusable controls of `top`'s own window, leaving out the parts of a control that
// takes the focus as a whole (a combo box's edit, say).
QList<QWidget*> tabStops(QWidget* top)
{
    QList<QWidget*> stops;
    const QList<QWidget*> all = top->findChildren<QWidget*>();
    for (QWidget* widget : all) {
        if (widget->window() != top || !(widget->focusPolicy() & Qt::TabFocus))
            continue;
        bool inside = false;
        for (QWidget* up = widget->parentWidget(); up && up != top && !inside; up = up->parentWidget())
            inside = (up->focusPolicy() & Qt::TabFocus) || up->focusProxy();
        if (!inside)
            stops << widget;
    }
    return stops;
}

struct Placed
{
    QWidget* widget;
    QRect at;
};

// Reading order of things laid out side by side: by bands from top to bottom, a band
// holding those whose heights overlap (a tall list and the buttons beside it); within
// a band by columns from left to right, and within a column from top to bottom. Beside
// two lists this gives the left list, its buttons from top to bottom, the right list.
QList<Placed> inReadingOrder(QList<Placed> items)
{
    std::stable_sort(items.begin(), items.end(),
                     [](const Placed& a, const Placed& b) { return a.at.top() < b.at.top(); });
    QList<Placed> ordered;
    for (qsizetype first = 0; first < items.size();) {
        qsizetype end = first + 1;
        int bottom = std::max(items.at(first).at.bottom(), items.at(first).at.top() + kRowTolerance);
        while (end < items.size() && items.at(end).at.top() <= bottom) {
            bottom = std::max(bottom, items.at(end).at.bottom());
            ++end;
        }
        QList<Placed> band(items.begin() + first, items.begin() + end);
        std::stable_sort(band.begin(), band.end(),
                         [](const Placed& a, const Placed& b) { return a.at.left() < b.at.left(); });
        for (qsizetype column = 0; column < band.size();) {
            qsizetype columnEnd = column + 1;
            while (columnEnd < band.size() &&
                   band.at(columnEnd).at.left() - band.at(column).at.left() <= kRowTolerance)
                ++columnEnd;
            std::stable_sort(band.begin() + column, band.begin() + columnEnd,
                             [](const Placed& a, const Placed& b) { return a.at.top() < b.at.top(); });
            column = columnEnd;
        }
        ordered << band;
        first = end;
    }
    return ordered;
}

// The stops inside `container`, in reading order: its children are ordered as whole
// pieces (a tab's panel keeps its controls together, whatever lies on the panels
// stacked with it), then each panel's own controls.
void collectInOrder(QWidget* container, QWidget* top, const QList<QWidget*>& stops, QList<QWidget*>* out)
{
    QList<Placed> pieces;
    for (QObject* object : container->children()) {
        auto* child = qobject_cast<QWidget*>(object);
        if (!child || child->isWindow())
            continue;
        const bool stop = stops.contains(child);
        const bool holds = !stop && std::any_of(stops.cbegin(), stops.cend(),
                                                [child](QWidget* s) { return child->isAncestorOf(s); });
        if (stop || holds)
            pieces.append({child, QRect(child->mapTo(top, QPoint(0, 0)), child->size())});
    }
    for (const Placed& piece : inReadingOrder(pieces)) {
        if (stops.contains(piece.widget))
            out->append(piece.widget);
        else
            collectInOrder(piece.widget, top, stops, out);
    }
}

void orderTabStops(QWidget* top)
{
    QList<QWidget*> ordered;
    collectInOrder(top, top, tabStops(top), &ordered);
    for (qsizetype i = 1; i < ordered.size(); ++i)
        QWidget::setTabOrder(ordered.at(i - 1), ordered.at(i));
}

} // namespace

namespace KeyboardAccess {

bool IsButtonLabel(const QWidget* widget)
{
    return reach(widget) != 0 && qobject_cast<const QLabel*>(widget);
}

void SetButtonLabel(QLabel* label, bool reachable)
{
    Install();
    label->setProperty(kButtonProperty, reachable ? int(ReachTab) : int(ReachWindow));
    // Tab reaches it; a mouse click does not take the focus, so the mark shows only
    // for the keyboard.
    label->setFocusPolicy(reachable ? Qt::TabFocus : Qt::NoFocus);
    // An interface made for it as a plain label (when its text was set) is dropped, so
    // that the next one asked for is a button's.
    if (QAccessibleInterface* made = QAccessible::queryAccessibleInterface(label))
        QAccessible::deleteAccessibleInterface(QAccessible::uniqueId(made));
}

void SetPageTab(QLabel* label, bool current)
{
    Install();
    const QVariant before = label->property(kPageTabProperty);
    label->setProperty(kPageTabProperty, current);
    if (!before.isValid()) {
        // Made earlier as a plain button: the next interface asked for is a page tab's.
        if (QAccessibleInterface* made = QAccessible::queryAccessibleInterface(label))
            QAccessible::deleteAccessibleInterface(QAccessible::uniqueId(made));
        return;
    }
    if (before.toBool() != current) {
        QAccessible::State changed;
        changed.selected = true;
        QAccessibleStateChangeEvent event(label, changed);
        QAccessible::updateAccessibility(&event);
    }
}

bool IsPageTab(const QWidget* widget)
{
    return widget && widget->property(kPageTabProperty).isValid();
}

void SetPageTabList(QWidget* strip)
{
    strip->setProperty(kPageTabListProperty, true);
}

void ClickButtonLabel(QWidget* label)
{
    QPointer<QWidget> guard(label);
    const QPointF at = QRectF(label->rect()).center();
    const QPointF global = label->mapToGlobal(at);
    QMouseEvent press(QEvent::MouseButtonPress, at, global, Qt::LeftButton, Qt::LeftButton, Qt::NoModifier);
    QCoreApplication::sendEvent(label, &press);
    if (!guard)
        return;
    QMouseEvent release(QEvent::MouseButtonRelease, at, global, Qt::LeftButton, Qt::NoButton, Qt::NoModifier);
    QCoreApplication::sendEvent(label, &release);
}

int ExecReturningFocus(QDialog& dialog)
{
    const QPointer<QWidget> opener = QApplication::focusWidget();
    const int result = dialog.exec();
    giveBack(opener);
    return result;
}

void PrepareWindow(QWidget* window)
{
    Install();
    for (QLabel* label : window->findChildren<QLabel*>()) {
        if (reach(label) == 0 && isButtonCandidate(label))
            SetButtonLabel(label, true);
    }
    // Memos hand Tab on to the next control instead of typing it: a report has no use
    // for tab characters, and a teacher must be able to leave the field.
    for (QPlainTextEdit* memo : window->findChildren<QPlainTextEdit*>())
        memo->setTabChangesFocus(true);
    for (QTextEdit* memo : window->findChildren<QTextEdit*>())
        memo->setTabChangesFocus(true);

    QList<QWidget*> tops{window};
    for (QWidget* child : window->findChildren<QWidget*>()) {
        if (child->isWindow())
            tops << child;
    }
    for (QWidget* top : std::as_const(tops))
        orderTabStops(top);
}

void Install()
{
    static QPointer<QObject> installed;
    if (installed || !qApp)
        return;
    installed = new ButtonLabelKeys(qApp);
    qApp->installEventFilter(installed);
    QAccessible::installFactory(programFactory);
}

} // namespace KeyboardAccess
