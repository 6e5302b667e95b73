#include "calc/views/LoanYearModel.h"

#include "calc/views/LoanLook.h"

LoanYearModel::LoanYearModel(QObject* parent)
    : QAbstractTableModel(parent)
{
}

void LoanYearModel::setRows(const QList<LoanGPAView::YearRow>& rows)
{
    if (rows == m_rows)
        return;
    beginResetModel();
    m_rows = rows;
    endResetModel();
}

int LoanYearModel::rowCount(const QModelIndex& parent) const
{
    return parent.isValid() ? 0 : int(m_rows.size());
}

int LoanYearModel::columnCount(const QModelIndex& parent) const
{
    return parent.isValid() ? 0 : ColumnCount;
}

QVariant LoanYearModel::data(const QModelIndex& index, int role) const
{
    if (!index.isValid() || index.row() >= m_rows.size())
        return {};
    const LoanGPAView::YearRow& row = m_rows.at(index.row());
    const int column = index.column();
    if (role == Qt::DisplayRole) {
        switch (column) {
        case Year:
            return QString::number(row.id);
        case Principal:
            return LoanLook::money(row.principal);
        case Interest:
            return LoanLook::money(row.interest);
        case Balance:
            return LoanLook::money(row.balance);
        default:
            return {};
        }
    }
    if (role == Qt::TextAlignmentRole)
        return int((column == Year ? Qt::AlignLeft : Qt::AlignRight) | Qt::AlignVCenter);
    if (role == Qt::FontRole && column != Year)
        return LoanLook::tableDigits();
    return {};
}

QVariant LoanYearModel::headerData(int section, Qt::Orientation orientation, int role) const
{
    if (orientation != Qt::Horizontal)
        return {};
    if (role == Qt::DisplayRole) {
        static const char* const titles[] = {"Year", "Principal", "Interest", "Balance"};
        if (section >= 0 && section < ColumnCount)
            return QString::fromLatin1(titles[section]);
    }
    if (role == Qt::TextAlignmentRole)
        return int((section == Year ? Qt::AlignLeft : Qt::AlignRight) | Qt::AlignVCenter);
    return {};
}
