#pragma once

#include <QPointer>
#include <functional>
#include <QWidget>

class PageTextView;

// The ruler above the page: inches (or centimetres where the locale measures
// in metric) from the left margin, the text width in white, and the indents
// and tab stops of the paragraph at the caret. It follows the page when the
// window scrolls sideways. Dragging the first-line marker (top) or the
// indent marker (bottom) sets those indents of the selected paragraphs when
// the mouse is released.
class WPRuler : public QWidget {
    Q_OBJECT
public:
    explicit WPRuler(PageTextView* view, QWidget* parent = nullptr);

    QSize sizeHint() const override;
    // Receives the new indents in points from the left margin: head (every
    // line but the first) and first line.
    void setIndentHandler(std::function<void(qreal head, qreal firstLine)> handler)
    {
        m_setIndents = std::move(handler);
    }
    // Where a length from the left margin (in points) is on the ruler.
    qreal xFor(qreal points) const;

protected:
    void paintEvent(QPaintEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;

private:
    QPointer<PageTextView> m_view;
    const QObject* m_desk; // compared only: it may be going away
    bool m_metric;
    std::function<void(qreal, qreal)> m_setIndents;
    // While dragging: which marker (0 none, 1 first line, 2 head) and where.
    int m_dragging = 0;
    qreal m_dragHead = 0;
    qreal m_dragFirst = 0;
};
