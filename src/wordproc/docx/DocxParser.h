#pragma once

#include "wordproc/docx/DocxPackage.h"
#include "wordproc/docx/DocxProps.h"
#include "wordproc/docx/DocxReader.h"

#include <QHash>
#include <QMap>
#include <QXmlStreamReader>

// The DOCX reader's parser over one package: the main part's paragraphs,
// runs, tables and pictures, and its notes and text boxes. Internal to the
// reader.
namespace DocxReader::detail {

using WPTextModel::Paragraph;
using WPTextModel::Run;

inline const QString kVml = QStringLiteral("urn:schemas-microsoft-com:vml");

struct Link {
    bool on = false;
    QString href;
};

struct Section {
    std::optional<QSizeF> paper;
    std::optional<qreal> top, right, bottom, left;
    // The header and footer parts it names, by kind ("default", "first",
    // "even") -> relationship.
    QHash<QString, QString> headers, footers;
};

// A complex field of a paragraph: instruction text until "separate", then
// its displayed result until "end".
struct Field {
    QString instruction;
    bool result = false;
    Link link;
};

class Parser {
public:
    Parser(Docx::Package& package, const QString& mainPart)
        : m_package(package)
        , m_mainPart(mainPart)
    {
    }

    bool parse(const QByteArray& xml, Document& out, QString* error);

private:
    std::optional<Paragraph> paragraph(bool* childless);
    void inlineContent(Paragraph& p, QList<Field>& fields, const Link& link, int depth);
    void inlineElement(Paragraph& p, QList<Field>& fields, const Link& link, int depth);
    void run(Paragraph& p, QList<Field>& fields, const Link& link);
    void picture(Paragraph& p, const Run& format, bool vml);
    WPTextModel::Table table(int tableDepth, int depth);
    void readBlock(QList<Block>& out, int tableDepth, int depth);
    void flattenTable(QList<Block>& out, int depth);
    void textBox(QList<Paragraph>& out);
    void alternateContent(Paragraph& p, QList<Field>& fields, const Link& link, const Run& format);
    QString noteReference(bool endnote, const QString& id);
    void readNotes(const QString& part, bool endnote, QHash<QString, QList<Block>>& out);
    void appendNotes(Document& out);
    Section section();
    Run runFormat(const Docx::RunProps& props) const;

    Docx::Package& m_package;
    QString m_mainPart;
    QXmlStreamReader m_xml;
    QHash<QString, Docx::Relationship> m_rels;
    Docx::Styles m_styles;
    Docx::Numbering m_numbering;
    Docx::RunProps m_paraRun; // the current paragraph style's run properties
    int m_pictures = 0;
    std::optional<Section> m_bodySection;
    std::optional<Section> m_firstSection; // ended by the first section break in the text
    bool m_tookTrailer = false;
    qint64 m_paragraphs = 0;
    // Notes in the order the text refers to them, with their labels.
    struct NoteRef {
        bool endnote = false;
        QString id;
        QString label;
    };
    QList<NoteRef> m_noteRefs;
    QString m_noteLabel; // the label of the note being read
    QList<Paragraph> m_boxes; // text-box text met in the current run
    QMap<QString, int> m_notKept;
    int m_boxDepth = 0;
};

// Text joins the paragraph's last run when the formats agree.
void appendText(Paragraph& p, const Run& format, const QString& text);
// Text-box paragraphs join the paragraph they are anchored in, as lines.
void takeBoxes(Paragraph& p, const Run& format, QList<Paragraph>& boxes);

} // namespace DocxReader::detail
