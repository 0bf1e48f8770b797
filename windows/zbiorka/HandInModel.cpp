#include "windows/zbiorka/HandInModel.h"

#include <QCollator>
#include <QColor>
#include <QLocale>

HandInModel::HandInModel(const QString& firstColumn, QObject* parent)
    : QAbstractTableModel(parent), m_firstColumn(firstColumn)
{
}

void HandInModel::setGrid(const HandInGrid& grid)
{
    beginResetModel();
    m_grid = grid;
    endResetModel();
}

const HandInCell* HandInModel::cellAt(const QModelIndex& index) const
{
    if (!index.isValid() || index.column() == 0 || index.row() >= m_grid.Rows.size())
        return nullptr;
    const HandInRow& row = m_grid.Rows[index.row()];
    return index.column() - 1 < row.Cells.size() ? &row.Cells[index.column() - 1] : nullptr;
}

int HandInModel::rowCount(const QModelIndex& parent) const
{
    return parent.isValid() ? 0 : int(m_grid.Rows.size());
}

int HandInModel::columnCount(const QModelIndex& parent) const
{
    return parent.isValid() ? 0 : int(m_grid.Columns.size()) + 1;
}

QColor HandInModel::colourOf(HandInState state)
{
    switch (state) {
    case HandInState::HandedIn:
        return {0xD8, 0xF0, 0xD8};
    case HandInState::Replaced:
        return {0xD6, 0xE6, 0xF8};
    case HandInState::Damaged:
        return {0xFB, 0xE1, 0xB8};
    case HandInState::Missing:
        return {0xF6, 0xCF, 0xCF};
    case HandInState::None:
        break;
    }
    return {0xFF, 0xFF, 0xFF};
}

QVariant HandInModel::data(const QModelIndex& index, int role) const
{
    if (!index.isValid() || index.row() >= m_grid.Rows.size())
        return {};
    const HandInRow& row = m_grid.Rows[index.row()];
    if (index.column() == 0) {
        if (role == Qt::DisplayRole || role == Qt::AccessibleTextRole || role == Qt::ToolTipRole)
            return row.Name;
        return {};
    }
    const HandInCell* cell = cellAt(index);
    if (!cell)
        return {};
    switch (role) {
    case Qt::DisplayRole:
        return cell->Text;
    case Qt::AccessibleTextRole:
        return QStringLiteral("%1, %2: %3").arg(row.Name, m_grid.Columns.value(index.column() - 1), cell->Text);
    case Qt::ToolTipRole:
        return cell->Reports.isEmpty() ? cell->Text
                                       : cell->Text + QStringLiteral(" – dwukrotne kliknięcie pokazuje dokument");
    case Qt::BackgroundRole:
        return colourOf(cell->State);
    case Qt::ForegroundRole:
        return QColor(0x22, 0x22, 0x22);
    case Qt::UserRole:
        return int(cell->State);
    default:
        return {};
    }
}

QVariant HandInModel::headerData(int section, Qt::Orientation orientation, int role) const
{
    if (orientation != Qt::Horizontal || (role != Qt::DisplayRole && role != Qt::ToolTipRole))
        return QAbstractTableModel::headerData(section, orientation, role);
    if (section == 0)
        return m_firstColumn;
    const int topic = m_grid.Topics.value(section - 1);
    if (role == Qt::ToolTipRole)
        return QStringLiteral("%1. %2").arg(topic).arg(TopicHeading(topic));
    // The number over a short name keeps the columns narrow.
    return QStringLiteral("%1.\n%2").arg(topic).arg(TopicShortName(topic).replace(u' ', u'\n'));
}

HandInFilter::HandInFilter(QObject* parent) : QSortFilterProxyModel(parent)
{
    setSortRole(Qt::DisplayRole);
}

void HandInFilter::setOnlyMissing(bool only)
{
    m_onlyMissing = only;
    invalidateFilter();
}

bool HandInFilter::filterAcceptsRow(int row, const QModelIndex&) const
{
    if (!m_onlyMissing)
        return true;
    const auto* model = qobject_cast<const HandInModel*>(sourceModel());
    return model && row < model->grid().Rows.size() && model->grid().Rows[row].hasMissing();
}

bool HandInFilter::lessThan(const QModelIndex& left, const QModelIndex& right) const
{
    static const QCollator collator{QLocale(QLocale::Polish, QLocale::Poland)};
    if (left.column() > 0) {
        const int a = left.data(Qt::UserRole).toInt(), b = right.data(Qt::UserRole).toInt();
        if (a != b)
            return a > b; // missing first, then damaged, replaced, handed in
    }
    return collator.compare(left.data().toString(), right.data().toString()) < 0;
}
