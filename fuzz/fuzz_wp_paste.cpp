// Feeds arbitrary bytes to the word processor as pasted or dropped data
// would bring them: as a picture, and as rich text (HTML) held within the
// bounds the editor holds a paste to, put into a document; the result must
// then save as DOCX and RTF and read back.
#include "FuzzDocument.h"
#include "wordproc/WPInsert.h"
#include "wordproc/docx/Docx.h"
#include "wordproc/formats/Html.h"
#include "wordproc/formats/Rtf.h"

#include <QGuiApplication>
#include <QTextCursor>
#include <QTextDocument>
#include <QTextDocumentFragment>
#include <cstddef>
#include <cstdint>
#include <cstdlib>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    if (size == 0)
        return 0;
    const QByteArray bytes(reinterpret_cast<const char*>(data + 1), qsizetype(size - 1));
    QTextDocument doc;
    QTextCursor cursor(&doc);
    cursor.insertText(QStringLiteral("before "));
    if (data[0] & 1) {
        WPInsert::insertPicture(cursor, bytes, QStringLiteral("image.png"), 468);
    } else {
        cursor.insertFragment(QTextDocumentFragment::fromHtml(Html::bounded(QString::fromUtf8(bytes))));
    }
    cursor.insertText(QStringLiteral(" after"));
    const QByteArray rtf = Rtf::write(doc, WPDocAttributes());
    QTextDocument back;
    if (!Rtf::read(rtf, &back, nullptr, nullptr))
        std::abort(); // what was pasted cannot be saved and read back
    QString error;
    const QByteArray docx = Docx::write(doc, WPDocAttributes());
    QTextDocument fromDocx;
    if (!Docx::read(docx, &fromDocx, nullptr, &error))
        std::abort();
    return 0;
}
