#pragma once

#include "wordproc/WPPageSetup.h"
#include "wordproc/WPPages.h"

#include <QElapsedTimer>
#include <QTextEdit>

#include <functional>

class QScrollArea;
class QTimer;
class PageDesk;

// The editing view of the word processor: the text of the page's printable
// width, laid out continuously in points converted to pixels, on a white
// sheet of the paper's width (drawn by the PageDesk behind it) with a
// dashed mark and a "Page n" label where each printed page ends. The view
// sits on the desk inside a scroll area; relayout() places sheet and text
// for the scroll area's width and the page setup.
class PageTextView : public QTextEdit {
    Q_OBJECT
    Q_PROPERTY(bool laidOut READ isLaidOut)
public:
    // Grey space above the sheet and, at least, beside it, in points, and
    // in the desk's pixels.
    static constexpr int gap = 28;
    static qreal gapPixels();

    explicit PageTextView(QWidget* parent = nullptr);

    // The desk (the scroll area's widget, also the view's parent) and the
    // scroll area; made by the view.
    PageDesk* desk() const { return m_desk; }
    QScrollArea* scrollArea() const { return m_scroll; }

    // Shows and edits `document` (the document keeps it).
    void setStorage(QTextDocument* document);

    WPPageSetup pageSetup() const { return m_setup; }
    void setPageSetup(const WPPageSetup& setup);
    qreal sideSpace() const { return m_sideSpace; }

    // Places desk, sheet and text for the scroll area's width and the page
    // setup: the sheet centred when there is room, else 28 from the left.
    void relayout();

    // Sheet geometry on the desk, in pixels.
    QRectF sheetRect() const;
    // Where the text's first line starts on the desk.
    QPointF textOrigin() const;
    // Height of the laid-out text in points; while a long document is
    // still being laid out, an estimate from the part that is.
    qreal usedHeightPoints() const;
    // Whether the whole text is laid out (a long document just opened is
    // laid out in slices after its first page is shown).
    bool isLaidOut() const;
    // Where each page begins in the text, in the document's coordinates,
    // as print cuts the same text into pages (the first is the top of the
    // text). While a long text is still being laid out, the pages of the
    // rest are estimated a page height apart.
    QList<qreal> pageStarts() const;

    // Automatic quote substitution while typing.
    void setSmartQuotes(bool on) { m_smartQuotes = on; }
    bool smartQuotes() const { return m_smartQuotes; }
    // Web addresses become links as they are typed (on by default).
    void setLinkDetection(bool on) { m_detectLinks = on; }

    // Scrolls the scroll area so the caret shows.
    void revealCursor();

public Q_SLOTS:
    // Cut with smart delete: whole words take one space next to them along.
    // (Hides QTextEdit::cut for the menus, which call it by name.)
    void cut();

Q_SIGNALS:
    // A picture could not be read from what was pasted or dropped.
    void pictureRejected();
    // The whole text is laid out: its height and page count are known.
    void laidOut();

protected:
    bool canInsertFromMimeData(const QMimeData* source) const override;
    void insertFromMimeData(const QMimeData* source) override;
    void keyPressEvent(QKeyEvent* event) override;
    void focusInEvent(QFocusEvent* event) override;
    void focusOutEvent(QFocusEvent* event) override;
    void paintEvent(QPaintEvent* event) override;
    void wheelEvent(QWheelEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    // Whether the caret is a bare bar (no selection, no right-to-left text
    // in its paragraph), which focus changes then redraw alone.
    bool plainCaret() const;
    void changeFocus(const std::function<void()>& handle);
    bool insertPictures(const QMimeData* source);
    qreal textHeight() const;
    int wrapWidth(const QTextDocument* document) const;
    void redrawUnderlines(int position, int length);
    void startLayout();
    void layoutSlice();
    // Finds the pages again and redraws the marks that moved.
    void refreshPages();
    // An edit: its pages and the lines beside its pictures are found again.
    void onContentsChange(int from, int removed, int added);
    void noteEdit(int from, int removed, int added);

    PageDesk* m_desk;
    QScrollArea* m_scroll;
    const QObject* m_viewport = nullptr; // compared only
    WPPageSetup m_setup;
    qreal m_sideSpace = 0;
    bool m_smartQuotes = false;
    bool m_detectLinks = true;
    bool m_placing = false;
    // When and at which revision of the text the last key was typed.
    QElapsedTimer m_typingClock;
    int m_typedRevision = -1;
    const QObject* m_layout = nullptr; // the document's layout, compared only
    QTimer* m_layoutTimer;
    bool m_layingOut = false;          // the text is being laid out in slices
    qreal m_laidBottom = 0;            // of the part laid out so far
    int m_laidTo = 0;                  // where the part laid out so far ends
    int m_layoutRestarts = 0;
    QList<WPPages::Page> m_pages;      // as last found
    QTimer* m_pagesTimer;              // finds them after an edit
    bool m_pagesStale = true;          // to be found again from the top
    struct Edit {
        int from;
        int removed;
        int added;
    };
    Edit m_edit{0, 0, 0};              // the edit since they were found,
    int m_edits = 0;                   // if only one

    // What the desk was last drawn for.
    qreal m_placedSide = -1;
    WPPageSetup m_placedSetup;
};
