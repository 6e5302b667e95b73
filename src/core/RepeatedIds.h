#pragma once

#include <QHash>
#include <QList>
#include <QString>
#include <QUuid>

// Lists read from a state file are keyed by their records' ids; a file
// edited by hand or merged by a sync tool may repeat one. A record that
// repeats an earlier one in every field is dropped; one that only shares
// the id gets a fresh one, so nothing it holds is lost.
namespace RepeatedIds {

struct Outcome {
    qsizetype dropped = 0;
    qsizetype renumbered = 0;
    bool any() const { return dropped + renumbered > 0; }
    Outcome& operator+=(const Outcome& o)
    {
        dropped += o.dropped;
        renumbered += o.renumbered;
        return *this;
    }
};

template <class T>
Outcome repair(QList<T>& list)
{
    Outcome out;
    QList<T> kept;
    kept.reserve(list.size());
    QHash<QUuid, qsizetype> seen; // id -> position in kept
    seen.reserve(list.size());
    for (const T& record : std::as_const(list)) {
        const auto at = seen.constFind(record.id);
        if (at == seen.cend()) {
            seen.insert(record.id, kept.size());
            kept.append(record);
            continue;
        }
        if (kept.at(*at) == record) {
            ++out.dropped;
            continue;
        }
        T renamed = record;
        do
            renamed.id = QUuid::createUuid();
        while (seen.contains(renamed.id));
        seen.insert(renamed.id, kept.size());
        kept.append(renamed);
        ++out.renumbered;
    }
    if (out.any())
        list = std::move(kept);
    return out;
}

// The words for the user: "2 entries repeated an earlier one and were left
// out; 1 shared another's id and was given a new one".
QString describe(const Outcome& outcome);

// Tells the user once for this reading of `fileName` (a state file of the
// data folder): a copy of the file as it was is kept aside, and the problem
// goes to the store's notices. Nothing when the outcome is empty.
void report(const QString& fileName, const Outcome& outcome);

} // namespace RepeatedIds
