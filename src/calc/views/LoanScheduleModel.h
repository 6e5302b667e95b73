#pragma once

#include "calc/LoanMath.h"

#include <QAbstractTableModel>
#include <QList>
#include <QStringList>

class LoanGPAModel;

// The monthly amortisation table: "#", "Date", "Payment", "Principal",
// "Interest", "Balance", one row per payment.
class LoanScheduleModel : public QAbstractTableModel {
    Q_OBJECT
public:
    enum Column { Number, Date, Payment, Principal, Interest, Balance, ColumnCount };

    explicit LoanScheduleModel(QObject* parent = nullptr);

    // Shows `schedule`, dated through `dates` (a payment's month and year).
    // Nothing is reset when the rows and dates are what is shown already.
    void setSchedule(const QList<AmortizationRow>& schedule, const LoanGPAModel& dates);

    int rowCount(const QModelIndex& parent = QModelIndex()) const override;
    int columnCount(const QModelIndex& parent = QModelIndex()) const override;
    QVariant data(const QModelIndex& index, int role = Qt::DisplayRole) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role = Qt::DisplayRole) const override;

private:
    QList<AmortizationRow> m_rows;
    QStringList m_dates;
};
