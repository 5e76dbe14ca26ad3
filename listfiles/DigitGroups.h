// Whole numbers written with their digits in groups of three, the form of the
// count in a list file's header and of the primes when separators are asked for.
#pragma once

#include <QString>

namespace ListFiles {

// Groups counted from the right, the separator (normally one character; an
// empty one gives plain digits) between them, a minus sign in front of a
// negative number; exact over the whole signed 64-bit range.
QString GroupDigits(qint64 value, const QString &separator);

} // namespace ListFiles
