#pragma once

#include "ui/SpellCheckingWindow.h"
#include "wordproc/WPCommands.h"
#include "wordproc/WPText.h"

#include <QList>
#include <QPointer>
#include <QStringList>
#include <functional>

class Debouncer;
class PageTextView;
class QAction;
class QTextDocumentFragment;
class QTimer;
class QVBoxLayout;
class WPDocument;
class WPFindBar;
class WPState;
class WPStatusBar;
class WPToolbar;

// The editor window of one document: the formatting bar on top, the paged
// text view in a scroll area, the status bar below. It keeps the window's
// WPState up to date and carries the editing commands the toolbar and the
// Format and Edit menus send (the menus reach it through the responder
// chain, by the slot names below).
class WPWindowController : public SpellCheckingWindow {
    Q_OBJECT
public:
    explicit WPWindowController(WPDocument* document, QWidget* parent = nullptr);
    ~WPWindowController() override;

    WPDocument* wpDocument() const;
    WPState* state() const { return m_state; }
    PageTextView* textView() const { return m_view; }
    // The find bar, made when first wanted (it starts hidden).
    WPFindBar* findBar();
    WPToolbar* toolbar() const { return m_toolbar; }

    // Every live editor window, oldest first.
    static QList<WPWindowController*> windows();
    // The names of the installed font families, sorted by code point.
    static const QStringList& families();
    // The font sizes offered by the toolbar.
    static QList<qreal> fontSizes();

    // What the shell adds to every new editor window (its menu bar); set
    // once at start.
    static void setDecorator(std::function<void(QMainWindow*)> decorator);

    // Appends rich text as a paragraph of its own at the end of the document.
    void appendParagraph(const QTextDocumentFragment& text);

    // Applies the stored "wpAutocorrect" preference to every open editor window.
    static void applyAutocorrectToAll();

    // The title: "<name> — Word Processor · Brindleworks by VEXO".
    static QString titleFor(const QString& displayName);

    // Takes the document's page setup into the view, then recounts.
    void pageSetupChanged();
    void updateSelectionState();
    void updateCounts();
    // The recount after typing, 0.3 s after the last change.
    void scheduleCounts();

    // Character commands (one undo step each, or the typing format).
    void setFamily(const QString& family);
    void setSize(qreal points);
    void toggleTrait(WPCommands::Trait trait);
    void toggleUnderline();
    void toggleStrike();
    // The colour wells: the state takes the colour; the text follows unless
    // the window itself is writing the colours (suppressColorEvents).
    void textColorPicked(const QColor& color);
    void highlightPicked(const QColor& color);
    // Paragraph commands.
    void setAlignment(Qt::Alignment alignment);
    void setLineSpacing(qreal multiple);
    void shiftIndent(qreal points);
    void applyStyle(const QString& name);
    void toggleList(WPText::ListKindValue kind);
    // Insertions.
    void insertTable(int rows, int cols);
    bool insertImageFile(const QString& path);
    // Page margins in points (top and bottom, left and right); marks the
    // document edited.
    void setMargins(qreal topBottom, qreal leftRight);
    // The document's Print… and Page Setup… (the File menu's commands, for
    // this window's document).
    void printDocument();
    void runPageLayout();
    // Flips the stored autocorrect preference for every window.
    static void toggleAutocorrectSetting();

    Q_INVOKABLE bool validateAction(const QString& name) const;

public Q_SLOTS:
    // Format menu.
    void addFontTrait(QAction* sender);
    void underline();
    void modifyFont(QAction* sender);
    void orderFrontFontPanel();
    void orderFrontColorPanel();
    void alignLeft();
    void alignCenter();
    void alignJustified();
    void alignRight();
    void toggleBullets();
    void toggleNumbers();
    void orderFrontListPanel();
    void insertTable();
    void orderFrontTablePanel();
    void insertImage();
    void editHeaderFooter();
    // Edit ▸ Find (the item's tag says what: 1 find, 12 replace, 2 next,
    // 3 previous, 7 use selection).
    void performTextFinderAction(QAction* sender);
    void showFinder(int action);
    // File ▸ Export as PDF…
    void exportPDF();

protected:
    void resizeEvent(QResizeEvent* event) override;
    void moveEvent(QMoveEvent* event) override;
    void closeEvent(QCloseEvent* event) override;
    void showEvent(QShowEvent* event) override;

private:
    void buildUI();
    void attach();
    void refreshTitle();
    void applyAutocorrect(bool on);
    void saveFrame();
    // Runs `command` on the view's cursor (nothing while read-only), puts
    // the cursor back and refreshes the state.
    void edit(const std::function<void(QTextCursor&)>& command, bool refocus = true);

    QPointer<WPDocument> m_document;
    WPState* m_state = nullptr;
    PageTextView* m_view = nullptr;
    WPFindBar* m_findBar = nullptr;
    WPStatusBar* m_statusBar = nullptr;
    QVBoxLayout* m_stack = nullptr;
    WPToolbar* m_toolbar = nullptr;
    QTimer* m_frameTimer = nullptr;
    Debouncer* m_countDebounce = nullptr;
};
