#pragma once

#include "calc/views/LoanGPAView.h"

#include "calc/views/LoanTableModel.h"

#include <QList>

// The yearly amortisation table: "Year", "Principal" (extra payments
// included), "Interest", "Balance".
class LoanYearModel : public LoanTableModel {
    Q_OBJECT
public:
    enum Column { Year, Principal, Interest, Balance, ColumnCount };

    explicit LoanYearModel(QObject* parent = nullptr);

    void setRows(const QList<LoanGPAView::YearRow>& rows);

protected:
    int rows() const override { return int(m_rows.size()); }
    QString text(int row, int column) const override;

private:
    QList<LoanGPAView::YearRow> m_rows;
};
