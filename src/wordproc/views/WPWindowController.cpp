#include "wordproc/views/WPWindowController.h"

#include "core/Debouncer.h"
#include "core/SettingsStore.h"
#include "core/Spelling.h"
#include "ui/Alert.h"
#include "ui/Fonts.h"
#include "ui/TextChecker.h"
#include "wordproc/WPCounts.h"
#include "wordproc/WPDocument.h"
#include "wordproc/WPInsert.h"
#include "wordproc/WPLists.h"
#include "wordproc/WPPaths.h"
#include "wordproc/WPState.h"
#include "wordproc/WPWindowPlacement.h"
#include "wordproc/views/PageTextView.h"
#include "wordproc/views/WPFindBar.h"
#include "wordproc/views/WPHeaderFooterDialog.h"
#include "wordproc/views/WPOptionsDialogs.h"
#include "wordproc/views/WPOpenSavePanels.h"
#include "wordproc/views/WPPrintPanels.h"
#include "wordproc/views/WPRuler.h"
#include "wordproc/views/WPStatusBar.h"
#include "wordproc/views/WPToolbar.h"

#include <QAction>
#include <QColorDialog>
#include <QFile>
#include <QFileInfo>
#include <QFontDatabase>
#include <QFontDialog>
#include <QGuiApplication>
#include <QLabel>
#include <QScreen>
#include <QScrollArea>
#include <QTextBlock>
#include <QTextDocument>
#include <QTextDocumentFragment>
#include <QTextTable>
#include <QTimer>
#include <QVBoxLayout>

#include <algorithm>

namespace {

// The menu item's tag (the shared menus keep it in this property).
int tagOf(const QAction* item)
{
    return item ? item->property("bwTag").toInt() : 0;
}

const QString kFrameName = QStringLiteral("VEXO.WordProcessor");
constexpr int kCascade = 24;
constexpr qint64 kMaxPictureBytes = 64 * 1024 * 1024;

std::function<void(QMainWindow*)>& decorator()
{
    static std::function<void(QMainWindow*)> d;
    return d;
}

QList<WPWindowController*>& registry()
{
    static QList<WPWindowController*> list;
    return list;
}

} // namespace

WPWindowController::WPWindowController(WPDocument* document, QWidget* parent)
    : SpellCheckingWindow(parent)
    , m_document(document)
    , m_state(new WPState(Spelling::autocorrectInWordProcessor(), this))
{
    static const bool installed = [] {
        WPAutocorrect::install(&WPWindowController::applyAutocorrectToAll);
        // Documents name fonts of other systems: where one is missing, show
        // it in the face that stands for it here, whatever fontconfig would
        // pick. A substitute is tried only after the family itself, so an
        // installed family still shows as itself.
        for (const char* name : {"Helvetica Neue", "Helvetica", "Arial", "Calibri", "Verdana", "Avenir",
                                 "Avenir Next", "Lucida Grande", "Times", "Times New Roman", "Georgia",
                                 "Palatino", "Cambria", "Garamond", "Baskerville", "Courier", "Courier New",
                                 "Menlo", "Monaco", "Marker Felt", "Comic Sans MS"}) {
            const QString family = QString::fromLatin1(name);
            QFont::insertSubstitution(family, Fonts::standIn(family));
        }
        return true;
    }();
    (void)installed;

    setObjectName(QStringLiteral("wpWindow"));
    setAttribute(Qt::WA_DeleteOnClose, false);
    m_countDebounce = new Debouncer(0.3, this);
    m_frameTimer = new QTimer(this);
    m_frameTimer->setSingleShot(true);
    m_frameTimer->setInterval(300);
    connect(m_frameTimer, &QTimer::timeout, this, &WPWindowController::saveFrame);

    buildUI();
    if (decorator())
        decorator()(this);
    // 980 × 900 for the bars and the page; a menu bar comes on top.
    const int bar = menuWidget() ? menuWidget()->sizeHint().height() : 0;
    resize(980, 900 + bar);
    setMinimumSize(760, 420 + bar);

    // Below and right of the newest window, else where the last one was left.
    if (!registry().isEmpty()) {
        const WPWindowController* last = registry().constLast();
        setGeometry(last->geometry().translated(kCascade, kCascade));
    } else {
        const QString saved = SettingsStore::stringValue(kFrameName, QString());
        if (saved.isEmpty() || !restoreGeometry(QByteArray::fromBase64(saved.toLatin1()))) {
            // The first window: centred on the screen, in its units at any
            // scale factor.
            if (const QScreen* screen = QGuiApplication::primaryScreen())
                move(WPWindowPlacement::firstFrame(size(), screen->availableGeometry(), QSize(0, 32)).topLeft());
        }
    }
    registry().append(this);

    if (m_document)
        attach();
    // Spelling and grammar as you type (on the document's text, so only
    // once the view shows it); automatic changes as the preference says.
    TextChecker::attach(m_view);
    applyAutocorrect(Spelling::autocorrectInWordProcessor());
}

WPWindowController::~WPWindowController()
{
    registry().removeAll(this);
    // The document may outlive its window: nothing of it reaches back here.
    if (m_document) {
        m_document->storage()->disconnect(this);
        m_document->disconnect(this);
    }
    delete m_countDebounce;
    m_countDebounce = nullptr;
}

void WPWindowController::setDecorator(std::function<void(QMainWindow*)> d)
{
    decorator() = std::move(d);
}

WPDocument* WPWindowController::wpDocument() const
{
    return m_document;
}

QList<WPWindowController*> WPWindowController::windows()
{
    return registry();
}

const QStringList& WPWindowController::families()
{
    static const QStringList sorted = [] {
        QStringList names;
        for (const QString& family : QFontDatabase::families())
            names.append(WPCommands::familyName(family));
        names.removeDuplicates();
        std::sort(names.begin(), names.end());
        return names;
    }();
    return sorted;
}

QList<qreal> WPWindowController::fontSizes()
{
    return {8, 9, 10, 11, 12, 14, 16, 18, 20, 24, 28, 32, 36, 48, 60, 72};
}

QString WPWindowController::titleFor(const QString& displayName)
{
    return displayName + QStringLiteral(" \u2014 Word Processor \u00B7 Brindleworks by VEXO");
}

void WPWindowController::buildUI()
{
    auto* central = new QWidget(this);
    m_stack = new QVBoxLayout(central);
    m_stack->setContentsMargins(0, 0, 0, 0);
    m_stack->setSpacing(0);

    m_view = new PageTextView(central);
    m_view->setObjectName(QStringLiteral("pageTextView"));
    m_view->scrollArea()->setObjectName(QStringLiteral("pageScroll"));
    m_statusBar = new WPStatusBar(m_state, central);

    m_toolbar = new WPToolbar(this, m_state, fontSizes(), central);
    m_stack->addWidget(m_toolbar);
    auto* ruler = new WPRuler(m_view, central);
    ruler->setIndentHandler([this](qreal head, qreal firstLine) {
        edit([&](QTextCursor& c) { WPCommands::setIndents(c, head, firstLine); });
    });
    m_stack->addWidget(ruler);
    m_stack->addWidget(m_view->scrollArea(), 1);
    m_stack->addWidget(m_statusBar);
    setCentralWidget(central);

    connect(m_view, &PageTextView::laidOut, this, &WPWindowController::updateCounts);
    connect(m_view, &QTextEdit::selectionChanged, this, &WPWindowController::updateSelectionState);
    connect(m_view, &QTextEdit::cursorPositionChanged, this, &WPWindowController::updateSelectionState);
}

void WPWindowController::attach()
{
    QTextDocument* storage = m_document->storage();
    // Text that names no font shows in the default font, as the toolbar says.
    storage->setDefaultFont(WPCommands::defaultFont());
    // Laid out once, at the width of the document's own page.
    m_view->setPageSetup(m_document->pageSetup());
    m_view->setStorage(storage);
    // A fresh caret at the start reads its format from the text there; the
    // view would otherwise keep the typing format it had before the text.
    m_view->setTextCursor(QTextCursor(storage));
    if (storage->isEmpty()) {
        QTextCharFormat typing;
        WPCommands::putFont(typing, WPCommands::defaultFont());
        typing.setForeground(QColor(Qt::black));
        QTextCursor c = m_view->textCursor();
        c.setCharFormat(typing);
        m_view->setTextCursor(c);
    }
    connect(storage, &QTextDocument::contentsChanged, this, &WPWindowController::scheduleCounts);
    connect(storage, &QTextDocument::modificationChanged, this, &QWidget::setWindowModified);
    connect(m_document, &WPDocument::pageSetupChanged, this, &WPWindowController::pageSetupChanged);
    connect(m_document, &WPDocument::filePathChanged, this, &WPWindowController::refreshTitle);
    connect(m_document, &QObject::destroyed, this, [this] { m_document = nullptr; });
    if (const QString notice = m_document->notKeptNotice(); !notice.isEmpty()) {
        // Named once, above the text, so that nothing leaves unannounced.
        auto* bar = new QLabel(notice, centralWidget());
        bar->setObjectName(QStringLiteral("notKeptBar"));
        bar->setWordWrap(true);
        bar->setContentsMargins(10, 6, 10, 6);
        bar->setStyleSheet(QStringLiteral("background: #FFF4C2; color: #3A3000; border-bottom: 1px solid #E0C96A;"));
        m_stack->insertWidget(1, bar);
    }
    refreshTitle();
    setWindowModified(storage->isModified());
    pageSetupChanged();
    updateSelectionState();
    m_view->setFocus(Qt::OtherFocusReason);
}

void WPWindowController::refreshTitle()
{
    const QString name = m_document ? m_document->displayName() : QStringLiteral("Document");
    // "[*]" is where Qt shows the edited mark.
    setWindowTitle(titleFor(name + QStringLiteral("[*]")));
}

void WPWindowController::pageSetupChanged()
{
    if (m_document)
        m_view->setPageSetup(m_document->pageSetup());
    updateCounts();
}

void WPWindowController::updateSelectionState()
{
    const QTextCursor c = m_view->textCursor();
    const QTextBlock block = m_view->document()->findBlock(c.selectionStart());
    m_state->readSelection(WPCommands::currentAttributes(c), block.blockFormat());
}

void WPWindowController::scheduleCounts()
{
    if (!m_countDebounce)
        return;
    QPointer<WPWindowController> self(this);
    m_countDebounce->call([self] {
        if (self)
            self->updateCounts();
    });
}

void WPWindowController::updateCounts()
{
    const WPCounts::Totals totals = WPCounts::count(*m_view->document());
    m_view->relayout();
    // A long document is still being laid out: its pages are counted when
    // it is (laidOut()).
    m_state->setCounts(totals.words, totals.characters,
                       m_view->isLaidOut() ? int(m_view->pageStarts().size()) : -1);
}

void WPWindowController::appendParagraph(const QTextDocumentFragment& text)
{
    QTextDocument* storage = m_view->document();
    if (!storage)
        return;
    WPInsert::appendParagraph(storage, text);
    QTextCursor end(storage);
    end.movePosition(QTextCursor::End);
    m_view->setTextCursor(end);
    m_view->setFocus(Qt::OtherFocusReason);
}

void WPWindowController::applyAutocorrect(bool on)
{
    if (TextChecker* checker = TextChecker::of(m_view)) {
        TextCheckingSwitches s = checker->switches();
        s.continuousSpellChecking = true;
        s.grammarChecking = true;
        s.automaticSpellingCorrection = on;
        s.automaticTextReplacement = on;
        s.automaticQuoteSubstitution = on;
        s.automaticDashSubstitution = false;
        checker->setSwitches(s);
    }
    m_view->setSmartQuotes(on);
    m_state->setAutocorrect(on);
}

void WPWindowController::applyAutocorrectToAll()
{
    const bool on = Spelling::autocorrectInWordProcessor();
    for (WPWindowController* w : registry())
        w->applyAutocorrect(on);
}

void WPWindowController::toggleAutocorrectSetting()
{
    SettingsStore::settings().setValue(Spelling::autocorrectKey, !Spelling::autocorrectInWordProcessor());
    SettingsStore::settings().sync();
    applyAutocorrectToAll();
}

// --- commands -------------------------------------------------------------

void WPWindowController::edit(const std::function<void(QTextCursor&)>& command, bool refocus)
{
    if (m_view->isReadOnly())
        return;
    QTextCursor c = m_view->textCursor();
    command(c);
    m_view->setTextCursor(c);
    updateSelectionState();
    if (refocus)
        m_view->setFocus(Qt::OtherFocusReason);
}

void WPWindowController::setFamily(const QString& family)
{
    edit([&](QTextCursor& c) { WPCommands::setFamily(c, family); });
}

void WPWindowController::setSize(qreal points)
{
    edit([&](QTextCursor& c) { WPCommands::setSize(c, points); });
}

void WPWindowController::toggleTrait(WPCommands::Trait trait)
{
    edit([&](QTextCursor& c) { WPCommands::toggleTrait(c, trait); });
}

void WPWindowController::toggleUnderline()
{
    const bool on = m_state->underline();
    edit([&](QTextCursor& c) { WPCommands::toggleUnderline(c, on); });
}

void WPWindowController::toggleStrike()
{
    const bool on = m_state->strike();
    edit([&](QTextCursor& c) { WPCommands::toggleStrike(c, on); });
}

void WPWindowController::textColorPicked(const QColor& color)
{
    m_state->setColor(color);
    if (m_state->suppressColorEvents)
        return;
    edit([&](QTextCursor& c) { WPCommands::setForeground(c, color); }, false);
}

void WPWindowController::highlightPicked(const QColor& color)
{
    m_state->setHighlight(color);
    if (m_state->suppressColorEvents)
        return;
    const std::optional<QColor> value = color.alphaF() >= 0.05f ? std::optional<QColor>(color) : std::nullopt;
    edit([&](QTextCursor& c) { WPCommands::setHighlight(c, value); }, false);
}

void WPWindowController::setAlignment(Qt::Alignment alignment)
{
    edit([&](QTextCursor& c) { WPCommands::setAlignment(c, alignment); });
}

void WPWindowController::setLineSpacing(qreal multiple)
{
    edit([&](QTextCursor& c) { WPCommands::setLineSpacing(c, multiple); });
}

void WPWindowController::shiftIndent(qreal points)
{
    edit([&](QTextCursor& c) { WPCommands::shiftIndent(c, points); });
}

void WPWindowController::applyStyle(const QString& name)
{
    edit([&](QTextCursor& c) { WPCommands::applyStyle(c, name); });
}

void WPWindowController::toggleList(WPText::ListKindValue kind)
{
    edit([&](QTextCursor& c) { WPLists::toggleList(c, kind); });
}

void WPWindowController::insertTable(int rows, int cols)
{
    edit([&](QTextCursor& c) { WPInsert::insertTable(c, rows, cols); });
}

bool WPWindowController::insertImageFile(const QString& path)
{
    QFile file(path);
    if (m_view->isReadOnly() || !WPPaths::isPlainFile(path) || file.size() > kMaxPictureBytes
        || !file.open(QIODevice::ReadOnly))
        return false;
    const QByteArray bytes = file.readAll();
    bool ok = false;
    const qreal width = m_view->pageSetup().textWidth();
    edit([&](QTextCursor& c) { ok = WPInsert::insertPicture(c, bytes, QFileInfo(path).fileName(), width); });
    return ok;
}

void WPWindowController::setMargins(qreal topBottom, qreal leftRight)
{
    if (!m_document)
        return;
    WPPageSetup setup = m_document->pageSetup();
    setup.topMargin = setup.bottomMargin = topBottom;
    setup.leftMargin = setup.rightMargin = leftRight;
    m_document->setPageSetup(setup);
    m_document->storage()->setModified(true);
}

// --- menu actions ----------------------------------------------------------

bool WPWindowController::validateAction(const QString& name) const
{
    const bool editable = !m_view->isReadOnly();
    if (name == QLatin1String("editHeaderFooter") || name == QLatin1String("exportPDF"))
        return m_document != nullptr;
    if (name == QLatin1String("performTextFinderAction"))
        return true;
    return editable;
}

void WPWindowController::addFontTrait(QAction* sender)
{
    const int tag = tagOf(sender);
    toggleTrait(tag == 1 ? WPCommands::Trait::Italic : WPCommands::Trait::Bold);
}

void WPWindowController::underline()
{
    toggleUnderline();
}

void WPWindowController::modifyFont(QAction* sender)
{
    const int tag = tagOf(sender);
    edit([&](QTextCursor& c) { WPCommands::stepSize(c, tag == 4 ? -1 : 1); });
}

void WPWindowController::orderFrontFontPanel()
{
    bool ok = false;
    QFont current = WPCommands::fontOf(WPCommands::currentAttributes(m_view->textCursor()));
    const QFont chosen = QFontDialog::getFont(&ok, current, this, QStringLiteral("Fonts"));
    if (!ok)
        return;
    edit([&](QTextCursor& c) {
        WPCommands::changeFont(c, WPCommands::selectionRanges(c), [&](QFont f) {
            f.setFamilies({chosen.family()});
            f.setPointSizeF(WPCommands::pointSize(chosen));
            f.setWeight(chosen.weight());
            f.setItalic(chosen.italic());
            return f;
        });
    });
}

void WPWindowController::orderFrontColorPanel()
{
    const QColor chosen = QColorDialog::getColor(m_state->color(), this, QStringLiteral("Colors"),
                                                 QColorDialog::ShowAlphaChannel);
    if (chosen.isValid())
        textColorPicked(chosen);
}

void WPWindowController::alignLeft()
{
    setAlignment(Qt::AlignLeft);
}

void WPWindowController::alignCenter()
{
    setAlignment(Qt::AlignHCenter);
}

void WPWindowController::alignJustified()
{
    setAlignment(Qt::AlignJustify);
}

void WPWindowController::alignRight()
{
    setAlignment(Qt::AlignRight);
}

void WPWindowController::toggleBullets()
{
    toggleList(WPText::ListBullet);
}

void WPWindowController::toggleNumbers()
{
    toggleList(WPText::ListNumber);
}

void WPWindowController::orderFrontListPanel()
{
    const QTextBlock block = m_view->document()->findBlock(m_view->textCursor().selectionStart());
    const WPText::ListKindValue current = WPLists::kindOf(block.blockFormat());
    auto* dialog = new WPListOptionsDialog(current, this);
    dialog->setAttribute(Qt::WA_DeleteOnClose);
    connect(dialog, &QDialog::accepted, this, [this, dialog, current] {
        const WPText::ListKindValue chosen = dialog->chosen();
        if (chosen == current)
            return;
        // Toggling the present kind takes the list away.
        toggleList(chosen == WPText::ListNone ? current : chosen);
    });
    dialog->open();
}

void WPWindowController::insertTable()
{
    insertTable(3, 3);
}

void WPWindowController::orderFrontTablePanel()
{
    if (m_view->isReadOnly())
        return;
    QTextTable* table = m_view->textCursor().currentTable();
    const bool borders = table && table->format().border() > 0;
    auto* dialog = new WPTableOptionsDialog(
        table != nullptr, borders,
        [this](const std::function<bool(QTextCursor&)>& change) { edit([&](QTextCursor& c) { change(c); }, false); },
        [this](int rows, int cols) {
            // The caret goes into the new table's first cell, so the panel's
            // other controls work on it.
            edit(
                [&](QTextCursor& c) {
                    if (QTextTable* added = WPInsert::insertTable(c, rows, cols))
                        c = added->cellAt(0, 0).firstCursorPosition();
                },
                false);
            return m_view->textCursor().currentTable() != nullptr;
        },
        this);
    dialog->setAttribute(Qt::WA_DeleteOnClose);
    dialog->open();
}

void WPWindowController::insertImage()
{
    QPointer<WPWindowController> self(this);
    const QString path = WPOpenSavePanels::chooseImage(this);
    if (self && !path.isEmpty())
        insertImageFile(path);
}

void WPWindowController::editHeaderFooter()
{
    if (!m_document)
        return;
    auto* dialog = new WPHeaderFooterDialog(m_document->headerText(), m_document->footerText(), this);
    dialog->setAttribute(Qt::WA_DeleteOnClose);
    dialog->setWindowModality(Qt::WindowModal);
    connect(dialog, &QDialog::accepted, this, [this, dialog] {
        if (!m_document)
            return;
        m_document->setHeaderFooter(dialog->header(), dialog->footer());
        m_document->storage()->setModified(true);
    });
    dialog->open();
}

void WPWindowController::performTextFinderAction(QAction* sender)
{
    showFinder(sender ? tagOf(sender) : 1);
}

WPFindBar* WPWindowController::findBar()
{
    if (!m_findBar) {
        m_findBar = new WPFindBar(m_view, centralWidget());
        // Under the toolbar, above the ruler.
        m_stack->insertWidget(1, m_findBar);
    }
    return m_findBar;
}

void WPWindowController::showFinder(int action)
{
    switch (action) {
    case 12:
        findBar()->showFind(true);
        break;
    case 2:
        findBar()->findNext();
        break;
    case 3:
        findBar()->findPrevious();
        break;
    case 7:
        findBar()->useSelection();
        break;
    default:
        findBar()->showFind(findBar()->replaceShown());
        break;
    }
}

void WPWindowController::exportPDF()
{
    WPPrintPanels::exportPDF(m_document, this);
}

void WPWindowController::printDocument()
{
    WPPrintPanels::print(m_document, this);
}

void WPWindowController::runPageLayout()
{
    WPPrintPanels::runPageLayout(m_document, this);
}

// --- window ----------------------------------------------------------------

void WPWindowController::showEvent(QShowEvent* event)
{
    SpellCheckingWindow::showEvent(event);
    m_view->relayout();
}

void WPWindowController::resizeEvent(QResizeEvent* event)
{
    SpellCheckingWindow::resizeEvent(event);
    m_view->relayout();
    if (isVisible())
        m_frameTimer->start();
}

void WPWindowController::moveEvent(QMoveEvent* event)
{
    SpellCheckingWindow::moveEvent(event);
    if (isVisible())
        m_frameTimer->start();
}

void WPWindowController::closeEvent(QCloseEvent* event)
{
    saveFrame();
    SpellCheckingWindow::closeEvent(event);
}

void WPWindowController::saveFrame()
{
    m_frameTimer->stop();
    SettingsStore::settings().setValue(kFrameName, QString::fromLatin1(saveGeometry().toBase64()));
}
