#pragma once

#include <QDateTime>
#include <QHashFunctions>
#include <QJsonValue>
#include <QString>
#include <QUuid>
#include <optional>

// One sticky note as kept in "stickies.json". `frame` is the note window's
// rectangle in the text form "{{x, y}, {w, h}}" with the origin at the
// bottom-left of the primary screen and y growing upwards (see StickyFrame).
struct StickyNote {
    QUuid id;
    QString text;
    qint64 colorIndex = 0;
    QString frame;
    bool onTop = false;
    bool visible = true;
    QDateTime created;
    QDateTime modified;

    // A fresh note: new id, visible, not on top, no frame, both dates now
    // (whole seconds, so the note reads back equal to itself).
    static StickyNote make(qint64 colorIndex = 0, const QString& text = QString());

    // The current time in whole seconds, as the file keeps it.
    static QDateTime now();

    QJsonValue toJson() const;
    // Strict: all eight keys are required; other keys are ignored.
    static std::optional<StickyNote> fromJson(const QJsonValue& value);

    friend bool operator==(const StickyNote&, const StickyNote&) = default;
};

// Over all eight fields, like equality.
size_t qHash(const StickyNote& note, size_t seed = 0) noexcept;
