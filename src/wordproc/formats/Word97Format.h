#pragma once

#include <QByteArray>
#include <QtEndian>
#include <QtGlobal>

// Layout constants of Word 97 binary documents shared by the reader and the
// writer: offsets into the file information block (FIB) of the WordDocument
// stream, and the property modifiers (sprms) both sides use.
namespace Word97Format {

inline constexpr quint16 kIdent = 0xA5EC;
inline constexpr quint16 kNFib = 0x00C1;

// FIB: counts of characters per story.
inline constexpr int kCcpText = 0x4C;
inline constexpr int kCcpFtn = 0x50;
inline constexpr int kCcpHdd = 0x54;
inline constexpr int kCcpMcr = 0x58;
inline constexpr int kCcpAtn = 0x5C;
inline constexpr int kCcpEdn = 0x60;
inline constexpr int kCcpTxbx = 0x64;

// FIB: the (fc, lcb) pair of table-stream structure number `index`.
inline constexpr int kFcLcbBase = 0x9A;
inline constexpr int fcOffset(int index) { return kFcLcbBase + 8 * index; }
enum FcLcb : int {
    Stshf = 1,
    PlcffndRef = 2,
    PlcffndTxt = 3,
    PlcfandRef = 4,
    PlcfSed = 6,
    PlcfHdd = 11,
    PlcfBteChpx = 12,
    PlcfBtePapx = 13,
    SttbfFfn = 15,
    PlcfFldMom = 16,
    PlcfFldHdr = 17,
    Dop = 31,
    Clx = 33,
    PlcSpaMom = 40,
    PlcfendRef = 46,
    PlcfendTxt = 47,
    PlcftxbxTxt = 56,
    PlfLst = 73,
    PlfLfo = 74,
    FcLcbCount = 93,
};
inline constexpr int kFibSize = kFcLcbBase + 8 * FcLcbCount + 2;

// Character properties.
inline constexpr quint16 sprmCFBold = 0x0835;
inline constexpr quint16 sprmCFItalic = 0x0836;
inline constexpr quint16 sprmCFStrike = 0x0837;
inline constexpr quint16 sprmCFDStrike = 0x2A53;
inline constexpr quint16 sprmCFVanish = 0x083C;
inline constexpr quint16 sprmCKul = 0x2A3E;
inline constexpr quint16 sprmCIco = 0x2A42;
inline constexpr quint16 sprmCCv = 0x6870;
inline constexpr quint16 sprmCHps = 0x4A43;
inline constexpr quint16 sprmCRgFtc0 = 0x4A4F;
inline constexpr quint16 sprmCRgFtc1 = 0x4A50;
inline constexpr quint16 sprmCRgFtc2 = 0x4A51;
inline constexpr quint16 sprmCHighlight = 0x2A0C;
inline constexpr quint16 sprmCShd = 0xCA71;
inline constexpr quint16 sprmCIss = 0x2A48;
inline constexpr quint16 sprmCFSpec = 0x0855;
inline constexpr quint16 sprmCPicLocation = 0x6A03;
inline constexpr quint16 sprmCIstd = 0x4A30;
inline constexpr quint16 sprmCFData = 0x0806;
inline constexpr quint16 sprmCFOle2 = 0x080A;

// Paragraph properties.
inline constexpr quint16 sprmPIstd = 0x4600;
inline constexpr quint16 sprmPJc80 = 0x2403;
inline constexpr quint16 sprmPJc = 0x2461;
inline constexpr quint16 sprmPDxaLeft80 = 0x840F;
inline constexpr quint16 sprmPDxaRight80 = 0x840E;
inline constexpr quint16 sprmPDxaLeft180 = 0x8411;
inline constexpr quint16 sprmPDxaLeft = 0x845E;
inline constexpr quint16 sprmPDxaRight = 0x845D;
inline constexpr quint16 sprmPDxaLeft1 = 0x8460;
inline constexpr quint16 sprmPDyaBefore = 0xA413;
inline constexpr quint16 sprmPDyaAfter = 0xA414;
inline constexpr quint16 sprmPDyaLine = 0x6412;
inline constexpr quint16 sprmPChgTabsPapx = 0xC60D;
inline constexpr quint16 sprmPChgTabs = 0xC615;
inline constexpr quint16 sprmPFInTable = 0x2416;
inline constexpr quint16 sprmPFTtp = 0x2417;
inline constexpr quint16 sprmPItap = 0x6649;
inline constexpr quint16 sprmPFInnerTableCell = 0x244B;
inline constexpr quint16 sprmPFInnerTtp = 0x244C;
inline constexpr quint16 sprmPIlfo = 0x460B;
inline constexpr quint16 sprmPIlvl = 0x260A;
inline constexpr quint16 sprmPHugePapx = 0x6646;

// Table properties (carried by the row-end paragraph).
inline constexpr quint16 sprmTDefTable = 0xD608;
inline constexpr quint16 sprmTDefTableShd80 = 0xD609;
inline constexpr quint16 sprmTDefTableShd = 0xD612;
inline constexpr quint16 sprmTDxaGapHalf = 0x9602;

// Section properties.
inline constexpr quint16 sprmSBOrientation = 0x301D;
inline constexpr quint16 sprmSXaPage = 0xB01F;
inline constexpr quint16 sprmSYaPage = 0xB020;
inline constexpr quint16 sprmSDxaLeft = 0xB021;
inline constexpr quint16 sprmSDxaRight = 0xB022;
inline constexpr quint16 sprmSDyaTop = 0x9023;
inline constexpr quint16 sprmSDyaBottom = 0x9024;

// Table cell descriptor flags.
inline constexpr quint16 tcFirstMerged = 0x0001;
inline constexpr quint16 tcMerged = 0x0002;
inline constexpr quint16 tcVertMerge = 0x0020;
inline constexpr quint16 tcVertRestart = 0x0040;
inline constexpr int kTcSize = 20;

// Size in bytes of a sprm's operand for the fixed kinds; -1 for the
// variable kind, whose length comes first.
inline int operandSize(quint16 sprm)
{
    switch (sprm >> 13) {
    case 0:
    case 1: return 1;
    case 2:
    case 4:
    case 5: return 2;
    case 3: return 4;
    case 7: return 3;
    default: return -1;
    }
}

// The 16 colours of the old character colour index (ico), 1..16; 0 is auto.
inline constexpr quint32 kIcoColors[17] = {
    0x000000, 0x000000, 0x0000FF, 0x00FFFF, 0x00FF00, 0xFF00FF, 0xFF0000, 0xFFFF00, 0xFFFFFF,
    0x000080, 0x008080, 0x008000, 0x800080, 0x800000, 0x808000, 0x808080, 0xC0C0C0,
};

inline quint16 le16(const QByteArray& b, qint64 offset)
{
    if (offset < 0 || offset + 2 > b.size())
        return 0;
    return qFromLittleEndian<quint16>(b.constData() + offset);
}

inline quint32 le32(const QByteArray& b, qint64 offset)
{
    if (offset < 0 || offset + 4 > b.size())
        return 0;
    return qFromLittleEndian<quint32>(b.constData() + offset);
}

} // namespace Word97Format
