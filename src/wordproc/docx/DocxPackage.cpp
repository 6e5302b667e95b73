#include "wordproc/docx/DocxPackage.h"
#include "wordproc/docx/DocxNames.h"

#include <QStringList>
#include <QXmlStreamReader>

namespace Docx {

Package::Package(const QByteArray& data)
    : m_zip(data)
{
}

QString Package::resolve(const QString& source, const QString& target)
{
    QString t = target;
    const qsizetype cut = t.indexOf(QLatin1Char('#'));
    if (cut >= 0)
        t.truncate(cut);
    QStringList parts;
    if (!t.startsWith(QLatin1Char('/'))) {
        parts = source.split(QLatin1Char('/'));
        parts.removeLast(); // the source's own name
    }
    for (const QString& piece : t.split(QLatin1Char('/'), Qt::SkipEmptyParts)) {
        if (piece == QLatin1String("."))
            continue;
        if (piece == QLatin1String("..")) {
            if (!parts.isEmpty())
                parts.removeLast();
            continue;
        }
        parts.append(piece);
    }
    return parts.join(QLatin1Char('/'));
}

QHash<QString, Relationship> Package::relationships(const QString& partName)
{
    QHash<QString, Relationship> out;
    const qsizetype slash = partName.lastIndexOf(QLatin1Char('/'));
    const QString relsName = partName.left(slash + 1) + QLatin1String("_rels/") + partName.mid(slash + 1)
        + QLatin1String(".rels");
    const auto data = part(relsName);
    if (!data)
        return out;
    QXmlStreamReader xml(*data);
    while (!xml.atEnd() && out.size() < 100000) {
        if (xml.readNext() != QXmlStreamReader::StartElement || xml.name() != QLatin1String("Relationship"))
            continue;
        const QXmlStreamAttributes at = xml.attributes();
        const QString id = at.value(QLatin1String("Id")).toString();
        const QString target = at.value(QLatin1String("Target")).toString();
        if (id.isEmpty() || target.isEmpty())
            continue;
        Relationship r;
        r.type = at.value(QLatin1String("Type")).toString();
        r.external = at.value(QLatin1String("TargetMode")).compare(QLatin1String("External"), Qt::CaseInsensitive) == 0;
        r.target = r.external ? target : resolve(partName.isEmpty() ? QStringLiteral("x") : partName, target);
        out.insert(id, r);
    }
    return out;
}

QString Package::mainDocument()
{
    const auto rels = relationships(QString());
    for (const Relationship& r : rels) {
        if (!r.external && r.type.endsWith(QLatin1String("/officeDocument")) && contains(r.target))
            return r.target;
    }
    return QStringLiteral("word/document.xml");
}

} // namespace Docx
