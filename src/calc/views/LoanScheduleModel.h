#pragma once

#include "calc/LoanMath.h"

#include "calc/views/LoanTableModel.h"

#include <QList>
#include <QStringList>

class LoanGPAModel;

// The monthly amortisation table: "#", "Date", "Payment", "Principal",
// "Interest", "Balance", one row per payment.
class LoanScheduleModel : public LoanTableModel {
    Q_OBJECT
public:
    enum Column { Number, Date, Payment, Principal, Interest, Balance, ColumnCount };

    explicit LoanScheduleModel(QObject* parent = nullptr);

    // Shows `schedule`, dated through `dates` (a payment's month and year).
    // Nothing is reset when the rows and dates are what is shown already.
    void setSchedule(const QList<AmortizationRow>& schedule, const LoanGPAModel& dates);

protected:
    int rows() const override { return int(m_rows.size()); }
    QString text(int row, int column) const override;

private:
    QList<AmortizationRow> m_rows;
    QStringList m_dates;
};
