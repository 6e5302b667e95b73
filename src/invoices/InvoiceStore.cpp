#include "invoices/InvoiceStore.h"

#include "core/Json.h"
#include "core/Store.h"

QJsonValue InvoiceStore::Saved::toJson() const
{
    return QJsonObject{{QStringLiteral("profile"), profile.toJson()},
                       {QStringLiteral("documents"), Json::fromList(documents)}};
}

std::optional<InvoiceStore::Saved> InvoiceStore::Saved::fromJson(const QJsonValue& value)
{
    Json::Reader r(value);
    Saved s;
    s.profile = r.record<BusinessProfile>(QStringLiteral("profile"));
    s.documents = r.list<InvoiceDocument>(QStringLiteral("documents"));
    if (!r.ok())
        return std::nullopt;
    return s;
}

InvoiceStore::InvoiceStore(QObject* parent)
    : QObject(parent)
{
    if (std::optional<Saved> s = Store::load<Saved>(QString::fromLatin1(fileName))) {
        m_profile = s->profile;
        m_documents = s->documents;
    }
}

void InvoiceStore::setProfile(const BusinessProfile& profile)
{
    if (profile == m_profile)
        return;
    m_profile = profile;
    save();
    Q_EMIT profileChanged();
}

void InvoiceStore::setDocuments(const QList<InvoiceDocument>& documents)
{
    if (documents == m_documents)
        return;
    m_documents = documents;
    save();
    Q_EMIT documentsChanged();
}

void InvoiceStore::save() const
{
    Store::save(saved(), QString::fromLatin1(fileName));
}
