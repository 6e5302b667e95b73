#pragma once

#include "citations/CitationSource.h"

#include <QJsonValue>
#include <QList>
#include <QObject>
#include <QString>
#include <optional>

// The citation builder's state: the chosen citation style, the saved sources
// and the source being drafted. Read from "citations.json" when the model is
// made (a missing or damaged file leaves the defaults) and written after
// every change.
class CitationModel : public QObject {
    Q_OBJECT
    Q_PROPERTY(QString style READ style WRITE setStyle NOTIFY styleChanged)

public:
    static constexpr const char* fileName = "citations.json";

    // Exactly what goes into "citations.json".
    struct Saved {
        QString style;
        QList<CitationSource> sources;
        CitationSource draft;

        QJsonValue toJson() const;
        static std::optional<Saved> fromJson(const QJsonValue& value);

        friend bool operator==(const Saved&, const Saved&) = default;
    };

    explicit CitationModel(QObject* parent = nullptr);

    QString style() const { return m_style; }
    const QList<CitationSource>& sources() const { return m_sources; }
    const CitationSource& draft() const { return m_draft; }
    Saved saved() const { return {m_style, m_sources, m_draft}; }

    void setStyle(const QString& style);
    void setSources(const QList<CitationSource>& sources);
    void setDraft(const CitationSource& draft);

Q_SIGNALS:
    void styleChanged();
    void sourcesChanged();
    void draftChanged();

private:
    void save() const;

    QString m_style;
    QList<CitationSource> m_sources;
    CitationSource m_draft;
};
