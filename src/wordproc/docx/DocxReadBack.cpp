// Read-back of what only our writer stores: the header and footer templates
// and, for a text that came back without them, the pictures.
#include "wordproc/docx/DocxNames.h"
#include "wordproc/docx/DocxPackage.h"
#include "wordproc/docx/DocxWriter.h"

#include <QTextBlock>
#include <QTextCursor>
#include <QTextDocument>
#include <QTextFragment>
#include <QHash>
#include <QXmlStreamReader>

namespace DocxWriter {

namespace {

const QString kMarker = QStringLiteral("VEXO-HF::");
constexpr int kMaxPictures = 2000;

bool isW(const QXmlStreamReader& xml, QLatin1String name)
{
    return xml.name() == name
        && (xml.namespaceUri() == Docx::ns::w || xml.namespaceUri() == Docx::ns::wStrict);
}

std::optional<QString> description(Docx::Package& package)
{
    const auto core = package.part(QStringLiteral("docProps/core.xml"));
    if (!core)
        return std::nullopt;
    QXmlStreamReader xml(*core);
    while (!xml.atEnd()) {
        if (xml.readNext() == QXmlStreamReader::StartElement && xml.name() == QLatin1String("description")
            && xml.namespaceUri() == Docx::ns::dc) {
            const QString text = xml.readElementText(QXmlStreamReader::IncludeChildElements);
            if (xml.hasError())
                return std::nullopt;
            return text;
        }
    }
    return std::nullopt;
}

// The text of a header or footer part, its page fields as placeholders.
QString partText(const QByteArray& data)
{
    QXmlStreamReader xml(data);
    QStringList paragraphs;
    QString current;
    bool inText = false;
    int fieldDepth = 0;       // inside a complex field (fldChar begin .. end)
    bool fieldResult = false; // between "separate" and "end": the cached result
    QString instruction;
    auto placeholder = [](const QString& instr) {
        const QString word = instr.trimmed().section(QLatin1Char(' '), 0, 0).toUpper();
        if (word == QLatin1String("PAGE"))
            return QStringLiteral("{page}");
        if (word == QLatin1String("NUMPAGES") || word == QLatin1String("SECTIONPAGES"))
            return QStringLiteral("{pages}");
        return QString();
    };
    QList<bool> simpleFields; // per open fldSimple: whether its result is replaced
    while (!xml.atEnd() && current.size() < 100000) {
        const auto token = xml.readNext();
        if (token == QXmlStreamReader::StartElement) {
            if (isW(xml, QLatin1String("fldSimple"))) {
                const QString p = placeholder(xml.attributes().value(Docx::ns::w, QLatin1String("instr")).toString());
                current += p;
                simpleFields.append(!p.isEmpty());
            } else if (isW(xml, QLatin1String("fldChar"))) {
                const auto type = xml.attributes().value(Docx::ns::w, QLatin1String("fldCharType"));
                if (type == QLatin1String("begin")) {
                    ++fieldDepth;
                    instruction.clear();
                    fieldResult = false;
                } else if (type == QLatin1String("separate") && fieldDepth > 0) {
                    const QString p = placeholder(instruction);
                    current += p;
                    fieldResult = !p.isEmpty();
                } else if (type == QLatin1String("end") && fieldDepth > 0) {
                    --fieldDepth;
                    fieldResult = false;
                }
            } else if (isW(xml, QLatin1String("instrText")) && fieldDepth > 0) {
                instruction += xml.readElementText();
            } else if (isW(xml, QLatin1String("t"))) {
                inText = true;
            } else if (isW(xml, QLatin1String("tab"))) {
                current += QLatin1Char('\t');
            }
        } else if (token == QXmlStreamReader::EndElement) {
            if (isW(xml, QLatin1String("t")))
                inText = false;
            else if (isW(xml, QLatin1String("fldSimple")) && !simpleFields.isEmpty())
                simpleFields.removeLast();
            else if (isW(xml, QLatin1String("p"))) {
                paragraphs.append(current);
                current.clear();
            }
        } else if (token == QXmlStreamReader::Characters && inText) {
            const bool replaced = fieldResult || simpleFields.contains(true);
            if (!replaced)
                current += xml.text();
        }
    }
    if (!current.isEmpty())
        paragraphs.append(current);
    paragraphs.removeAll(QString());
    return WPHeaderFooter::sanitize(paragraphs.join(QLatin1Char(' ')));
}

// The header and footer parts the main document names: the default ones,
// else the first-page ones, else the even-page ones (the first of these
// kinds whose text is not empty).
std::optional<std::pair<QString, QString>> headerFooterParts(Docx::Package& package)
{
    const QString mainPart = package.mainDocument();
    const auto doc = package.part(mainPart);
    if (!doc)
        return std::nullopt;
    QHash<QString, QString> headerIds; // kind ("default", "first", "even") -> relationship
    QHash<QString, QString> footerIds;
    QXmlStreamReader xml(*doc);
    while (!xml.atEnd()) {
        const QXmlStreamReader::TokenType token = xml.readNext();
        // The first section's parts: a later section names its own.
        if (token == QXmlStreamReader::EndElement && isW(xml, QLatin1String("sectPr"))
            && (!headerIds.isEmpty() || !footerIds.isEmpty()))
            break;
        if (token != QXmlStreamReader::StartElement)
            continue;
        const bool header = isW(xml, QLatin1String("headerReference"));
        if (!header && !isW(xml, QLatin1String("footerReference")))
            continue;
        const QXmlStreamAttributes at = xml.attributes();
        QString type = at.value(Docx::ns::w, QLatin1String("type")).toString();
        if (type.isEmpty())
            type = QStringLiteral("default");
        QString id = at.value(Docx::ns::r, QLatin1String("id")).toString();
        if (id.isEmpty())
            id = at.value(Docx::ns::rStrict, QLatin1String("id")).toString();
        (header ? headerIds : footerIds).insert(type, id);
    }
    if (headerIds.isEmpty() && footerIds.isEmpty())
        return std::nullopt;
    const auto rels = package.relationships(mainPart);
    auto text = [&](const QString& id) {
        const auto it = rels.constFind(id);
        if (id.isEmpty() || it == rels.constEnd() || it->external)
            return QString();
        const auto data = package.part(it->target);
        return data ? partText(*data) : QString();
    };
    auto best = [&](const QHash<QString, QString>& ids) {
        for (const char* kind : {"default", "first", "even"}) {
            const QString t = text(ids.value(QLatin1String(kind)));
            if (!t.isEmpty())
                return t;
        }
        return QString();
    };
    const QString header = best(headerIds);
    const QString footer = best(footerIds);
    if (header.isEmpty() && footer.isEmpty())
        return std::nullopt;
    return std::pair<QString, QString>{header, footer};
}

struct Pic {
    QString rid;
    QSizeF size;
    QString before;
    QString after;
};

QString trimBlanks(const QString& s)
{
    qsizetype b = 0;
    qsizetype e = s.size();
    auto blank = [](QChar c) { return c == QLatin1Char(' ') || c == QLatin1Char('\t'); };
    while (b < e && blank(s.at(b)))
        ++b;
    while (e > b && blank(s.at(e - 1)))
        --e;
    return s.mid(b, e - b);
}

bool hasPictures(const QTextDocument& doc)
{
    for (QTextBlock b = doc.begin(); b.isValid(); b = b.next()) {
        for (auto it = b.begin(); !it.atEnd(); ++it) {
            if (it.fragment().charFormat().isImageFormat())
                return true;
        }
    }
    return false;
}

QTextCharFormat formatAt(QTextDocument* doc, int pos, int length)
{
    if (length == 0)
        return {};
    const int at = pos < length ? pos : length - 1;
    const QTextBlock block = doc->findBlock(at);
    for (auto it = block.begin(); !it.atEnd(); ++it) {
        if (it.fragment().contains(at))
            return it.fragment().charFormat();
    }
    QTextCursor c(doc);
    c.setPosition(std::clamp(at, 0, doc->characterCount() - 1));
    return c.charFormat();
}

} // namespace

void countVariants(Docx::Package& package, const QHash<QString, Docx::Relationship>& rels,
                   const QHash<QString, QString>& ids, const QString& kind, QMap<QString, int>& notKept)
{
    if (!ids.contains(QStringLiteral("first")) && !ids.contains(QStringLiteral("even")))
        return;
    auto text = [&](const char* which) {
        const auto rel = rels.constFind(ids.value(QLatin1String(which)));
        if (rel == rels.constEnd() || rel->external)
            return QString();
        const auto data = package.part(rel->target);
        return data ? partText(*data) : QString();
    };
    WPHeaderFooter::countVariants(notKept, kind, text("default"), text("first"), text("even"));
}

std::optional<std::pair<QString, QString>> readHeaderFooter(const QByteArray& data)
{
    Docx::Package package(data);
    if (!package.isOpen())
        return std::nullopt;
    if (const auto text = description(package); text && text->startsWith(kMarker)) {
        const QStringList pieces = text->mid(kMarker.size()).split(QChar(0x2016));
        return std::pair<QString, QString>{pieces.value(0), pieces.value(1)};
    }
    return headerFooterParts(package);
}

void restoreImages(const QByteArray& data, QTextDocument* text)
{
    if (!text || hasPictures(*text))
        return;
    Docx::Package package(data);
    const QString mainPart = package.mainDocument();
    const auto body = package.part(mainPart);
    if (!body || !body->contains("r:embed="))
        return;
    const QString relsName = QStringLiteral("word/_rels/document.xml.rels");
    if (mainPart == QLatin1String("word/document.xml") && !package.contains(relsName))
        return;
    const auto rels = package.relationships(mainPart);

    // Collect every picture with the words around it in its paragraph.
    QList<Pic> pics;
    QList<qsizetype> open;
    QString paragraph;
    QSizeF pending(0, 0);
    QXmlStreamReader xml(*body);
    bool inRun = false;
    while (!xml.atEnd() && pics.size() < kMaxPictures) {
        const auto token = xml.readNext();
        if (token == QXmlStreamReader::StartElement) {
            if (isW(xml, QLatin1String("r"))) {
                inRun = true;
            } else if (isW(xml, QLatin1String("t"))) {
                const QString t = xml.readElementText(QXmlStreamReader::SkipChildElements);
                paragraph += t;
                for (qsizetype i : open)
                    pics[i].after += t;
            } else if (isW(xml, QLatin1String("tab")) && inRun) {
                paragraph += QLatin1Char('\t');
                for (qsizetype i : open)
                    pics[i].after += QLatin1Char('\t');
            } else if (xml.name() == QLatin1String("extent") && xml.namespaceUri() == Docx::ns::wp) {
                const auto at = xml.attributes();
                pending = QSizeF(at.value(QLatin1String("cx")).toDouble() / 12700.0,
                                 at.value(QLatin1String("cy")).toDouble() / 12700.0);
            } else {
                const auto embed = xml.attributes().value(Docx::ns::r, QLatin1String("embed"));
                if (!embed.isEmpty()) {
                    pics.append(Pic{embed.toString(), pending, paragraph.right(40), QString()});
                    open.append(pics.size() - 1);
                    pending = QSizeF(0, 0);
                }
            }
        } else if (token == QXmlStreamReader::EndElement) {
            if (isW(xml, QLatin1String("r"))) {
                inRun = false;
            } else if (isW(xml, QLatin1String("p"))) {
                paragraph.clear();
                open.clear();
            }
        }
    }

    // Place them, each searching on from where the previous one went.
    int cursor = 0;
    for (const Pic& pic : pics) {
        const auto rel = rels.constFind(pic.rid);
        if (rel == rels.constEnd() || rel->external)
            continue;
        const auto bytes = package.part(rel->target);
        if (!bytes)
            continue;
        WPTextModel::Picture picture;
        picture.data = *bytes;
        picture.image = QImage::fromData(*bytes);
        if (picture.image.isNull())
            continue;
        picture.fileName = rel->target.section(QLatin1Char('/'), -1);
        if (pic.size.width() >= 1 && pic.size.height() >= 1)
            picture.sizePt = pic.size;

        const QString storage = text->toRawText();
        const int length = int(storage.size());
        const QString b = trimBlanks(pic.before);
        const QString a = trimBlanks(pic.after.left(40));
        int index = -1;
        if (!b.isEmpty()) {
            const qsizetype found = storage.indexOf(b, cursor);
            if (found >= 0) {
                index = int(found + b.size());
                while (index < length && (storage.at(index) == QLatin1Char(' ') || storage.at(index) == QLatin1Char('\t')))
                    ++index;
            }
        }
        if (index < 0) {
            if (!a.isEmpty()) {
                const qsizetype found = storage.indexOf(a, cursor);
                index = found >= 0 ? int(found) : length;
            } else {
                index = b.isEmpty() ? cursor : length;
            }
        }
        // The raw text ends with the final paragraph's end, where nothing can
        // be inserted: the end of the text is just before it.
        const int end = std::max(0, text->characterCount() - 1);
        index = std::clamp(index, 0, end);
        QTextCharFormat format = formatAt(text, index, end);
        format.merge(WPTextModel::Builder::pictureFormat(text, picture));
        QTextCursor insert(text);
        insert.setPosition(index);
        insert.insertImage(format.toImageFormat());
        cursor = index + 1;
    }
}

} // namespace DocxWriter
