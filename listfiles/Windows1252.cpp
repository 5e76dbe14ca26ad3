// Windows-1252 in both directions: Latin-1 everywhere except the 32 bytes
// 0x80 to 0x9F, which hold the typographic characters listed below.
#include "listfiles/Windows1252.h"

#include <QStringDecoder>

#include <algorithm>
#include <array>

namespace ListFiles {

namespace {

// The five bytes Windows-1252 leaves undefined (0x81, 0x8D, 0x8F, 0x90, 0x9D)
// decode to the C1 control of the same value, as Windows does, so every byte
// survives a round trip.
constexpr std::array<char16_t, 32> kHighTable = {
    0x20AC, 0x0081, 0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021,
    0x02C6, 0x2030, 0x0160, 0x2039, 0x0152, 0x008D, 0x017D, 0x008F,
    0x0090, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022, 0x2013, 0x2014,
    0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0x009D, 0x017E, 0x0178,
};

constexpr char kNoBreakSpace = char(0xA0);

char encodeCodePoint(char32_t c)
{
    if (c < 0x80 || (c >= 0xA0 && c <= 0xFF))
        return char(c);
    for (std::size_t i = 0; i < kHighTable.size(); ++i) {
        if (kHighTable[i] == c)
            return char(0x80 + i);
    }
    if (QChar::category(c) == QChar::Separator_Space)
        return kNoBreakSpace;
    return '?';
}

} // namespace

void AppendWindows1252(QByteArray &out, QStringView text)
{
    // Code points rather than UTF-16 units, so a character outside the basic
    // plane gives one '?' and not two.
    const qsizetype length = text.size();
    for (qsizetype i = 0; i < length; ++i) {
        char32_t c = text[i].unicode();
        if (QChar::isHighSurrogate(c) && i + 1 < length && text[i + 1].isLowSurrogate()) {
            c = QChar::surrogateToUcs4(text[i].unicode(), text[i + 1].unicode());
            ++i;
        }
        out.append(encodeCodePoint(c));
    }
}

QByteArray EncodeWindows1252(QStringView text)
{
    QByteArray out;
    out.reserve(text.size());
    AppendWindows1252(out, text);
    return out;
}

QString DecodeWindows1252(const QByteArray &bytes)
{
    QString text(bytes.size(), Qt::Uninitialized);
    QChar *out = text.data();
    for (const char byte : bytes) {
        const auto b = static_cast<unsigned char>(byte);
        *out++ = (b >= 0x80 && b < 0xA0) ? QChar(kHighTable[b - 0x80]) : QChar(b);
    }
    return text;
}

QString DecodeListText(const QByteArray &bytes)
{
    const bool asciiOnly = std::all_of(bytes.cbegin(), bytes.cend(),
                                       [](char b) { return static_cast<unsigned char>(b) < 0x80; });
    if (asciiOnly)
        return QString::fromLatin1(bytes);

    // Stateless, so that a sequence cut off at the end of the file counts as
    // an error instead of waiting for bytes that will never come.
    QStringDecoder utf8(QStringDecoder::Utf8, QStringDecoder::Flag::Stateless);
    QString text = utf8.decode(bytes);
    if (!utf8.hasError())
        return text;
    return DecodeWindows1252(bytes);
}

} // namespace ListFiles
