#pragma once

#include <QColor>
#include <QList>
#include <QWidget>

// The mortgage's monthly cost as one bar of coloured parts, each as wide as
// its share of the total (a total below 1 counts as 1, leaving the bar
// short), clipped to a capsule.
class LoanBreakdownBar : public QWidget {
    Q_OBJECT
public:
    struct Part {
        double value = 0;
        QColor color;
    };

    explicit LoanBreakdownBar(QWidget* parent = nullptr);

    void setParts(const QList<Part>& parts, double total);
    const QList<Part>& parts() const { return m_parts; }
    double total() const { return m_total; }
    // The width of each part for a bar `width` wide.
    QList<double> widths(double width) const;

    QSize sizeHint() const override;

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    QList<Part> m_parts;
    double m_total = 0;
};
