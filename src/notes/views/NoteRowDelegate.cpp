#include "notes/views/NoteRowDelegate.h"

#include "notes/RecorderListModel.h"
#include "notes/RecorderModel.h"
#include "notes/views/NoteRow.h"
#include "notes/views/NoteRowBoxes.h"
#include "notes/views/NoteRowMenu.h"
#include "notes/views/NoteRowTexts.h"
#include "notes/views/RecorderLook.h"
#include "notes/views/RecorderSpinner.h"
#include "ui/Chrome.h"
#include "ui/ChromeButton.h"
#include "ui/Fonts.h"
#include "ui/Symbols.h"

#include <QAbstractItemView>
#include <QApplication>
#include <QFileInfo>
#include <QMenu>
#include <QHelpEvent>
#include <QImage>
#include <QMouseEvent>
#include <QPainter>
#include <QPainterPath>
#include <QToolButton>
#include <QTimer>
#include <QToolTip>

namespace {

constexpr int kMarginX = 10;
constexpr int kMarginY = 4;
constexpr int kLineSpacing = 10;
constexpr int kProgressHeight = 6;
constexpr int kSpinnerSide = 16;
constexpr int kLikelyLineHeight = 27;

// The faces of a drawn row's texts (NoteRowTexts keeps them in this order).
enum Face { titleFace, durationFace, captionFace, transcriptFace };

QList<QFont> faces()
{
    return {Fonts::system(13, QFont::DemiBold), Fonts::system(12, QFont::Normal, Fonts::Design::Monospaced),
            Fonts::style(Fonts::TextStyle::Caption), Fonts::system(12)};
}

} // namespace

NoteRowDelegate::NoteRowDelegate(RecorderListModel* list, QObject* parent)
    : QStyledItemDelegate(parent)
    , m_list(list)
    , m_texts(std::make_unique<NoteRowTexts>(faces()))
    , m_boxes(std::make_unique<NoteRowBoxes>())
{
    // An empty list draws no row: the measuring and the stamps wait for the
    // first one. A list with rows has them made at the next turn of the
    // event loop, and its first rows drawn ahead: a window being opened does
    // that while the window system maps it, before its first frame.
    if (m_list->rowCount() > 0) {
        QTimer::singleShot(0, this, [this] {
            prepare();
            drawAhead();
        });
    } else {
        connect(m_list, &QAbstractItemModel::rowsInserted, this, &NoteRowDelegate::prepare);
        connect(m_list, &QAbstractItemModel::modelReset, this, &NoteRowDelegate::prepare);
    }
}

void NoteRowDelegate::measure() const
{
    if (m_measured)
        return;
    m_measured = true;
    // The row widget's own measures, so drawn rows and the open row agree.
    const NoteRow::Measures measures = NoteRow::measures();
    m_lineHeight = measures.lineHeight;
    m_playWidth = measures.playWidth;
    m_menuWidth = measures.menuWidth;
}

void NoteRowDelegate::prepare() const
{
    measure();
    if (m_guessed) {
        // At once: the view's own answer to a changed size comes a turn of
        // the event loop later, after a first frame would have been drawn.
        m_guessed = false;
        if (auto* view = qobject_cast<QAbstractItemView*>(parent()))
            view->doItemsLayout();
        else
            Q_EMIT const_cast<NoteRowDelegate*>(this)->sizeHintChanged(QModelIndex());
    }
    if (m_playStamp)
        return;

    m_playStamp = std::make_unique<ChromeButton>();
    m_playStamp->setCompact(true);
    m_playStamp->setProminent(false);
    m_playStamp->setLabelFrame(QSize(18, 16));
    m_playStamp->setAttribute(Qt::WA_DontShowOnScreen);
    m_menuStamp = std::make_unique<QToolButton>();
    m_menuStamp->setAutoRaise(true);
    m_menuStamp->setIcon(Symbols::icon(QStringLiteral("ellipsis.circle"), Chrome::ink()));
    m_menuStamp->setIconSize(QSize(16, 16));
    m_menuStamp->setAttribute(Qt::WA_DontShowOnScreen);
    makeStamps();
}

void NoteRowDelegate::drawAhead() const
{
    auto* view = qobject_cast<QAbstractItemView*>(parent());
    if (!view || !view->isVisible() || m_list->rowCount() == 0)
        return;
    const QWidget* viewport = view->viewport();
    if (viewport->rect().isEmpty())
        return;
    const qreal dpr = viewport->devicePixelRatio();
    // In the format window pictures have here, so that what is kept by
    // format (the boxes) serves the first frame.
    QImage picture(viewport->size() * dpr, QImage::Format_ARGB32_Premultiplied);
    picture.setDevicePixelRatio(dpr);
    picture.setDotsPerMeterX(qRound(viewport->logicalDpiX() / 0.0254));
    picture.setDotsPerMeterY(qRound(viewport->logicalDpiY() / 0.0254));
    QPainter p(&picture);
    p.setLayoutDirection(viewport->layoutDirection());
    QStyleOptionViewItem option;
    option.palette = view->palette();
    option.widget = view;
    option.state = QStyle::State_Enabled;
    m_drawingAhead = true;
    for (QModelIndex i = view->indexAt(QPoint(0, 0)); i.isValid(); i = i.siblingAtRow(i.row() + 1)) {
        option.rect = view->visualRect(i);
        if (option.rect.top() >= viewport->height())
            break;
        paint(&p, option, i);
    }
    m_drawingAhead = false;
}

NoteRowDelegate::~NoteRowDelegate() = default;

QPixmap NoteRowDelegate::stamp(int kind) const
{
    return m_stamps[kind];
}

void NoteRowDelegate::makeStamps() const
{
    // The real buttons, pictured once without the window's background (the
    // row's own shows through), before any painting: a widget cannot be
    // rendered while another one is being grabbed.
    const qreal dpr = qApp->devicePixelRatio();
    for (int kind = 0; kind < 3; ++kind) {
        QWidget* w = kind == 2 ? static_cast<QWidget*>(m_menuStamp.get()) : m_playStamp.get();
        if (kind != 2)
            m_playStamp->setSymbol(kind == 1 ? QStringLiteral("stop.fill") : QStringLiteral("play.fill"));
        const QSize size(kind == 2 ? m_menuWidth : m_playWidth, m_lineHeight);
        w->resize(size);
        QPixmap pm(size * dpr);
        pm.setDevicePixelRatio(dpr);
        pm.fill(Qt::transparent);
        w->render(&pm, QPoint(), QRegion(), QWidget::DrawChildren);
        m_stamps[kind] = pm;
    }
}

RecorderModel* NoteRowDelegate::recorder() const
{
    return m_list->recorder();
}

int NoteRowDelegate::rowHeight(const VoiceNote& note, bool expanded) const
{
    measure();
    return heightWith(m_lineHeight, note, expanded);
}

int NoteRowDelegate::heightWith(int lineHeight, const VoiceNote& note, bool expanded) const
{
    int h = 2 * kMarginY + lineHeight;
    if (!note.id.isNull() && recorder()->playingID() == note.id)
        h += m_spacing + kProgressHeight;
    if (!note.id.isNull() && recorder()->transcribingID() == note.id)
        h += m_spacing + kSpinnerSide;
    if (expanded || !note.transcript.isEmpty())
        h += m_spacing + (expanded ? NoteRow::kExpandedEditor : NoteRow::kCollapsedEditor);
    return h;
}

NoteRowDelegate::Layout NoteRowDelegate::layout(const QRect& rect, const VoiceNote& note, bool expanded) const
{
    measure();
    Layout l;
    const int left = rect.left() + kMarginX;
    const int right = rect.right() - kMarginX;
    int y = rect.top() + kMarginY;
    l.play = QRect(left, y, m_playWidth, m_lineHeight);
    l.menu = QRect(right - m_menuWidth + 1, y, m_menuWidth, m_lineHeight);
    const int durationWidth = m_texts->advance(RecorderModel::time(note.duration), durationFace);
    l.duration = QRect(l.menu.left() - kLineSpacing - durationWidth, y, durationWidth, m_lineHeight);
    int titleRight = l.duration.left() - kLineSpacing;
    if (!recorder()->isAvailable(note)) {
        const int w = m_texts->advance(QStringLiteral("Audio file missing"), captionFace);
        l.missing = QRect(titleRight - w + 1, y, w, m_lineHeight);
        titleRight = l.missing.left() - kLineSpacing;
    }
    l.title = QRect(QPoint(l.play.right() + 1 + kLineSpacing, y), QPoint(titleRight, y + m_lineHeight - 1));
    y += m_lineHeight;
    if (!note.id.isNull() && recorder()->playingID() == note.id) {
        y += m_spacing;
        l.progress = QRect(left, y, right - left + 1, kProgressHeight);
        y += kProgressHeight;
    }
    if (!note.id.isNull() && recorder()->transcribingID() == note.id) {
        y += m_spacing;
        l.spinner = QRect(left, y, kSpinnerSide, kSpinnerSide);
        y += kSpinnerSide;
    }
    if (expanded || !note.transcript.isEmpty()) {
        y += m_spacing;
        l.editor = QRect(left, y, right - left + 1, expanded ? NoteRow::kExpandedEditor : NoteRow::kCollapsedEditor);
    }
    return l;
}

QSize NoteRowDelegate::sizeHint(const QStyleOptionViewItem& option, const QModelIndex& index) const
{
    const VoiceNote& n = m_list->note(index.row());
    // A list laid out as its window is shown, before a row is measured (and
    // its faces loaded), gives the line a likely height; the rows are laid
    // out again once measured, before any is drawn. A list not shown yet
    // measures at once.
    if (!m_measured) {
        const auto* view = qobject_cast<const QWidget*>(parent());
        if (view && view->isVisible())
            m_guessed = true;
        else
            measure();
    }
    const int line = m_measured ? m_lineHeight : kLikelyLineHeight;
    return QSize(option.rect.width() > 0 ? option.rect.width() : 200, heightWith(line, n, index.row() == m_expandedRow));
}

void NoteRowDelegate::paint(QPainter* p, const QStyleOptionViewItem& option, const QModelIndex& index) const
{
    const VoiceNote& n = m_list->note(index.row());
    const bool expanded = index.row() == m_expandedRow;
    const Layout l = layout(option.rect, n, expanded);
    // Drawn ahead: only what the first frame reuses (texts, glyphs, boxes).
    const bool ahead = m_drawingAhead;
    p->save();
    QColor rowFill;
    if (option.state & QStyle::State_Selected)
        rowFill = QColor::fromRgbF(0.0f, 0.39f, 0.88f, 0.12f);
    else if (index.row() % 2 == 1)
        rowFill = option.palette.color(QPalette::AlternateBase);
    if (rowFill.isValid() && !ahead)
        p->fillRect(option.rect, rowFill);

    const bool playing = recorder()->playingID() == n.id;
    if (m_playStamp && !ahead) {
        p->drawPixmap(l.play.topLeft(), stamp(playing ? 1 : 0));
        p->drawPixmap(l.menu.topLeft(), stamp(2));
    } else if (!m_playStamp && !m_stampsAsked) {
        // Painted before the event loop turned (a window grabbed at once):
        // the buttons are pictured outside this painting, then drawn.
        m_stampsAsked = true;
        auto* view = qobject_cast<const QAbstractItemView*>(option.widget);
        QTimer::singleShot(0, this, [this, viewport = QPointer<QWidget>(view ? view->viewport() : nullptr)] {
            prepare();
            if (viewport)
                viewport->update();
        });
    }

    // The title as the line field shows it (its text starts 2 px in).
    const QRect titleText = l.title.adjusted(2, 0, -2, 0);
    constexpr int line = Qt::AlignLeft | Qt::AlignVCenter;
    if (n.title.isEmpty()) {
        p->setPen(RecorderLook::secondary());
        m_texts->drawLine(p, titleText, line, QStringLiteral("Title"), titleFace);
    } else {
        p->setPen(Chrome::ink());
        m_texts->drawLine(p, titleText, line, m_texts->elided(n.title, titleFace, titleText.width()), titleFace);
    }
    if (l.missing.isValid()) {
        p->setPen(Chrome::cherry());
        m_texts->drawLine(p, l.missing, line, QStringLiteral("Audio file missing"), captionFace);
    }
    p->setPen(RecorderLook::secondary());
    m_texts->drawLine(p, l.duration, line, RecorderModel::time(n.duration), durationFace);

    p->setRenderHint(QPainter::Antialiasing);
    if (l.progress.isValid() && !ahead) {
        const QRectF track(l.progress);
        p->setPen(Qt::NoPen);
        p->setBrush(QColor::fromRgbF(0, 0, 0, 0.1f));
        p->drawRoundedRect(track, 3, 3);
        p->setBrush(Chrome::seafoam());
        p->drawRoundedRect(QRectF(track.topLeft(), QSizeF(track.width() * recorder()->playProgress(), track.height())),
                           3, 3);
    }
    if (l.spinner.isValid() && !ahead)
        RecorderSpinner::paintSpokes(*p, QRectF(l.spinner).center(), m_spinnerStep);
    if (l.editor.isValid()) {
        m_boxes->draw(p, l.editor, option.palette.color(QPalette::Base), rowFill);
        if (n.transcript.isEmpty()) {
            p->setPen(RecorderLook::secondary());
            m_texts->drawLine(p, l.editor, Qt::AlignCenter,
                              QStringLiteral("Transcript (type notes here or choose Transcribe)"), captionFace);
        } else {
            p->setPen(Chrome::ink());
            m_texts->drawWrapped(p, QRectF(l.editor).adjusted(4, 6, -4, -6), n.transcript, transcriptFace);
        }
    }
    p->restore();
}

QWidget* NoteRowDelegate::createEditor(QWidget* parent, const QStyleOptionViewItem&, const QModelIndex& index) const
{
    auto* row = new NoteRow(recorder(), m_list->note(index.row()), true, parent);
    row->setSelected(true);
    row->setAutoFillBackground(true);
    return row;
}

void NoteRowDelegate::setEditorData(QWidget* editor, const QModelIndex& index) const
{
    auto* row = qobject_cast<NoteRow*>(editor);
    const VoiceNote& n = m_list->note(index.row());
    if (row && !(row->note() == n))
        row->setNote(n);
}

void NoteRowDelegate::updateEditorGeometry(QWidget* editor, const QStyleOptionViewItem& option,
                                           const QModelIndex&) const
{
    editor->setGeometry(option.rect);
}

bool NoteRowDelegate::editorEvent(QEvent* event, QAbstractItemModel*, const QStyleOptionViewItem& option,
                                  const QModelIndex& index)
{
    if (event->type() != QEvent::MouseButtonPress && event->type() != QEvent::MouseButtonDblClick)
        return false;
    auto* mouse = static_cast<QMouseEvent*>(event);
    if (mouse->button() != Qt::LeftButton)
        return false;
    const VoiceNote n = m_list->note(index.row());
    const Layout l = layout(option.rect, n, index.row() == m_expandedRow);
    const QPoint at = mouse->position().toPoint();
    if (l.play.contains(at)) {
        recorder()->togglePlay(n);
        return true;
    }
    if (l.menu.contains(at)) {
        QMenu menu;
        NoteRowMenu::fill(&menu, recorder(), n);
        auto* view = qobject_cast<QAbstractItemView*>(parent());
        const QPoint below = l.menu.bottomLeft() + QPoint(0, 1);
        menu.exec(view ? view->viewport()->mapToGlobal(below) : mouse->globalPosition().toPoint());
        return true;
    }
    return false;
}

QString NoteRowDelegate::toolTipAt(const QRect& rect, const VoiceNote& note, const QPoint& pos) const
{
    const Layout l = layout(rect, note, false);
    if (l.play.contains(pos))
        return recorder()->playingID() == note.id && !note.id.isNull() ? QStringLiteral("Stop") : QStringLiteral("Play");
    if (l.menu.contains(pos))
        return QStringLiteral("More");
    return {};
}

bool NoteRowDelegate::helpEvent(QHelpEvent* event, QAbstractItemView* view, const QStyleOptionViewItem& option,
                                const QModelIndex& index)
{
    if (event->type() != QEvent::ToolTip || !index.isValid())
        return QStyledItemDelegate::helpEvent(event, view, option, index);
    const QString tip = toolTipAt(option.rect, m_list->note(index.row()), event->pos());
    if (tip.isEmpty())
        QToolTip::hideText();
    else
        QToolTip::showText(event->globalPos(), tip, view);
    return true;
}
