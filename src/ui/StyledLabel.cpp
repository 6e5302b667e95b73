#include "ui/StyledLabel.h"

#include "ui/LineLabel.h"

QLabel* styledLabel(const QString& text, const QFont& font, const QColor& color, QWidget* parent)
{
    auto* l = new LineLabel(text, parent);
    l->setFont(font);
    if (color.isValid()) {
        QPalette p = l->palette();
        p.setColor(QPalette::WindowText, color);
        l->setPalette(p);
    }
    return l;
}
