#pragma once

#include "calc/views/LoanGPAView.h"

#include <QAbstractTableModel>
#include <QList>

// The yearly amortisation table: "Year", "Principal" (extra payments
// included), "Interest", "Balance".
class LoanYearModel : public QAbstractTableModel {
    Q_OBJECT
public:
    enum Column { Year, Principal, Interest, Balance, ColumnCount };

    explicit LoanYearModel(QObject* parent = nullptr);

    void setRows(const QList<LoanGPAView::YearRow>& rows);

    int rowCount(const QModelIndex& parent = QModelIndex()) const override;
    int columnCount(const QModelIndex& parent = QModelIndex()) const override;
    QVariant data(const QModelIndex& index, int role = Qt::DisplayRole) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role = Qt::DisplayRole) const override;

private:
    QList<LoanGPAView::YearRow> m_rows;
};
