#include "notes/views/RecorderView.h"

#include "notes/RecorderListModel.h"
#include "notes/RecorderModel.h"
#include "notes/views/NoteRow.h"
#include "notes/views/NoteRowDelegate.h"
#include "notes/views/RecorderButton.h"
#include "notes/views/RecorderLevelMeter.h"
#include "notes/views/RecorderListView.h"
#include "notes/views/RecorderLook.h"
#include "ui/Alert.h"
#include "ui/ChromePanel.h"
#include "ui/Fonts.h"
#include "ui/SpellLineEdit.h"
#include "ui/SpellTextView.h"

#include <QDir>
#include <QEvent>
#include <QFileDialog>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QPainter>
#include <QListView>
#include <QMouseEvent>
#include <QShortcut>
#include <QTextCursor>
#include <QTextEdit>
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
    , m_model(new RecorderModel(this, RecorderModel::Load::background))
{
    m_model->platform().alert = [](const QString& title, const QString& text, AlertStyle style,
                                   const QStringList& buttons) { return runAlert(title, text, style, buttons); };
    m_model->platform().chooseExportPath = [this](const QString& proposed) { return chooseExportPath(this, proposed); };

    auto* column = new QVBoxLayout(this);
    column->setContentsMargins(14, 14, 14, 14);
    column->setSpacing(12);
    // The notes are read while the record panel is built; the list takes
    // them then.
    column->addWidget(buildRecordPanel());
    column->addWidget(buildList(), 1);

    auto* shortcut = new QShortcut(QKeySequence(Qt::CTRL | Qt::Key_R), this);
    shortcut->setContext(Qt::WindowShortcut);
    connect(shortcut, &QShortcut::activated, this, &RecorderView::toggleRecording);

    connect(m_model, &RecorderModel::recordingChanged, this, &RecorderView::refreshState);
    connect(m_model, &RecorderModel::elapsedChanged, this, &RecorderView::refreshState);
    connect(m_model, &RecorderModel::statusChanged, this, &RecorderView::refreshState);
    connect(m_model, &RecorderModel::levelChanged, this, [this] { m_meter->setLevel(m_model->level()); });
    // Rows change height when their note plays or is transcribed.
    connect(m_model, &RecorderModel::playingIDChanged, this, &RecorderView::relayout);
    connect(m_model, &RecorderModel::transcribingIDChanged, this, &RecorderView::relayout);
    connect(m_model, &RecorderModel::transcribingIDChanged, this, [this] {
        if (m_model->transcribingID().isNull())
            m_spinner.stop();
        else
            m_spinner.start();
    });
    m_spinner.setInterval(83);
    connect(&m_spinner, &QTimer::timeout, this, &RecorderView::spin);
    connect(m_listModel, &QAbstractItemModel::rowsInserted, this, &RecorderView::rowsMoved);
    connect(m_listModel, &QAbstractItemModel::rowsRemoved, this, &RecorderView::rowsMoved);
    connect(m_listModel, &QAbstractItemModel::modelReset, this, &RecorderView::rowsMoved);
    connect(m_listModel, &QAbstractItemModel::dataChanged, this,
            [this](const QModelIndex& from, const QModelIndex&, const QList<int>& roles) {
                // A transcript that appears or goes changes the row's
                // height; playback progress does not.
                if (roles != QList<int>{RecorderListModel::ProgressRole})
                    Q_EMIT m_delegate->sizeHintChanged(from);
            });
    refreshState();
    rowsMoved();
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
    m_listModel = new RecorderListModel(m_model, this);
    auto* card = new ListCard(this);
    auto* stack = new QGridLayout(card);
    stack->setContentsMargins(1, 6, 1, 6);
    m_list = new RecorderListView(card);
    m_list->setObjectName(QStringLiteral("recorderList"));
    m_list->setFrameShape(QFrame::NoFrame);
    m_list->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    m_list->setVerticalScrollMode(QAbstractItemView::ScrollPerPixel);
    m_list->setSelectionMode(QAbstractItemView::SingleSelection);
    m_list->setEditTriggers(QAbstractItemView::NoEditTriggers);
    m_list->setMouseTracking(false);
    m_list->setUniformItemSizes(false);
    QPalette white = m_list->palette();
    white.setColor(QPalette::Base, Qt::white);
    white.setColor(QPalette::Window, Qt::white);
    m_list->setPalette(white);
    m_delegate = new NoteRowDelegate(m_listModel, m_list);
    m_list->setItemDelegate(m_delegate);
    m_list->setModel(m_listModel);
    m_list->viewport()->installEventFilter(this);
    // A click or the arrow keys select (the list making a row current when
    // it takes the focus does not).
    connect(m_list->selectionModel(), &QItemSelectionModel::selectionChanged, this, [this] {
        const QModelIndexList chosen = m_list->selectionModel()->selectedIndexes();
        if (!chosen.isEmpty())
            select(m_listModel->note(chosen.first().row()).id);
    });
    stack->addWidget(m_list, 0, 0);
    m_empty = new QLabel(QStringLiteral("No recordings yet — press the red button to start."), card);
    RecorderLook::setTextColor(m_empty, RecorderLook::secondary());
    m_empty->setAlignment(Qt::AlignCenter);
    m_empty->setWordWrap(true);
    m_empty->setAttribute(Qt::WA_TransparentForMouseEvents);
    // Over the whole list, centred in it: the text wraps only where the
    // list is narrower than its line.
    m_empty->setContentsMargins(12, 0, 12, 0);
    stack->addWidget(m_empty, 0, 0);
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

NoteRow* RecorderView::openRow() const
{
    return qobject_cast<NoteRow*>(m_open.data());
}

NoteRow* RecorderView::row(const QUuid& id) const
{
    NoteRow* open = openRow();
    return open && !id.isNull() && open->note().id == id ? open : nullptr;
}

QRect RecorderView::rowRect(const QUuid& id) const
{
    const int r = m_listModel->rowOf(id);
    return r < 0 ? QRect() : m_list->visualRect(m_listModel->index(r));
}

void RecorderView::relayout()
{
    // Every row's height is known without drawing it; the view lays them
    // out again at the next turn of the event loop.
    Q_EMIT m_delegate->sizeHintChanged(QModelIndex());
}

void RecorderView::rowsMoved()
{
    m_empty->setVisible(m_listModel->rowCount() == 0);
    const int row = m_listModel->rowOf(m_selected);
    if (row < 0 && !m_selected.isNull()) {
        // The selected note is gone.
        m_selected = QUuid();
        m_open = nullptr;
    }
    m_delegate->setExpandedRow(row);
    if (row >= 0) {
        const QModelIndex i = m_listModel->index(row);
        // A reset closes every editor: the selected row opens again.
        if (!m_list->isPersistentEditorOpen(i)) {
            m_list->openPersistentEditor(i);
            m_open = m_list->indexWidget(i);
        }
        if (!m_list->selectionModel()->isSelected(i))
            m_list->selectionModel()->setCurrentIndex(i, QItemSelectionModel::ClearAndSelect);
    }
    relayout();
}

void RecorderView::select(const QUuid& id)
{
    if (m_selected == id)
        return;
    const int before = m_listModel->rowOf(m_selected);
    if (before >= 0)
        m_list->closePersistentEditor(m_listModel->index(before));
    m_open = nullptr;
    m_selected = id;
    const int row = m_listModel->rowOf(id);
    if (row < 0)
        m_selected = QUuid();
    m_delegate->setExpandedRow(row);
    if (row < 0) {
        m_list->selectionModel()->clearSelection();
        relayout();
        return;
    }
    const QModelIndex i = m_listModel->index(row);
    if (!m_list->selectionModel()->isSelected(i))
        m_list->selectionModel()->setCurrentIndex(i, QItemSelectionModel::ClearAndSelect);
    m_list->openPersistentEditor(i);
    m_open = m_list->indexWidget(i);
    relayout();
    // Open the row at its new height, then hand the click that selected it
    // to the field under the pointer.
    m_list->doItemsLayout();
    NoteRow* open = openRow();
    if (open)
        open->setGeometry(m_list->visualRect(i));
    if (open && m_pressedRow == row) {
        // Where the click landed within its row: the rows above may have
        // changed height (the one open before closed), so the row is no
        // longer where the pointer was.
        const QPoint inRow = m_pressedInRow;
        QWidget* hit = open->childAt(inRow);
        if (hit && (hit == open->titleField() || open->titleField()->isAncestorOf(hit))) {
            open->titleField()->setFocus(Qt::MouseFocusReason);
        } else if (hit && open->transcriptEditor()->isAncestorOf(hit)) {
            auto* editor = open->transcriptEditor();
            editor->setFocus(Qt::MouseFocusReason);
            editor->setTextCursor(editor->cursorForPosition(editor->viewport()->mapFrom(open, inRow)));
        }
    }
    m_list->scrollTo(i);
}

void RecorderView::spin()
{
    m_spinStep = (m_spinStep + 1) % 12;
    m_delegate->setSpinnerStep(m_spinStep);
    const QRect r = rowRect(m_model->transcribingID());
    if (r.isValid())
        m_list->viewport()->update(r);
}

void RecorderView::hideEvent(QHideEvent* event)
{
    // Closing the window stops playback only: a recording runs on and shows
    // again when the window is reopened; quitting stops and saves it.
    QWidget::hideEvent(event);
    m_model->stopPlayback();
}

bool RecorderView::eventFilter(QObject* watched, QEvent* event)
{
    if (watched == m_list->viewport() && event->type() == QEvent::MouseButtonPress) {
        // Kept as the row pressed and the point within it, taken before the
        // press selects that row and the list lays out again.
        const QPoint at = static_cast<QMouseEvent*>(event)->position().toPoint();
        const QModelIndex i = m_list->indexAt(at);
        m_pressedRow = i.isValid() ? i.row() : -1;
        m_pressedInRow = i.isValid() ? at - m_list->visualRect(i).topLeft() : QPoint();
        QTimer::singleShot(0, this, [this] { m_pressedRow = -1; });
    }
    return QWidget::eventFilter(watched, event);
}
