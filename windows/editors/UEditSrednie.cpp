#include "windows/editors/UEditSrednie.h"

#include "core/AppState.h"
#include "core/KlasaFull.h"
#include "core/Messages.h"
#include "document/AverageValue.h"
#include "document/KeyFilters.h"
#include "windows/parts/SkinOnShow.h"
#include "windows/parts/WindowParts.h"

#include <QKeyEvent>
#include <QLineEdit>

using namespace WindowParts;

TFEditSrednie::TFEditSrednie(QWidget* parent)
    : EntryDialog(parent, "FEditSrednie", QStringLiteral("Średnia ucznia"), QSize(kWidth, kHeight))
{
    m_imTlo = makeLabel(this, "ImTlo", QRect(0, 0, kWidth, kHeight));
    SetSkin(m_imTlo, QStringLiteral("tloeditsrednie"));
    m_eWartoscSredniej = new QLineEdit(this);
    m_eWartoscSredniej->setObjectName(QStringLiteral("EWartoscSredniej"));
    m_eWartoscSredniej->setGeometry(150, 66, 90, 24);
    m_eWartoscSredniej->setMaxLength(12);
    m_eWartoscSredniej->setAlignment(Qt::AlignCenter);
    m_lWprowadz = makeButtonLabel(this, "LWprowadz", QRect(96, 118, 88, 26));
    m_lAnuluj = makeButtonLabel(this, "LAnuluj", QRect(205, 118, 88, 26));

    m_eWartoscSredniej->installEventFilter(this);
    SetButtons(m_lWprowadz, m_lAnuluj);
    connect(m_eWartoscSredniej, &QLineEdit::textChanged, this, &EntryDialog::TypedChanged);
}

QJsonObject TFEditSrednie::TypedState() const
{
    return {{QStringLiteral("srednia"), m_eWartoscSredniej->text()}};
}

void TFEditSrednie::RestoreTypedState(const QJsonObject& state)
{
    m_eWartoscSredniej->setText(state.value(QStringLiteral("srednia")).toString().left(12));
}

void TFEditSrednie::FormShow()
{
    if (QWidget* editor = parentWidget())
        move(editor->mapToGlobal(QPoint(kLeftOffset, kTopOffset)));
    m_eWartoscSredniej->setText(QStringLiteral("5,0"));
    m_eWartoscSredniej->selectAll();
    m_eWartoscSredniej->setFocus();
}

void TFEditSrednie::LWprowadzClick()
{
    const std::optional<int> average = ParseAverage(m_eWartoscSredniej->text());
    if (!average) {
        ShowMessage(KindNotice, IconWarning, QStringLiteral("Wpisz poprawnie wartość średniej."));
        return;
    }
    if (!AverageInRange(*average)) {
        ShowMessage(KindNotice, IconWarning,
                    QStringLiteral("Wartość średniej musi być z przedziału [4,75-6,0]. Popraw."));
        return;
    }
    _KlasaFull& sheet = klasaFull();
    const int row = appState().CurrentPupilIndex;
    if (row < 0 || row >= sheet.Rows.size()) {
        // No pupil to store it for: nothing is confirmed.
        Abandon();
        return;
    }
    sheet.Rows[row].Average = *average;
    Confirm();
}

bool TFEditSrednie::EWartoscSredniejKeyPress(QKeyEvent* event)
{
    if (event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter) {
        LWprowadzClick();
        return true;
    }
    if (event->key() == Qt::Key_Escape) {
        LAnulujClick();
        return true;
    }
    const QString typed = event->text();
    if (!IsTypedCharacter(event->key(), typed))
        return false;
    const QChar passed = DecimalKeyFilter(typed.at(0));
    if (passed.isNull())
        return true;
    if (passed != typed.at(0)) {
        m_eWartoscSredniej->insert(QString(passed));
        return true;
    }
    return false;
}

bool TFEditSrednie::eventFilter(QObject* watched, QEvent* event)
{
    if (watched == m_eWartoscSredniej && event->type() == QEvent::KeyPress)
        return EWartoscSredniejKeyPress(static_cast<QKeyEvent*>(event));
    return EntryDialog::eventFilter(watched, event);
}
