#pragma once

#include "wordproc/WPDocAttributes.h"
#include "wordproc/formats/FormatSupport.h"

#include <QHash>
#include <QLatin1StringView>
#include <QList>
#include <QString>
#include <QTextCharFormat>
#include <QXmlStreamReader>
#include <memory>

class QTextDocument;

// The Word 2003 XML reader's state over one document: styles, lists,
// pictures, and the builders of the main text and of notes and text boxes.
// Internal to the reader.
namespace WordML::detail {

using FormatSupport::Builder;
using FormatSupport::Picture;
using FormatSupport::TabStop;

// A length attribute in twips as points, held to a sane range.
qreal twipsAttr(const QXmlStreamAttributes& a, const char* name, qreal fallback = 0);

inline const QLatin1StringView kW{"http://schemas.microsoft.com/office/word/2003/wordml"};
inline const QLatin1StringView kWx{"http://schemas.microsoft.com/office/word/2003/auxHint"};
inline const QLatin1StringView kO{"urn:schemas-microsoft-com:office:office"};
inline const QLatin1StringView kV{"urn:schemas-microsoft-com:vml"};
inline constexpr int kMaxDepth = 200;


struct ParaProps {
    QTextBlockFormat format; // only what the XML set
    bool hasIndent = false;
    qreal head = 0, first = 0, tail = 0;
    bool hasSpacing = false;
    qreal before = 0, after = 0;
    qreal multiple = 0;
    bool hasTabs = false;
    QList<TabStop> tabs;
    int ilfo = -1;
    int ilvl = -1;
    QString marker;
    QString style;
};

struct StyleDef {
    QString basedOn;
    ParaProps para;
    QTextCharFormat chars;
};

class Reader {
public:
    Reader(QTextDocument* doc, WPDocAttributes* attributes)
        : m_document(doc)
        , m_builder(doc)
        , m_attributes(attributes)
    {
    }
    bool run(const QByteArray& data, QString* error);

private:
    bool enter()
    {
        if (++m_depth > kMaxDepth) {
            m_x->raiseError(QStringLiteral("The document is nested too deeply."));
            return false;
        }
        return true;
    }
    void leave() { --m_depth; }
    void skip() { m_x->skipCurrentElement(); }
    void readDocumentProperties(bool custom);
    void readLists();
    void readStyles();
    void readBlocks();
    void readParagraph();
    void readParagraphProps(ParaProps& p);
    void readRunProps(QTextCharFormat& f);
    void readInlineElement(const QTextCharFormat& base);
    void readRun(const QTextCharFormat& base);
    void readPicture(const QTextCharFormat& f);
    void readTable();
    void readCellProps();
    void readSection();
    QTextCharFormat styleChars(const QString& id, int depth = 0) const;
    ParaProps stylePara(const QString& id, int depth = 0) const;
    void emitText(const QString& text, const QTextCharFormat& f);

    // Notes and text boxes are read into documents of their own.
    Builder& out() { return m_stories.isEmpty() ? m_builder : *m_stories.last().second; }
    std::shared_ptr<QTextDocument> readStory();
    void readNote(const QTextCharFormat& f);
    void readTextBox(const QTextCharFormat& f);
    QString plainText();

    QXmlStreamReader* m_x = nullptr;
    QTextDocument* m_document;
    Builder m_builder;
    QList<std::pair<std::shared_ptr<QTextDocument>, std::shared_ptr<Builder>>> m_stories;
    QList<std::shared_ptr<QTextDocument>> m_notes;
    QString m_noteLabel;
    QString m_otherHeader[3], m_otherFooter[3]; // default, first-page and even-page ones of the first section
    WPDocAttributes* m_attributes;
    int m_depth = 0;
    int m_tableDepth = 0;
    QHash<QString, StyleDef> m_styles;
    QString m_defaultParaStyle;
    // (listDefId * 256 + level) -> number format, and -> first number
    QHash<qint64, int> m_listDefNfc;
    QHash<qint64, int> m_listDefStart;
    QHash<int, int> m_ilfoDef;     // ilfo -> listDefId
    QHash<qint64, int> m_counters; // (ilfo * 16 + level) -> last number
    QHash<QString, QByteArray> m_binData;
    QString m_marker; // list marker waiting for the first run
    QString m_header, m_footer;
    bool m_haveHeaderFooter = false;
    bool m_sawSection = false;
};

} // namespace WordML::detail
