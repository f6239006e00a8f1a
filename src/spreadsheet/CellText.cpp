#include "spreadsheet/CellText.h"

#include <charconv>
#include <cmath>

namespace celltext {

QString plainDecimal(double value) {
    if (value == 0)
        return QStringLiteral("0");
    if (std::isnan(value))
        return QStringLiteral("NaN");
    if (std::isinf(value))
        return value > 0 ? QStringLiteral("Infinity") : QStringLiteral("-Infinity");
    const double magnitude = std::fabs(value);
    const auto format = magnitude >= 1e-6 && magnitude < 1e21 ? std::chars_format::fixed
                                                              : std::chars_format::general;
    char buffer[512];
    const auto result = std::to_chars(buffer, buffer + sizeof buffer, value, format);
    return QString::fromLatin1(buffer, result.ptr - buffer);
}

std::optional<double> exactNumber(const QString& text) {
    if (text.isEmpty() || text.size() > 400)
        return std::nullopt;
    const QChar first = text.front();
    if (first != QLatin1Char('-') && (first < QLatin1Char('0') || first > QLatin1Char('9')))
        return std::nullopt; // the plain decimal form starts with a digit or a minus sign
    const QByteArray latin = text.toLatin1();
    double value = 0;
    const auto result = std::from_chars(latin.constData(), latin.constData() + latin.size(), value);
    if (result.ec != std::errc() || result.ptr != latin.constData() + latin.size())
        return std::nullopt;
    if (!std::isfinite(value) || plainDecimal(value) != text)
        return std::nullopt;
    return value;
}

} // namespace celltext
