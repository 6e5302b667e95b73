#include "citations/CitationModel.h"

#include "core/Json.h"
#include "core/Store.h"

QJsonValue CitationModel::Saved::toJson() const
{
    return QJsonObject{{QStringLiteral("style"), style},
                       {QStringLiteral("sources"), Json::fromList(sources)},
                       {QStringLiteral("draft"), draft.toJson()}};
}

std::optional<CitationModel::Saved> CitationModel::Saved::fromJson(const QJsonValue& value)
{
    Json::Reader r(value);
    Saved s;
    s.style = r.string(QStringLiteral("style"));
    s.sources = r.list<CitationSource>(QStringLiteral("sources"));
    s.draft = r.record<CitationSource>(QStringLiteral("draft"));
    if (!r.ok())
        return std::nullopt;
    return s;
}

CitationModel::CitationModel(QObject* parent)
    : QObject(parent)
{
    if (std::optional<Saved> s = Store::load<Saved>(QString::fromLatin1(fileName))) {
        m_style = s->style;
        m_sources = s->sources;
        m_draft = s->draft;
    }
}

void CitationModel::setStyle(const QString& style)
{
    if (style == m_style)
        return;
    m_style = style;
    save();
    Q_EMIT styleChanged();
}

void CitationModel::setSources(const QList<CitationSource>& sources)
{
    if (sources == m_sources)
        return;
    m_sources = sources;
    save();
    Q_EMIT sourcesChanged();
}

void CitationModel::setDraft(const CitationSource& draft)
{
    if (draft == m_draft)
        return;
    m_draft = draft;
    save();
    Q_EMIT draftChanged();
}

void CitationModel::save() const
{
    Store::save(saved(), QString::fromLatin1(fileName));
}
