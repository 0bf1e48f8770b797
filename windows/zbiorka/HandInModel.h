#pragma once

#include "collect/HandInTable.h"

#include <QAbstractTableModel>
#include <QSortFilterProxyModel>

// One hand-in table for a view: the first column names the teacher or class, each
// other column a topic. Every cell says its state in words and carries its colour;
// the text is also what a screen reader reads.
class HandInModel : public QAbstractTableModel
{
    Q_OBJECT

public:
    explicit HandInModel(const QString& firstColumn, QObject* parent = nullptr);

    void setGrid(const HandInGrid& grid);
    const HandInGrid& grid() const { return m_grid; }
    const HandInCell* cellAt(const QModelIndex& index) const;

    int rowCount(const QModelIndex& parent = {}) const override;
    int columnCount(const QModelIndex& parent = {}) const override;
    QVariant data(const QModelIndex& index, int role) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role) const override;

    static QColor colourOf(HandInState state);

private:
    QString m_firstColumn;
    HandInGrid m_grid;
};

// Sorting in Polish order (names) and by state (cells), and the "tylko braki" filter.
class HandInFilter : public QSortFilterProxyModel
{
    Q_OBJECT

public:
    explicit HandInFilter(QObject* parent = nullptr);
    void setOnlyMissing(bool only);

protected:
    bool filterAcceptsRow(int row, const QModelIndex& parent) const override;
    bool lessThan(const QModelIndex& left, const QModelIndex& right) const override;

private:
    bool m_onlyMissing = false;
};
