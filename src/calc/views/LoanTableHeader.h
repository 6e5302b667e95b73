#pragma once

#include <QFont>
#include <QHeaderView>
#include <QList>

// The column titles of the loan window's tables. A header measures its
// titles in bold, to leave room for a highlighted section; these never
// highlight one, so they are measured in the face they are drawn in and the
// bold face is not loaded for nothing. A header measures every title each
// time its height is asked for again (after every new schedule); a title's
// size is kept while its text, font and style stay the same.
class LoanTableHeader : public QHeaderView {
public:
    explicit LoanTableHeader(QWidget* parent = nullptr);

protected:
    QSize sectionSizeFromContents(int logicalIndex) const override;

private:
    struct Measured {
        QString text;
        QFont font;
        const QStyle* style = nullptr;
        bool sortIndicator = false;
        QSize size;
    };
    mutable QList<Measured> m_measured; // by logical index
};
