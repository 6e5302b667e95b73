#include "notes/views/StickyNoteCard.h"

#include "notes/StickyNote.h"
#include "notes/StickyPalette.h"
#include "notes/StickyStore.h"
#include "notes/views/StickyNoteView.h"
#include "notes/views/StickySymbolButton.h"
#include "ui/Chrome.h"
#include "ui/ChromeButton.h"
#include "ui/Fonts.h"

#include <QGraphicsOpacityEffect>
#include <QHBoxLayout>
#include <QPainter>
#include <QPainterPath>
#include <QTextLayout>
#include <QVBoxLayout>

namespace {

const QMargins kShadowRoom(4, 2, 4, 5);

// The card's text: wrapped, at most six lines, from the top-left corner.
class CardText : public QWidget {
public:
    explicit CardText(QWidget* parent) : QWidget(parent)
    {
        setFont(Fonts::named(QStringLiteral("Marker Felt"), 13));
        setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Expanding);
    }

    void setText(const QString& text)
    {
        if (m_text == text)
            return;
        m_text = text;
        update();
    }

protected:
    void paintEvent(QPaintEvent*) override
    {
        QPainter p(this);
        p.setPen(Qt::black);
        // Line breaks of the note are kept; each paragraph wraps to the width.
        QString text = m_text;
        text.replace(QLatin1Char('\n'), QChar::LineSeparator);
        QTextLayout layout(text, font());
        QTextOption option(Qt::AlignLeft | Qt::AlignTop);
        option.setWrapMode(QTextOption::WrapAtWordBoundaryOrAnywhere);
        layout.setTextOption(option);
        // Every line made is placed below the one before, so none can land
        // on the first; what runs past the bottom is cut there.
        layout.beginLayout();
        qreal y = 0;
        for (int n = 0; n < StickyNoteCard::kMaxLines && y < height(); ++n) {
            QTextLine line = layout.createLine();
            if (!line.isValid())
                break;
            line.setLineWidth(width());
            line.setPosition(QPointF(0, y));
            y += line.height();
        }
        layout.endLayout();
        p.setClipRect(rect());
        layout.draw(&p, QPointF(0, 0));
    }

private:
    QString m_text;
};

} // namespace

StickyNoteCard::StickyNoteCard(const QUuid& id, StickyStore& store, QWidget* parent)
    : QWidget(parent)
    , m_id(id)
    , m_store(store)
{
    // The widget leaves room around the card for its shadow.
    setFixedHeight(kHeight + kShadowRoom.top() + kShadowRoom.bottom());
    setMinimumWidth(150);
    auto* column = new QVBoxLayout(this);
    column->setContentsMargins(10 + kShadowRoom.left(), 10 + kShadowRoom.top(), 10 + kShadowRoom.right(),
                               10 + kShadowRoom.bottom());
    column->setSpacing(6);
    m_textArea = new CardText(this);
    column->addWidget(m_textArea, 1);
    auto* row = new QHBoxLayout;
    row->setContentsMargins(0, 0, 0, 0);
    m_show = new ChromeButton(QStringLiteral("Show"), false, true, this);
    connect(m_show, &QAbstractButton::clicked, this, [this] { m_store.show(m_id); });
    row->addWidget(m_show);
    row->addStretch(1);
    m_delete = new StickySymbolButton(QStringLiteral("trash"), 13, Chrome::ink(), this);
    m_delete->setToolTip(QStringLiteral("Delete note"));
    connect(m_delete, &QAbstractButton::clicked, this, &StickyNoteCard::confirmDelete);
    row->addWidget(m_delete);
    column->addLayout(row);
    m_fade = new QGraphicsOpacityEffect(this);
    m_fade->setOpacity(1.0);
    setGraphicsEffect(m_fade);
}

void StickyNoteCard::setNote(const StickyNote& note)
{
    m_text = note.text.isEmpty() ? QStringLiteral("(empty note)") : note.text;
    static_cast<CardText*>(m_textArea)->setText(m_text);
    m_color = Chrome::toColor(StickyPalette::color(note.colorIndex));
    m_show->setText(note.visible ? QStringLiteral("Bring Front") : QStringLiteral("Show"));
    m_fade->setOpacity(note.visible ? 1.0 : 0.6);
    update();
}

qreal StickyNoteCard::opacity() const
{
    return m_fade->opacity();
}

void StickyNoteCard::confirmDelete()
{
    // The card asks even for an empty note.
    if (StickyNoteView::askToDelete())
        m_store.deleteNote(m_id);
}

void StickyNoteCard::paintEvent(QPaintEvent*)
{
    QPainter p(this);
    p.setRenderHint(QPainter::Antialiasing);
    const QRectF card = QRectF(rect()).marginsRemoved(QMarginsF(kShadowRoom));
    // A soft shadow 2 below, fading out over 3.
    for (int i = 3; i >= 1; --i) {
        QPainterPath shade;
        shade.addRoundedRect(card.translated(0, 2).adjusted(-i + 1, -i + 1, i - 1, i - 1), 6 + i, 6 + i);
        p.fillPath(shade, QColor::fromRgbF(0, 0, 0, 0.2f / 3));
    }
    QPainterPath shape;
    shape.addRoundedRect(card, 6, 6);
    p.fillPath(shape, m_color);
}
