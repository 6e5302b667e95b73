#pragma once

#include "wordproc/docx/Zip.h"

#include <QByteArray>
#include <QHash>
#include <QString>
#include <optional>

namespace Docx {

struct Relationship {
    QString type;
    QString target;   // a part name inside the package, or a URL when external
    bool external = false;
};

// An opened package: parts by name and the relationships of a part.
class Package {
public:
    explicit Package(const QByteArray& data);

    bool isOpen() const { return m_zip.isOpen(); }
    std::optional<QByteArray> part(const QString& name) { return m_zip.read(name); }
    bool contains(const QString& name) const { return m_zip.contains(name); }
    bool refusedForSize() const { return m_zip.refusedForSize(); }

    // Id -> relationship of the part `partName` ("" for the package's own),
    // with internal targets resolved to part names.
    QHash<QString, Relationship> relationships(const QString& partName);

    // The main document part named by the package relationships, else
    // "word/document.xml".
    QString mainDocument();

    // The part name that `target` names, relative to the folder of `source`.
    static QString resolve(const QString& source, const QString& target);

private:
    Zip::Archive m_zip;
};

} // namespace Docx
