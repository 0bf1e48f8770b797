#include "editors/UEditNdst.h"

#include "resources/SkinOnShow.h"
#include "shell/AppState.h"
#include "shell/KlasaFull.h"
#include "shell/Messages.h"
#include "shell/WindowParts.h"

#include <QJsonArray>
#include <QKeyEvent>
#include <QListWidget>

using namespace WindowParts;

TFEditNdst::TFEditNdst(QWidget* parent)
    : EntryDialog(parent, "FEditNdst", QStringLiteral("Przedmioty z oceną niedostateczną"), QSize(kWidth, kHeight))
{
    m_imTlo = makeLabel(this, "ImTlo", QRect(0, 0, kWidth, kHeight));
    SetSkin(m_imTlo, QStringLiteral("tloeditndst"));
    m_lPrzedmioty = new QListWidget(this);
    m_lPrzedmioty->setObjectName(QStringLiteral("LPrzedmioty"));
    m_lPrzedmioty->setGeometry(20, 44, 346, 142);
    m_lPrzedmioty->setSelectionMode(QAbstractItemView::ExtendedSelection);
    m_lPrzedmioty->setToolTip(
        QStringLiteral("Aby wybrać więcej niż jeden, klikaj, trzymając wciśnięty klawisz Ctrl"));
    m_lWprowadz = makeButtonLabel(this, "LWprowadz", QRect(94, 200, 88, 26));
    m_lAnuluj = makeButtonLabel(this, "LAnuluj", QRect(204, 200, 88, 26));

    m_lPrzedmioty->installEventFilter(this);
    SetButtons(m_lWprowadz, m_lAnuluj);
    connect(m_lPrzedmioty, &QListWidget::itemSelectionChanged, this, &EntryDialog::TypedChanged);
    // A double click confirms with the selection as the click left it.
    connect(m_lPrzedmioty, &QListWidget::itemDoubleClicked, this, [this] { LWprowadzClick(); });
}

void TFEditNdst::SetSubjects(const QStringList& subjects)
{
    m_lPrzedmioty->clear();
    m_lPrzedmioty->addItems(subjects);
    FocusFirstSubject();
}

void TFEditNdst::FocusFirstSubject()
{
    if (m_lPrzedmioty->count() == 0)
        return;
    m_lPrzedmioty->selectionModel()->setCurrentIndex(m_lPrzedmioty->model()->index(0, 0),
                                                     QItemSelectionModel::NoUpdate);
}

QJsonObject TFEditNdst::TypedState() const
{
    QJsonArray chosen;
    for (int row = 0; row < m_lPrzedmioty->count(); ++row) {
        if (m_lPrzedmioty->item(row)->isSelected())
            chosen.append(m_lPrzedmioty->item(row)->text());
    }
    return {{QStringLiteral("przedmioty"), chosen}};
}

void TFEditNdst::RestoreTypedState(const QJsonObject& state)
{
    const QJsonArray chosen = state.value(QStringLiteral("przedmioty")).toArray();
    for (int row = 0; row < m_lPrzedmioty->count(); ++row)
        m_lPrzedmioty->item(row)->setSelected(chosen.contains(m_lPrzedmioty->item(row)->text()));
}

void TFEditNdst::FormShow()
{
    if (QWidget* editor = parentWidget())
        move(editor->mapToGlobal(QPoint(kLeftOffset, kTopOffset)));
    if (m_lPrzedmioty->currentRow() < 0)
        FocusFirstSubject();
    m_lPrzedmioty->setFocus();
}

void TFEditNdst::LWprowadzClick()
{
    QStringList chosen;
    for (int row = 0; row < m_lPrzedmioty->count(); ++row) {
        if (m_lPrzedmioty->item(row)->isSelected())
            chosen << m_lPrzedmioty->item(row)->text();
    }
    if (chosen.isEmpty()) {
        ShowMessage(KindNotice, IconWarning, QStringLiteral("Wskaż na liście co najmniej jeden przedmiot."));
        return;
    }
    _KlasaFull& sheet = klasaFull();
    const int row = appState().CurrentPupilIndex;
    if (row < 0 || row >= sheet.Rows.size()) {
        Abandon();
        return;
    }
    sheet.Rows[row].FailSubjects = chosen.join(QStringLiteral(", "));
    Confirm();
}

bool TFEditNdst::LPrzedmiotyKeyPress(const QKeyEvent* event)
{
    if (event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter) {
        LWprowadzClick();
        return true;
    }
    if (event->key() == Qt::Key_Escape) {
        LAnulujClick();
        return true;
    }
    return false;
}

bool TFEditNdst::eventFilter(QObject* watched, QEvent* event)
{
    if (watched == m_lPrzedmioty && event->type() == QEvent::KeyPress)
        return LPrzedmiotyKeyPress(static_cast<QKeyEvent*>(event));
    return EntryDialog::eventFilter(watched, event);
}
