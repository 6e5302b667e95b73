#include "calc/views/LoanScheduleModel.h"

#include "calc/LoanGPAModel.h"
#include "calc/views/LoanLook.h"

LoanScheduleModel::LoanScheduleModel(QObject* parent)
    : QAbstractTableModel(parent)
{
}

void LoanScheduleModel::setSchedule(const QList<AmortizationRow>& schedule, const LoanGPAModel& dates)
{
    QStringList texts;
    texts.reserve(schedule.size());
    for (const AmortizationRow& row : schedule)
        texts.append(dates.date(row.period));
    if (schedule == m_rows && texts == m_dates)
        return;
    beginResetModel();
    m_rows = schedule;
    m_dates = texts;
    endResetModel();
}

int LoanScheduleModel::rowCount(const QModelIndex& parent) const
{
    return parent.isValid() ? 0 : int(m_rows.size());
}

int LoanScheduleModel::columnCount(const QModelIndex& parent) const
{
    return parent.isValid() ? 0 : ColumnCount;
}

QVariant LoanScheduleModel::data(const QModelIndex& index, int role) const
{
    if (!index.isValid() || index.row() >= m_rows.size())
        return {};
    const AmortizationRow& row = m_rows.at(index.row());
    const int column = index.column();
    if (role == Qt::DisplayRole) {
        switch (column) {
        case Number:
            return QString::number(row.period);
        case Date:
            return m_dates.value(index.row());
        case Payment:
            return LoanLook::money(row.payment);
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
        return int((column >= Payment ? Qt::AlignRight : Qt::AlignLeft) | Qt::AlignVCenter);
    if (role == Qt::FontRole && column >= Payment)
        return LoanLook::tableDigits();
    return {};
}

QVariant LoanScheduleModel::headerData(int section, Qt::Orientation orientation, int role) const
{
    if (orientation != Qt::Horizontal)
        return {};
    if (role == Qt::DisplayRole) {
        static const char* const titles[] = {"#", "Date", "Payment", "Principal", "Interest", "Balance"};
        if (section >= 0 && section < ColumnCount)
            return QString::fromLatin1(titles[section]);
    }
    if (role == Qt::TextAlignmentRole)
        return int((section >= Payment ? Qt::AlignRight : Qt::AlignLeft) | Qt::AlignVCenter);
    return {};
}
