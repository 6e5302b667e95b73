#pragma once

#include <QList>
#include <QUuid>
#include <QWidget>

class SpellTextView;
class StickyColorDot;
class StickyStore;
class StickySymbolButton;

// The whole content of one note window: a header strip with the six colour
// dots and the float, new-note and delete buttons, above the note's text in
// a spell-checking editor. It keeps no state of its own: it reads the note
// from the store and changes it only through the store.
class StickyNoteView : public QWidget {
    Q_OBJECT
public:
    // The room at the header's leading end that holds the close button.
    static constexpr int kWindowButtonsWidth = 60;

    StickyNoteView(const QUuid& id, StickyStore& store, QWidget* parent = nullptr);

    QUuid id() const { return m_id; }
    // Shows another note from now on.
    void showNote(const QUuid& id);
    SpellTextView* editor() const { return m_editor; }
    QWidget* header() const { return m_header; }
    const QList<StickyColorDot*>& dots() const { return m_dots; }
    StickySymbolButton* closeButton() const { return m_close; }
    StickySymbolButton* pinButton() const { return m_pin; }
    StickySymbolButton* newButton() const { return m_new; }
    StickySymbolButton* deleteButton() const { return m_delete; }

    // The note font: "Marker Felt" at 17 where installed, else the system
    // font at 16.
    static QFont noteFont();

    // The delete button's action: asks first unless the note is empty.
    void confirmDelete();
    // The question before a note is deleted; true for "Delete".
    static bool askToDelete();

private:
    void refresh();

    QUuid m_id;
    StickyStore& m_store;
    QWidget* m_header = nullptr;
    QList<StickyColorDot*> m_dots;
    StickySymbolButton* m_close = nullptr;
    StickySymbolButton* m_pin = nullptr;
    StickySymbolButton* m_new = nullptr;
    StickySymbolButton* m_delete = nullptr;
    SpellTextView* m_editor = nullptr;
};
