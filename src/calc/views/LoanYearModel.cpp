#include "calc/views/LoanYearModel.h"

#include "calc/views/LoanLook.h"

LoanYearModel::LoanYearModel(QObject* parent)
    : LoanTableModel({QStringLiteral("Year"), QStringLiteral("Principal"), QStringLiteral("Interest"),
                      QStringLiteral("Balance")},
                     Principal, parent)
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

QString LoanYearModel::text(int index, int column) const
{
    const LoanGPAView::YearRow& row = m_rows.at(index);
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
