#pragma once

#include <QWidget>

class PageTextView;

// The grey desk behind the word processor's text: the white sheet with its
// shadow, and a dashed mark with "Page n" where every printed page after the
// first begins.
class PageDesk : public QWidget {
    Q_OBJECT
public:
    explicit PageDesk(PageTextView* view, QWidget* parent = nullptr);

    static QColor deskColor();

    // The y positions (desk pixels) of the page marks inside the sheet:
    // where print begins each page after the first; the first mark belongs
    // to page 2.
    QList<qreal> markPositions() const;

protected:
    void paintEvent(QPaintEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;

private:
    PageTextView* m_view;
};
