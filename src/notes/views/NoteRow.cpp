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

} // namespace

NoteRow::NoteRow(RecorderModel* model, const VoiceNote& note, bool expanded, QWidget* parent)
    : QWidget(parent)
    , m_model(model)
    , m_note(note)
    , m_expanded(expanded)
{
    setAttribute(Qt::WA_OpaquePaintEvent, false);
    auto* column = new QVBoxLayout(this);
    column->setContentsMargins(10, 4, 10, 4);
    column->setSpacing(6);

    auto* line = new QHBoxLayout;
    line->setSpacing(10);
    m_play = new ChromeButton(this);
    m_play->setCompact(true);
    m_play->setProminent(false);
    m_play->setLabelFrame(QSize(18, 16));
    connect(m_play, &QPushButton::clicked, this, [this] {
        if (m_model)
            m_model->togglePlay(m_note);
    });
    line->addWidget(m_play);

    m_title = new SpellLineEdit(this);
    m_title->setFrame(false);
    m_title->setPlaceholderText(QStringLiteral("Title"));
    m_title->setFont(Fonts::system(13, QFont::DemiBold));
    QPalette tp = m_title->palette();
    tp.setColor(QPalette::Base, Qt::transparent);
    m_title->setPalette(tp);
    m_title->setText(note.title);
    m_title->setMinimumWidth(120);
    connect(m_title, &QLineEdit::textEdited, this, [this](const QString& text) {
        if (m_model)
            m_model->rename(m_note.id, text);
    });
    connect(m_title, &QLineEdit::returnPressed, this, [this] {
        if (m_model)
            m_model->rename(m_note.id, m_title->text());
    });
    m_title->installEventFilter(this);
    line->addWidget(m_title, 1);

    m_missing = new QLabel(QStringLiteral("Audio file missing"), this);
    m_missing->setFont(Fonts::style(Fonts::TextStyle::Caption));
    RecorderLook::setTextColor(m_missing, Chrome::cherry());
    line->addWidget(m_missing);

    m_duration = new QLabel(this);
    m_duration->setFont(Fonts::system(12, QFont::Normal, Fonts::Design::Monospaced));
    RecorderLook::setTextColor(m_duration, RecorderLook::secondary());
    line->addWidget(m_duration);

    m_menuButton = new QToolButton(this);
    m_menuButton->setAutoRaise(true);
    m_menuButton->setPopupMode(QToolButton::InstantPopup);
    m_menuButton->setIcon(Symbols::icon(QStringLiteral("ellipsis.circle"), Chrome::ink()));
    m_menuButton->setIconSize(QSize(16, 16));
    m_menuButton->setToolTip(QStringLiteral("More"));
    m_menuButton->setAccessibleName(QStringLiteral("More"));
    m_menuButton->setStyleSheet(QStringLiteral("QToolButton::menu-indicator { image: none; width: 0; }"));
    m_menu = new QMenu(this);
    connect(m_menu, &QMenu::aboutToShow, this, &NoteRow::fillMenu);
    m_menuButton->setMenu(m_menu);
    line->addWidget(m_menuButton);
    column->addLayout(line);

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
