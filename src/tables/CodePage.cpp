#include "tables/CodePage.h"

#include <array>

namespace codepage {
namespace {

// Characters of the bytes 0x80 to 0x9F; the rest of the page equals Latin-1.
constexpr std::array<char16_t, 32> kHigh = {
    0x20AC, 0x0081, 0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021, 0x02C6, 0x2030, 0x0160,
    0x2039, 0x0152, 0x008D, 0x017D, 0x008F, 0x0090, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022,
    0x2013, 0x2014, 0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0x009D, 0x017E, 0x0178};

std::optional<char> byteFor(char16_t ch) {
    if (ch < 0x80 || (ch >= 0xA0 && ch <= 0xFF))
        return static_cast<char>(ch);
    for (std::size_t i = 0; i < kHigh.size(); ++i) {
        if (kHigh[i] == ch)
            return static_cast<char>(0x80 + i);
    }
    return std::nullopt;
}

} // namespace

std::optional<QByteArray> encode(const QString& text, qsizetype* badIndex) {
    QByteArray out;
    out.reserve(text.size());
    for (qsizetype i = 0; i < text.size(); ++i) {
        const auto byte = byteFor(text.at(i).unicode());
        if (!byte) {
            if (badIndex)
                *badIndex = i;
            return std::nullopt;
        }
        out.append(*byte);
    }
    return out;
}

QString decode(const QByteArray& bytes) {
    QString out;
    out.reserve(bytes.size());
    for (const char c : bytes) {
        const auto byte = static_cast<unsigned char>(c);
        out.append(QChar(byte >= 0x80 && byte < 0xA0 ? kHigh[byte - 0x80] : char16_t(byte)));
    }
    return out;
}

bool canEncode(const QString& text, qsizetype* badIndex) {
    for (qsizetype i = 0; i < text.size(); ++i) {
        if (!byteFor(text.at(i).unicode())) {
            if (badIndex)
                *badIndex = i;
            return false;
        }
    }
    return true;
}

} // namespace codepage
