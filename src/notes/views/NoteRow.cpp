#include "notes/views/NoteRow.h"

#include "notes/RecorderModel.h"
#include "notes/views/NoteRowMenu.h"
#include "notes/views/RecorderLook.h"
#include "notes/views/RecorderSpinner.h"
#include "ui/Chrome.h"
#include "ui/ChromeButton.h"
#include "ui/Fonts.h"
#include "ui/SpellLineEdit.h"
#include "ui/SpellTextView.h"
#include "ui/Symbols.h"

#include <QEvent>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QMouseEvent>
#include <QPainter>
#include <QProgressBar>
#include <QToolButton>
#include <QVBoxLayout>

namespace {

// The thin rounded border laid over the transcript editor.
class EditorBorder : public QWidget {
public:
    explicit EditorBorder(QWidget* parent) : QWidget(parent)
    {
        setAttribute(Qt::WA_TransparentForMouseEvents);
    }

protected:
    void paintEvent(QPaintEvent*) override
    {
        QPainter p(this);
        p.setRenderHint(QPainter::Antialiasing);
        p.setPen(QPen(QColor::fromRgbF(0.5f, 0.5f, 0.5f, 0.3f), 1));
        p.setBrush(Qt::NoBrush);
        p.drawRoundedRect(QRectF(rect()).adjusted(0.5, 0.5, -0.5, -0.5), 6, 6);
    }
};

// The widgets of a row's first line: play/stop, the title field, "Audio
// file missing", the duration and the "…" button with its menu. Made the
// same way for a row and for measuring one.
struct Line {
    QHBoxLayout* layout = nullptr;
    ChromeButton* play = nullptr;
    QLabel* missing = nullptr;
    QLabel* duration = nullptr;
    QToolButton* menuButton = nullptr;
    QMenu* menu = nullptr;
};

template <class Field>
Line makeLine(QWidget* row, Field** field)
{
    Line l;
    l.layout = new QHBoxLayout;
    l.layout->setSpacing(10);
    l.play = new ChromeButton(row);
    l.play->setCompact(true);
    l.play->setProminent(false);
    l.play->setLabelFrame(QSize(18, 16));
    l.play->setSymbol(QStringLiteral("play.fill"));
    l.layout->addWidget(l.play);

    auto* title = new Field(row);
    *field = title;
    title->setFrame(false);
    title->setPlaceholderText(QStringLiteral("Title"));
    title->setFont(Fonts::system(13, QFont::DemiBold));
    QPalette tp = title->palette();
    tp.setColor(QPalette::Base, Qt::transparent);
    title->setPalette(tp);
    title->setMinimumWidth(120);
    l.layout->addWidget(title, 1);

    l.missing = new QLabel(QStringLiteral("Audio file missing"), row);
    l.missing->setFont(Fonts::style(Fonts::TextStyle::Caption));
    RecorderLook::setTextColor(l.missing, Chrome::cherry());
    l.layout->addWidget(l.missing);

    l.duration = new QLabel(row);
    l.duration->setFont(Fonts::system(12, QFont::Normal, Fonts::Design::Monospaced));
    RecorderLook::setTextColor(l.duration, RecorderLook::secondary());
    l.layout->addWidget(l.duration);

    l.menuButton = new QToolButton(row);
    l.menuButton->setAutoRaise(true);
    l.menuButton->setPopupMode(QToolButton::InstantPopup);
    l.menuButton->setIcon(Symbols::icon(QStringLiteral("ellipsis.circle"), Chrome::ink()));
    l.menuButton->setIconSize(QSize(16, 16));
    l.menuButton->setToolTip(QStringLiteral("More"));
    l.menuButton->setAccessibleName(QStringLiteral("More"));
    l.menuButton->setStyleSheet(QStringLiteral("QToolButton::menu-indicator { image: none; width: 0; }"));
    l.menu = new QMenu(row);
    l.menuButton->setMenu(l.menu);
    l.layout->addWidget(l.menuButton);
    return l;
}

// The row's outer column: its margins and the room between its parts.
QVBoxLayout* makeColumn(QWidget* row)
{
    auto* column = new QVBoxLayout(row);
    column->setContentsMargins(10, 4, 10, 4);
    column->setSpacing(6);
    return column;
}

} // namespace

NoteRow::NoteRow(RecorderModel* model, const VoiceNote& note, bool expanded, QWidget* parent)
    : QWidget(parent)
    , m_model(model)
    , m_note(note)
    , m_expanded(expanded)
{
    setAttribute(Qt::WA_OpaquePaintEvent, false);
    QVBoxLayout* column = makeColumn(this);

    const Line line = makeLine(this, &m_title);
    m_play = line.play;
    m_missing = line.missing;
    m_duration = line.duration;
    m_menuButton = line.menuButton;
    m_menu = line.menu;
    connect(m_play, &QPushButton::clicked, this, [this] {
        if (m_model)
            m_model->togglePlay(m_note);
    });
    m_title->setText(note.title);
    connect(m_title, &QLineEdit::textEdited, this, [this](const QString& text) {
        if (m_model)
            m_model->rename(m_note.id, text);
    });
    connect(m_title, &QLineEdit::returnPressed, this, [this] {
        if (m_model)
            m_model->rename(m_note.id, m_title->text());
    });
    m_title->installEventFilter(this);
    connect(m_menu, &QMenu::aboutToShow, this, &NoteRow::fillMenu);
    column->addLayout(line.layout);

    m_progress = new QProgressBar(this);
    m_progress->setRange(0, 1000);
    m_progress->setTextVisible(false);
    m_progress->setFixedHeight(6);
    QPalette pp = m_progress->palette();
    pp.setColor(QPalette::Highlight, Chrome::seafoam());
    m_progress->setPalette(pp);
    column->addWidget(m_progress);

    m_spinner = new RecorderSpinner(this);
    column->addWidget(m_spinner, 0, Qt::AlignLeft);

    m_editorBox = new QWidget(this);
    auto* stack = new QGridLayout(m_editorBox);
    stack->setContentsMargins(0, 0, 0, 0);
    m_transcript = new SpellTextView(note.transcript, Fonts::system(12), QColor::fromRgbF(1, 1, 1, 0.8f), true,
                                     Chrome::ink(), true, m_editorBox);
    m_transcript->setFrameShape(QFrame::NoFrame);
    m_transcript->setAccessibleName(QStringLiteral("Transcript"));
    // Tab goes on to the row's next control, as in every other field.
    m_transcript->setTabChangesFocus(true);
    connect(m_transcript, &SpellTextView::textEdited, this, [this](const QString& text) {
        // The spelling highlighter's repaints arrive here too: only text
        // that differs is an edit.
        if (m_model && text != m_note.transcript)
            m_model->setTranscript(m_note.id, text);
        m_placeholder->setVisible(text.isEmpty());
    });
    m_transcript->viewport()->installEventFilter(this);
    stack->addWidget(m_transcript, 0, 0);
    stack->addWidget(new EditorBorder(m_editorBox), 0, 0);
    m_placeholder = new QLabel(QStringLiteral("Transcript (type notes here or choose Transcribe)"), m_editorBox);
    m_placeholder->setFont(Fonts::style(Fonts::TextStyle::Caption));
    RecorderLook::setTextColor(m_placeholder, RecorderLook::secondary());
    m_placeholder->setAttribute(Qt::WA_TransparentForMouseEvents);
    stack->addWidget(m_placeholder, 0, 0, Qt::AlignCenter);
    column->addWidget(m_editorBox);

    if (m_model) {
        connect(m_model, &RecorderModel::playingIDChanged, this, &NoteRow::refresh);
        connect(m_model, &RecorderModel::transcribingIDChanged, this, &NoteRow::refresh);
        connect(m_model, &RecorderModel::playProgressChanged, this, [this] {
            m_progress->setValue(int(std::lround(m_model->playProgress() * 1000)));
        });
    }
    refresh();
}

NoteRow::Measures NoteRow::measures()
{
    // The line alone, with the row's margins, and a plain field in place of
    // the spelling one (the same size): measuring a row must not start the
    // spelling checker nor build a transcript editor.
    QWidget row;
    QVBoxLayout* column = makeColumn(&row);
    QLineEdit* title = nullptr;
    const Line line = makeLine(&row, &title);
    line.missing->setVisible(false);
    column->addLayout(line.layout);
    const QMargins margins = column->contentsMargins();
    return {row.sizeHint().height() - margins.top() - margins.bottom(), line.play->sizeHint().width(),
            line.menuButton->sizeHint().width()};
}

QWidget* NoteRow::spinner() const
{
    return m_spinner;
}

void NoteRow::setNote(const VoiceNote& note)
{
    m_note = note;
    // The field the user types in is never rewritten under the caret.
    if (!m_title->hasFocus() && m_title->text() != note.title)
        m_title->setText(note.title);
    m_transcript->setText(note.transcript);
    refresh();
}

void NoteRow::setExpanded(bool expanded)
{
    if (m_expanded == expanded)
        return;
    m_expanded = expanded;
    refresh();
}

void NoteRow::setAlternate(bool alternate)
{
    m_alternate = alternate;
    update();
}

void NoteRow::setSelected(bool selected)
{
    m_selected = selected;
    update();
}

void NoteRow::refresh()
{
    const bool playing = m_model && !m_note.id.isNull() && m_model->playingID() == m_note.id;
    m_play->setSymbol(playing ? QStringLiteral("stop.fill") : QStringLiteral("play.fill"));
    m_play->setToolTip(playing ? QStringLiteral("Stop") : QStringLiteral("Play"));
    m_play->setAccessibleName(playing ? QStringLiteral("Stop") : QStringLiteral("Play"));
    const bool available = !m_model || m_model->isAvailable(m_note);
    m_missing->setVisible(!available);
    m_duration->setText(RecorderModel::time(m_note.duration));
    m_progress->setVisible(playing);
    if (playing)
        m_progress->setValue(int(std::lround(m_model->playProgress() * 1000)));
    m_spinner->setVisible(m_model && m_model->transcribingID() == m_note.id);
    const bool editor = m_expanded || !m_note.transcript.isEmpty();
    m_editorBox->setVisible(editor);
    m_editorBox->setFixedHeight(m_expanded ? kExpandedEditor : kCollapsedEditor);
    m_placeholder->setVisible(m_transcript->text().isEmpty());
}

void NoteRow::fillMenu()
{
    NoteRowMenu::fill(m_menu, m_model, m_note);
}

QMenu* NoteRow::menu()
{
    fillMenu();
    return m_menu;
}

QStringList NoteRow::menuItems()
{
    QStringList items;
    for (QAction* a : menu()->actions())
        items.append(a->isSeparator() ? QStringLiteral("—") : a->text());
    return items;
}

void NoteRow::revealFile()
{
    NoteRowMenu::revealFile(m_note);
}

void NoteRow::copyTranscript()
{
    NoteRowMenu::copyTranscript(m_note);
}

void NoteRow::mousePressEvent(QMouseEvent* event)
{
    Q_EMIT activated(m_note.id);
    QWidget::mousePressEvent(event);
}

bool NoteRow::eventFilter(QObject* watched, QEvent* event)
{
    if (event->type() == QEvent::MouseButtonPress || event->type() == QEvent::FocusIn)
        Q_EMIT activated(m_note.id);
    return QWidget::eventFilter(watched, event);
}

void NoteRow::paintEvent(QPaintEvent*)
{
    QPainter p(this);
    if (m_selected)
        p.fillRect(rect(), QColor::fromRgbF(0.0f, 0.39f, 0.88f, 0.12f));
    else if (m_alternate)
        p.fillRect(rect(), palette().color(QPalette::AlternateBase));
}
