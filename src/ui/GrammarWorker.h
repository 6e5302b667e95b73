#pragma once

// Checks sentences with the shared grammar parser on the thread it is
// moved to, with parse options of its own.

#include <QObject>
#include <QString>

#include <link-grammar/link-includes.h>

class GrammarWorker : public QObject {
    Q_OBJECT
public:
    GrammarWorker() = default;
    ~GrammarWorker() override;

public Q_SLOTS:
    void check(const QString& sentence);

Q_SIGNALS:
    // `reason`: what seems wrong when the sentence does not parse.
    void checked(const QString& sentence, bool ok, const QString& reason);

private:
    Parse_Options m_options = nullptr;
};
