#include "windows/parts/ListEntryDetail.h"

#include "windows/parts/WindowFinish.h"

#include <QListWidget>
#include <QPainter>
#include <QStyledItemDelegate>

namespace {

constexpr int kDetailRole = Qt::UserRole + 41;
constexpr int kGap = 12;

class DetailDelegate final : public WindowFinish::PaddedItemDelegate
{
public:
    using WindowFinish::PaddedItemDelegate::PaddedItemDelegate;

    void paint(QPainter* painter, const QStyleOptionViewItem& option, const QModelIndex& index) const override
    {
        PaddedItemDelegate::paint(painter, option, index);
        const QString detail = index.data(kDetailRole).toString();
        if (detail.isEmpty())
            return;
        const QString name = index.data(Qt::DisplayRole).toString();
        const QFontMetrics metrics(option.font);
        QRect place = option.rect.adjusted(kPadding + 4, 0, -4, 0);
        place.setLeft(place.left() + metrics.horizontalAdvance(name) + kGap);
        if (place.width() <= metrics.averageCharWidth() * 3)
            return;
        const bool selected = option.state & QStyle::State_Selected;
        QColor colour = option.palette.color(selected ? QPalette::HighlightedText : QPalette::Text);
        colour.setAlpha(selected ? 220 : 150);
        painter->save();
        painter->setPen(colour);
        painter->setFont(option.font);
        painter->drawText(place, Qt::AlignRight | Qt::AlignVCenter,
                          metrics.elidedText(detail, Qt::ElideRight, place.width()));
        painter->restore();
    }
};

} // namespace

namespace ListEntryDetail {

void ShowDetails(QListWidget* list)
{
    list->setItemDelegate(new DetailDelegate(list));
}

void Set(QListWidgetItem* item, const QString& detail)
{
    item->setData(kDetailRole, detail.isEmpty() ? QVariant() : QVariant(detail));
    item->setData(Qt::AccessibleTextRole,
                  detail.isEmpty() ? QVariant() : QVariant(item->text() + QStringLiteral(", ") + detail));
    item->setToolTip(detail.isEmpty() ? QString() : item->text() + QStringLiteral(": ") + detail);
}

QString Of(const QListWidgetItem* item)
{
    return item->data(kDetailRole).toString();
}

} // namespace ListEntryDetail
