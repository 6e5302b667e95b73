#pragma once

#include <QMap>
#include <QSizeF>
#include <QString>
#include <optional>
#include <utility>

// The document attributes that travel with the text in every file format:
// paper size and margins in points, and the comment that carries the
// header/footer record. A reader sets only what its file holds; absent
// values leave the document's page setup as it is.
struct WPDocAttributes {
    std::optional<QSizeF> paperSize;
    std::optional<qreal> leftMargin;
    std::optional<qreal> rightMargin;
    std::optional<qreal> topMargin;
    std::optional<qreal> bottomMargin;
    std::optional<QString> comment;
    // Read only: what the file holds that the word processor cannot keep,
    // counted by kind ("comment", "chart", "drawing"); never written.
    QMap<QString, int> notKept;
};

// The header/footer record kept in the comment attribute:
// "VEXO-HF" U+001F header U+001F footer.
namespace WPHeaderFooter {

inline const QString kMarker = QStringLiteral("VEXO-HF");
inline constexpr QChar kSeparator = QChar(0x001F);

// The record for the two templates; nothing when both are empty.
std::optional<QString> encode(const QString& header, const QString& footer);

// Header and footer from a comment, or nothing when the comment does not
// start with the marker and separator. Missing pieces are empty, extra
// pieces are ignored.
std::optional<std::pair<QString, QString>> decode(const QString& comment);

// What a header or footer field lets into a template: U+2016 (the DOCX
// description's separator) becomes U+2225, U+001F is dropped, so that the
// record always splits back into the same two texts.
QString sanitize(const QString& text);

// Counts into `notKept` the first-page and even-page variants of a header
// or footer (`kind`: "header" or "footer") of another program's file that
// the document does not keep: a first-page one beside a different main one
// (without a main one it becomes the main one), and an even-page one that
// differs from the one shown.
void countVariants(QMap<QString, int>& notKept, const QString& kind, const QString& main, const QString& first,
                   const QString& even);

} // namespace WPHeaderFooter
