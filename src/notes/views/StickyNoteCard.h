#pragma once

#include <QUuid>
#include <QWidget>

class ChromeButton;
class QGraphicsOpacityEffect;
class StickyStore;
class StickySymbolButton;
struct StickyNote;

// One note in the manager's grid: its text on its colour, a button that
// shows it or brings it to the front, and a delete button that always asks.
class StickyNoteCard : public QWidget {
    Q_OBJECT
public:
    static constexpr int kHeight = 140;
    static constexpr int kMaxLines = 6;

    StickyNoteCard(const QUuid& id, StickyStore& store, QWidget* parent = nullptr);

    QUuid id() const { return m_id; }
    // Redraws from the note.
    void setNote(const StickyNote& note);

    QString shownText() const { return m_text; }
    QColor color() const { return m_color; }
    qreal opacity() const;
    ChromeButton* showButton() const { return m_show; }
    StickySymbolButton* deleteButton() const { return m_delete; }

    // The delete button's action.
    void confirmDelete();

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    QUuid m_id;
    StickyStore& m_store;
    QString m_text;
    QColor m_color;
    QWidget* m_textArea = nullptr;
    ChromeButton* m_show = nullptr;
    StickySymbolButton* m_delete = nullptr;
    QGraphicsOpacityEffect* m_fade = nullptr;
};
