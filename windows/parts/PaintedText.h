#pragma once

#include <QRect>
#include <QString>

class QLabel;
class QWidget;

// Headings, instructions and field captions are painted into the skins' pictures, where
// a screen reader cannot read them. Each picture's painted texts are listed here by the
// picture's name, and every window gets an invisible text label for each, laid over
// the picture where the text is painted, so the texts stand in the accessibility tree
// in reading order.
namespace PaintedText {

struct Text
{
    QRect Place; // in the picture's coordinates
    QString Words;
    bool Heading = false;
};

// The texts painted in the picture `skin`, in reading order.
QList<Text> Of(const QString& skin);

// Lays the texts of every picture in `window` over it (once per picture).
void Apply(QWidget* window);

// True for a label made by Apply; `heading` tells its kind.
bool IsPaintedText(const QWidget* widget, bool* heading = nullptr);

} // namespace PaintedText
