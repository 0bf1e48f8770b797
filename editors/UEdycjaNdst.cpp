#include "editors/UEdycjaNdst.h"

#include "resources/SkinPicture.h"
#include "shell/Messages.h"
#include "shell/TextForm.h"
#include "shell/WindowParts.h"

#include <QPlainTextEdit>

using namespace WindowParts;

TFEdytujNdst::TFEdytujNdst(QWidget* parent)
    : QDialog(parent, Qt::Dialog | Qt::FramelessWindowHint | Qt::WindowStaysOnTopHint)
{
    // FormCreate
    setObjectName(QStringLiteral("FEdytujNdst"));
    setWindowTitle(QStringLiteral("Uzasadnienie oceny niedostatecznej"));
    setFixedSize(kWidth, kHeight);
    setModal(true);

    m_imTlo = makeLabel(this, "ImTlo", QRect(0, 0, kWidth, kHeight));
    m_imTlo->setPixmap(SkinPicture(QStringLiteral("tloedycjandst")));
    m_lUczniowie = makeLabel(this, "LUczniowie", QRect(20, 36, 546, 20));
    m_lUczniowie->setTextFormat(Qt::PlainText); // pupils' names as the school wrote them
    m_mTekst = new QPlainTextEdit(this);
    m_mTekst->setObjectName(QStringLiteral("MTekst"));
    m_mTekst->setGeometry(20, 60, 546, 118);
    m_mTekst->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    m_mTekst->setTabChangesFocus(true);
    m_lWprowadz = makeButtonLabel(this, "LWprowadz", QRect(194, 192, 88, 26));
    m_lAnuluj = makeButtonLabel(this, "LAnuluj", QRect(304, 192, 88, 26));

    m_lWprowadz->installEventFilter(this);
    m_lAnuluj->installEventFilter(this);
}

void TFEdytujNdst::SetPupils(const QString& caption)
{
    m_lUczniowie->setText(caption);
}

void TFEdytujNdst::SetText(const QStringList& lines)
{
    m_mTekst->setPlainText(lines.join(QLatin1Char('\n')));
}

QStringList TFEdytujNdst::TypedLines() const
{
    // The plain text keeps the typed line breaks whatever the wrapping on screen.
    return MemoLines(TypedText(m_mTekst));
}

void TFEdytujNdst::showEvent(QShowEvent* event)
{
    QDialog::showEvent(event);
    FormShow();
}

void TFEdytujNdst::FormShow()
{
    if (QWidget* parent = parentWidget())
        move(parent->window()->mapToGlobal(QPoint(kLeftOffset, kTopOffset)));
    m_mTekst->setLineWrapMode(QPlainTextEdit::WidgetWidth);
    m_mTekst->setFocus();
}

void TFEdytujNdst::LWprowadzClick()
{
    // Any character counts, a lone blank or line break included.
    if (TypedText(m_mTekst).isEmpty()) {
        ShowMessage(KindNotice, IconWarning,
                    QStringLiteral("Wpisz uzasadnienie lub anuluj.\rUzasadnienie nie może być puste."));
        return;
    }
    m_confirmed = true;
    accept();
}

void TFEdytujNdst::LAnulujClick()
{
    reject();
}

void TFEdytujNdst::reject()
{
    m_confirmed = false;
    QDialog::reject();
}

bool TFEdytujNdst::eventFilter(QObject* watched, QEvent* event)
{
    if (watched == m_lWprowadz && isLeftClick(event, m_lWprowadz)) {
        LWprowadzClick();
        return true;
    }
    if (watched == m_lAnuluj && isLeftClick(event, m_lAnuluj)) {
        LAnulujClick();
        return true;
    }
    return QDialog::eventFilter(watched, event);
}
