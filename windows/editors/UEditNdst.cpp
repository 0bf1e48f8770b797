#include "windows/editors/UEditNdst.h"

#include "core/AppState.h"
#include "core/KlasaFull.h"
#include "core/Messages.h"
#include "windows/parts/SkinOnShow.h"
#include "windows/parts/WindowParts.h"

#include <QJsonArray>
#include <QKeyEvent>
#include <QListWidget>
#include <QMouseEvent>
#include <QStyle>

using namespace WindowParts;

TFEditNdst::TFEditNdst(QWidget* parent)
    : EntryDialog(parent, "FEditNdst", QStringLiteral("Przedmioty z oceną niedostateczną"), QSize(kWidth, kHeight))
{
    m_imTlo = makeLabel(this, "ImTlo", QRect(0, 0, kWidth, kHeight));
    SetSkin(m_imTlo, QStringLiteral("tloeditndst"));
    m_lPrzedmioty = new QListWidget(this);
    m_lPrzedmioty->setObjectName(QStringLiteral("LPrzedmioty"));
    m_lPrzedmioty->setGeometry(20, 44, 346, 142);
    // A check box before every subject shows the choice: a click on the box or Space
    // marks the subject or takes the mark away, the others stay; a click on a name
    // chooses that subject alone, Ctrl with the click adds it.
    m_lPrzedmioty->setSelectionMode(QAbstractItemView::ExtendedSelection);
    m_lPrzedmioty->setToolTip(QStringLiteral(
        "Aby wybrać więcej niż jeden, zaznacz pola wyboru spacją lub myszą albo klikaj, trzymając wciśnięty "
        "klawisz Ctrl"));
    m_lPrzedmioty->viewport()->installEventFilter(this);
    m_lWprowadz = makeButtonLabel(this, "LWprowadz", QRect(94, 200, 88, 26));
    m_lAnuluj = makeButtonLabel(this, "LAnuluj", QRect(204, 200, 88, 26));

    m_lPrzedmioty->installEventFilter(this);
    SetButtons(m_lWprowadz, m_lAnuluj);
    connect(m_lPrzedmioty, &QListWidget::itemSelectionChanged, this, &EntryDialog::TypedChanged);
    // The check boxes and the selection are one and the same choice.
    connect(m_lPrzedmioty, &QListWidget::itemSelectionChanged, this, [this] {
        m_syncing = true;
        for (int row = 0; row < m_lPrzedmioty->count(); ++row) {
            QListWidgetItem* item = m_lPrzedmioty->item(row);
            item->setCheckState(item->isSelected() ? Qt::Checked : Qt::Unchecked);
        }
        m_syncing = false;
    });
    connect(m_lPrzedmioty, &QListWidget::itemChanged, this, [this](QListWidgetItem* item) {
        if (!m_syncing && item->isSelected() != (item->checkState() == Qt::Checked))
            item->setSelected(item->checkState() == Qt::Checked);
    });
    // A double click confirms with the selection as the click left it.
    connect(m_lPrzedmioty, &QListWidget::itemDoubleClicked, this, [this] { LWprowadzClick(); });
}

void TFEditNdst::SetSubjects(const QStringList& subjects)
{
    m_lPrzedmioty->clear();
    m_syncing = true;
    for (const QString& subject : subjects) {
        auto* item = new QListWidgetItem(subject, m_lPrzedmioty);
        item->setFlags(item->flags() | Qt::ItemIsUserCheckable);
        item->setCheckState(Qt::Unchecked);
    }
    m_syncing = false;
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
    // The arrows move among the subjects and leave the marks as they are.
    const int moves[][2] = {{Qt::Key_Up, -1}, {Qt::Key_Down, 1}};
    for (const auto& [key, step] : moves) {
        if (event->key() == key && (event->modifiers() & ~Qt::KeypadModifier) == Qt::NoModifier) {
            const int row = qBound(0, m_lPrzedmioty->currentRow() + step, m_lPrzedmioty->count() - 1);
            m_lPrzedmioty->setCurrentRow(row, QItemSelectionModel::NoUpdate);
            return true;
        }
    }
    if (event->key() == Qt::Key_Space && !event->isAutoRepeat()) {
        // Space marks the current subject or takes its mark away, the others stay.
        if (QListWidgetItem* item = m_lPrzedmioty->currentItem())
            item->setSelected(!item->isSelected());
        return true;
    }
    return false;
}

bool TFEditNdst::CheckBoxClick(QEvent* event)
{
    const auto type = event->type();
    if (type != QEvent::MouseButtonPress && type != QEvent::MouseButtonDblClick &&
        type != QEvent::MouseButtonRelease)
        return false;
    const auto* mouse = static_cast<QMouseEvent*>(event);
    const QPoint at = mouse->position().toPoint();
    QListWidgetItem* item = m_lPrzedmioty->itemAt(at);
    // The box stands at the row's left end.
    const int boxWidth = m_lPrzedmioty->style()->pixelMetric(QStyle::PM_IndicatorWidth) + 8;
    if (!item || mouse->button() != Qt::LeftButton || at.x() >= m_lPrzedmioty->visualItemRect(item).left() + boxWidth)
        return false;
    if (type == QEvent::MouseButtonPress) {
        m_lPrzedmioty->setCurrentItem(item, QItemSelectionModel::NoUpdate);
        item->setSelected(!item->isSelected());
    }
    return true;
}

bool TFEditNdst::eventFilter(QObject* watched, QEvent* event)
{
    if (watched == m_lPrzedmioty->viewport() && CheckBoxClick(event))
        return true;
    if (watched == m_lPrzedmioty && event->type() == QEvent::KeyPress)
        return LPrzedmiotyKeyPress(static_cast<QKeyEvent*>(event));
    return EntryDialog::eventFilter(watched, event);
}
