#pragma once

// A raised cream panel grouping controls inside a tool window: an optional
// small-capitals title in deep turquoise above the content, 12 of padding, a
// rounded rim and a light shadow. Put widgets into contentLayout(), or give
// one content widget.

#include <QString>
#include <QWidget>

class QLabel;
class QVBoxLayout;

class ChromePanel : public QWidget {
    Q_OBJECT
public:
    explicit ChromePanel(QWidget* parent = nullptr);
    explicit ChromePanel(const QString& title, QWidget* parent = nullptr);
    ChromePanel(const QString& title, QWidget* content, QWidget* parent = nullptr);

    // Empty title: no title row.
    QString title() const { return m_title; }
    void setTitle(const QString& title);
    // The content column (below the title row).
    QVBoxLayout* contentLayout() const { return m_content; }
    void setContent(QWidget* content);
    QLabel* titleLabel() const { return m_titleLabel; }

    static constexpr qreal cornerRadius = 16.0;
    static constexpr int padding = 12;

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    void build();

    QString m_title;
    QVBoxLayout* m_outer = nullptr;
    QVBoxLayout* m_content = nullptr;
    QLabel* m_titleLabel = nullptr;
};
