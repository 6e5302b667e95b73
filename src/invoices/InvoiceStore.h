#pragma once

#include "invoices/BusinessProfile.h"
#include "invoices/InvoiceDocument.h"

#include <QJsonValue>
#include <QList>
#include <QObject>
#include <optional>

// The invoice maker's state: the business profile and the stored invoices
// and receipts. Read from "invoices.json" when the store is made (a missing
// or damaged file leaves the defaults) and written after every change.
class InvoiceStore : public QObject {
    Q_OBJECT

public:
    static constexpr const char* fileName = "invoices.json";

    // Exactly what goes into "invoices.json".
    struct Saved {
        BusinessProfile profile;
        QList<InvoiceDocument> documents;

        QJsonValue toJson() const;
        static std::optional<Saved> fromJson(const QJsonValue& value);

        friend bool operator==(const Saved&, const Saved&) = default;
    };

    explicit InvoiceStore(QObject* parent = nullptr);

    const BusinessProfile& profile() const { return m_profile; }
    const QList<InvoiceDocument>& documents() const { return m_documents; }
    Saved saved() const { return {m_profile, m_documents}; }

    void setProfile(const BusinessProfile& profile);
    void setDocuments(const QList<InvoiceDocument>& documents);

Q_SIGNALS:
    void profileChanged();
    void documentsChanged();

private:
    void save() const;

    BusinessProfile m_profile;
    QList<InvoiceDocument> m_documents;
};
