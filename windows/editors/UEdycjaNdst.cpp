#include "windows/editors/UEdycjaNdst.h"

#include "core/Messages.h"
#include "core/TextForm.h"
#include "windows/parts/SkinOnShow.h"
#include "windows/parts/WindowParts.h"

#include <QPlainTextEdit>

using namespace WindowParts;

TFEdytujNdst::TFEdytujNdst(QWidget* parent)
    : EntryDialog(parent, "FEdytujNdst", QStringLiteral("Uzasadnienie oceny niedostatecznej"), QSize(kWidth, kHeight))
{
    m_imTlo = makeLabel(this, "ImTlo", QRect(0, 0, kWidth, kHeight));
    SetSkin(m_imTlo, QStringLiteral("tloedycjandst"));
    m_lUczniowie = makeLabel(this, "LUczniowie", QRect(20, 36, 546, 20));
    m_lUczniowie->setTextFormat(Qt::PlainText); // pupils' names as the school wrote them
    m_mTekst = new QPlainTextEdit(this);
    m_mTekst->setObjectName(QStringLiteral("MTekst"));
    m_mTekst->setGeometry(20, 60, 546, 118);
    m_mTekst->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    m_mTekst->setTabChangesFocus(true);
    m_lWprowadz = makeButtonLabel(this, "LWprowadz", QRect(194, 192, 88, 26));
    m_lAnuluj = makeButtonLabel(this, "LAnuluj", QRect(304, 192, 88, 26));

    SetButtons(m_lWprowadz, m_lAnuluj);
    connect(m_mTekst, &QPlainTextEdit::textChanged, this, &EntryDialog::TypedChanged);
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

QJsonObject TFEdytujNdst::TypedState() const
{
    return {{QStringLiteral("tekst"), TypedText(m_mTekst)}};
}

void TFEdytujNdst::RestoreTypedState(const QJsonObject& state)
{
    m_mTekst->setPlainText(state.value(QStringLiteral("tekst")).toString());
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
    Confirm();
}
