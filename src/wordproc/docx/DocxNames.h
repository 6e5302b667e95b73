#pragma once

#include <QString>

// Namespace names and relationship types of the packages we read and write.
namespace Docx::ns {
inline const QString w = QStringLiteral("http://schemas.openxmlformats.org/wordprocessingml/2006/main");
inline const QString r = QStringLiteral("http://schemas.openxmlformats.org/officeDocument/2006/relationships");
inline const QString wp = QStringLiteral("http://schemas.openxmlformats.org/drawingml/2006/wordprocessingDrawing");
inline const QString a = QStringLiteral("http://schemas.openxmlformats.org/drawingml/2006/main");
inline const QString pic = QStringLiteral("http://schemas.openxmlformats.org/drawingml/2006/picture");
inline const QString cp = QStringLiteral("http://schemas.openxmlformats.org/package/2006/metadata/core-properties");
inline const QString dc = QStringLiteral("http://purl.org/dc/elements/1.1/");
inline const QString dcterms = QStringLiteral("http://purl.org/dc/terms/");
inline const QString xsi = QStringLiteral("http://www.w3.org/2001/XMLSchema-instance");
inline const QString contentTypes = QStringLiteral("http://schemas.openxmlformats.org/package/2006/content-types");
inline const QString packageRels = QStringLiteral("http://schemas.openxmlformats.org/package/2006/relationships");
inline const QString extendedProperties
    = QStringLiteral("http://schemas.openxmlformats.org/officeDocument/2006/extended-properties");
// Strict (ISO 29500) documents use their own namespace for the main part.
inline const QString wStrict = QStringLiteral("http://purl.oclc.org/ooxml/wordprocessingml/main");
inline const QString rStrict = QStringLiteral("http://purl.oclc.org/ooxml/officeDocument/relationships");
} // namespace Docx::ns

namespace Docx::rt {
inline const QString officeDocument
    = QStringLiteral("http://schemas.openxmlformats.org/officeDocument/2006/relationships/officeDocument");
inline const QString coreProperties
    = QStringLiteral("http://schemas.openxmlformats.org/package/2006/relationships/metadata/core-properties");
inline const QString extendedProperties
    = QStringLiteral("http://schemas.openxmlformats.org/officeDocument/2006/relationships/extended-properties");
inline const QString styles = QStringLiteral("http://schemas.openxmlformats.org/officeDocument/2006/relationships/styles");
inline const QString header = QStringLiteral("http://schemas.openxmlformats.org/officeDocument/2006/relationships/header");
inline const QString footer = QStringLiteral("http://schemas.openxmlformats.org/officeDocument/2006/relationships/footer");
inline const QString image = QStringLiteral("http://schemas.openxmlformats.org/officeDocument/2006/relationships/image");
inline const QString numbering
    = QStringLiteral("http://schemas.openxmlformats.org/officeDocument/2006/relationships/numbering");
inline const QString hyperlink
    = QStringLiteral("http://schemas.openxmlformats.org/officeDocument/2006/relationships/hyperlink");
} // namespace Docx::rt
