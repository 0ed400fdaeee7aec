#include "run/NumericText.h"

#include <cstdlib>
#include <string>

namespace tavorin {

namespace {

bool isBlank(QChar c) { return c == QLatin1Char(' ') || c == QLatin1Char('\t'); }
bool isDigit(QChar c) { return c >= QLatin1Char('0') && c <= QLatin1Char('9'); }

} // namespace

double leadingNumericValue(const QString& text)
{
    // Collect the numeric prefix as plain ASCII, ignoring blanks inside it, then convert.
    std::string number;
    bool seenDigit = false;
    bool seenPoint = false;
    bool seenExponent = false;
    qsizetype i = 0;
    while (i < text.size() && isBlank(text[i]))
        ++i;
    if (i < text.size() && (text[i] == QLatin1Char('+') || text[i] == QLatin1Char('-')))
        number.push_back(char(text[i++].unicode()));
    for (; i < text.size(); ++i) {
        const QChar c = text[i];
        if (isBlank(c))
            continue;
        if (isDigit(c)) {
            number.push_back(char(c.unicode()));
            seenDigit = true;
        } else if (c == QLatin1Char('.') && !seenPoint && !seenExponent) {
            number.push_back('.');
            seenPoint = true;
        } else if ((c == QLatin1Char('e') || c == QLatin1Char('E')) && seenDigit && !seenExponent) {
            // Only an exponent followed by digits counts; otherwise the number ends here.
            qsizetype j = i + 1;
            std::string exponent = "e";
            if (j < text.size() && (text[j] == QLatin1Char('+') || text[j] == QLatin1Char('-')))
                exponent.push_back(char(text[j++].unicode()));
            if (j >= text.size() || !isDigit(text[j]))
                break;
            while (j < text.size() && isDigit(text[j]))
                exponent.push_back(char(text[j++].unicode()));
            number += exponent;
            seenExponent = true;
            break;
        } else {
            break;
        }
    }
    if (!seenDigit)
        return 0.0;
    return std::strtod(number.c_str(), nullptr);
}

std::optional<std::int16_t> wholeNumber16(const QString& text)
{
    const QString trimmed = text.trimmed();
    if (trimmed.isEmpty() || trimmed.size() > 8)
        return std::nullopt;
    qsizetype i = 0;
    if (trimmed[0] == QLatin1Char('+') || trimmed[0] == QLatin1Char('-'))
        ++i;
    if (i == trimmed.size())
        return std::nullopt;
    for (qsizetype j = i; j < trimmed.size(); ++j)
        if (!isDigit(trimmed[j]))
            return std::nullopt;
    bool ok = false;
    const int value = trimmed.toInt(&ok);
    if (!ok || value < -32768 || value > 32767)
        return std::nullopt;
    return static_cast<std::int16_t>(value);
}

} // namespace tavorin
