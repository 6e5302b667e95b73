#include "wordproc/views/WPFindBar.h"

#include "ui/ChromeButton.h"
#include "ui/Fonts.h"
#include "wordproc/WPFind.h"

#include <QCheckBox>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QTextEdit>

namespace {
// More marks than this are not drawn (the count still says how many).
constexpr int kMaxMarks = 2000;
} // namespace

WPFindBar::WPFindBar(QTextEdit* editor, QWidget* parent)
    : QWidget(parent)
    , m_editor(editor)
    , m_find(new QLineEdit(this))
    , m_replace(new QLineEdit(this))
    , m_matchCase(new QCheckBox(QStringLiteral("Match case"), this))
    , m_count(new QLabel(this))
    , m_replaceRow(new QWidget(this))
{
    setObjectName(QStringLiteral("wpFindBar"));
    setAutoFillBackground(true);
    auto* column = new QVBoxLayout(this);
    column->setContentsMargins(12, 4, 12, 4);
    column->setSpacing(4);

    auto* findRow = new QHBoxLayout;
    findRow->setSpacing(6);
    m_find->setPlaceholderText(QStringLiteral("Find"));
    m_find->setClearButtonEnabled(true);
    m_find->setObjectName(QStringLiteral("findField"));
    auto* previous = new ChromeButton(QString(), false, true, this);
    previous->setSymbol(QStringLiteral("chevron.left"), 11);
    previous->setToolTip(QStringLiteral("Previous"));
    auto* next = new ChromeButton(QString(), false, true, this);
    next->setSymbol(QStringLiteral("chevron.right"), 11);
    next->setToolTip(QStringLiteral("Next"));
    auto* done = new ChromeButton(QStringLiteral("Done"), false, true, this);
    m_count->setFont(Fonts::system(11));
    m_count->setMinimumWidth(80);
    findRow->addWidget(m_find, 1);
    findRow->addWidget(m_count);
    findRow->addWidget(m_matchCase);
    findRow->addWidget(previous);
    findRow->addWidget(next);
    findRow->addWidget(done);
    column->addLayout(findRow);

    auto* replaceRow = new QHBoxLayout(m_replaceRow);
    replaceRow->setContentsMargins(0, 0, 0, 0);
    replaceRow->setSpacing(6);
    m_replace->setPlaceholderText(QStringLiteral("Replace"));
    m_replace->setObjectName(QStringLiteral("replaceField"));
    auto* replace = new ChromeButton(QStringLiteral("Replace"), false, true, m_replaceRow);
    auto* all = new ChromeButton(QStringLiteral("All"), false, true, m_replaceRow);
    replaceRow->addWidget(m_replace, 1);
    replaceRow->addWidget(replace);
    replaceRow->addWidget(all);
    column->addWidget(m_replaceRow);

    connect(m_find, &QLineEdit::textChanged, this, &WPFindBar::search);
    connect(m_find, &QLineEdit::returnPressed, this, &WPFindBar::findNext);
    connect(m_matchCase, &QCheckBox::toggled, this, &WPFindBar::search);
    connect(previous, &QPushButton::clicked, this, &WPFindBar::findPrevious);
    connect(next, &QPushButton::clicked, this, &WPFindBar::findNext);
    connect(done, &QPushButton::clicked, this, &WPFindBar::close);
    connect(replace, &QPushButton::clicked, this, &WPFindBar::replaceOne);
    connect(all, &QPushButton::clicked, this, [this] { replaceAll(); });
    // Marks follow edits a moment after typing pauses.
    m_remark.setSingleShot(true);
    m_remark.setInterval(150);
    connect(&m_remark, &QTimer::timeout, this, [this] {
        if (isVisible())
            mark();
    });
    connect(m_editor, &QTextEdit::textChanged, this, [this] {
        if (isVisible())
            m_remark.start();
    });
    hide();
}

bool WPFindBar::replaceShown() const
{
    return isVisible() && m_replaceRow->isVisibleTo(this);
}

void WPFindBar::showFind(bool replace)
{
    m_replaceRow->setVisible(replace);
    show();
    m_find->setFocus(Qt::ShortcutFocusReason);
    m_find->selectAll();
    mark();
}

void WPFindBar::close()
{
    m_editor->setExtraSelections({});
    hide();
    m_editor->setFocus(Qt::OtherFocusReason);
}

void WPFindBar::keyPressEvent(QKeyEvent* event)
{
    if (event->key() == Qt::Key_Escape) {
        close();
        return;
    }
    QWidget::keyPressEvent(event);
}

void WPFindBar::search()
{
    // Incremental: the first match from the start of the selection on.
    QTextCursor from = m_editor->textCursor();
    from.setPosition(from.selectionStart());
    const QTextDocument::FindFlags flags = m_matchCase->isChecked() ? QTextDocument::FindCaseSensitively
                                                                    : QTextDocument::FindFlags();
    const QTextCursor hit = WPFind::findNext(*m_editor->document(), m_find->text(), from, flags);
    if (!hit.isNull())
        m_editor->setTextCursor(hit);
    mark();
}

void WPFindBar::mark()
{
    const QTextDocument::FindFlags flags = m_matchCase->isChecked() ? QTextDocument::FindCaseSensitively
                                                                    : QTextDocument::FindFlags();
    const WPCommands::Ranges found = WPFind::findAll(*m_editor->document(), m_find->text(), flags);
    m_matches = int(found.size());
    QList<QTextEdit::ExtraSelection> marks;
    QTextCharFormat look;
    look.setBackground(QColor(255, 230, 90));
    for (const WPCommands::Range& r : found) {
        if (marks.size() >= kMaxMarks)
            break;
        QTextCursor c(m_editor->document());
        c.setPosition(r.start);
        c.setPosition(r.end, QTextCursor::KeepAnchor);
        marks.append({c, look});
    }
    m_editor->setExtraSelections(marks);
    if (m_find->text().isEmpty())
        m_count->clear();
    else if (m_matches == 0)
        m_count->setText(QStringLiteral("Not found"));
    else
        m_count->setText(m_matches == 1 ? QStringLiteral("1 match") : QStringLiteral("%1 matches").arg(m_matches));
}

void WPFindBar::step(bool backward)
{
    if (m_find->text().isEmpty()) {
        showFind(replaceShown());
        return;
    }
    QTextDocument::FindFlags flags = m_matchCase->isChecked() ? QTextDocument::FindCaseSensitively
                                                              : QTextDocument::FindFlags();
    if (backward)
        flags |= QTextDocument::FindBackward;
    const QTextCursor hit = WPFind::findNext(*m_editor->document(), m_find->text(), m_editor->textCursor(), flags);
    if (!hit.isNull())
        m_editor->setTextCursor(hit);
}

void WPFindBar::findNext()
{
    step(false);
}

void WPFindBar::findPrevious()
{
    step(true);
}

void WPFindBar::useSelection()
{
    const QString selected = m_editor->textCursor().selectedText();
    if (selected.isEmpty())
        return;
    const QSignalBlocker quiet(m_find);
    m_find->setText(selected.section(QChar::ParagraphSeparator, 0, 0));
    mark();
}

void WPFindBar::replaceOne()
{
    if (m_editor->isReadOnly() || m_find->text().isEmpty())
        return;
    QTextCursor c = m_editor->textCursor();
    const Qt::CaseSensitivity cs = m_matchCase->isChecked() ? Qt::CaseSensitive : Qt::CaseInsensitive;
    if (c.hasSelection() && c.selectedText().compare(m_find->text(), cs) == 0) {
        c.insertText(m_replace->text(),
                     WPCommands::withoutPicture(WPCommands::formatAt(m_editor->document(), c.selectionStart())));
        m_editor->setTextCursor(c);
    }
    findNext();
}

int WPFindBar::replaceAll()
{
    if (m_editor->isReadOnly())
        return 0;
    const QTextDocument::FindFlags flags = m_matchCase->isChecked() ? QTextDocument::FindCaseSensitively
                                                                    : QTextDocument::FindFlags();
    const int n = WPFind::replaceAll(m_editor->document(), m_find->text(), m_replace->text(), flags);
    mark();
    return n;
}
