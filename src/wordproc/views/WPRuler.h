#pragma once

#include <QPointer>
#include <QWidget>

class PageTextView;

// The ruler above the page: inches (or centimetres where the locale measures
// in metric) from the left margin, the text width in white, and the indents
// and tab stops of the paragraph at the caret. It follows the page when the
// window scrolls sideways.
class WPRuler : public QWidget {
    Q_OBJECT
public:
    explicit WPRuler(PageTextView* view, QWidget* parent = nullptr);

    QSize sizeHint() const override;
    // Where a length from the left margin (in points) is on the ruler.
    qreal xFor(qreal points) const;

protected:
    void paintEvent(QPaintEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    QPointer<PageTextView> m_view;
    const QObject* m_desk; // compared only: it may be going away
    bool m_metric;
};
