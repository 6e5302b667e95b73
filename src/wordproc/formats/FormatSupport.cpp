#include "wordproc/formats/FormatSupport.h"

#include "wordproc/WPText.h"

#include <QBuffer>
#include <QHash>
#include <QImage>
#include <QImageReader>
#include <QRegularExpression>
#include <QTextDocument>
#include <QUrl>
#include <algorithm>
#include <cmath>
#include <functional>

namespace FormatSupport {

namespace {

qreal finiteOr(qreal v, qreal fallback)
{
    return std::isfinite(v) ? v : fallback;
}

qreal boundedPt(qreal v)
{
    return std::clamp(finiteOr(v, 0.0), -kMaxLengthPt, kMaxLengthPt);
}

} // namespace

void setUnderlineStyle(QTextCharFormat& format, int style)
{
    if (style == WPText::StyleNone) {
        format.clearProperty(WPText::UnderlineStyle);
        format.setFontUnderline(false);
        return;
    }
    format.setProperty(WPText::UnderlineStyle, style);
    format.setFontUnderline(true);
}

void setStrikeStyle(QTextCharFormat& format, int style)
{
    if (style == WPText::StyleNone) {
        format.clearProperty(WPText::StrikeStyle);
        format.setFontStrikeOut(false);
        return;
    }
    format.setProperty(WPText::StrikeStyle, style);
    format.setFontStrikeOut(true);
}

void adoptQtLineStyles(QTextCharFormat& format)
{
    if (!format.hasProperty(WPText::UnderlineStyle) && format.fontUnderline())
        setUnderlineStyle(format, WPText::StyleSingle);
    if (!format.hasProperty(WPText::StrikeStyle) && format.fontStrikeOut())
        setStrikeStyle(format, WPText::StyleSingle);
}

QString fontFamily(const QTextCharFormat& format)
{
    const QStringList families = format.fontFamilies().toStringList();
    return families.value(0);
}

void setFontFamily(QTextCharFormat& format, const QString& family)
{
    if (family.isEmpty())
        format.clearProperty(QTextFormat::FontFamilies);
    else
        format.setFontFamilies({family});
}

qreal headIndent(const QTextBlockFormat& format)
{
    return WPText::toPoints(format.leftMargin());
}

qreal firstLineHeadIndent(const QTextBlockFormat& format)
{
    return WPText::toPoints(format.leftMargin() + format.textIndent());
}

qreal tailIndent(const QTextBlockFormat& format)
{
    return WPText::toPoints(format.rightMargin());
}

void setIndents(QTextBlockFormat& format, qreal head, qreal firstLine, qreal tail)
{
    head = boundedPt(head);
    firstLine = boundedPt(firstLine);
    tail = boundedPt(tail);
    if (head != 0)
        format.setLeftMargin(WPText::toPixels(head));
    else
        format.clearProperty(QTextFormat::BlockLeftMargin);
    if (firstLine != head)
        format.setTextIndent(WPText::toPixels(firstLine - head));
    else
        format.clearProperty(QTextFormat::TextIndent);
    if (tail != 0)
        format.setRightMargin(WPText::toPixels(tail));
    else
        format.clearProperty(QTextFormat::BlockRightMargin);
}

qreal lineMultiple(const QTextBlockFormat& format)
{
    if (format.lineHeightType() != QTextBlockFormat::ProportionalHeight)
        return 0;
    return format.lineHeight() / 100.0;
}

void setLineMultiple(QTextBlockFormat& format, qreal multiple)
{
    multiple = finiteOr(multiple, 0);
    if (multiple <= 0 || multiple > 100) {
        format.clearProperty(QTextFormat::LineHeight);
        format.clearProperty(QTextFormat::LineHeightType);
        return;
    }
    format.setLineHeight(multiple * 100.0, QTextBlockFormat::ProportionalHeight);
}

qreal spaceBefore(const QTextBlockFormat& format)
{
    return WPText::toPoints(format.topMargin());
}

qreal spaceAfter(const QTextBlockFormat& format)
{
    return WPText::toPoints(format.bottomMargin());
}

void setSpacing(QTextBlockFormat& format, qreal before, qreal after)
{
    before = std::clamp(finiteOr(before, 0), 0.0, kMaxLengthPt);
    after = std::clamp(finiteOr(after, 0), 0.0, kMaxLengthPt);
    if (before > 0)
        format.setTopMargin(WPText::toPixels(before));
    else
        format.clearProperty(QTextFormat::BlockTopMargin);
    if (after > 0)
        format.setBottomMargin(WPText::toPixels(after));
    else
        format.clearProperty(QTextFormat::BlockBottomMargin);
}

QList<TabStop> tabStops(const QTextBlockFormat& format)
{
    QList<TabStop> out;
    for (const QTextOption::Tab& tab : format.tabPositions())
        out.append({WPText::toPoints(tab.position), int(tab.type)});
    return out;
}

void setTabStops(QTextBlockFormat& format, const QList<TabStop>& tabs)
{
    QList<QTextOption::Tab> qt;
    for (const TabStop& t : tabs) {
        const qreal pos = std::clamp(finiteOr(t.position, 0), 0.0, kMaxLengthPt);
        const int type = std::clamp(t.type, 0, int(QTextOption::DelimiterTab));
        qt.append(QTextOption::Tab(WPText::toPixels(pos), QTextOption::TabType(type)));
    }
    if (qt.isEmpty())
        format.clearProperty(QTextFormat::TabPositions);
    else
        format.setTabPositions(qt);
}

int listKind(const QTextBlockFormat& format)
{
    const int kind = format.intProperty(WPText::ListKind);
    return kind == WPText::ListBullet || kind == WPText::ListNumber ? kind : WPText::ListNone;
}

int markerLength(const QString& text)
{
    if (!text.startsWith(QLatin1Char('\t')))
        return 0;
    const int span = std::min<int>(int(text.size()) - 1, 12);
    for (int i = 1; i <= span; ++i) {
        if (text.at(i) == QLatin1Char('\t'))
            return i + 1;
    }
    return 0;
}

QString markerFor(int kind, int number)
{
    if (kind == WPText::ListBullet)
        return QStringLiteral("\t") + QChar(WPText::kBullet) + QStringLiteral("\t");
    return QStringLiteral("\t%1.\t").arg(number);
}

// ---- pictures -----------------------------------------------------------------

QString imageFormatOf(const QByteArray& data)
{
    if (data.startsWith("\x89PNG\r\n\x1a\n"))
        return QStringLiteral("png");
    if (data.startsWith("\xff\xd8\xff"))
        return QStringLiteral("jpeg");
    if (data.startsWith("GIF87a") || data.startsWith("GIF89a"))
        return QStringLiteral("gif");
    if (data.startsWith("BM"))
        return QStringLiteral("bmp");
    if (data.startsWith("II*\0") || data.startsWith("MM\0*"))
        return QStringLiteral("tiff");
    return {};
}

QString Picture::format() const
{
    return imageFormatOf(data);
}

QSize imagePixelSize(const QByteArray& data)
{
    QBuffer buffer;
    buffer.setData(data);
    buffer.open(QIODevice::ReadOnly);
    QImageReader reader(&buffer);
    return reader.size();
}

void insertPicture(QTextCursor& cursor, Picture picture, const QTextCharFormat& base)
{
    QTextDocument* document = cursor.document();
    if (picture.data.size() > kMaxPictureBytes)
        picture.data.clear();
    QImage image;
    const QSize pixels = imagePixelSize(picture.data);
    if (pixels.isValid() && pixels.width() <= kMaxPictureSide && pixels.height() <= kMaxPictureSide
        && qint64(pixels.width()) * pixels.height() <= kMaxPicturePixels) {
        image.loadFromData(picture.data);
    }
    QSizeF size = picture.sizePt;
    if (!std::isfinite(size.width()) || !std::isfinite(size.height()) || size.width() <= 0
        || size.height() <= 0) {
        size = QSizeF(72, 72);
        if (!image.isNull()) {
            const qreal dpm = image.dotsPerMeterX();
            const qreal dpi = dpm > 100 ? dpm * 0.0254 : 72.0;
            size = QSizeF(image.width() * 72.0 / dpi, image.height() * 72.0 / dpi);
        }
    }
    size = QSizeF(std::clamp(size.width(), 1.0, kMaxLengthPt), std::clamp(size.height(), 1.0, kMaxLengthPt));

    const int serial = document->property("wpPictureSerial").toInt() + 1;
    document->setProperty("wpPictureSerial", serial);
    const QString name = QStringLiteral("wpimage:%1").arg(serial);
    if (!image.isNull())
        document->addResource(QTextDocument::ImageResource, QUrl(name), image);

    QTextImageFormat f;
    f.merge(base);
    f.setObjectType(QTextFormat::ImageObject);
    f.setName(name);
    f.setWidth(WPText::toPixels(size.width()));
    f.setHeight(WPText::toPixels(size.height()));
    f.setProperty(WPText::PictureData, picture.data);
    if (picture.fileName.isEmpty()) {
        const QString ext = picture.format();
        picture.fileName = QStringLiteral("image%1.%2").arg(serial).arg(ext.isEmpty() ? QStringLiteral("bin") : ext);
    }
    f.setProperty(WPText::PictureFileName, picture.fileName);
    f.setProperty(WPText::PictureWidthPt, size.width());
    f.setProperty(WPText::PictureHeightPt, size.height());
    cursor.insertText(QString(QChar::ObjectReplacementCharacter), f);
}

Picture pictureOf(const WPTextModel::Picture& walked)
{
    Picture p;
    p.data = walked.data;
    p.fileName = walked.fileName;
    p.sizePt = walked.sizePt;
    if (p.data.isEmpty()) {
        const QImage image = walked.decoded();
        if (image.isNull())
            return p;
        QBuffer buffer(&p.data);
        buffer.open(QIODevice::WriteOnly);
        image.save(&buffer, "PNG");
        if (p.sizePt.isEmpty())
            p.sizePt = QSizeF(image.size());
        if (!p.fileName.endsWith(QLatin1String(".png"), Qt::CaseInsensitive))
            p.fileName = QStringLiteral("image.png");
    }
    if (p.fileName.isEmpty()) {
        const QString ext = p.format();
        p.fileName = QStringLiteral("image.") + (ext.isEmpty() ? QStringLiteral("bin") : ext);
    }
    return p;
}

QList<WPTextModel::Run> writtenRuns(const WPTextModel::Paragraph& paragraph)
{
    QList<WPTextModel::Run> out;
    for (WPTextModel::Run run : paragraph.runs) {
        if (!run.picture) {
            run.text.remove(QChar::ObjectReplacementCharacter);
            if (run.text.isEmpty())
                continue;
        }
        out.append(std::move(run));
    }
    return out;
}

QList<WPTextModel::Run> takeLeading(QList<WPTextModel::Run>& runs, int count)
{
    QList<WPTextModel::Run> taken;
    while (count > 0 && !runs.isEmpty() && !runs.first().picture) {
        WPTextModel::Run& first = runs.first();
        const qsizetype n = std::min<qsizetype>(count, first.text.size());
        WPTextModel::Run part = first;
        part.text = first.text.left(n);
        taken.append(std::move(part));
        first.text.remove(0, n);
        count -= int(n);
        if (first.text.isEmpty())
            runs.removeFirst();
    }
    return taken;
}

QList<qreal> columnWidthsPt(const WPTextModel::Table& table, qreal total)
{
    const QList<qreal>& widths = table.columnWidths;
    if (widths.size() != table.columns || widths.isEmpty()
        || std::adjacent_find(widths.cbegin(), widths.cend(), std::not_equal_to<>()) == widths.cend())
        return {};
    qreal sum = 0;
    for (const qreal w : widths) {
        if (!(std::isfinite(w) && w > 0))
            return {};
        sum += w;
    }
    QList<qreal> out;
    for (const qreal w : widths)
        out.append(total * w / sum);
    return out;
}

// ---- XML ----------------------------------------------------------------------

QString xmlSafe(const QString& text)
{
    QString out;
    out.reserve(text.size());
    for (qsizetype i = 0; i < text.size(); ++i) {
        const QChar c = text.at(i);
        const char16_t u = c.unicode();
        if (c.isHighSurrogate()) {
            if (i + 1 < text.size() && text.at(i + 1).isLowSurrogate()) {
                out.append(c);
                out.append(text.at(++i));
            }
            continue;
        }
        if (c.isLowSurrogate())
            continue;
        if ((u < 0x20 && u != '\t' && u != '\n' && u != '\r') || u == 0xFFFE || u == 0xFFFF)
            continue;
        out.append(c);
    }
    return out;
}

std::optional<qreal> parseLength(const QString& text)
{
    static const QRegularExpression re(
        QStringLiteral("^\\s*([-+]?[0-9]*\\.?[0-9]+(?:[eE][-+]?[0-9]+)?)\\s*(pt|in|cm|mm|pc|px|)\\s*$"));
    const QRegularExpressionMatch m = re.match(text);
    if (!m.hasMatch())
        return std::nullopt;
    bool ok = false;
    const double v = m.captured(1).toDouble(&ok);
    if (!ok || !std::isfinite(v))
        return std::nullopt;
    const QString unit = m.captured(2);
    double pt = v;
    if (unit == QLatin1String("in"))
        pt = v * 72;
    else if (unit == QLatin1String("cm"))
        pt = v * 72 / 2.54;
    else if (unit == QLatin1String("mm"))
        pt = v * 72 / 25.4;
    else if (unit == QLatin1String("pc"))
        pt = v * 12;
    else if (unit == QLatin1String("px"))
        pt = v * 0.75;
    if (!std::isfinite(pt))
        return std::nullopt;
    return pt;
}

} // namespace FormatSupport
