#pragma once

#include "passwords/PasswordBookModel.h"

#include <QTimer>

// A book of its own for a test, which can be put into the state an unlock
// leaves behind.
class OpenableBook : public PasswordBookModel {
public:
    OpenableBook() = default;

    void open(const QByteArray& key, const QList<PasswordEntry>& entries, QTimer* idleTimer)
    {
        setOpenState(key, entries, idleTimer);
    }

    static QList<PasswordEntry> someEntries(int n)
    {
        QList<PasswordEntry> out;
        for (int i = 0; i < n; ++i) {
            PasswordEntry e;
            e.fields.insert(QStringLiteral("site"), QStringLiteral("site%1.example").arg(i));
            e.fields.insert(QStringLiteral("password"), QStringLiteral("secret%1").arg(i));
            out.append(e);
        }
        return out;
    }
};
