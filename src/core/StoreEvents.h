#pragma once

#include <QList>
#include <QObject>
#include <QString>

// What the store could not do, kept until it is put right, so that the shell
// can tell the user without the store knowing about windows. One entry per
// owner (a tool, or the preferences); a later success of the same owner
// clears its entry.
class StoreEvents : public QObject {
    Q_OBJECT
public:
    struct Problem {
        enum class Kind {
            saveFailed, // the file could not be written; the state is still in memory
            keptAside,  // the file could not be read; a copy of it was kept (copy empty: none could be)
            readOnly,   // another copy of the program owns the data folder
            keptElsewhere, // changes that could not be saved when the program ended were kept in `copy`
        };
        Kind kind = Kind::saveFailed;
        QString owner;  // "Scientific Calculator", "Preferences", or the file name
        QString file;   // full path of the state file (readOnly: of the data folder)
        QString reason; // why, in words for the user
        QString copy;   // keptAside: full path of the kept copy; readOnly: the lock file
        friend bool operator==(const Problem&, const Problem&) = default;
    };

    static StoreEvents& shared();

    // The title of the tool that keeps the state file `name` ("games.json"
    // → "Games"); the file name itself when no tool claims it.
    static QString ownerOf(const QString& name);

    // The user-facing sentence for a problem.
    static QString describe(const Problem& problem);

    // A save of `name` (a file of the data folder) failed or succeeded.
    void reportSaveFailed(const QString& name, const QString& file, const QString& reason);
    void reportSaved(const QString& name);
    // The same by owner: its failed save is put right.
    void clearSaveFailure(const QString& owner);
    // Reports for a file outside the data folder (the preferences).
    void reportProblem(const Problem& problem);
    void clear(const QString& owner);

    // The problems not yet put right, oldest first.
    QList<Problem> problems() const { return m_problems; }

Q_SIGNALS:
    // A new owner has a problem (sent once until that owner's problem clears).
    void problemAdded(const StoreEvents::Problem& problem);
    // The owner's problem was put right.
    void problemCleared(const QString& owner);

private:
    StoreEvents() = default;
    QList<Problem> m_problems;
};
