#pragma once

// The frame of every tool window's content: on the window-background
// gradient, a raised header bar (tool icon, title, maker credit chosen by the
// room left, maker badge) above the tool's own view, always in the light
// colour scheme.

#include "core/Tool.h"

#include <QPointer>
#include <QWidget>

class QLabel;
class QVBoxLayout;
class ToolIcon;
class VEXOBadge;

class ToolScaffold : public QWidget {
    Q_OBJECT
public:
    enum class Credit { Long, Short, None };

    // Takes ownership of `content` (may be null: the header alone).
    explicit ToolScaffold(Tool tool, QWidget* content = nullptr, QWidget* parent = nullptr);

    Tool tool() const { return m_tool; }
    QWidget* content() const { return m_content; }
    void setContent(QWidget* content);
    QWidget* header() const { return m_header; }

    // What the header shows at its current width.
    Credit shownCredit() const;
    // The title's current scale (1 down to 0.7) and whether it is elided.
    qreal titleScale() const;
    bool titleElided() const;

    static QString longCredit();
    static QString shortCredit();

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    Tool m_tool;
    QWidget* m_header = nullptr;
    QPointer<QWidget> m_content;
    QVBoxLayout* m_layout = nullptr;
};
