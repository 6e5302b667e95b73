#pragma once

#include <QString>
#include <QTextDocument>

// A tooltip that shows `text` as typed. Qt reads a tooltip that looks like
// markup (a goal titled "Learn <table> layouts") as rich text and would eat
// its tags; such a text goes out escaped, every other text unchanged.
inline QString plainToolTip(const QString& text)
{
    if (!Qt::mightBeRichText(text))
        return text;
    return QStringLiteral("<p style='white-space:pre'>") + text.toHtmlEscaped() + QStringLiteral("</p>");
}
