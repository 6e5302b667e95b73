#pragma once

#include "core/Debouncer.h"
#include "notes/StickyNote.h"

#include <QList>
#include <QObject>
#include <QRectF>
#include <QUuid>
#include <optional>

class StickyWindowHost;

// The sticky notes of this computer and their windows. One instance lives
// for the whole process (shared()); tests make their own. Notes are kept in
// creation order and written to "stickies.json": at once for a new or
// deleted note and at quit, else half a second after the last of a burst of
// changes.
class StickyStore : public QObject {
    Q_OBJECT
    Q_PROPERTY(QList<StickyNote> notes READ notes NOTIFY notesChanged)
public:
    static constexpr double kSaveDelay = 0.5;
    static QString fileName() { return QStringLiteral("stickies.json"); }

    static StickyStore& shared();

    // Reads "stickies.json" (a file that cannot be read strictly is kept
    // aside and the list starts empty). Repeated ids are repaired; the file
    // as it was is then kept aside, the user told once, and the repaired
    // list written. Makes no window.
    explicit StickyStore(QObject* parent = nullptr);
    ~StickyStore() override;

    const QList<StickyNote>& notes() const { return m_notes; }

    // Notes repeating an earlier note's id: an exact copy of it is dropped,
    // any other gets an id of its own, so that every note keeps one window
    // and every operation finds the note it means. Returns how many were
    // dropped or given a new id.
    static int repairRepeatedIds(QList<StickyNote>& notes);
    std::optional<qsizetype> index(const QUuid& id) const;
    // The note of `id`, or nothing.
    std::optional<StickyNote> note(const QUuid& id) const;

    // The windows; without a host the store keeps notes only.
    void setWindowHost(StickyWindowHost* host) { m_host = host; }
    StickyWindowHost* windowHost() const { return m_host; }

    // Schedules a write of the notes kSaveDelay seconds from now.
    void save();
    // Writes the notes now (pending writes are dropped). True when written.
    bool saveNow();
    bool isSavePending() const { return m_saver.isPending(); }
    // At quit: writes the notes only when they changed since the last
    // successful write, so that a file this store could not read (kept
    // aside, its backup not yet restored) is not replaced by an empty list
    // nobody asked for. True when nothing is left unsaved.
    bool saveIfChanged();
    // How many times this store has written the file.
    int writeCount() const { return m_writes; }

    // Shows the window of every visible note.
    void restoreWindows();
    // Marks the note visible and brings its window to the front, making it
    // the first time.
    void show(const QUuid& id);
    // Adds a note in colour `color` below the last new one, writes the file
    // and shows it.
    QUuid newNote(qint64 color = 0, const QString& text = QString());
    void hide(const QUuid& id);
    // Removes the note and its window and writes the file (also for an id
    // no note has). Asks nothing.
    void deleteNote(const QUuid& id);
    // Stores the index unchanged; the window shows the wrapped colour.
    void setColor(const QUuid& id, qint64 color);
    void setOnTop(const QUuid& id, bool onTop);
    // Changes the text and the modification date when the text differs.
    void setText(const QUuid& id, const QString& text);
    // Stores a window frame given in stored coordinates (bottom-left origin).
    void frameChanged(const QUuid& id, const QRectF& frame);

Q_SIGNALS:
    // Any change of the list or of a note in it.
    void notesChanged();
    // A change of one note (not sent for additions and deletions).
    void noteChanged(const QUuid& id);

private:
    void changed(const QUuid& id);

    QList<StickyNote> m_notes;
    StickyWindowHost* m_host = nullptr;
    int m_writes = 0;
    bool m_unsaved = false;
    // Declared after the notes: a write still pending when the store goes
    // runs first, while the notes exist.
    Debouncer m_saver{kSaveDelay};
};
