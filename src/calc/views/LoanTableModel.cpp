#include "calc/views/LoanTableModel.h"

#include "calc/views/LoanLook.h"

LoanTableModel::LoanTableModel(const QStringList& titles, int firstFigureColumn, QObject* parent)
    : QAbstractTableModel(parent)
    , m_titles(titles)
    , m_firstFigureColumn(firstFigureColumn)
{
}

int LoanTableModel::rowCount(const QModelIndex& parent) const
{
    return parent.isValid() ? 0 : rows();
}

int LoanTableModel::columnCount(const QModelIndex& parent) const
{
    return parent.isValid() ? 0 : int(m_titles.size());
}

int LoanTableModel::alignment(int column) const
{
    return int((column >= m_firstFigureColumn ? Qt::AlignRight : Qt::AlignLeft) | Qt::AlignVCenter);
}

QVariant LoanTableModel::data(const QModelIndex& index, int role) const
{
    if (!index.isValid() || index.row() >= rows() || index.column() >= m_titles.size())
        return {};
    switch (role) {
    case Qt::DisplayRole:
        return text(index.row(), index.column());
    case Qt::TextAlignmentRole:
        return alignment(index.column());
    case Qt::FontRole:
        if (index.column() >= m_firstFigureColumn)
            return LoanLook::tableDigits();
        return {};
    default:
        return {};
    }
}

QVariant LoanTableModel::headerData(int section, Qt::Orientation orientation, int role) const
{
    if (orientation != Qt::Horizontal || section < 0 || section >= m_titles.size())
        return {};
    if (role == Qt::DisplayRole)
        return m_titles.at(section);
    if (role == Qt::TextAlignmentRole)
        return alignment(section);
    return {};
}
