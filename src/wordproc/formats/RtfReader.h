#pragma once

// The RTF reader's state, shared by the tokenizer (RtfReader.cpp) and the
// control words (RtfControlWords.cpp). Internal to the RTF reader.
#include "wordproc/WPDocAttributes.h"
#include "wordproc/WPText.h"
#include "wordproc/formats/FormatSupport.h"
#include "wordproc/formats/Rtf.h"

#include <QColor>
#include <QHash>
#include <QList>
#include <QTextDocument>
#include <memory>

namespace Rtf::detail {

using FormatSupport::TabStop;

constexpr int kMaxDepth = 256;

enum class Dest {
    Text,          // document text
    Skip,          // ignored group
    FontTable,
    ColorTable,
    Info,          // info group: only the comment is kept
    DocComm,
    Pict,
    ListTable,
    ListOverrideTable,
    Pn,            // old paragraph numbering properties
    NeXTGraphic,   // RTFD attachment
    HeaderFooter,  // another program's header or footer: its text only
    FieldInst,     // a field's instruction inside a header or footer
    ListText,      // a list paragraph's marker as its writer shows it
    ShapeInst,     // a drawn shape: only a text box's text is read
    NestProps,     // the definition of a row of a table inside a table's cell
};

// Header and footer texts of other programs' files, by kind.
enum HeaderFooterSlot { HeaderDefault, HeaderFirst, HeaderEven, FooterDefault, FooterFirst, FooterEven, HeaderFooterSlots };

struct CharState {
    int font = -1; // -1: the default font
    int sizeHalfPoints = 24;
    bool bold = false;
    bool italic = false;
    int underline = 0;
    int strike = 0;
    int foreground = 0;
    int background = 0;
    int vertical = 0; // 1 super, -1 sub
    QString href;     // the target of the hyperlink field being read
};

struct ParaState {
    int alignment = 0; // 0 left, 1 centre, 2 right, 3 justified
    int leftTwips = 0;
    int rightTwips = 0;
    int firstTwips = 0; // relative to the left indent
    int beforeTwips = 0;
    int afterTwips = 0;
    int lineTwips = 0;
    bool lineMultiple = false;
    QList<TabStop> tabs;
    int pendingTabType = 0;
    bool inTable = false;
    int itap = 0; // how deep in tables inside tables (\itap); 0: as \intbl says
    int listOverride = 0;
    int pnKind = WPText::ListNone;
};

struct PictState {
    QByteArray hex;
    QByteArray binary;
    bool tooLarge = false;
    QString type; // "png", "jpeg" or empty (unsupported)
    int goalW = 0, goalH = 0, scaleX = 100, scaleY = 100;
};

struct State {
    Dest dest = Dest::Text;
    CharState ch;
    ParaState para;
    int uc = 1;
    bool starred = false;     // "\*" seen, no control word yet
    bool firstWord = true;    // the next control word opens this group
    bool opensNote = false;   // this group is a footnote or endnote
    int headerFooter = -1;    // the HeaderFooterSlot this group collects
};

struct Font {
    QString name;
    int codePage = 0;
};

class Reader {
public:
    Reader(const QByteArray& data, QTextDocument* document, WPDocAttributes* attributes,
           const AttachmentLookup& lookup)
        : m_data(data)
        , m_document(document)
        , m_builder(document)
        , m_attributes(attributes)
        , m_lookup(lookup)
    {
    }

    bool run(QString* error);

    void controlWord(const QByteArray& word, bool hasParam, int param);

private:
    State& st() { return m_stack.last(); }

    void pushGroup();
    void popGroup();
    void controlSymbol(char c);
    void textByte(char byte);
    void flushText();
    void deliver(const QString& text);
    void endParagraph();
    // The table depth of the paragraph being read (0 outside tables).
    int tableLevel(const ParaState& para) const { return std::max(para.itap, para.inTable ? 1 : 0); }
    // Opens or closes tables inside cells so that text goes to the table
    // of the paragraph's depth, and opens a cell there.
    void enterTableLevel(const ParaState& para);
    QTextCharFormat charFormat() const;
    QTextBlockFormat blockFormat() const;
    int codePageFor(const State& s) const;
    void finishPicture(const PictState& pict);
    void finishAttachment();

    // Where text goes: the main text, or the note being read.
    FormatSupport::Builder& out() { return m_noteBuilder ? *m_noteBuilder : m_builder; }
    void beginNote();
    void endNote();
    void finishHeaderFooter();
    static QString canonicalMarker(const QString& written);

    const QByteArray& m_data;
    QTextDocument* m_document;
    FormatSupport::Builder m_builder;
    std::unique_ptr<QTextDocument> m_noteDocument;
    std::unique_ptr<FormatSupport::Builder> m_noteBuilder;
    QList<std::shared_ptr<QTextDocument>> m_notes;
    QString m_headerFooter[HeaderFooterSlots];
    WPDocAttributes* m_attributes;
    const AttachmentLookup& m_lookup;

    QList<State> m_stack;
    int m_overflow = 0; // groups beyond kMaxDepth, not tracked
    QByteArray m_pending;
    int m_pendingCodePage = 0;
    int m_skip = 0; // fallback characters to skip after \uN

    int m_ansiCodePage = 1252;
    int m_defaultFont = 0;
    QHash<int, Font> m_fonts;
    int m_fontId = -1;
    QString m_fontName;
    int m_fontCharset = -1;

    QList<QColor> m_colors;
    int m_r = 0, m_g = 0, m_b = 0;
    bool m_colorSet = false;

    QHash<int, int> m_listNfc;      // list id -> number format of level 1
    QHash<int, int> m_overrideList; // ls -> list id
    int m_curListId = 0, m_curNfc = -1, m_levelIndex = 0;

    QString m_comment;
    bool m_haveComment = false;
    QString m_fieldInst; // the instruction of the field being read
    // The marker of the list paragraph being read, piece by piece with the
    // format of each piece.
    QList<std::pair<QString, QTextCharFormat>> m_listText;
    QList<PictState> m_picts; // one per open \pict group
    QList<int> m_cellMerges;  // the row's cell definitions: FormatSupport::Builder::Merge flags
    int m_pendingMerge = 0;
    QColor m_pendingShade;     // the background of the cell being defined
    QList<QColor> m_cellShades; // the row's cell backgrounds
    qreal m_rowLeft = 0;       // the row's left edge, twips
    QList<qreal> m_cellEdges;  // the row's cell right edges, twips
    QList<qreal> m_tableEdges; // the table's row of most cells so far
    int m_cellIndex = 0;      // the row's next cell
    QList<FormatSupport::Builder::CellDefinition> m_nestCells; // a nested table's row definition
    qreal m_nestLeft = 0;      // its left edge, twips
    bool m_tooDeep = false;    // the text is in a table nested deeper than the editor keeps
    QString m_attachmentName;
    int m_attachmentW = 0, m_attachmentH = 0;
    bool m_swallowAttachmentChar = false;
};

enum Word {
    W_unknown, W_rtf, W_ansi, W_mac, W_pc, W_pca, W_ansicpg, W_deff, W_uc, W_u,
    W_fonttbl, W_f, W_fcharset, W_cpg, W_colortbl, W_red, W_green, W_blue,
    W_info, W_doccomm, W_pict, W_pngblip, W_jpegblip, W_picwgoal, W_pichgoal, W_picscalex, W_picscaley,
    W_bin, W_shppict, W_nonshppict, W_NeXTGraphic, W_width, W_height,
    W_listtable, W_listoverridetable, W_list, W_listlevel, W_levelnfc, W_listid, W_listoverride, W_ls,
    W_listtext, W_pntext, W_pn, W_pnlvlblt, W_pnlvlbody, W_pnlvlcont,
    W_fldinst, W_fldrslt, W_skipdest,
    W_footnote, W_chftn, W_annotation, W_object, W_header, W_headerf, W_headerl, W_footer, W_footerf, W_footerl,
    W_chpgn,
    W_shpinst, W_shptxt, W_clmgf, W_clmrg, W_clvmgf, W_clvmrg, W_cellx, W_trowd, W_trleft, W_clcbpat,
    W_par, W_pard, W_plain, W_line, W_tab, W_page, W_sect,
    W_ql, W_qc, W_qr, W_qj, W_li, W_ri, W_fi, W_sb, W_sa, W_sl, W_slmult,
    W_tx, W_tb, W_tqr, W_tqc, W_tqdec,
    W_intbl, W_cell, W_row, W_nestcell, W_nestrow, W_itap, W_nesttableprops, W_nonesttables,
    W_b, W_i, W_ul, W_uldb, W_ulth, W_ulnone, W_ulother, W_strike, W_striked,
    W_fs, W_cf, W_cb, W_highlight, W_super, W_sub, W_nosupersub,
    W_paperw, W_paperh, W_margl, W_margr, W_margt, W_margb,
    W_emdash, W_endash, W_bullet, W_lquote, W_rquote, W_ldblquote, W_rdblquote,
    W_emspace, W_enspace, W_qmspace, W_zwj, W_zwnj,
};

int charsetCodePage(int charset, int ansi);
const QHash<QByteArray, int>& wordTable();

} // namespace Rtf::detail
