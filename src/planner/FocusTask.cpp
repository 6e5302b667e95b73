#include "planner/FocusTask.h"

#include "core/Json.h"

#include <QJsonObject>
#include <algorithm>

FocusTask FocusTask::make(const QString& title, const QDateTime& created)
{
    FocusTask t;
    t.id = QUuid::createUuid();
    t.title = title;
    t.created = created;
    return t;
}

QJsonValue FocusTask::toJson() const
{
    return QJsonObject{{QStringLiteral("created"), Json::fromDate(created)},
                       {QStringLiteral("done"), done},
                       {QStringLiteral("id"), Json::fromUuid(id)},
                       {QStringLiteral("pomodoros"), pomodoros},
                       {QStringLiteral("title"), title}};
}

std::optional<FocusTask> FocusTask::fromJson(const QJsonValue& value)
{
    Json::Reader r(value);
    FocusTask t;
    t.id = r.uuid(QStringLiteral("id"));
    t.title = r.string(QStringLiteral("title"));
    t.done = r.boolean(QStringLiteral("done"));
    t.pomodoros = r.integer(QStringLiteral("pomodoros"));
    t.created = r.date(QStringLiteral("created"));
    if (!r.ok())
        return std::nullopt;
    return t;
}

namespace FocusTasks {

void move(QList<FocusTask>& tasks, QList<int> offsets, int destination)
{
    const int size = int(tasks.size());
    std::sort(offsets.begin(), offsets.end());
    offsets.erase(std::unique(offsets.begin(), offsets.end()), offsets.end());
    offsets.erase(std::remove_if(offsets.begin(), offsets.end(), [size](int i) { return i < 0 || i >= size; }),
                  offsets.end());
    if (offsets.isEmpty())
        return;
    destination = qBound(0, destination, size);
    QList<FocusTask> moving;
    QList<FocusTask> rest;
    int insertAt = 0;
    for (int i = 0, k = 0; i < size; ++i) {
        if (i == destination)
            insertAt = int(rest.size());
        if (k < offsets.size() && offsets.at(k) == i) {
            moving.append(tasks.at(i));
            ++k;
        } else {
            rest.append(tasks.at(i));
        }
    }
    if (destination == size)
        insertAt = int(rest.size());
    for (int i = 0; i < moving.size(); ++i)
        rest.insert(insertAt + i, moving.at(i));
    tasks = std::move(rest);
}

int fullDestination(const QList<int>& visible, int visibleDestination, int fullSize)
{
    if (visible.isEmpty())
        return fullSize;
    if (visibleDestination <= 0)
        return visible.first();
    if (visibleDestination < visible.size())
        return visible.at(visibleDestination);
    return visible.last() + 1;
}

QString trimmedTitle(const QString& title)
{
    qsizetype begin = 0;
    qsizetype end = title.size();
    const auto blank = [](QChar c) { return c == QLatin1Char(' ') || c == QLatin1Char('\t'); };
    while (begin < end && blank(title.at(begin)))
        ++begin;
    while (end > begin && blank(title.at(end - 1)))
        --end;
    return title.mid(begin, end - begin);
}

} // namespace FocusTasks
