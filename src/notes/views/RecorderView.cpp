#include "notes/views/RecorderView.h"

#include "notes/RecorderModel.h"
#include "notes/views/NoteRow.h"
#include "notes/views/RecorderButton.h"
#include "notes/views/RecorderLevelMeter.h"
#include "notes/views/RecorderLook.h"
#include "ui/Alert.h"
#include "ui/ChromePanel.h"
#include "ui/Fonts.h"

#include <QDir>
#include <QEvent>
#include <QFileDialog>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QPainter>
#include <QScrollArea>
#include <QShortcut>
#include <QStandardPaths>
#include <QVBoxLayout>

namespace {

// The inset list: a white rounded card the rows sit on.
class ListCard : public QWidget {
public:
    explicit ListCard(QWidget* parent) : QWidget(parent) {}

protected:
    void paintEvent(QPaintEvent*) override
    {
        QPainter p(this);
        p.setRenderHint(QPainter::Antialiasing);
        p.setPen(QPen(QColor::fromRgbF(0, 0, 0, 0.1f), 1));
        p.setBrush(Qt::white);
        p.drawRoundedRect(QRectF(rect()).adjusted(0.5, 0.5, -0.5, -0.5), 10, 10);
    }
};

QString chooseExportPath(QWidget* parent, const QString& proposed)
{
    QFileDialog dialog(parent, QStringLiteral("Export Voice Note"));
    dialog.setAcceptMode(QFileDialog::AcceptSave);
    dialog.setFileMode(QFileDialog::AnyFile);
    dialog.setNameFilter(QStringLiteral("MPEG-4 audio (*.m4a)"));
    dialog.setDefaultSuffix(QStringLiteral("m4a"));
    QString folder = QStandardPaths::writableLocation(QStandardPaths::DocumentsLocation);
    if (folder.isEmpty() || !QDir(folder).exists())
        folder = QDir::homePath();
    dialog.setDirectory(folder);
    dialog.selectFile(proposed);
    if (dialog.exec() != QDialog::Accepted)
        return QString();
    const QStringList files = dialog.selectedFiles();
    return files.isEmpty() ? QString() : files.first();
}

} // namespace

RecorderView::RecorderView(QWidget* parent)
    : QWidget(parent)
    , m_model(new RecorderModel(this))
{
    m_model->platform().alert = [](const QString& title, const QString& text, AlertStyle style,
                                   const QStringList& buttons) { return runAlert(title, text, style, buttons); };
    m_model->platform().chooseExportPath = [this](const QString& proposed) { return chooseExportPath(this, proposed); };

    auto* column = new QVBoxLayout(this);
    column->setContentsMargins(14, 14, 14, 14);
    column->setSpacing(12);
    column->addWidget(buildRecordPanel());
    column->addWidget(buildList(), 1);

    auto* shortcut = new QShortcut(QKeySequence(Qt::CTRL | Qt::Key_R), this);
    shortcut->setContext(Qt::WindowShortcut);
    connect(shortcut, &QShortcut::activated, this, &RecorderView::toggleRecording);

    connect(m_model, &RecorderModel::recordingChanged, this, &RecorderView::refreshState);
    connect(m_model, &RecorderModel::elapsedChanged, this, &RecorderView::refreshState);
    connect(m_model, &RecorderModel::statusChanged, this, &RecorderView::refreshState);
    connect(m_model, &RecorderModel::levelChanged, this, [this] { m_meter->setLevel(m_model->level()); });
    connect(m_model, &RecorderModel::notesChanged, this, &RecorderView::syncRows);
    refreshState();
    syncRows();
}

RecorderView::~RecorderView()
{
    // The model goes with the view: a recording still running is saved.
    m_model->finish();
}

QWidget* RecorderView::buildRecordPanel()
{
    auto* panel = new ChromePanel(this);
    auto* body = new QWidget(panel);
    auto* line = new QHBoxLayout(body);
    line->setContentsMargins(0, 0, 0, 0);
    line->setSpacing(18);
    m_button = new RecorderButton(body);
    connect(m_button, &QAbstractButton::clicked, this, &RecorderView::toggleRecording);
    line->addWidget(m_button, 0, Qt::AlignVCenter);

    auto* texts = new QVBoxLayout;
    texts->setSpacing(6);
    m_state = new QLabel(body);
    m_state->setFont(Fonts::system(20, QFont::ExtraBold, Fonts::Design::Rounded));
    texts->addWidget(m_state);
    m_meter = new RecorderLevelMeter(body);
    texts->addWidget(m_meter);
    m_status = new QLabel(body);
    m_status->setFont(Fonts::style(Fonts::TextStyle::Caption));
    m_status->setWordWrap(true);
    m_status->setTextFormat(Qt::PlainText);
    RecorderLook::setTextColor(m_status, RecorderLook::secondary());
    // At most three lines.
    m_status->setMaximumHeight(QFontMetrics(m_status->font()).lineSpacing() * 3 + 2);
    texts->addWidget(m_status);
    line->addLayout(texts, 1);
    panel->setContent(body);
    return panel;
}

QWidget* RecorderView::buildList()
{
    auto* card = new ListCard(this);
    auto* stack = new QGridLayout(card);
    stack->setContentsMargins(1, 6, 1, 6);
    m_scroll = new QScrollArea(card);
    m_scroll->setFrameShape(QFrame::NoFrame);
    m_scroll->setWidgetResizable(true);
    m_scroll->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    QPalette white = m_scroll->palette();
    white.setColor(QPalette::Window, Qt::white);
    m_scroll->viewport()->setPalette(white);
    m_scroll->viewport()->setAutoFillBackground(true);
    m_listBody = new QWidget;
    m_listBody->setPalette(white);
    m_listBody->setAutoFillBackground(true);
    m_listLayout = new QVBoxLayout(m_listBody);
    m_listLayout->setContentsMargins(0, 0, 0, 0);
    m_listLayout->setSpacing(0);
    m_listLayout->addStretch(1);
    m_scroll->setWidget(m_listBody);
    stack->addWidget(m_scroll, 0, 0);
    m_empty = new QLabel(QStringLiteral("No recordings yet — press the red button to start."), card);
    RecorderLook::setTextColor(m_empty, RecorderLook::secondary());
    m_empty->setAlignment(Qt::AlignCenter);
    m_empty->setWordWrap(true);
    m_empty->setAttribute(Qt::WA_TransparentForMouseEvents);
    stack->addWidget(m_empty, 0, 0, Qt::AlignCenter);
    return card;
}

QString RecorderView::stateText() const
{
    return m_model->recording() ? QStringLiteral("Recording  ") + RecorderModel::time(m_model->elapsed())
                                : QStringLiteral("Ready to record");
}

QString RecorderView::statusText() const
{
    return m_model->status().isEmpty() ? QStringLiteral("Voice notes are saved as .m4a on this computer.")
                                       : m_model->status();
}

void RecorderView::refreshState()
{
    m_button->setRecording(m_model->recording());
    m_state->setText(stateText());
    m_status->setText(statusText());
    m_meter->setLevel(m_model->level());
}

void RecorderView::toggleRecording()
{
    if (m_model->recording())
        m_model->stopRecording();
    else
        m_model->requestAndRecord();
}

QList<NoteRow*> RecorderView::rows() const
{
    QList<NoteRow*> list;
    for (int i = 0; i < m_listLayout->count(); ++i) {
        if (auto* r = qobject_cast<NoteRow*>(m_listLayout->itemAt(i)->widget()))
            list.append(r);
    }
    return list;
}

void RecorderView::syncRows()
{
    const QList<VoiceNote>& notes = m_model->notes();
    QSet<QUuid> ids;
    for (const VoiceNote& n : notes)
        ids.insert(n.id);
    for (auto it = m_rows.begin(); it != m_rows.end();) {
        if (!ids.contains(it.key())) {
            it.value()->hide();
            it.value()->deleteLater();
            it = m_rows.erase(it);
        } else {
            ++it;
        }
    }
    if (!m_selected.isNull() && !ids.contains(m_selected))
        m_selected = QUuid();
    // Existing rows keep their widgets (and the caret of a field being
    // typed in); they are only moved into the model's order.
    for (int i = 0; i < notes.size(); ++i) {
        const VoiceNote& n = notes.at(i);
        NoteRow* row = m_rows.value(n.id);
        if (!row) {
            row = new NoteRow(m_model, n, n.id == m_selected, m_listBody);
            connect(row, &NoteRow::activated, this, &RecorderView::select);
            m_rows.insert(n.id, row);
        } else if (row->note() != n) {
            row->setNote(n);
        }
        if (m_listLayout->indexOf(row) != i) {
            m_listLayout->removeWidget(row);
            m_listLayout->insertWidget(i, row);
        }
        row->setAlternate(i % 2 == 1);
        row->setSelected(n.id == m_selected);
        row->setExpanded(n.id == m_selected);
        row->show();
    }
    m_empty->setVisible(notes.isEmpty());
}

void RecorderView::select(const QUuid& id)
{
    if (m_selected == id)
        return;
    m_selected = id;
    for (NoteRow* r : std::as_const(m_rows)) {
        r->setSelected(r->note().id == id);
        r->setExpanded(r->note().id == id);
    }
}

void RecorderView::showEvent(QShowEvent* event)
{
    QWidget::showEvent(event);
    QWidget* w = window();
    if (w != this && w != m_watchedWindow) {
        if (m_watchedWindow)
            m_watchedWindow->removeEventFilter(this);
        m_watchedWindow = w;
        w->installEventFilter(this);
    }
}

void RecorderView::hideEvent(QHideEvent* event)
{
    QWidget::hideEvent(event);
    m_model->stopPlayback();
}

bool RecorderView::eventFilter(QObject* watched, QEvent* event)
{
    // Closing the window ends a recording properly instead of leaving it
    // running unseen.
    if (watched == m_watchedWindow && event->type() == QEvent::Close)
        m_model->stopRecording();
    return QWidget::eventFilter(watched, event);
}
