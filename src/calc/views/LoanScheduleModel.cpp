#include "calc/views/LoanScheduleModel.h"

#include "calc/LoanGPAModel.h"
#include "calc/views/LoanLook.h"

LoanScheduleModel::LoanScheduleModel(QObject* parent)
    : LoanTableModel({QStringLiteral("#"), QStringLiteral("Date"), QStringLiteral("Payment"),
                      QStringLiteral("Principal"), QStringLiteral("Interest"), QStringLiteral("Balance")},
                     Payment, parent)
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

QString LoanScheduleModel::text(int index, int column) const
{
    const AmortizationRow& row = m_rows.at(index);
    switch (column) {
    case Number:
        return QString::number(row.period);
    case Date:
        return m_dates.value(index);
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
