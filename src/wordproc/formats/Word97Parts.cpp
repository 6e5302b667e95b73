#include "wordproc/formats/Word97Parts.h"

#include "wordproc/formats/FormatSupport.h"
#include "wordproc/formats/Word97Format.h"

#include <QBuffer>
#include <QCryptographicHash>
#include <QHash>
#include <QImage>
#include <QtEndian>
#include <climits>
#include <cmath>

namespace Word97::Parts {

using namespace Word97Format;

void add8(QByteArray& b, int v)
{
    b.append(char(quint8(v)));
}

void add16(QByteArray& b, int v)
{
    const quint16 x = quint16(v);
    b.append(char(x & 0xFF));
    b.append(char(x >> 8));
}

void add32(QByteArray& b, quint32 v)
{
    add16(b, int(v & 0xFFFF));
    add16(b, int(v >> 16));
}

void set16(QByteArray& b, qsizetype at, int v)
{
    qToLittleEndian<quint16>(quint16(v), b.data() + at);
}

void set32(QByteArray& b, qsizetype at, quint32 v)
{
    qToLittleEndian<quint32>(v, b.data() + at);
}

int twips(qreal points)
{
    if (!std::isfinite(points))
        return 0;
    return int(std::clamp<qreal>(points * 20.0, -31680, 31680));
}

quint32 colorRef(const QColor& c)
{
    return quint32(c.red()) | quint32(c.green()) << 8 | quint32(c.blue()) << 16;
}

int exactIco(const QColor& c)
{
    const quint32 rgb = c.rgb() & 0xFFFFFF;
    for (int i = 1; i <= 16; ++i)
        if (kIcoColors[i] == rgb)
            return i;
    return 0;
}

int nearestIco(const QColor& c)
{
    int best = 1;
    int bestDistance = INT_MAX;
    for (int i = 1; i <= 16; ++i) {
        const int r = int(kIcoColors[i] >> 16) - c.red();
        const int g = int((kIcoColors[i] >> 8) & 0xFF) - c.green();
        const int b = int(kIcoColors[i] & 0xFF) - c.blue();
        const int d = r * r + g * g + b * b;
        if (d < bestDistance) {
            bestDistance = d;
            best = i;
        }
    }
    return best;
}


QByteArray formattedPages(const QList<PropRun>& runs, bool paragraphs, quint32 firstPage, QList<quint32>& pages)
{
    // Every entry's stored form: a CHPX is its length byte and sprms; a PAPX
    // its length in words (or 0 and the length) and the style and sprms.
    auto stored = [paragraphs](const QByteArray& grpprl) {
        QByteArray b;
        if (!paragraphs) {
            add8(b, int(grpprl.size()));
            b += grpprl;
        } else if (grpprl.size() % 2 == 1) {
            add8(b, int((grpprl.size() + 1) / 2));
            b += grpprl;
        } else {
            add8(b, 0);
            add8(b, int(grpprl.size() / 2));
            b += grpprl;
        }
        if (b.size() % 2)
            b.append('\0');
        return b;
    };
    const int entrySize = paragraphs ? 13 : 1;
    QByteArray out;
    qsizetype i = 0;
    while (i < runs.size()) {
        QByteArray page(kPage, '\0');
        QHash<QByteArray, int> placed; // stored bytes → word offset in this page
        int top = kPage - 1;           // data grows down from here
        int count = 0;
        QList<int> offsets;
        while (i < runs.size() && count < (paragraphs ? 29 : 101)) {
            const QByteArray& g = runs[i].grpprl;
            const bool empty = !paragraphs && g.isEmpty();
            const QByteArray bytes = empty ? QByteArray() : stored(g);
            int offset = 0;
            int newTop = top;
            if (!empty) {
                if (auto it = placed.constFind(bytes); it != placed.constEnd()) {
                    offset = *it;
                } else {
                    newTop = (top - int(bytes.size())) & ~1;
                    offset = newTop / 2;
                }
            }
            const int headerEnd = 4 * (count + 2) + entrySize * (count + 1);
            if (headerEnd > newTop)
                break;
            if (!empty && !placed.contains(bytes)) {
                page.replace(newTop, bytes.size(), bytes);
                placed.insert(bytes, offset);
                top = newTop;
            }
            offsets.append(offset);
            ++count;
            ++i;
        }
        const qsizetype firstRun = i - count;
        for (int k = 0; k < count; ++k)
            set32(page, 4 * k, kTextStart + 2 * runs[firstRun + k].cpStart);
        set32(page, 4 * count, kTextStart + 2 * runs[i - 1].cpEnd);
        for (int k = 0; k < count; ++k)
            page[4 * (count + 1) + entrySize * k] = char(offsets[k]);
        page[kPage - 1] = char(count);
        pages.append(firstPage + quint32(out.size() / kPage));
        out += page;
    }
    return out;
}

QByteArray styleSheet()
{
    auto name = [](QByteArray& b, const QString& n) {
        add16(b, int(n.size()));
        for (QChar c : n)
            add16(b, c.unicode());
        add16(b, 0);
    };
    auto entry = [&](int sti, int kind, int base, int upx, int next, const QString& n, const QList<QByteArray>& upxs) {
        QByteArray body;
        add16(body, sti);
        add16(body, kind | base << 4);
        add16(body, upx | next << 4);
        add16(body, 0); // bchUpe
        add16(body, 0);
        name(body, n);
        for (const QByteArray& u : upxs) {
            if (body.size() % 2)
                body.append('\0');
            add16(body, int(u.size()));
            body += u;
        }
        if (body.size() % 2)
            body.append('\0');
        QByteArray out;
        add16(out, int(body.size()));
        return out + body;
    };
    QByteArray normalPapx;
    add16(normalPapx, 0);
    QByteArray normalChpx;
    add16(normalChpx, sprmCHps);
    add16(normalChpx, 24);
    QByteArray out;
    add16(out, 18); // header size
    add16(out, 11); // styles
    add16(out, 10); // base size of a style entry
    add16(out, 1);  // built-in names written
    add16(out, 0x5B); // highest built-in style id known
    add16(out, 15);
    add16(out, 0);
    for (int i = 0; i < 3; ++i)
        add16(out, 0); // default fonts: Times New Roman
    out += entry(0, 1, 0xFFF, 2, 0, QStringLiteral("Normal"), {normalPapx, normalChpx});
    for (int i = 1; i < 10; ++i)
        add16(out, 0);
    out += entry(65, 2, 0xFFF, 1, 10, QStringLiteral("Default Paragraph Font"), {QByteArray()});
    return out;
}

QByteArray fontTable(const QStringList& fonts)
{
    QByteArray out;
    add16(out, int(fonts.size()));
    add16(out, 0);
    for (qsizetype i = 0; i < fonts.size(); ++i) {
        QByteArray f;
        add8(f, i == 1 ? 0x12 : i == 2 ? 0x26 : 0x16); // pitch and family
        add16(f, 400);
        add8(f, i == 1 ? 2 : 0); // character set
        add8(f, 0);
        f.append(QByteArray(10 + 24, '\0'));
        for (QChar c : fonts[i])
            add16(f, c.unicode());
        add16(f, 0);
        add8(out, int(f.size()));
        out += f;
    }
    return out;
}

QByteArray pictureRecord(const WPTextModel::Picture& picture, int shapeId)
{
    QByteArray bytes = picture.data;
    QString format = FormatSupport::imageFormatOf(bytes);
    if (format != QLatin1String("png") && format != QLatin1String("jpeg")) {
        const QImage image = picture.decoded();
        if (image.isNull())
            return {};
        QBuffer buffer(&bytes);
        bytes.clear();
        buffer.open(QIODevice::WriteOnly);
        image.save(&buffer, "PNG");
        format = QStringLiteral("png");
    }
    const bool png = format == QLatin1String("png");
    QSizeF size = picture.sizePt;
    if (!(size.width() >= 1 && size.height() >= 1)) {
        const QSize pixels = FormatSupport::imagePixelSize(bytes);
        size = QSizeF(std::max(1, pixels.width()), std::max(1, pixels.height()));
    }
    const QByteArray uid = QCryptographicHash::hash(bytes, QCryptographicHash::Md5);

    QByteArray blip;
    add16(blip, png ? 0x6E00 : 0x46A0);
    add16(blip, png ? 0xF01E : 0xF01D);
    add32(blip, quint32(16 + 1 + bytes.size()));
    blip += uid;
    add8(blip, 0xFF);
    blip += bytes;

    QByteArray bse;
    add16(bse, 0x0002 | (png ? 6 : 5) << 4);
    add16(bse, 0xF007);
    add32(bse, quint32(36 + blip.size()));
    add8(bse, png ? 6 : 5);
    add8(bse, png ? 6 : 5);
    bse += uid;
    add16(bse, 0x00FF);
    add32(bse, quint32(blip.size()));
    add32(bse, 1); // references
    add32(bse, 0);
    add32(bse, 0); // no name, unused
    bse += blip;

    QByteArray shape;
    add16(shape, 0x0002 | 75 << 4); // a picture frame
    add16(shape, 0xF00A);
    add32(shape, 8);
    add32(shape, quint32(shapeId));
    add32(shape, 0x00000A00);
    add16(shape, 0x0003 | 1 << 4); // one property: the picture is blip 1 below
    add16(shape, 0xF00B);
    add32(shape, 6);
    add16(shape, 0x4104);
    add32(shape, 1);
    QByteArray container;
    add16(container, 0x000F);
    add16(container, 0xF004);
    add32(container, quint32(shape.size()));
    container += shape;

    QByteArray picf(0x44, '\0');
    set32(picf, 0, quint32(0x44 + container.size() + bse.size()));
    set16(picf, 4, 0x44);
    set16(picf, 6, 0x64); // drawn as a shape
    set16(picf, 0x1C, twips(size.width()));
    set16(picf, 0x1E, twips(size.height()));
    set16(picf, 0x20, 1000);
    set16(picf, 0x22, 1000);
    return picf + container + bse;
}

std::optional<WPTextModel::Picture> readPicture(const QByteArray& data, qint64 at)
{
    const qint64 lcb = le32(data, at);
    const int header = le16(data, at + 4);
    if (at < 0 || header < 0x44 || lcb < header || at + lcb > data.size())
        return std::nullopt;
    const QByteArray d = data.mid(at, lcb);
    const int mm = le16(d, 6);
    qint64 pos = header;
    if (mm == 0x66)
        pos += 1 + (pos < d.size() ? quint8(d[pos]) : 0);
    // Office drawing records: the shape, then the blip store entry with the
    // picture's bytes.
    QByteArray bytes;
    for (int guard = 0; pos + 8 <= d.size() && guard < 64 && bytes.isEmpty(); ++guard) {
        const int type = le16(d, pos + 2);
        const qint64 len = le32(d, pos + 4);
        if (len < 0 || pos + 8 + len > d.size())
            break;
        qint64 blip = -1;
        if (type == 0xF007 && len >= 36)
            blip = pos + 8 + 36 + quint8(d[pos + 8 + 33]);
        else if (type >= 0xF018 && type <= 0xF117)
            blip = pos;
        if (blip >= 0 && blip + 8 <= d.size()) {
            const QByteArray payload = d.mid(blip + 8, le32(d, blip + 4));
            for (const QByteArray& signature : {QByteArray("\x89PNG\r\n\x1a\n"), QByteArray("\xFF\xD8\xFF"),
                                                QByteArray("GIF8")}) {
                const qsizetype s = payload.left(64).indexOf(signature);
                if (s >= 0) {
                    bytes = payload.mid(s);
                    break;
                }
            }
        }
        pos += 8 + len;
    }
    if (bytes.isEmpty() || bytes.size() > FormatSupport::kMaxPictureBytes)
        return std::nullopt;
    const QSize pixels = FormatSupport::imagePixelSize(bytes);
    if (!pixels.isValid() || pixels.width() > FormatSupport::kMaxPictureSide
        || pixels.height() > FormatSupport::kMaxPictureSide
        || qint64(pixels.width()) * pixels.height() > FormatSupport::kMaxPicturePixels)
        return std::nullopt;
    WPTextModel::Picture p;
    p.data = bytes;
    const QString format = FormatSupport::imageFormatOf(bytes);
    p.fileName = QStringLiteral("image.") + (format.isEmpty() ? QStringLiteral("png") : format);
    const int mx = le16(d, 0x20), my = le16(d, 0x22);
    const qreal w = qint16(le16(d, 0x1C)) * (mx > 0 ? mx : 1000) / 1000.0 / 20.0;
    const qreal h = qint16(le16(d, 0x1E)) * (my > 0 ? my : 1000) / 1000.0 / 20.0;
    if (w >= 1 && h >= 1 && w <= FormatSupport::kMaxLengthPt && h <= FormatSupport::kMaxLengthPt)
        p.sizePt = QSizeF(w, h);
    p.image = QImage::fromData(bytes);
    return p;
}

} // namespace Word97::Parts
