#pragma once

#include "wordproc/WPTextModel.h"

#include <QColor>
#include <QHash>
#include <QList>
#include <QString>
#include <QXmlStreamReader>
#include <functional>
#include <optional>

// Paragraph and run properties as a package states them, each one optional
// so that document defaults, styles, numbering and direct formatting can be
// laid over each other; and the styles, numbering and theme parts that
// supply the lower layers.
namespace Docx {

struct RunProps {
    std::optional<QString> family;
    std::optional<QString> themeFont;   // "minorHAnsi", … when no family is named
    std::optional<qreal> pointSize;
    std::optional<bool> bold;
    std::optional<bool> italic;
    std::optional<int> underline;
    std::optional<int> strike;
    std::optional<QColor> color;        // invalid colour: "auto"
    std::optional<QColor> shading;
    std::optional<QColor> highlight;
    std::optional<int> baseline;        // 0 normal, 1 superscript, 2 subscript

    void overlay(const RunProps& top);
};

struct ParaProps {
    std::optional<Qt::Alignment> alignment;
    std::optional<qreal> left;
    std::optional<qreal> firstLine;     // negative: hanging
    std::optional<qreal> lineMultiple;
    std::optional<QList<qreal>> tabs;
    std::optional<int> numId;
    std::optional<int> ilvl;
    std::optional<QString> style;

    void overlay(const ParaProps& top);
};

// Element helpers shared by the parts' readers.
bool isW(const QXmlStreamReader& xml, QLatin1String name);
QStringView wAttr(const QXmlStreamReader& xml, QLatin1String name);
// A length attribute in twentieths of a point ("1440", or "1in", "2.54cm",
// "72pt") as points; nothing when it does not parse.
std::optional<qreal> twipsToPoints(QStringView value);
// "RRGGBB" as a colour; an invalid colour for "auto"; nothing otherwise.
std::optional<QColor> hexColor(QStringView value);
// An on/off element's value: true unless w:val says false, 0 or off.
bool onOff(const QXmlStreamReader& xml);

// Reads the w:rPr or w:pPr element the reader stands on (to its end).
// `charStyle` receives the w:rStyle a run names.
RunProps readRunProps(QXmlStreamReader& xml, QString* charStyle = nullptr);
// A section break inside w:pPr goes to `onSection`, which reads it to its end.
ParaProps readParaProps(QXmlStreamReader& xml, RunProps* markRun = nullptr,
                        const std::function<void()>& onSection = {});

class Styles {
public:
    void read(const QByteArray& stylesXml);
    void readTheme(const QByteArray& themeXml);

    // Defaults and the paragraph style (the default one when `styleId` is
    // empty or unknown), resolved through their bases.
    ParaProps paragraph(const QString& styleId) const;
    RunProps paragraphRun(const QString& styleId) const;
    RunProps characterRun(const QString& styleId) const;
    QString themeFamily(const QString& themeFont) const;

private:
    struct Style {
        QString type;
        QString basedOn;
        ParaProps para;
        RunProps run;
    };
    const Style* find(const QString& id, const QString& type) const;
    // The style and its bases, the deepest base first.
    QList<const Style*> chain(const QString& id, const QString& type, bool orDefault) const;
    QHash<QString, Style> m_styles;
    ParaProps m_defaultPara;
    RunProps m_defaultRun;
    QString m_defaultParagraphStyle;
    QString m_majorFont;
    QString m_minorFont;
};

// Lists from numbering.xml: the marker of each numbered paragraph.
class Numbering {
public:
    void read(const QByteArray& numberingXml);

    struct Marker {
        int kind = WPText::ListNone;
        QString text;
        qreal left = 0;
        qreal firstLine = 0;
    };
    // The marker of the next item of list `numId` at `level`, advancing its
    // counters; nothing when the list is unknown or has no marker.
    std::optional<Marker> next(int numId, int level);

private:
    struct Level {
        QString format = QStringLiteral("decimal");
        QString text;
        int start = 1;
        std::optional<qreal> left;
        std::optional<qreal> firstLine;
    };
    struct Abstract {
        QList<Level> levels; // 9 levels
    };
    struct Num {
        QString abstractId;
        QHash<int, int> startOverride;
    };
    QHash<QString, Abstract> m_abstracts;
    QHash<int, Num> m_nums;
    QHash<int, QList<int>> m_counters; // per num: current value per level (0: not started)
};

} // namespace Docx
