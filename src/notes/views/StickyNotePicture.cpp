#include "notes/views/StickyNotePicture.h"

#include "notes/StickyPalette.h"
#include "notes/StickyStore.h"
#include "notes/views/StickyNoteView.h"
#include "notes/views/StickyWindow.h"
#include "ui/Chrome.h"
#include "ui/SpellChecker.h"
#include "ui/SpellTextView.h"

#include <QLayout>
#include <QPainter>
#include <QTextBlock>
#include <QTextDocument>
#include <QTextLayout>
#include <QWidget>
#include <cmath>
#include <vector>

namespace {

// Characters the editor lays out in ways of its own (tab stops, paragraph
// and line separators, objects): such texts are drawn by the editor.
bool plainEnough(const QString& text)
{
    for (const QChar ch : text) {
        const char16_t u = ch.unicode();
        if (u == u'\t' || u == u'\r' || u == 0x2028 || u == 0x2029 || u == 0xFFFC)
            return false;
    }
    return true;
}

} // namespace

StickyNotePicture::StickyNotePicture(StickyStore& store) : m_store(store) {}

StickyNotePicture::~StickyNotePicture() = default;

void StickyNotePicture::lay(const QSize& size)
{
    m_stamp->resize(size);
    // Laid out now, so the header's place is known before drawing.
    m_stamp->layout()->activate();
    m_view->layout()->activate();
}

QImage StickyNotePicture::draw(const QUuid& id, const QSize& size)
{
    const std::optional<StickyNote> note = m_store.note(id);
    if (!m_stamp) {
        // A note window as the full one is made, never shown: it lays the
        // view out as the full window does, down to its smallest size.
        auto* stamp = new StickyWindow;
        m_stamp.reset(stamp);
        m_view = new StickyNoteView(id, m_store, stamp);
        stamp->setCentralWidget(m_view);
        // Only text that fits is drawn here, and a note window shows no
        // scroll bar then (a view never shown would keep room for one).
        m_view->editor()->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    }
    const QColor color =
        Chrome::toColor(StickyPalette::colors().value(StickyPalette::shownIndex(note ? note->colorIndex : 0)));
    // What the view draws, it draws in the note's colour, as its window.
    const auto showNote = [this, &id, &color] {
        auto* stamp = static_cast<StickyWindow*>(m_stamp.get());
        if (stamp->noteColor() != color)
            stamp->setNoteColor(color);
        m_view->showNote(id);
    };
    lay(size);
    QImage image(size, QImage::Format_RGB32);
    image.fill(color);

    const QRect header = m_view->header()->geometry().translated(m_view->pos());
    m_headerKey = QStringLiteral("%1/%2/%3/%4")
                      .arg(note ? note->colorIndex : 0)
                      .arg(note && note->onTop)
                      .arg(color.rgb())
                      .arg(size.width());
    m_headerRows = header.bottom() + 1;
    m_contentRows = size.height();
    bool shown = false;
    if (!m_headers.contains(m_headerKey)) {
        if (m_headers.size() >= 64)
            m_headers.clear();
        showNote();
        shown = true;
        QImage top(header.size(), QImage::Format_RGB32);
        top.fill(color);
        m_stamp->render(&top, QPoint(), QRegion(header), QWidget::DrawChildren);
        m_headers.insert(m_headerKey, top);
    }
    {
        QPainter p(&image);
        p.drawImage(header.topLeft(), m_headers.value(m_headerKey));
    }

    const QString text = note ? note->text : QString();
    const QString sizeKey = QStringLiteral("%1x%2").arg(size.width()).arg(size.height());
    const auto place = m_places.constFind(sizeKey);
    if (!shown && place != m_places.cend()) {
        switch (drawText(image, text, *place)) {
        case Text::Drawn:
            m_textAlone = true;
            return image;
        case Text::TooLong:
            m_textAlone = false;
            return QImage();
        case Text::NotPlain:
            break;
        }
    }
    m_textAlone = false;
    if (!shown)
        showNote();
    const QRegion below = QRegion(m_stamp->rect()) - QRegion(header);
    m_stamp->render(&image, below.boundingRect().topLeft(), below, QWidget::DrawChildren);
    // Drawn by the editor at this size: where it put the text is known now.
    SpellTextView* editor = m_view->editor();
    const QTextBlock first = editor->document()->firstBlock();
    const QRect viewport(editor->viewport()->mapTo(m_stamp.get(), QPoint()), editor->viewport()->size());
    if (m_places.size() >= 256)
        m_places.clear();
    if (first.layout() && first.layout()->lineCount() > 0)
        m_places.insert(sizeKey, {viewport, first.layout()->lineAt(0).width()});
    // The window scrolls text that does not fit, which a picture cannot.
    qreal height = 0;
    qreal lastLine = 0;
    const QAbstractTextDocumentLayout* layout = editor->document()->documentLayout();
    for (QTextBlock b = editor->document()->firstBlock(); b.isValid(); b = b.next()) {
        height += layout->blockBoundingRect(b).height();
        if (b.layout() && b.layout()->lineCount() > 0)
            lastLine = b.layout()->lineAt(b.layout()->lineCount() - 1).height();
    }
    return fits(height, lastLine, viewport) ? image : QImage();
}

StickyNotePicture::Text StickyNotePicture::drawText(QImage& image, const QString& text, const TextPlace& place)
{
    if (text.isEmpty() || !plainEnough(text))
        return Text::NotPlain;
    // A misspelt word is underlined by the editor.
    SpellChecker& speller = SpellChecker::shared();
    if (speller.isSpellingReady() && !speller.misspellings(text).isEmpty())
        return Text::NotPlain;
    const SpellTextView* editor = m_view->editor();
    const QTextDocument* document = editor->document();
    if (document->documentMargin() != 0)
        return Text::NotPlain;
    // Each paragraph laid out as the editor lays out its blocks: lines of
    // its width one under the other, leading included.
    std::vector<std::unique_ptr<QTextLayout>> paragraphs;
    qreal height = 0;
    qreal lastLine = 0;
    for (const QString& paragraph : text.split(QLatin1Char('\n'))) {
        auto layout = std::make_unique<QTextLayout>(paragraph, document->defaultFont());
        layout->setTextOption(document->defaultTextOption());
        layout->setCacheEnabled(true);
        layout->beginLayout();
        qreal y = 0;
        for (QTextLine line = layout->createLine(); line.isValid(); line = layout->createLine()) {
            line.setLeadingIncluded(true);
            line.setLineWidth(place.lineWidth);
            line.setPosition(QPointF(0, y));
            y += line.height();
            if (line.leading() < 0)
                y += std::ceil(line.leading());
            lastLine = line.height();
        }
        layout->endLayout();
        height += layout->boundingRect().bottom();
        paragraphs.push_back(std::move(layout));
    }
    if (!fits(height, lastLine, place.viewport))
        return Text::TooLong;
    QPainter p(&image);
    p.setClipRect(place.viewport);
    p.translate(place.viewport.topLeft());
    p.setPen(editor->textColor());
    qreal y = 0;
    for (const std::unique_ptr<QTextLayout>& layout : paragraphs) {
        layout->draw(&p, QPointF(0, y));
        y += layout->boundingRect().bottom();
    }
    // Nothing is drawn below the text (a line's room kept for overhangs).
    m_contentRows = qMin(image.height(), place.viewport.top() + int(std::ceil(height + lastLine)));
    return Text::Drawn;
}

bool StickyNotePicture::fits(qreal height, qreal lastLine, const QRect& viewport)
{
    // With a line's room to spare: text near the bottom may already make
    // the window scroll.
    return height + lastLine <= viewport.height();
}
