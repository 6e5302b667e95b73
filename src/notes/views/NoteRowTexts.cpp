#include "notes/views/NoteRowTexts.h"

#include <QFontMetrics>
#include <QPainter>
#include <QTextLine>

namespace {

// Enough for every row on a tall screen, several times over.
constexpr int kKept = 300;

// Text drawText treats specially (line breaks, tabs, mnemonics' length
// variants) is drawn by drawText itself.
bool plainLine(const QString& text)
{
    for (const QChar c : text) {
        const char16_t u = c.unicode();
        if (u == u'\n' || u == u'\r' || u == u'\t' || u == 0x9c || u == 0x2028 || u == 0x2029)
            return false;
    }
    return true;
}

} // namespace

NoteRowTexts::NoteRowTexts(const QList<QFont>& faces)
    : m_faces(faces)
    , m_lines(kKept)
    , m_wrapped(kKept)
    , m_elided(kKept)
    , m_advances(kKept)
{
}

NoteRowTexts::~NoteRowTexts() = default;

TextLine* NoteRowTexts::line(QPainter* p, const QString& text, int face)
{
    // The font as the painter resolves it for its device, which is what
    // drawText lays out with.
    p->setFont(m_faces.at(face));
    const Key key{face, -1, -1, text};
    TextLine* l = m_lines.object(key);
    if (!l) {
        l = new TextLine;
        m_lines.insert(key, l);
    }
    l->setText(text, p->font(), p->layoutDirection(), p->device());
    return l;
}

void NoteRowTexts::drawLine(QPainter* p, const QRect& box, int flags, const QString& text, int face)
{
    if (text.isEmpty())
        return;
    if ((flags & Qt::AlignRight) || (flags & Qt::AlignJustify) || p->layoutDirection() == Qt::RightToLeft
        || !plainLine(text)) {
        p->setFont(m_faces.at(face));
        p->drawText(box, flags, text);
        return;
    }
    line(p, text, face)->draw(*p, QRectF(box), Qt::Alignment(flags));
}

bool NoteRowTexts::wrap(QTextLayout& layout, const QString& text, const QRectF& box)
{
    layout.setText(text);
    layout.beginLayout();
    qreal y = 0;
    bool settled = false; // the text ran out within the box
    while (true) {
        QTextLine line = layout.createLine();
        if (!line.isValid())
            break;
        line.setLineWidth(box.width());
        if (y + line.height() > box.height() + 0.5) {
            // The lines above end where they would in any longer text when
            // this one ends before the text does.
            settled = line.textStart() + line.textLength() < text.size();
            line.setNumColumns(0); // nothing of a line that does not fit
            break;
        }
        line.setPosition(QPointF(0, y));
        y += line.height();
    }
    layout.endLayout();
    return settled;
}

void NoteRowTexts::drawWrapped(QPainter* p, const QRectF& box, const QString& text, int face)
{
    const Key key{face, qRound(box.width() * 64), qRound(box.height() * 64), text};
    QTextLayout* l = m_wrapped.object(key);
    if (!l) {
        l = new QTextLayout;
        l->setFont(m_faces.at(face));
        QTextOption option;
        option.setWrapMode(QTextOption::WrapAtWordBoundaryOrAnywhere);
        l->setTextOption(option);
        l->setCacheEnabled(true);
        // The box holds a few lines: a long transcript is laid out only as
        // far as they reach (two characters to a pixel of their width is
        // more than any face puts there), all of it when that falls short.
        const qsizetype reach = qsizetype((box.height() / 8 + 2) * box.width() / 2);
        if (text.size() <= reach || !wrap(*l, text.left(reach), box))
            wrap(*l, text, box);
        m_wrapped.insert(key, l);
    }
    p->save();
    p->setClipRect(box);
    l->draw(p, box.topLeft());
    p->restore();
}

int NoteRowTexts::advance(const QString& text, int face)
{
    const Key key{face, -1, -1, text};
    if (const int* w = m_advances.object(key))
        return *w;
    const int w = QFontMetrics(m_faces.at(face)).horizontalAdvance(text);
    m_advances.insert(key, new int(w));
    return w;
}

QString NoteRowTexts::elided(const QString& text, int face, int width)
{
    const Key key{face, width, -1, text};
    if (const QString* e = m_elided.object(key))
        return *e;
    const QString e = QFontMetrics(m_faces.at(face)).elidedText(text, Qt::ElideRight, width);
    m_elided.insert(key, new QString(e));
    return e;
}
