#pragma once

#include <QHash>
#include <QList>
#include <QUuid>
#include <QWidget>

class ChromeButton;
class QGridLayout;
class QLabel;
class QScrollArea;
class StickyColorDot;
class StickyNoteCard;
class StickyStore;

// The Sticky Notes tool window: the colour for new notes and the button
// that makes one, buttons that show or hide every note, the count line and
// a grid of cards, one per note, in list order.
class StickyManagerView : public QWidget {
    Q_OBJECT
public:
    static constexpr int kMinColumnWidth = 150;
    static constexpr int kGridSpacing = 12;
    static constexpr int kGridPadding = 4;

    // A view over `store`; the default one is over the shared store, with
    // the note windows attached.
    explicit StickyManagerView(StickyStore& store, int newColor = 0, QWidget* parent = nullptr);
    StickyManagerView(); // the shared store

    int newColor() const { return m_newColor; }
    void setNewColor(int index);

    // "3 notes • saved automatically".
    static QString countLine(qsizetype count);
    // How many card columns fit in `width` (at least one).
    static int columnsFor(int width);
    static QString emptyText();

    QLabel* countLabel() const { return m_count; }
    QLabel* emptyLabel() const { return m_empty; }
    ChromeButton* newButton() const { return m_newButton; }
    ChromeButton* showAllButton() const { return m_showAll; }
    ChromeButton* hideAllButton() const { return m_hideAll; }
    const QList<StickyColorDot*>& dots() const { return m_dots; }
    // The cards in grid order.
    QList<StickyNoteCard*> cards() const;
    int columns() const { return m_columns; }

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void rebuild();
    void layoutCards();

    StickyStore& m_store;
    int m_newColor = 0;
    int m_columns = 0;
    QList<StickyColorDot*> m_dots;
    ChromeButton* m_newButton = nullptr;
    ChromeButton* m_showAll = nullptr;
    ChromeButton* m_hideAll = nullptr;
    QLabel* m_count = nullptr;
    QLabel* m_empty = nullptr;
    QScrollArea* m_scroll = nullptr;
    QWidget* m_gridHost = nullptr;
    QGridLayout* m_grid = nullptr;
    QList<StickyNoteCard*> m_cards;
};
