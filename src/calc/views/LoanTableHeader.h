#pragma once

#include <QHeaderView>

// The column titles of the loan window's tables. A header measures its
// titles in bold, to leave room for a highlighted section; these never
// highlight one, so they are measured in the face they are drawn in and the
// bold face is not loaded for nothing.
class LoanTableHeader : public QHeaderView {
public:
    explicit LoanTableHeader(QWidget* parent = nullptr);

protected:
    QSize sectionSizeFromContents(int logicalIndex) const override;
};
