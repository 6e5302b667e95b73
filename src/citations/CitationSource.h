#pragma once

#include <QJsonValue>
#include <QMap>
#include <QString>
#include <QUuid>
#include <optional>

// One source of the citation builder: its identity and its fields by name
// ("title", "year", …). Field names are free text; every value is text.
struct CitationSource {
    QUuid id = QUuid::createUuid();
    QMap<QString, QString> fields;

    QJsonValue toJson() const;
    static std::optional<CitationSource> fromJson(const QJsonValue& value);

    friend bool operator==(const CitationSource&, const CitationSource&) = default;
};
