#include "calc/views/HistoryList.h"

#include "calc/views/CalcLook.h"
#include "ui/Chrome.h"
#include "ui/Fonts.h"

#include <QAbstractListModel>
#include <QContextMenuEvent>
#include <QFontMetrics>
#include <QMenu>
#include <QPainter>
#include <QStyledItemDelegate>

namespace {

constexpr int kLineGap = 1;   // between expression and result
constexpr int kRowGap = 6;    // between a row and its divider, and after it

QFont expressionFont()
{
    return Fonts::system(11, QFont::Normal, Fonts::Design::Monospaced);
}

QFont resultFont()
{
    return Fonts::system(14, QFont::DemiBold, Fonts::Design::Rounded);
}

class EntryDelegate : public QStyledItemDelegate {
public:
    using QStyledItemDelegate::QStyledItemDelegate;

    static int rowHeight()
    {
        return QFontMetrics(expressionFont()).height() + kLineGap + QFontMetrics(resultFont()).height() + kRowGap
            + 1 + kRowGap;
    }

    QSize sizeHint(const QStyleOptionViewItem&, const QModelIndex&) const override
    {
        return QSize(10, rowHeight());
    }

    void paint(QPainter* p, const QStyleOptionViewItem& option, const QModelIndex& index) const override
    {
        const QString expression = index.data(Qt::UserRole).toString();
        const QString result = QStringLiteral("= ") + index.data(Qt::UserRole + 1).toString();
        const QRect r = option.rect.adjusted(2, 0, -4, 0);
        p->save();
        if (option.state & QStyle::State_Sunken)
            p->setOpacity(0.6);
        const QFontMetrics em(expressionFont());
        const QFontMetrics rm(resultFont());
        QRect line(r.left(), r.top(), r.width(), em.height());
        p->setFont(expressionFont());
        p->setPen(CalcLook::secondary());
        p->drawText(line, Qt::AlignRight | Qt::AlignVCenter, em.elidedText(expression, Qt::ElideLeft, r.width()));
        line = QRect(r.left(), line.bottom() + 1 + kLineGap, r.width(), rm.height());
        p->setFont(resultFont());
        p->setPen(Chrome::ink());
        p->drawText(line, Qt::AlignRight | Qt::AlignVCenter, rm.elidedText(result, Qt::ElideLeft, r.width()));
        const int y = line.bottom() + 1 + kRowGap;
        p->setOpacity(1);
        p->setPen(QPen(QColor(0, 0, 0, 40), 1));
        p->drawLine(option.rect.left(), y, option.rect.right(), y);
        p->restore();
    }
};

} // namespace

class HistoryList::Model : public QAbstractListModel {
public:
    using QAbstractListModel::QAbstractListModel;

    QList<HistoryItem> items;

    int rowCount(const QModelIndex& parent) const override
    {
        return parent.isValid() ? 0 : int(items.size());
    }

    QVariant data(const QModelIndex& index, int role) const override
    {
        if (!index.isValid() || index.row() >= items.size())
            return {};
        const HistoryItem& item = items.at(index.row());
        switch (role) {
        case Qt::UserRole:
            return item.expression;
        case Qt::UserRole + 1:
            return item.result;
        case Qt::DisplayRole:
        case Qt::AccessibleTextRole:
            return item.expression + QStringLiteral(" = ") + item.result;
        default:
            return {};
        }
    }

    void reset(const QList<HistoryItem>& next)
    {
        beginResetModel();
        items = next;
        endResetModel();
    }
};

HistoryList::HistoryList(QWidget* parent)
    : QListView(parent)
    , m_model(new Model(this))
{
    setModel(m_model);
    setItemDelegate(new EntryDelegate(this));
    setUniformItemSizes(true);
    setFrameShape(QFrame::NoFrame);
    setSelectionMode(QAbstractItemView::NoSelection);
    setFocusPolicy(Qt::NoFocus);
    setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    setVerticalScrollBarPolicy(Qt::ScrollBarAsNeeded);
    setVerticalScrollMode(QAbstractItemView::ScrollPerPixel);
    setMouseTracking(true);
    viewport()->setAutoFillBackground(false);
    setAutoFillBackground(false);
    setAttribute(Qt::WA_TranslucentBackground);
    setStyleSheet(QStringLiteral("QListView { background: transparent; }"));
    setContextMenuPolicy(Qt::DefaultContextMenu);
    connect(this, &QListView::clicked, this, [this](const QModelIndex& index) {
        if (index.isValid() && index.row() < m_model->items.size())
            Q_EMIT entryClicked(m_model->items.at(index.row()));
    });
}

void HistoryList::setItems(const QList<HistoryItem>& items)
{
    m_model->reset(items);
}

const QList<HistoryItem>& HistoryList::items() const
{
    return m_model->items;
}

QRect HistoryList::rowRect(int row) const
{
    return visualRect(m_model->index(row));
}

QMenu* HistoryList::menuFor(int row, QWidget* parent)
{
    if (row < 0 || row >= m_model->items.size())
        return nullptr;
    const HistoryItem item = m_model->items.at(row);
    auto* menu = new QMenu(parent);
    connect(menu->addAction(QStringLiteral("Copy Result")), &QAction::triggered, this,
            [this, item] { Q_EMIT copyResultRequested(item); });
    connect(menu->addAction(QStringLiteral("Insert Result")), &QAction::triggered, this,
            [this, item] { Q_EMIT insertResultRequested(item); });
    return menu;
}

void HistoryList::contextMenuEvent(QContextMenuEvent* event)
{
    // Delivered through the viewport: the position is in its coordinates.
    const QModelIndex index = indexAt(event->pos());
    QMenu* menu = index.isValid() ? menuFor(index.row(), this) : nullptr;
    if (!menu)
        return;
    menu->setAttribute(Qt::WA_DeleteOnClose);
    menu->popup(event->globalPos());
}
