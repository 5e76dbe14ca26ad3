// Text of a compiled help file: the code pages its strings and pages are stored
// in, and the character references of HTML attribute values.
#include "help/reader/ChmText.h"

#include <QHash>
#include <QRegularExpression>
#include <QStringDecoder>

namespace {

QString decodeWith(const QByteArray &bytes, const QByteArray &encodingName)
{
    QStringDecoder decoder(encodingName.constData());
    if (!decoder.isValid())
        return {};
    QString text = decoder(bytes);
    return decoder.hasError() ? QString() : text;
}

// Windows-1252 is the code page of French help files; Latin-1 stands in where Qt
// was built without a converter for it, and differs only in 0x80-0x9F.
QString decodeWindows1252(const QByteArray &bytes)
{
    QString text = decodeWith(bytes, "windows-1252");
    return text.isNull() ? QString::fromLatin1(bytes) : text;
}

// The named references of HTML 4: the Latin-1 letters and signs, and the
// punctuation and symbols of Windows-1252 that help pages use.
const QHash<QString, char32_t> &namedReferences()
{
    static const QHash<QString, char32_t> names = [] {
        // Latin-1 names in code order, from U+00A0 to U+00FF.
        static const char *const latin1[] = {
            "nbsp", "iexcl", "cent", "pound", "curren", "yen", "brvbar", "sect", "uml", "copy", "ordf", "laquo",
            "not", "shy", "reg", "macr", "deg", "plusmn", "sup2", "sup3", "acute", "micro", "para", "middot",
            "cedil", "sup1", "ordm", "raquo", "frac14", "frac12", "frac34", "iquest", "Agrave", "Aacute", "Acirc",
            "Atilde", "Auml", "Aring", "AElig", "Ccedil", "Egrave", "Eacute", "Ecirc", "Euml", "Igrave", "Iacute",
            "Icirc", "Iuml", "ETH", "Ntilde", "Ograve", "Oacute", "Ocirc", "Otilde", "Ouml", "times", "Oslash",
            "Ugrave", "Uacute", "Ucirc", "Uuml", "Yacute", "THORN", "szlig", "agrave", "aacute", "acirc", "atilde",
            "auml", "aring", "aelig", "ccedil", "egrave", "eacute", "ecirc", "euml", "igrave", "iacute", "icirc",
            "iuml", "eth", "ntilde", "ograve", "oacute", "ocirc", "otilde", "ouml", "divide", "oslash", "ugrave",
            "uacute", "ucirc", "uuml", "yacute", "thorn", "yuml"};
        QHash<QString, char32_t> table;
        char32_t code = 0xA0;
        for (const char *name : latin1)
            table.insert(QLatin1String(name), code++);
        const std::pair<const char *, char32_t> others[] = {
            {"quot", 0x22}, {"amp", 0x26}, {"apos", 0x27}, {"lt", 0x3C}, {"gt", 0x3E},
            {"QUOT", 0x22}, {"AMP", 0x26}, {"LT", 0x3C}, {"GT", 0x3E},
            {"OElig", 0x152}, {"oelig", 0x153}, {"Scaron", 0x160}, {"scaron", 0x161}, {"Yuml", 0x178},
            {"fnof", 0x192}, {"circ", 0x2C6}, {"tilde", 0x2DC}, {"ensp", 0x2002}, {"emsp", 0x2003},
            {"thinsp", 0x2009}, {"ndash", 0x2013}, {"mdash", 0x2014}, {"lsquo", 0x2018}, {"rsquo", 0x2019},
            {"sbquo", 0x201A}, {"ldquo", 0x201C}, {"rdquo", 0x201D}, {"bdquo", 0x201E}, {"dagger", 0x2020},
            {"Dagger", 0x2021}, {"bull", 0x2022}, {"hellip", 0x2026}, {"permil", 0x2030}, {"prime", 0x2032},
            {"lsaquo", 0x2039}, {"rsaquo", 0x203A}, {"euro", 0x20AC}, {"trade", 0x2122}, {"larr", 0x2190},
            {"rarr", 0x2192}, {"minus", 0x2212}, {"le", 0x2264}, {"ge", 0x2265}, {"ne", 0x2260}};
        for (const auto &[name, value] : others)
            table.insert(QLatin1String(name), value);
        return table;
    }();
    return names;
}

// The character a reference's body ("eacute", "#233", "#xE9") stands for, or 0
// for an unknown name. A number that is no character gives U+FFFD.
char32_t referencedCharacter(const QString &body)
{
    if (!body.startsWith(QLatin1Char('#')))
        return namedReferences().value(body, 0);
    const bool hex = body.size() > 1 && (body[1] == QLatin1Char('x') || body[1] == QLatin1Char('X'));
    bool ok = false;
    const uint code = QStringView(body).mid(hex ? 2 : 1).toUInt(&ok, hex ? 16 : 10);
    // Neither nul, nor a surrogate half, nor past the last code point.
    if (!ok || code == 0 || (code >= 0xD800 && code <= 0xDFFF) || code > 0x10FFFF)
        return 0xFFFD;
    return char32_t(code);
}

} // namespace

QString ChmText::decodeHtml(const QByteArray &html)
{
    static const QRegularExpression charset(QStringLiteral(R"re(charset\s*=\s*["']?\s*([-A-Za-z0-9_:.]+))re"),
                                            QRegularExpression::CaseInsensitiveOption);
    const auto match = charset.match(QString::fromLatin1(html.left(2048)));
    if (match.hasMatch()) {
        const QString text = decodeWith(html, match.captured(1).toLatin1());
        if (!text.isNull())
            return text;
    }
    return decodeStored(html);
}

QString ChmText::decodeStored(const QByteArray &bytes)
{
    const QString utf8 = decodeWith(bytes, "UTF-8");
    return utf8.isNull() ? decodeWindows1252(bytes) : utf8;
}

QString ChmText::decodeReferences(const QString &value)
{
    if (!value.contains(QLatin1Char('&')))
        return value;
    // A reference ends at its semicolon, or at the end of the value.
    static const QRegularExpression reference(
        QStringLiteral("&(#[0-9]{1,7}|#[xX][0-9A-Fa-f]{1,6}|[A-Za-z][A-Za-z0-9]{1,7})(?:;|$)"));
    static const QRegularExpression space(QStringLiteral("[ \\t\\r\\n\\f]+"));
    static const QRegularExpression leadingSpace(QStringLiteral("^ "));
    const QString simplified = QString(value).replace(space, QStringLiteral(" ")).remove(leadingSpace);
    QString text;
    text.reserve(simplified.size());
    qsizetype done = 0;
    auto it = reference.globalMatch(simplified);
    while (it.hasNext()) {
        const auto match = it.next();
        const char32_t character = referencedCharacter(match.captured(1));
        if (character == 0)
            continue;
        text += QStringView(simplified).mid(done, match.capturedStart() - done);
        text += QString::fromUcs4(&character, 1);
        done = match.capturedEnd();
    }
    text += QStringView(simplified).mid(done);
    return text.replace(QChar(0xA0), QLatin1Char(' '));
}
