#include "shell/KeyboardAccess.h"

#include <QAbstractButton>
#include <QAccessible>
#include <QAccessibleWidget>
#include <QApplication>
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

const QColor kMarkOuter(0xF2, 0xC2, 0x30); // the yellow of the main window's captions
const QColor kMarkInner(0x1B, 0x2B, 0x40); // dark line so the mark shows on white too

// The focus mark over the focused button label: a rounded yellow frame with a dark
// line inside, drawn over the label's picture and passing every mouse event through.
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
        p.setPen(QPen(kMarkOuter, 2));
        p.drawRoundedRect(QRectF(rect()).adjusted(1, 1, -1, -1), 3, 3);
        p.setPen(QPen(kMarkInner, 1));
        p.drawRoundedRect(QRectF(rect()).adjusted(2.5, 2.5, -2.5, -2.5), 2, 2);
    }
};

// A label acting as a button is a button to a screen reader: it says so, reads its
// name and can be pressed.
class ButtonLabelAccessible final : public QAccessibleWidget
{
public:
    explicit ButtonLabelAccessible(QWidget* label) : QAccessibleWidget(label, QAccessible::Button) {}

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

    QStringList actionNames() const override { return {pressAction()}; }

    void doAction(const QString& action) override
    {
        if (action == pressAction())
            KeyboardAccess::ClickButtonLabel(widget());
    }
};

QAccessibleInterface* buttonLabelFactory(const QString& className, QObject* object)
{
    if (className != QLatin1String("QLabel") || !object || !object->isWidgetType())
        return nullptr;
    auto* widget = static_cast<QWidget*>(object);
    return KeyboardAccess::IsButtonLabel(widget) ? new ButtonLabelAccessible(widget) : nullptr;
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

// Enter and Space on a focused button label click it; the focus mark follows the focus.
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
    void follow(QWidget* now)
    {
        if (reach(now) != ReachTab) {
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

// Reading order: by rows from top to bottom (controls within a few pixels of the row's
// first one belong to it), left to right within a row.
void orderTabStops(QWidget* top)
{
    struct Stop
    {
        QWidget* widget;
        QPoint at;
    };
    QList<Stop> stops;
    for (QWidget* widget : tabStops(top))
        stops.append({widget, widget->mapTo(top, QPoint(0, 0))});
    std::stable_sort(stops.begin(), stops.end(),
                     [](const Stop& a, const Stop& b) { return a.at.y() < b.at.y(); });
    for (qsizetype first = 0; first < stops.size();) {
        qsizetype end = first + 1;
        while (end < stops.size() && stops.at(end).at.y() - stops.at(first).at.y() <= kRowTolerance)
            ++end;
        std::stable_sort(stops.begin() + first, stops.begin() + end,
                         [](const Stop& a, const Stop& b) { return a.at.x() < b.at.x(); });
        first = end;
    }
    for (qsizetype i = 1; i < stops.size(); ++i)
        QWidget::setTabOrder(stops.at(i - 1).widget, stops.at(i).widget);
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
    QAccessible::installFactory(buttonLabelFactory);
}

} // namespace KeyboardAccess
