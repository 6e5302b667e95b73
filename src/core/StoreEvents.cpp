#include "core/StoreEvents.h"

#include "core/Tool.h"

#include <QFileInfo>

StoreEvents& StoreEvents::shared()
{
    static StoreEvents* events = new StoreEvents;
    return *events;
}

QString StoreEvents::ownerOf(const QString& name)
{
    static const QList<std::pair<QString, Tool>> files = {
        {QStringLiteral("scientific.json"), Tool::scientific},
        {QStringLiteral("stickies.json"), Tool::stickyNotes},
        {QStringLiteral("recordings.json"), Tool::recorder},
        {QStringLiteral("focus.json"), Tool::focus},
        {QStringLiteral("citations.json"), Tool::citation},
        {QStringLiteral("invoices.json"), Tool::invoice},
        {QStringLiteral("timeline.json"), Tool::timeline},
        {QStringLiteral("converter.json"), Tool::converter},
        {QStringLiteral("loan_gpa.json"), Tool::loanGPA},
        {QStringLiteral("passwords.json"), Tool::passwords},
    };
    for (const auto& [file, tool] : files) {
        if (file == name)
            return tool.title();
    }
    // Solitaire and bingo keep their statistics together.
    if (name == QLatin1String("games.json"))
        return QStringLiteral("Games");
    return name;
}

QString StoreEvents::describe(const Problem& p)
{
    switch (p.kind) {
    case Problem::Kind::saveFailed:
        return QStringLiteral("%1: changes could not be saved to \u201c%2\u201d (%3). They are kept while "
                              "the program runs and saved as soon as the file can be written.")
            .arg(p.owner, p.file, p.reason);
    case Problem::Kind::keptAside:
        if (p.copy.isEmpty()) {
            return QStringLiteral("%1: \u201c%2\u201d could not be read (%3), and no copy of it could be kept. "
                                  "It is left as it is, and nothing is saved over it until a copy can be kept.")
                .arg(p.owner, p.file, p.reason);
        }
        return QStringLiteral("%1: \u201c%2\u201d could not be read (%3). A copy was kept as \u201c%4\u201d.")
            .arg(p.owner, p.file, p.reason, p.copy);
    case Problem::Kind::keptElsewhere:
        return QStringLiteral("%1: the changes that could not be saved to \u201c%2\u201d when Brindleworks last "
                              "ended were kept as \u201c%3\u201d. To use them, quit Brindleworks and put that file "
                              "in place of \u201c%2\u201d.")
            .arg(p.owner, p.file, p.copy);
    case Problem::Kind::readOnly:
        return QStringLiteral("Another copy of Brindleworks (%1) is using the data folder \u201c%2\u201d and "
                              "does not answer. This copy shows your data but saves nothing, so that no file "
                              "of the other copy is overwritten. Quit the other copy, then start Brindleworks "
                              "again; if none is running any more, first remove \u201c%3\u201d.")
            .arg(p.reason, p.file, p.copy);
    }
    return {};
}

void StoreEvents::reportProblem(const Problem& problem)
{
    for (const Problem& p : std::as_const(m_problems)) {
        if (p.owner == problem.owner && p.kind == problem.kind)
            return;
    }
    m_problems.append(problem);
    Q_EMIT problemAdded(problem);
}

void StoreEvents::reportSaveFailed(const QString& name, const QString& file, const QString& reason)
{
    reportProblem({Problem::Kind::saveFailed, ownerOf(name), file, reason, QString()});
}

void StoreEvents::reportSaved(const QString& name)
{
    clearSaveFailure(ownerOf(name));
}

void StoreEvents::clearSaveFailure(const QString& owner)
{
    const qsizetype removed = m_problems.removeIf(
        [&](const Problem& p) { return p.owner == owner && p.kind == Problem::Kind::saveFailed; });
    if (removed > 0)
        Q_EMIT problemCleared(owner);
}

void StoreEvents::clear(const QString& owner)
{
    if (m_problems.removeIf([&](const Problem& p) { return p.owner == owner; }) > 0)
        Q_EMIT problemCleared(owner);
}
