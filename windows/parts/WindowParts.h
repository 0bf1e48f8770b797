#pragma once

#include <QEvent>
#include <QLabel>
#include <QMouseEvent>
#include <QPlainTextEdit>
#include <QRect>
#include <QTextDocument>
#include <QString>
#include <QWidget>

// Building blocks of the skinned windows: pictures and transparent labels placed by
// pixel, and the click test of a label that acts as a button.
namespace WindowParts {

inline QLabel* makeLabel(QWidget* parent, const char* name, const QRect& place)
{
    auto* label = new QLabel(parent);
    label->setObjectName(QString::fromLatin1(name));
    label->setGeometry(place);
    label->setFocusPolicy(Qt::NoFocus);
    return label;
}

// A transparent label over a drawn button: no text of its own, a hand cursor.
inline QLabel* makeButtonLabel(QWidget* parent, const char* name, const QRect& place)
{
    QLabel* label = makeLabel(parent, name, place);
    label->setCursor(Qt::PointingHandCursor);
    label->setAttribute(Qt::WA_TranslucentBackground);
    return label;
}

inline QWidget* makePanel(QWidget* parent, const char* name, const QRect& place)
{
    auto* panel = new QWidget(parent);
    panel->setObjectName(QString::fromLatin1(name));
    panel->setGeometry(place);
    panel->setFocusPolicy(Qt::NoFocus);
    return panel;
}

// A left-button click completed over `on` (pressed and released inside it).
inline bool isLeftClick(const QEvent* event, const QWidget* on)
{
    if (event->type() != QEvent::MouseButtonRelease)
        return false;
    auto* mouse = static_cast<const QMouseEvent*>(event);
    return mouse->button() == Qt::LeftButton && on->rect().contains(mouse->position().toPoint());
}

inline bool isPress(const QEvent* event)
{
    return event->type() == QEvent::MouseButtonPress;
}

// A memo's text with every character as typed, line breaks as "\n". The plain text
// Qt offers would turn a typed non-breaking space into an ordinary one.
inline QString TypedText(const QPlainTextEdit* memo)
{
    QString text = memo->document()->toRawText();
    for (QChar& c : text) {
        const char16_t u = c.unicode();
        if (u == QChar::ParagraphSeparator || u == QChar::LineSeparator || u == 0xFDD0 || u == 0xFDD1)
            c = QLatin1Char('\n');
    }
    return text;
}

} // namespace WindowParts
