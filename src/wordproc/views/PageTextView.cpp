#include "wordproc/views/PageTextView.h"

#include "ui/Fonts.h"
#include "ui/SpellHighlighter.h"
#include "ui/Squiggles.h"
#include "ui/TextChecker.h"
#include "wordproc/WPPages.h"
#include "wordproc/WPPictureLines.h"
#include "wordproc/WPText.h"
#include "wordproc/views/PageDesk.h"

#include <QAbstractEventDispatcher>
#include <QAbstractTextDocumentLayout>
#include <QElapsedTimer>
#include <QPainter>
#include <QPainterPath>
#include <QPaintEvent>
#include <QPointer>
#include <QScrollArea>
#include <QScrollBar>
#include <QTimer>
#include <QTimerEvent>
#include <QTextBlock>
#include <QTextCursor>
#include <QTextLayout>
#include <QWheelEvent>

#include <algorithm>
#include <cmath>
#include <functional>
#include <limits>

namespace {

qreal finiteOr(qreal v, qreal fallback)
{
    return std::isfinite(v) ? v : fallback;
}

} // namespace

PageTextView::PageTextView(QWidget* parent)
    : QTextEdit(nullptr)
    , m_desk(nullptr)
    , m_scroll(new QScrollArea(parent))
{
    m_desk = new PageDesk(this);
    setParent(m_desk);
    m_scroll->setWidget(m_desk);
    m_scroll->setWidgetResizable(false);
    m_scroll->setFrameShape(QFrame::NoFrame);
    m_scroll->setHorizontalScrollBarPolicy(Qt::ScrollBarAsNeeded);
    m_scroll->setVerticalScrollBarPolicy(Qt::ScrollBarAsNeeded);
    QPalette p = m_scroll->palette();
    p.setColor(QPalette::Window, PageDesk::deskColor());
    m_scroll->setPalette(p);
    m_scroll->viewport()->setAutoFillBackground(true);
    m_scroll->viewport()->setPalette(p);

    setFrameShape(QFrame::NoFrame);
    setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    setLineWrapMode(QTextEdit::FixedPixelWidth);
    setAcceptRichText(true);
    setUndoRedoEnabled(true);
    // The sheet and the page marks are the desk's: the text is drawn over them.
    QPalette tp = palette();
    tp.setColor(QPalette::Base, Qt::transparent);
    tp.setColor(QPalette::Text, Qt::black);
    setPalette(tp);
    viewport()->setAutoFillBackground(false);
    setAutoFillBackground(false);
    // Text is anchored at the top: when the view grows with the text only
    // the new part is drawn, never the whole page again.
    setAttribute(Qt::WA_StaticContents);
    viewport()->setAttribute(Qt::WA_StaticContents);
    setCursorWidth(1);

    m_layoutTimer = new QTimer(this);
    m_layoutTimer->setSingleShot(true);
    m_layoutTimer->setInterval(0); // input and paints still come between slices
    connect(m_layoutTimer, &QTimer::timeout, this, &PageTextView::layoutSlice);
    m_pagesTimer = new QTimer(this);
    m_pagesTimer->setSingleShot(true);
    m_pagesTimer->setInterval(0);
    connect(m_pagesTimer, &QTimer::timeout, this, &PageTextView::refreshPages);
    m_sideSpace = gapPixels();

    connect(this, &QTextEdit::cursorPositionChanged, this, &PageTextView::revealCursor);
    m_scroll->viewport()->installEventFilter(this);
    m_viewport = m_scroll->viewport();
    resize(900, 800);
}

void PageTextView::setPageSetup(const WPPageSetup& setup)
{
    m_setup = setup;
    m_pagesStale = true;
    relayout();
}

bool PageTextView::isLaidOut() const
{
    return !m_layingOut;
}

qreal PageTextView::gapPixels()
{
    return gap * WPText::pixelsPerPoint();
}

QList<qreal> PageTextView::pageStarts() const
{
    QList<qreal> tops;
    tops.reserve(m_pages.size());
    for (const WPPages::Page& p : m_pages)
        tops.append(p.top);
    return tops;
}

void PageTextView::refreshPages()
{
    m_pagesTimer->stop();
    const qreal page = WPPages::pageHeight(m_setup);
    QList<WPPages::Page> found;
    if (m_layingOut) {
        found = WPPages::pages(*document(), page, m_laidTo);
        // The rest, not laid out yet, a page height apart.
        const qreal bottom = textHeight() - document()->documentMargin();
        while (found.constLast().top + page < bottom && found.size() < 1000000)
            found.append({found.constLast().top + page, -1});
    } else if (m_pagesStale || m_pages.isEmpty() || m_edits > 1) {
        found = WPPages::pages(*document(), page);
    } else if (m_edits == 1) {
        // Typing: only the pages from the edit on, until they are those of
        // before again.
        found = WPPages::pagesAfterEdit(*document(), page, m_pages, m_edit.from, m_edit.removed, m_edit.added);
    } else {
        return;
    }
    m_pagesStale = m_layingOut;
    m_edits = 0;
    if (found == m_pages)
        return;
    // The marks that come, go or move, and their labels.
    const qreal top = y();
    const qreal label = 4 + QFontMetricsF(Fonts::system(9)).height() + 4;
    const int deskW = m_desk->width();
    const qsizetype n = std::max(found.size(), m_pages.size());
    for (qsizetype i = 1; i < n; ++i) {
        const qreal was = i < m_pages.size() ? m_pages.at(i).top : -1;
        const qreal now = i < found.size() ? found.at(i).top : -1;
        if (was == now)
            continue;
        for (const qreal at : {was, now}) {
            if (at >= 0)
                m_desk->update(QRect(0, int(std::floor(top + at)) - 3, deskW, int(std::ceil(label)) + 6));
        }
    }
    m_pages = std::move(found);
}

void PageTextView::noteEdit(int from, int removed, int added)
{
    if (m_edits++ == 0) {
        m_edit = {from, removed, added};
    } else {
        m_edit.from = std::min(m_edit.from, from);
    }
}

qreal PageTextView::textHeight() const
{
    const QTextDocument* doc = document();
    if (!m_layingOut)
        return doc->documentLayout()->documentSize().height();
    // The height of what is laid out, stretched to the whole text.
    const qreal share = qreal(std::max(1, m_laidTo)) / std::max(1, doc->characterCount());
    return m_laidBottom / std::clamp<qreal>(share, 0.01, 1);
}

qreal PageTextView::usedHeightPoints() const
{
    const qreal height = textHeight() - 2 * document()->documentMargin();
    return WPText::toPoints(std::max<qreal>(0, height));
}

void PageTextView::onContentsChange(int from, int removed, int added)
{
    if (m_layingOut)
        return; // all is looked at once the text is laid out
    noteEdit(from, removed, added);
    // The lines beside pictures, after the edit is laid out and before it
    // is drawn.
    QPointer<QTextDocument> held(document());
    QMetaObject::invokeMethod(
        this,
        [this, held, from, added] {
            if (held && held == document() && !m_layingOut && WPPictureLines::settleRange(*held, from, from + added)) {
                noteEdit(from, 0, 0);
                m_pagesTimer->start();
            }
        },
        Qt::QueuedConnection);
}

void PageTextView::startLayout()
{
    // The text was laid out again from the top (a new document, a new
    // width): the first slice now, the rest while the window is idle.
    m_layingOut = true;
    m_pagesStale = true;
    m_layoutRestarts = 0;
    m_laidTo = 0;
    m_laidBottom = 0;
    layoutSlice();
}

void PageTextView::layoutSlice()
{
    // Slices of a few milliseconds keep the window answering while a long
    // document is laid out (Qt's own steps double until one takes a good
    // part of a second).
    QTextDocument* doc = document();
    QAbstractTextDocumentLayout* layout = doc->documentLayout();
    QElapsedTimer t;
    t.start();
    QTextBlock b = doc->findBlock(m_laidTo);
    for (; b.isValid() && t.nsecsElapsed() < 6'000'000; b = b.next()) {
        m_laidBottom = std::max(m_laidBottom, layout->blockBoundingRect(b).bottom());
        if (b.layout()->lineCount() == 0) {
            // An edit in the laid-out part made the layout believe it had
            // reached the end (it only places the paragraphs after an
            // edit); it starts again from the top.
            if (++m_layoutRestarts > 3) {
                layout->documentSize(); // all at once rather than never
                break;
            }
            doc->setPageSize(doc->pageSize());
            m_laidTo = 0;
            m_laidBottom = 0;
            m_layoutTimer->start();
            return;
        }
        m_laidTo = b.position() + b.length();
    }
    if (b.isValid()) {
        m_layoutTimer->start();
        return;
    }
    m_layingOut = false;
    m_layoutTimer->stop();
    WPPictureLines::settleRange(*doc);
    m_pagesStale = true;
    relayout();
    Q_EMIT laidOut();
}

QRectF PageTextView::sheetRect() const
{
    const qreal k = WPText::pixelsPerPoint();
    const qreal paperW = std::clamp<qreal>(finiteOr(m_setup.paperSize.width(), 612), 72, 14400) * k;
    const qreal paperH = std::clamp<qreal>(finiteOr(m_setup.paperSize.height(), 792), 72, 14400) * k;
    const qreal deskH = m_desk->height();
    const qreal g = gapPixels();
    return QRectF(m_sideSpace, g, paperW, std::max(deskH - 2 * g, paperH));
}

QPointF PageTextView::textOrigin() const
{
    const qreal k = WPText::pixelsPerPoint();
    return QPointF(m_sideSpace + std::clamp<qreal>(finiteOr(m_setup.leftMargin, 72), 0, 14400) * k,
                   gapPixels() + std::clamp<qreal>(finiteOr(m_setup.topMargin, 72), 0, 14400) * k);
}

void PageTextView::relayout()
{
    if (m_placing)
        return;
    m_placing = true;
    const qreal k = WPText::pixelsPerPoint();
    const QSize visible = m_scroll->viewport()->size();
    const qreal paperW = std::clamp<qreal>(finiteOr(m_setup.paperSize.width(), 612), 72, 14400) * k;
    const qreal top = std::clamp<qreal>(finiteOr(m_setup.topMargin, 72), 0, 14400) * k;
    const qreal bottom = std::clamp<qreal>(finiteOr(m_setup.bottomMargin, 72), 0, 14400) * k;
    const qreal g = gapPixels();
    m_sideSpace = std::max((visible.width() - paperW) * 0.5, g);

    const qreal margin = document()->documentMargin();
    const int wrap = wrapWidth(document());
    if (lineWrapColumnOrWidth() != wrap) {
        setLineWrapColumnOrWidth(wrap); // lays the text out again from the top
        startLayout();
    }
    const qreal docH = textHeight();
    const qreal usedH = std::max<qreal>(0, docH - 2 * margin);

    // Sizes are clamped before they become integers.
    const auto toInt = [](qreal v) { return int(std::clamp<qreal>(std::ceil(v), 0, QWIDGETSIZE_MAX)); };
    const int deskW = toInt(std::max<qreal>(visible.width(), paperW + 2 * g));
    const int deskH = toInt(std::max<qreal>(visible.height(), usedH + 2 * (top + g)));
    const QSize deskSize(deskW, deskH);
    // The sheet moves or changes width only with the window or the page
    // setup; while typing at most its foot moves.
    const QSize oldDesk = m_desk->size();
    const bool sheetMoved = oldDesk.width() != deskW || m_placedSide != m_sideSpace || m_placedSetup != m_setup;
    m_desk->resize(deskSize);

    const QPointF origin = textOrigin();
    const qreal paperH = std::clamp<qreal>(finiteOr(m_setup.paperSize.height(), 792), 72, 14400) * k;
    const qreal sheetBottom = g + std::max<qreal>(deskH - 2 * g, paperH);
    // Room below the last line so a new line never needs the view to scroll.
    const qreal slack = 3 * fontMetrics().height();
    const qreal viewH = std::max(docH + slack, sheetBottom - bottom - origin.y() + margin);
    const QRect place(toInt(origin.x() - margin), toInt(origin.y() - margin), wrap, toInt(viewH));
    if (geometry() != place)
        setGeometry(place);
    verticalScrollBar()->setValue(0);
    horizontalScrollBar()->setValue(0);
    if (sheetMoved) {
        m_desk->update();
    } else if (oldDesk.height() != deskH) {
        // The band around the old and the new foot of the sheet: its shadow
        // and any page mark that appears or goes there.
        const int from = std::min(oldDesk.height(), deskH) - toInt(2 * g + bottom) - 24;
        m_desk->update(QRect(0, from, deskW, std::max(oldDesk.height(), deskH) - from));
    }
    m_placedSide = m_sideSpace;
    m_placedSetup = m_setup;
    m_placing = false;
    refreshPages();
}

void PageTextView::revealCursor()
{
    const QRect r = cursorRect();
    const QPoint at = mapTo(m_desk, r.center());
    m_scroll->ensureVisible(at.x(), at.y(), 40, std::max(r.height(), 20));
}

int PageTextView::wrapWidth(const QTextDocument* document) const
{
    // The text: exactly the printable width (at least a finger's breadth),
    // as print lays it out.
    return int(std::lround(WPPages::textWidth(m_setup) + 2 * document->documentMargin()));
}

void PageTextView::setStorage(QTextDocument* document)
{
    // Laid out as print lays it out, and once, at the page's width.
    WPPages::prepare(*document);
    setLineWrapColumnOrWidth(wrapWidth(document));
    setDocument(document);
    // Spelling and grammar as you type, their underlines drawn here over
    // the text rather than as character formats: a paragraph whose
    // underlines change needs no new layout, only a repaint.
    if (TextChecker* checker = TextChecker::attach(this)) {
        checker->highlighter()->setDrawnByEditor(true);
        connect(checker->highlighter(), &SpellHighlighter::underlinesChanged, this,
                &PageTextView::redrawUnderlines, Qt::UniqueConnection);
    }
    QAbstractTextDocumentLayout* layout = document->documentLayout();
    connect(layout, &QAbstractTextDocumentLayout::documentSizeChanged, this, &PageTextView::relayout,
            Qt::UniqueConnection);
    // An edit may move a page's first line without changing the height.
    connect(document, &QTextDocument::contentsChanged, m_pagesTimer, qOverload<>(&QTimer::start),
            Qt::UniqueConnection);
    connect(document, &QTextDocument::contentsChange, this, &PageTextView::onContentsChange, Qt::UniqueConnection);
    // Our slices lay out the text instead of the layout's growing steps.
    if (m_layout != layout) {
        layout->installEventFilter(this);
        m_layout = layout;
    }
    startLayout();
    relayout();
}

void PageTextView::redrawUnderlines(int position, int length)
{
    if (length == std::numeric_limits<int>::max()) { // every paragraph
        viewport()->update();
        return;
    }
    const QTextBlock block = document()->findBlock(position);
    if (!block.isValid() || block.layout()->lineCount() == 0)
        return; // drawn when it is laid out
    const QRectF box = Squiggles::area(block).translated(-horizontalScrollBar()->value(), -verticalScrollBar()->value());
    viewport()->update(box.toAlignedRect());
}

void PageTextView::focusInEvent(QFocusEvent* event)
{
    changeFocus([&] { QTextEdit::focusInEvent(event); });
}

void PageTextView::focusOutEvent(QFocusEvent* event)
{
    changeFocus([&] { QTextEdit::focusOutEvent(event); });
}

bool PageTextView::plainCaret() const
{
    // A caret is one upright bar, but in text running both ways, where it
    // carries a small flag: that one is left to the text control.
    const QTextCursor c = textCursor();
    if (c.hasSelection() || c.block().textDirection() == Qt::RightToLeft)
        return false;
    const QString text = c.block().text();
    return std::none_of(text.cbegin(), text.cend(), [](QChar ch) {
        switch (ch.direction()) {
        case QChar::DirL:
        case QChar::DirEN:
        case QChar::DirES:
        case QChar::DirET:
        case QChar::DirCS:
        case QChar::DirB:
        case QChar::DirS:
        case QChar::DirWS:
        case QChar::DirON:
        case QChar::DirNSM:
        case QChar::DirBN:
            return false;
        default:
            return true;
        }
    });
}

void PageTextView::changeFocus(const std::function<void()>& handle)
{
    // A widget taking or losing the focus redraws itself whole, and the
    // text control redraws the caret with a margin either side. The page
    // looks the same focused or not but for the caret (and a selection's
    // colour, which the control redraws): only the caret's bar is drawn
    // again, else the window's first focus would draw the whole page twice.
    const bool plain = plainCaret();
    const bool held = testAttribute(Qt::WA_UpdatesDisabled);
    const bool viewHeld = viewport()->testAttribute(Qt::WA_UpdatesDisabled);
    setAttribute(Qt::WA_UpdatesDisabled, true);
    if (plain)
        viewport()->setAttribute(Qt::WA_UpdatesDisabled, true);
    handle();
    viewport()->setAttribute(Qt::WA_UpdatesDisabled, viewHeld);
    setAttribute(Qt::WA_UpdatesDisabled, held);
    // The bar, and in text running both ways its flag, which reaches past
    // what the control redraws.
    viewport()->update(plain ? cursorRect().adjusted(-1, -1, 1, 1) : cursorRect().adjusted(-6, -3, 6, 3));
}

void PageTextView::paintEvent(QPaintEvent* event)
{
    QTextEdit::paintEvent(event);
    const TextChecker* checker = TextChecker::of(this);
    const SpellHighlighter* highlighter = checker ? checker->highlighter() : nullptr;
    if (!highlighter || !highlighter->isDrawnByEditor())
        return;
    QPainter p(viewport());
    p.setRenderHint(QPainter::Antialiasing);
    const QRect dirty = event->rect();
    const QPointF scrolled(-horizontalScrollBar()->value(), -verticalScrollBar()->value());
    const int last = cursorForPosition(dirty.bottomRight()).position();
    QAbstractTextDocumentLayout* layout = document()->documentLayout();
    for (QTextBlock b = cursorForPosition(dirty.topLeft()).block(); b.isValid() && b.position() <= last; b = b.next()) {
        const QTextLayout* lines = b.layout();
        const QList<SpellHighlighter::Underline> underlines = highlighter->underlines(b);
        if (underlines.isEmpty() || lines->lineCount() == 0)
            continue;
        const qreal top = layout->blockBoundingRect(b).top() + scrolled.y();
        // Only the lines in the dirty part (a long paragraph has many).
        int first = -1, end = 0;
        for (int i = 0; i < lines->lineCount(); ++i) {
            const QTextLine line = lines->lineAt(i);
            const qreal lineTop = top + line.y();
            if (lineTop > dirty.bottom())
                break;
            if (lineTop + line.height() + 4 < dirty.top())
                continue;
            first = first < 0 ? i : first;
            end = i + 1;
        }
        if (first < 0)
            continue;
        const QTextLine firstLine = lines->lineAt(first);
        const QTextLine lastLine = lines->lineAt(end - 1);
        for (const SpellHighlighter::Underline& u : underlines) {
            if (u.start + u.length <= firstLine.textStart() || u.start >= lastLine.textStart() + lastLine.textLength())
                continue;
            for (const QLineF& span : Squiggles::spans(b, u.start, u.length))
                Squiggles::draw(p, span.translated(scrolled), u.color);
        }
    }
}

bool PageTextView::eventFilter(QObject* watched, QEvent* event)
{
    if (watched == m_layout && event->type() == QEvent::Timer && m_layingOut) {
        // The layout's timers: the one that reports the size (interval 0)
        // goes through; the one that lays out the rest waits for our slices.
        const int id = static_cast<QTimerEvent*>(event)->timerId();
        const auto timers = QAbstractEventDispatcher::instance()->registeredTimers(watched);
        const bool laysOut = std::any_of(timers.begin(), timers.end(), [id](const auto& info) {
            return info.timerId == id && info.interval > 0;
        });
        if (laysOut)
            return true;
    }
    if (watched == m_viewport && event->type() == QEvent::Resize)
        relayout();
    return QTextEdit::eventFilter(watched, event);
}

void PageTextView::wheelEvent(QWheelEvent* event)
{
    // Let the scroll area have it.
    event->ignore();
}
