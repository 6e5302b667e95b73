#pragma once

#include <QAbstractTableModel>
#include <QStringList>

// What the loan window's two amortisation tables share: column titles, text
// columns on the left and right-aligned figures in the table font from
// `firstFigureColumn` on. A subclass gives the rows and their texts.
class LoanTableModel : public QAbstractTableModel {
    Q_OBJECT
public:
    LoanTableModel(const QStringList& titles, int firstFigureColumn, QObject* parent = nullptr);

    int rowCount(const QModelIndex& parent = QModelIndex()) const override;
    int columnCount(const QModelIndex& parent = QModelIndex()) const override;
    QVariant data(const QModelIndex& index, int role = Qt::DisplayRole) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role = Qt::DisplayRole) const override;

protected:
    virtual int rows() const = 0;
    // The text of a cell; row and column are in range.
    virtual QString text(int row, int column) const = 0;

private:
    int alignment(int column) const;

    QStringList m_titles;
    int m_firstFigureColumn;
};
