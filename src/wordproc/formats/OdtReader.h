#pragma once

#include "wordproc/WPDocAttributes.h"
#include "wordproc/docx/Zip.h"
#include "wordproc/formats/FormatSupport.h"
#include "wordproc/formats/ZipPackage.h"

#include <QColor>
#include <QHash>
#include <QList>
#include <QString>
#include <QTextCharFormat>
#include <QXmlStreamReader>
#include <functional>
#include <memory>

class QTextDocument;

// The OpenDocument reader's state over one package: styles, lists, page
// layouts, the builder of the main text and of notes and text boxes.
// Internal to the reader.
namespace Odt::detail {

using FormatSupport::Builder;
using FormatSupport::Picture;
using FormatSupport::TabStop;

inline constexpr int kMaxDepth = 200;
inline constexpr qint64 kMaxXmlBytes = Zip::kMaxXmlEntrySize;

struct Style {
    QString family;
    QString parent;
    QHash<QString, QString> para;
    QHash<QString, QString> text;
    QList<TabStop> tabs;
    bool hasTabs = false;
    qreal columnWidth = 0; // a table column's width or relative share; 0: none
    QColor cellBackground; // a table cell's shading; invalid: none
};

class Reader {
public:
    Reader(const ZipPackage::Reader& zip, QTextDocument* doc, WPDocAttributes* attributes)
        : m_zip(zip)
        , m_document(doc)
        , m_builder(doc)
        , m_attributes(attributes)
    {
    }
    bool run(QString* error);

private:
    bool parse(const QString& part, bool required, const std::function<void(QXmlStreamReader&)>& body);
    void readStyles(QXmlStreamReader& x);
    void readStyle(QXmlStreamReader& x, const QString& name, const QString& family, const QString& parent);
    void readListStyle(QXmlStreamReader& x, const QString& name);
    void readPageLayout(QXmlStreamReader& x, const QString& name);
    void readMeta(QXmlStreamReader& x);
    void readBlocks(QXmlStreamReader& x);
    void readList(QXmlStreamReader& x, QString styleName, int level = 0);
    void readParagraph(QXmlStreamReader& x, int listKind, int number);
    void readInline(QXmlStreamReader& x, const QTextCharFormat& format);
    void readFrame(QXmlStreamReader& x, const QTextCharFormat& format);
    void readTable(QXmlStreamReader& x);
    // `kept`: the table is built as one (else its cells join the cell
    // around it).
    void readRows(QXmlStreamReader& x, bool kept);
    bool enter(QXmlStreamReader& x);
    void leave() { --m_depth; }
    void skip(QXmlStreamReader& x) { x.skipCurrentElement(); }

    QHash<QString, QString> resolved(const QString& name, bool text) const;
    QList<TabStop> resolvedTabs(const QString& name) const;
    QTextCharFormat charFormat(const QHash<QString, QString>& props, QTextCharFormat base) const;
    QTextBlockFormat blockFormat(const QString& styleName) const;
    void emitText(const QString& text, const QTextCharFormat& format);
    void emitLiteral(const QString& text, const QTextCharFormat& format);
    void flushMarker(const QTextCharFormat& format)
    {
        if (!m_marker.isEmpty())
            out().text(m_marker, format);
        m_marker.clear();
    }

    // Notes and text boxes are read into documents of their own.
    Builder& out() { return m_stories.isEmpty() ? m_builder : *m_stories.last().second; }
    std::shared_ptr<QTextDocument> readStory(QXmlStreamReader& x);
    void readNote(QXmlStreamReader& x, const QTextCharFormat& format);
    void readTextBox(QXmlStreamReader& x, const QTextCharFormat& format);
    void readMasterPage(QXmlStreamReader& x);
    QString plainText(QXmlStreamReader& x);

    const ZipPackage::Reader& m_zip;
    QTextDocument* m_document;
    Builder m_builder;
    QList<std::pair<std::shared_ptr<QTextDocument>, std::shared_ptr<Builder>>> m_stories;
    QList<std::shared_ptr<QTextDocument>> m_notes;
    QString m_otherHeader, m_otherFooter; // of the master page, when the file has no record of ours
    WPDocAttributes* m_attributes;
    QHash<QString, Style> m_styles;
    QHash<QString, Style> m_defaults; // by family
    // Each list style's levels, the outermost first: bullet or number, and
    // the number its first item has.
    struct ListLevel {
        int kind = WPText::ListBullet;
        int start = 1;
    };
    QHash<QString, QList<ListLevel>> m_listLevels;
    QHash<QString, QHash<QString, QString>> m_pageLayouts;
    QString m_masterLayout;
    int m_depth = 0;
    bool m_tooDeep = false;
    int m_tableDepth = 0;
    QList<qreal> m_columnWidths; // the open table's columns, in order
    // White space collapsing inside a paragraph.
    bool m_atStart = true;
    bool m_pendingSpace = false;
    QTextCharFormat m_spaceFormat;
    QString m_marker; // list marker waiting for the item's first run
    bool m_breakAfterBox = false; // a text box ended: the next text starts a line
    QTextCharFormat m_breakFormat;
    QString m_header, m_footer;
    bool m_haveHeaderFooter = false;
};

} // namespace Odt::detail
