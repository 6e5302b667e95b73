#pragma once

#include "wordproc/WPDocAttributes.h"

#include <QByteArray>
#include <QString>
#include <optional>

class QTextDocument;

// The document types the word processor opens and saves, and the one place
// that sends each to its reader and writer. DOCX goes to our own package
// reader and writer (docx/Docx.h); RTFD is a directory and has its own pair.
namespace WPFormat {

enum class DocType { Docx, Doc, Rtf, Rtfd, Odt, PlainText, Html, WordML };

// Type name (e.g. "public.rtf") to document type, or nothing.
std::optional<DocType> documentType(const QString& typeName);

// The canonical type name and file extension of a document type.
QString typeName(DocType type);
QString extension(DocType type);

// Whether documents may be saved under this type name. The single-file
// ("flat") RTFD has no writer here: RTFD is saved as a directory only.
bool canWrite(const QString& typeName);

// The type of some bytes from their content alone: RTF, DOCX, ODT, Word 97,
// WordML and HTML have recognisable starts; nothing otherwise.
std::optional<DocType> sniff(const QByteArray& data);

// The type of a file on disk, from its content first and its extension
// second; nothing when neither tells.
std::optional<DocType> detect(const QString& path);

// Reads `data` as `type` into `into` (its contents are replaced) and fills
// the attributes the file holds; page values that are not finite, paper
// sizes that are not positive and negative margins are left out or brought
// into range. When reading with the type fails it is
// retried once with detection; only that second failure is reported.
bool read(const QByteArray& data, std::optional<DocType> type, QTextDocument* into,
          WPDocAttributes* attributes, QString* error);

// The bytes of `text` in `type`; nothing (with `error` set) on failure.
// Never used for RTFD.
std::optional<QByteArray> write(const QTextDocument& text, DocType type,
                                const WPDocAttributes& attributes, QString* error);

// RTFD: a directory "X.rtfd" holding TXT.rtf and the picture files.
// Puts back an RTFD package that an interrupted save left aside and removes
// such saves' leftovers (at start and before reading).
bool recoverRtfd(const QString& directory);
bool readRtfd(const QString& directory, QTextDocument* into, WPDocAttributes* attributes,
              QString* error);
// Written into a temporary directory beside `directory` and renamed into place.
bool writeRtfd(const QTextDocument& text, const WPDocAttributes& attributes,
               const QString& directory, QString* error);

} // namespace WPFormat
