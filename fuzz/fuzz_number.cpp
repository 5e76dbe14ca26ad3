// Fuzz target: the conversion of a number field's text and the filter of
// text typed or composed into a field.
#include "core/CommandError.h"
#include "core/NumberEntry.h"

#include <cstdint>
#include <cstdlib>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    const QString text = QString::fromUtf8(reinterpret_cast<const char *>(data), qsizetype(size));
    const std::optional<qint64> value = ParseInteger(text);
    // The conversion that raises agrees with the one that does not.
    try {
        if (ParseNumber(text) != value.value_or(0) || !value)
            std::abort();
    } catch (const CommandError &) {
        if (value)
            std::abort();
    }
    // Every value reads back from its plain decimal form, and from its
    // hexadecimal form behind "$" (the magnitude, with the sign in front).
    if (value) {
        if (ParseInteger(QString::number(*value)) != value)
            std::abort();
        const quint64 magnitude = *value < 0 ? 0 - quint64(*value) : quint64(*value);
        const QString hex = (*value < 0 ? QStringLiteral("-$") : QStringLiteral("$")) + QString::number(magnitude, 16);
        if (ParseInteger(hex) != value)
            std::abort();
    }
    // Whatever is typed, only digits reach the field, and never beyond the
    // limit when nothing is selected.
    const int length = size > 0 ? data[0] % 20 : 0;
    const FilteredEntry typed = FilterTypedText(text, 0, length);
    for (const QChar c : typed.kept)
        if (c < u'0' || c > u'9')
            std::abort();
    if (length + typed.kept.size() > std::max(length, NombreChiffresMax))
        std::abort();
    return 0;
}
