#pragma once

// Answers the application's alerts in tests, by button title and in turn,
// and keeps what was asked.

#include "ui/Alert.h"

#include <QList>
#include <QStringList>

// Answers alerts by button title, in turn, and keeps what was asked.
struct Answers {
    QStringList script;
    QList<AlertRequest> asked;
    AlertHandler previous;
    Answers()
    {
        previous = setAlertHandler([this](const AlertRequest& r) {
            asked.append(r);
            const QString wanted = script.isEmpty() ? QStringLiteral("Cancel") : script.takeFirst();
            const qsizetype i = r.buttons.indexOf(wanted);
            return alertFirstButton + int(i < 0 ? r.buttons.size() - 1 : i);
        });
    }
    ~Answers() { setAlertHandler(previous); }
    QStringList titles() const
    {
        QStringList t;
        for (const AlertRequest& r : asked)
            t.append(r.title);
        return t;
    }
};
