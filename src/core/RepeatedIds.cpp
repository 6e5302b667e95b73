#include "core/RepeatedIds.h"

#include "core/Store.h"
#include "core/StoreEvents.h"

#include <QStringList>

namespace RepeatedIds {

QString describe(const Outcome& outcome)
{
    QStringList parts;
    if (outcome.dropped == 1)
        parts.append(QStringLiteral("1 entry repeated an earlier one and was left out"));
    else if (outcome.dropped > 1)
        parts.append(QStringLiteral("%1 entries repeated an earlier one and were left out").arg(outcome.dropped));
    if (outcome.renumbered == 1)
        parts.append(QStringLiteral("1 entry shared another's id and was given a new one"));
    else if (outcome.renumbered > 1)
        parts.append(QStringLiteral("%1 entries shared another's id and were given new ones").arg(outcome.renumbered));
    return parts.join(QStringLiteral("; "));
}

void report(const QString& fileName, const Outcome& outcome)
{
    if (!outcome.any())
        return;
    // The file stays as it is until the next change is saved; the copy
    // keeps its exact bytes beyond that.
    const QString copy = Store::keepCopyOf(Store::path(fileName));
    StoreEvents::shared().reportProblem({StoreEvents::Problem::Kind::keptAside, StoreEvents::ownerOf(fileName),
                                         Store::path(fileName), describe(outcome), copy});
}

} // namespace RepeatedIds
