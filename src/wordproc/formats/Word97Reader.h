#pragma once

#include "wordproc/WPDocAttributes.h"
#include "wordproc/WPTextModel.h"
#include "wordproc/formats/CompoundFile.h"
#include "wordproc/formats/Word97Layout.h"
#include "wordproc/formats/Word97Props.h"

#include <QHash>
#include <QMap>
#include <QString>
#include <QStringList>

class QTextDocument;

// The Word 97 reader's state over one file: the piece table and every
// story's characters, the style sheet, the formatted disk pages, fonts and
// lists, notes and text boxes. Internal to the reader.
namespace Word97::detail {

using Word97Props::Chp;
using Word97Props::FkpRuns;
using Word97Props::StyleSheet;
using Word97Props::Tab;
using Word97Props::Pap;
using WPTextModel::Paragraph;
using WPTextModel::Run;

struct Piece {
    quint32 cpStart = 0;
    quint32 cpEnd = 0;
    quint32 fc = 0; // byte offset of the first character
    bool compressed = false;
    quint16 prm = 0;
};

// A paragraph as read, before tables are put together.
struct RawParagraph {
    Pap pap;
    Paragraph paragraph;
    QChar mark;
};

struct Field {
    QString code;
    bool inResult = false;
    QString href;
    QString replacement; // shown instead of the result ("{page}")
    bool sawPicture = false;
};

enum class Story { Main, Note, Header, TextBox };

class Reader {
public:
    // Text beyond this many characters (some 4,000 pages) would take the
    // document past 300 MB of memory once laid out: such a file is refused.
    static constexpr quint32 kMaxChars = 8'000'000;

    Reader(const CompoundFile& file, const QByteArray& word, const QByteArray& table);
    bool readPieces(quint32 total);
    void build(QTextDocument* into, WPDocAttributes* attributes);

private:
    std::optional<quint32> fcOf(quint32 cp, const Piece** piece = nullptr) const;
    QByteArray structure(int index) const;
    QList<RawParagraph> story(quint32 from, quint32 to, Story kind);
    Pap papAt(quint32 cp) const;
    // The character properties at `cp` in a paragraph of style `istd`
    // (whose own character properties are `style`).
    Chp chpAt(quint32 cp, const Chp& style, int istd) const;
    struct ChpCache {
        bool valid = false;
        const QByteArray* direct = nullptr;
        const Piece* piece = nullptr;
        int istd = -1;
        Chp chp;
    };
    mutable ChpCache m_chpCache;
    Run runOf(const Chp& chp) const;
    QString plainStory(quint32 from, quint32 to);
    void readFonts();
    void readLists();
    void readNotes(int refIndex, int textIndex, quint32 base, bool endnotes);
    void readTextBoxes(quint32 base);
    void addList(Paragraph& p, const Pap& pap);
    void put(WPTextModel::Builder& builder, const QList<RawParagraph>& paragraphs);

    const CompoundFile& m_file;
    const QByteArray& m_word;
    const QByteArray& m_table;
    QByteArray m_data;
    QList<Piece> m_pieces;
    QList<QByteArray> m_prcs;
    QString m_text; // every story, by character position
    StyleSheet m_styles;
    FkpRuns m_chpx;
    FkpRuns m_papx;
    QStringList m_fonts;
    QHash<int, bool> m_listBullets; // (lfo << 4 | level) → bullet
    QHash<int, int> m_listStarts;   // (lfo << 4 | level) → number of the first item
    QHash<int, int> m_listCounters;
    QHash<quint32, QString> m_noteLabels; // reference position → label
    struct Note {
        QString label;
        quint32 from = 0;
        quint32 to = 0;
    };
    QList<Note> m_notes;
    QHash<quint32, std::pair<quint32, quint32>> m_textBoxes; // anchor → story
    QMap<QString, int> m_notKept;
    int m_depth = 0;
};

} // namespace Word97::detail
