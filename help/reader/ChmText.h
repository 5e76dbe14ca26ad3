// Text of a compiled help file: the code pages its strings and pages are stored
// in, and the character references of HTML attribute values.
#pragma once

#include <QByteArray>
#include <QString>

class ChmText
{
public:
    // Text of an HTML page or sitemap: the charset its <meta> declares, else UTF-8
    // when the bytes are valid UTF-8, else Windows-1252.
    static QString decodeHtml(const QByteArray &html);
    // A string stored by the help compiler: UTF-8 when the bytes are valid UTF-8,
    // else Windows-1252, the code page of French help files.
    static QString decodeStored(const QByteArray &bytes);
    // An attribute value with its character references ("&eacute;", "&#233;",
    // "&#xE9;") replaced. As a browser shows it, runs of white space become one
    // space, leading white space goes and a no-break space becomes a plain one;
    // an unknown name stays as written, a number that is no character becomes
    // U+FFFD, and markup stays text.
    static QString decodeReferences(const QString &value);
};
