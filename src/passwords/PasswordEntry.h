#pragma once

#include <QMap>
#include <QString>
#include <QUuid>

// One decrypted entry of the password book: its identity and its fields by
// name. Entries exist in memory only while the book is open.
struct PasswordEntry {
    QUuid id = QUuid::createUuid();
    QMap<QString, QString> fields;

    friend bool operator==(const PasswordEntry&, const PasswordEntry&) = default;
};
