// Pictures of the main window: its background with the title-bar buttons, the
// welcome panel, the frames of the two lists, the step numbers plain and yellow,
// the arrows, the hint panel, and the about window.
#include "GlownyLayout.h"
#include "SkinRegistry.h"
#include "SkinStyle.h"

#include <QPainterPath>

using namespace SkinStyle;
using namespace GlownyLayout;

namespace {

const QColor kDeepTop{0x2C, 0x56, 0x86};
const QColor kDeepBottom{0x17, 0x33, 0x57};
const QColor kYellow{0xF2, 0xC2, 0x30};
const QColor kPanelFill{0x24, 0x4A, 0x76};

void paintTitleButton(QPainter& p, const QRect& area, const QString& glyph)
{
    p.save();
    p.setRenderHint(QPainter::Antialiasing);
    p.setPen(Qt::NoPen);
    p.setBrush(QColor(255, 255, 255, 40));
    p.drawRoundedRect(QRectF(area), 3, 3);
    p.restore();
    paintCaption(p, QRectF(area), glyph, font(14, true), kTitleText);
}

QImage background()
{
    QImage image = canvas(kWindow);
    QPainter p(&image);
    fillVerticalGradient(p, QRectF(0, 0, kWindow.width(), kWindow.height()), kDeepTop, kDeepBottom);
    fillVerticalGradient(p, QRectF(0, 0, kWindow.width(), kTitleHeight), kTitleTop, kTitleBottom);
    p.fillRect(QRectF(0, kTitleHeight, kWindow.width(), 1), kLine);
    paintCaption(p, QRectF(kListwa), QStringLiteral("Tabulon 2.5 – sprawozdania szkolne"), font(13, true),
                 kTitleText, Qt::AlignLeft | Qt::AlignVCenter);
    paintTitleButton(p, kPodpowiedz, QStringLiteral("i"));
    paintTitleButton(p, kHelp, QStringLiteral("?"));
    paintTitleButton(p, kUpdate, QStringLiteral("↻"));
    paintTitleButton(p, kAbout, QStringLiteral("©"));
    paintTitleButton(p, kMinimize, QStringLiteral("–"));
    paintCloseMark(p, QRectF(kClose));
    // The step strip's caption and a thin line above the bottom band.
    p.fillRect(QRectF(20, 585, kWindow.width() - 40, 1), QColor(255, 255, 255, 60));
    paintCaption(p, QRectF(kNumbers.right() + 14, kNumbers.top(), 300, kNumbers.height()),
                 QStringLiteral("kroki przygotowania sprawozdania"), font(12), QColor(0xC8, 0xD6, 0xE8),
                 Qt::AlignLeft | Qt::AlignVCenter);
    p.setPen(QPen(kBorder, 1));
    p.drawRect(QRectF(0.5, 0.5, kWindow.width() - 1, kWindow.height() - 1));
    return image;
}

QImage framedPanel(const QSize& size, const QString& caption)
{
    QImage image = canvas(size, kDeepTop);
    QPainter p(&image);
    fillVerticalGradient(p, QRectF(0, 0, size.width(), size.height()), kPanelFill, kDeepBottom, 10);
    paintPanel(p, QRectF(0, 0, size.width(), size.height()), Qt::transparent, QColor(0x7F, 0xA3, 0xCF), 10);
    paintCaption(p, QRectF(24, 12, size.width() - 48, 32), caption, font(17, true), kTitleText,
                 Qt::AlignLeft | Qt::AlignVCenter);
    p.fillRect(QRectF(24, 46, size.width() - 48, 2), kYellow);
    return image;
}

void paintChoiceMark(QPainter& p, const QRect& label)
{
    // An arrow bullet in the blank space the caption leaves before its text.
    const QRectF circle(label.left() + 20, label.center().y() - 13, 26, 26);
    p.save();
    p.setRenderHint(QPainter::Antialiasing);
    p.setPen(QPen(QColor(255, 255, 255), 2));
    p.setBrush(kYellow);
    p.drawEllipse(circle);
    QPainterPath arrow;
    arrow.moveTo(circle.left() + 10, circle.top() + 7);
    arrow.lineTo(circle.left() + 18, circle.center().y());
    arrow.lineTo(circle.left() + 10, circle.bottom() - 7);
    p.setPen(QPen(kDeepBottom, 3, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
    p.setBrush(Qt::NoBrush);
    p.drawPath(arrow);
    p.restore();
}

QImage welcome()
{
    QImage image = framedPanel(kWelcome.size(), QStringLiteral("Witaj w programie Tabulon"));
    QPainter p(&image);
    const QColor intro(0xE4, 0xEC, 0xF6);
    paintCaption(p, QRectF(24, 64, kWelcome.width() - 48, 26),
                 QStringLiteral("Przygotuj sprawozdanie na koniec okresu i przekaż je szkole."), font(14),
                 intro, Qt::AlignLeft | Qt::AlignVCenter);
    paintCaption(p, QRectF(24, 92, kWelcome.width() - 48, 26), QStringLiteral("Wybierz, co chcesz zrobić:"),
                 font(14), intro, Qt::AlignLeft | Qt::AlignVCenter);
    for (const QRect& label : {kNewDocument, kExistingDocument}) {
        paintPanel(p, QRectF(label).adjusted(0, -4, 0, 4), QColor(255, 255, 255, 22),
                   QColor(0x7F, 0xA3, 0xCF), 8);
        paintChoiceMark(p, label);
    }
    return image;
}

QImage teachers()
{
    QImage image = framedPanel(kTeachers.size(), QStringLiteral("1. Wybierz swoje nazwisko"));
    QPainter p(&image);
    p.fillRect(QRectF(kTeacherList).adjusted(-2, -2, 2, 2), QColor(0x7F, 0xA3, 0xCF));
    p.fillRect(QRectF(kTeacherBar), QColor(0x1D, 0x3D, 0x63));
    return image;
}

QImage topics()
{
    QImage image = framedPanel(kTopics.size(), QStringLiteral("2. Wybierz zagadnienie sprawozdania"));
    QPainter p(&image);
    p.fillRect(QRectF(kTopicList).adjusted(-2, -2, 2, 2), QColor(0x7F, 0xA3, 0xCF));
    return image;
}

QImage numbers(bool visited)
{
    QImage image = crop(background(), kNumbers);
    QPainter p(&image);
    p.setRenderHint(QPainter::Antialiasing);
    for (int i = 0; i < 5; ++i) {
        const QRectF box(i * kNumberWidth + 3, 1, kNumberWidth - 6, kNumbers.height() - 2);
        p.setPen(QPen(visited ? QColor(0x8A, 0x63, 0x00) : QColor(0x7F, 0xA3, 0xCF), 1.5));
        p.setBrush(visited ? kYellow : QColor(255, 255, 255, 30));
        p.drawRoundedRect(box, 5, 5);
        paintCaption(p, box, QString::number(i + 1), font(16, true), visited ? kDeepBottom : kTitleText);
    }
    return image;
}

QImage arrow(const QRect& place, bool forward)
{
    QImage image = crop(background(), place);
    QPainter p(&image);
    p.setRenderHint(QPainter::Antialiasing);
    const QRectF box(2, 2, place.width() - 4, place.height() - 4);
    p.setPen(QPen(QColor(0x8A, 0x63, 0x00), 1.5));
    p.setBrush(kYellow);
    p.drawRoundedRect(box, 8, 8);
    QPainterPath head;
    const qreal cx = box.center().x(), cy = box.center().y();
    const qreal dir = forward ? 1 : -1;
    head.moveTo(cx - dir * 12, cy - 4);
    head.lineTo(cx + dir * 2, cy - 4);
    head.lineTo(cx + dir * 2, cy - 12);
    head.lineTo(cx + dir * 16, cy);
    head.lineTo(cx + dir * 2, cy + 12);
    head.lineTo(cx + dir * 2, cy + 4);
    head.lineTo(cx - dir * 12, cy + 4);
    head.closeSubpath();
    p.setPen(Qt::NoPen);
    p.setBrush(kDeepBottom);
    p.drawPath(head);
    return image;
}

QImage hint()
{
    QImage image = canvas(kHintFrame.size(), kDeepBottom);
    QPainter p(&image);
    fillVerticalGradient(p, QRectF(0, 0, kHintFrame.width(), kHintFrame.height()), QColor(0x3C, 0x6E, 0xA8),
                         QColor(0x25, 0x4C, 0x7B), 6);
    paintPanel(p, QRectF(0, 0, kHintFrame.width(), kHintFrame.height()), Qt::transparent, kYellow, 6);
    paintTitleButton(p, kHintNext, QStringLiteral("»"));
    return image;
}

QImage about()
{
    QImage image = canvas(kAboutWindow);
    QPainter p(&image);
    paintWindow(p, kAboutWindow, 30, QStringLiteral("O programie"), 14);
    paintCloseMark(p, QRectF(kAboutWindow.width() - 27, 7, 17, 17));
    paintCaption(p, QRectF(20, 48, kAboutWindow.width() - 40, 36), QStringLiteral("Tabulon 2.5"),
                 font(24, true), kAccent, Qt::AlignLeft | Qt::AlignVCenter);
    p.setFont(font(13));
    p.setPen(kText);
    p.drawText(QRectF(20, 92, kAboutWindow.width() - 40, 150),
               Qt::AlignLeft | Qt::AlignTop | Qt::TextWordWrap,
               QStringLiteral("Przygotowanie i przekazanie sprawozdań szkolnych na koniec okresu: werdykony "
                              "klas, realizacja programów, zajęcia dodatkowe i inne sprawozdania do "
                              "protokołu rady pedagogicznej.\n\nDane szkoły dostarcza szkoła; program ich "
                              "nie zmienia."));
    paintFooter(p, kAboutWindow, 250);
    paintCaption(p, QRectF(20, 250, kAboutWindow.width() - 40, 37), QStringLiteral("Wersja danych 2.1.1"),
                 font(12), kText, Qt::AlignLeft | Qt::AlignVCenter);
    return image;
}

const bool registered = [] {
    SkinRegistry::add(QStringLiteral("tloglowny"), background);
    SkinRegistry::add(QStringLiteral("powitanie"), welcome);
    SkinRegistry::add(QStringLiteral("listanauczycieli"), teachers);
    SkinRegistry::add(QStringLiteral("wyboropcji"), topics);
    SkinRegistry::add(QStringLiteral("numerki"), [] { return numbers(false); });
    SkinRegistry::add(QStringLiteral("numerkiy"), [] { return numbers(true); });
    SkinRegistry::add(QStringLiteral("wstecz"), [] { return arrow(kBack, false); });
    SkinRegistry::add(QStringLiteral("naprzod"), [] { return arrow(kForward, true); });
    SkinRegistry::add(QStringLiteral("podpowiedz"), hint);
    SkinRegistry::add(QStringLiteral("oprogramie"), about);
    return true;
}();

} // namespace
