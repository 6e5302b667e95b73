#include "calc/views/LoanFigureRuns.h"

#include <QGlyphRun>
#include <QList>
#include <QPainter>
#include <QTextLayout>
#include <QVarLengthArray>

namespace {

constexpr char kCharacters[] = "0123456789$,.-";

// Qt's 26.6 fixed point, as the text engine rounds a coordinate into it.
int fixed(qreal v)
{
    return int(v * 64);
}

// A shortest text in which every ordered pair of the characters of `set`
// stands side by side once (a de Bruijn sequence of order two).
QString pairSequence(const QString& set)
{
    const qsizetype k = set.size();
    QString out;
    out.reserve(k * k + 1);
    // Lyndon words of length 1 or 2 over the set, in order: a, ab, ac, ...
    for (qsizetype a = 0; a < k; ++a) {
        out += set.at(a);
        for (qsizetype b = a + 1; b < k; ++b) {
            out += set.at(a);
            out += set.at(b);
        }
    }
    if (!out.isEmpty())
        out += out.at(0); // the sequence is cyclic: close it
    return out;
}

} // namespace

QString LoanFigureRuns::characters()
{
    return QString::fromLatin1(kCharacters);
}

LoanFigureRuns::LoanFigureRuns(const QFont& font)
{
    const QString set = characters();
    m_raw = QRawFont::fromFont(font);
    if (!m_raw.isValid())
        return;
    const QList<quint32> indexes = m_raw.glyphIndexesForString(set);
    const QList<QPointF> advances = m_raw.advancesForGlyphIndexes(indexes);
    if (indexes.size() != set.size() || advances.size() != set.size())
        return;
    for (qsizetype i = 0; i < set.size(); ++i) {
        if (indexes.at(i) == 0 || advances.at(i).x() < 0)
            return; // a character the face lacks: another face would draw it
        m_glyphs[set.at(i).unicode()] = Glyph{indexes.at(i), fixed(advances.at(i).x())};
    }

    // One line holding every ordered pair of the characters, shaped as the
    // tables' texts are: as wide as its glyphs' advances only when no pair
    // is kerned or drawn with other glyphs.
    const QString probe = pairSequence(set);
    QTextLayout layout(probe, font);
    QTextOption option(Qt::AlignLeft);
    option.setWrapMode(QTextOption::ManualWrap);
    option.setTextDirection(Qt::LeftToRight);
    layout.setTextOption(option);
    layout.beginLayout();
    QTextLine line = layout.createLine();
    line.setLineWidth(1e6);
    line.setPosition(QPointF(0, 0));
    layout.endLayout();
    int width = 0;
    for (QChar c : probe)
        width += m_glyphs[c.unicode()].advance;
    if (fixed(line.naturalTextWidth()) != width)
        return;
    m_baseline = fixed(line.ascent());
    m_height = line.height();
    m_usable = true;
}

bool LoanFigureRuns::draw(QPainter* painter, const QRect& area, Qt::Alignment alignment, const QString& text,
                          const QColor& color) const
{
    if (!m_usable || !(alignment & (Qt::AlignLeft | Qt::AlignRight)) || (alignment & Qt::AlignHCenter))
        return false;
    QVarLengthArray<quint32, 24> indexes;
    QVarLengthArray<int, 24> advances;
    int width = 0;
    for (QChar c : text) {
        const ushort u = c.unicode();
        if (u >= m_glyphs.size() || m_glyphs[u].advance < 0)
            return false;
        indexes.append(m_glyphs[u].index);
        advances.append(m_glyphs[u].advance);
        width += m_glyphs[u].advance;
    }
    const int lineWidth = area.width() * 64;
    if (indexes.isEmpty() || width > lineWidth)
        return false; // cut short with "…" by the caller's layout

    // Where a line laid out across the area and drawn at `top` puts them.
    qreal top = area.top();
    if (alignment & Qt::AlignVCenter)
        top += (area.height() - m_height) / 2;
    else if (alignment & Qt::AlignBottom)
        top = area.bottom() + 1 - m_height;
    const int y = fixed(top) + m_baseline;
    int x = fixed(area.left()) + ((alignment & Qt::AlignRight) ? lineWidth - width : 0);
    QVarLengthArray<QPointF, 24> positions(indexes.size());
    for (qsizetype i = 0; i < indexes.size(); ++i) {
        positions[i] = QPointF(x / 64.0, y / 64.0);
        x += advances.at(i);
    }
    QGlyphRun run;
    run.setRawFont(m_raw);
    run.setRawData(indexes.constData(), positions.constData(), int(indexes.size()));
    const QPen pen = painter->pen();
    painter->setPen(color);
    painter->drawGlyphRun(QPointF(0, 0), run);
    painter->setPen(pen);
    return true;
}
