#include "spreadsheet/BiffStringReader.h"

#include "spreadsheet/CodePageDecoder.h"
#include "spreadsheet/LittleEndian.h"
#include "tables/CodePage.h"

namespace {

constexpr quint8 kWide = 0x01;
constexpr quint8 kPhonetic = 0x04;
constexpr quint8 kRichText = 0x08;

// Characters stored one byte each are the code points U+0000 to U+00FF.
QString latin1(QByteArrayView bytes) {
    return QString::fromLatin1(bytes.data(), bytes.size());
}

QString utf16(QByteArrayView bytes) {
    QString text(bytes.size() / 2, Qt::Uninitialized);
    for (qsizetype i = 0; i < text.size(); ++i)
        text[i] = QChar(le::u16(bytes.data() + 2 * i));
    return text;
}

// Reads across the SST record and its CONTINUE records. Where the characters of a string
// cross into the next record, that record starts with a fresh flags byte telling whether the
// rest is 8-bit or UTF-16; every other field just continues.
class SegmentCursor {
public:
    explicit SegmentCursor(const QVector<QByteArrayView>& segments) : segments_(segments) {}

    bool atEnd() {
        skipFinishedSegments();
        return segment_ >= segments_.size();
    }

    std::optional<QByteArray> raw(qsizetype size) {
        QByteArray out;
        while (out.size() < size) {
            skipFinishedSegments();
            if (segment_ >= segments_.size())
                return std::nullopt;
            const QByteArrayView here = segments_[segment_];
            const qsizetype take = qMin(size - out.size(), here.size() - pos_);
            out.append(here.data() + pos_, take);
            pos_ += take;
        }
        return out;
    }

    bool skip(qsizetype size) {
        while (size > 0) {
            skipFinishedSegments();
            if (segment_ >= segments_.size())
                return false;
            const qsizetype take = qMin(size, segments_[segment_].size() - pos_);
            pos_ += take;
            size -= take;
        }
        return true;
    }

    std::optional<QString> characters(qsizetype count, bool wide) {
        QString text;
        bool first = true;
        while (text.size() < count) {
            if (!first || pos_ >= segments_.value(segment_).size()) {
                // A new record in the middle of the characters: it starts with a flags byte.
                if (pos_ < segments_.value(segment_).size())
                    return std::nullopt;
                ++segment_;
                pos_ = 0;
                if (segment_ >= segments_.size() || segments_[segment_].isEmpty())
                    return std::nullopt;
                wide = le::u8(segments_[segment_].data()) & kWide;
                pos_ = 1;
            }
            first = false;
            const QByteArrayView here = segments_[segment_];
            const int width = wide ? 2 : 1;
            const qsizetype fit = (here.size() - pos_) / width;
            const qsizetype take = qMin(count - text.size(), fit);
            const QByteArrayView part = here.sliced(pos_, take * width);
            text += wide ? utf16(part) : latin1(part);
            pos_ += take * width;
            if (text.size() < count && pos_ != here.size())
                return std::nullopt; // half a UTF-16 character left over
        }
        return text;
    }

private:
    void skipFinishedSegments() {
        while (segment_ < segments_.size() && pos_ >= segments_[segment_].size()) {
            ++segment_;
            pos_ = 0;
        }
    }

    const QVector<QByteArrayView>& segments_;
    qsizetype segment_ = 0;
    qsizetype pos_ = 0;
};

} // namespace

QString BiffStringReader::decode8bit(QByteArrayView bytes) const {
    // Windows-1252 is also the answer for code page 0x8001 and for pages not known here.
    if (codePage_ != 1252 && codePage_ != 0x8001) {
        if (const std::optional<QString> text = decodeCodePage(codePage_, bytes))
            return *text;
    }
    return codepage::decode(bytes.toByteArray());
}

std::optional<QString> BiffStringReader::shortString(QByteArrayView bytes) const {
    if (bytes.isEmpty())
        return std::nullopt;
    const qsizetype count = le::u8(bytes.data());
    if (!biff8_) {
        if (bytes.size() < 1 + count)
            return std::nullopt;
        return decode8bit(bytes.sliced(1, count));
    }
    if (bytes.size() < 2)
        return std::nullopt;
    const bool wide = le::u8(bytes.data() + 1) & kWide;
    const qsizetype size = count * (wide ? 2 : 1);
    if (bytes.size() < 2 + size)
        return std::nullopt;
    const QByteArrayView chars = bytes.sliced(2, size);
    return wide ? utf16(chars) : latin1(chars);
}

std::optional<QString> BiffStringReader::longString(QByteArrayView bytes) const {
    if (bytes.size() < 2)
        return std::nullopt;
    const qsizetype count = le::u16(bytes.data());
    if (!biff8_) {
        if (bytes.size() < 2 + count)
            return std::nullopt;
        return decode8bit(bytes.sliced(2, count));
    }
    return unicodeString(bytes, 2);
}

std::optional<QString> BiffStringReader::unicodeString(QByteArrayView bytes, int countSize) const {
    if (bytes.size() < countSize + 1)
        return std::nullopt;
    const qsizetype count = countSize == 2 ? le::u16(bytes.data()) : le::u8(bytes.data());
    const quint8 flags = le::u8(bytes.data() + countSize);
    qsizetype at = countSize + 1;
    if (flags & kRichText)
        at += 2;
    if (flags & kPhonetic)
        at += 4;
    const qsizetype size = count * ((flags & kWide) ? 2 : 1);
    if (bytes.size() < at + size)
        return std::nullopt;
    const QByteArrayView chars = bytes.sliced(at, size);
    return (flags & kWide) ? utf16(chars) : latin1(chars);
}

bool BiffStringReader::sharedStrings(const QVector<QByteArrayView>& segments, quint32 count,
                                     QStringList* out) const {
    SegmentCursor cursor(segments);
    for (quint32 i = 0; i < count && !cursor.atEnd(); ++i) {
        const auto header = cursor.raw(3);
        if (!header)
            return false;
        const qsizetype chars = le::u16(header->constData());
        const quint8 flags = le::u8(header->constData() + 2);
        qsizetype runs = 0;
        qsizetype phonetic = 0;
        if (flags & kRichText) {
            const auto field = cursor.raw(2);
            if (!field)
                return false;
            runs = le::u16(field->constData());
        }
        if (flags & kPhonetic) {
            const auto field = cursor.raw(4);
            if (!field)
                return false;
            phonetic = le::u32(field->constData());
        }
        const auto text = cursor.characters(chars, flags & kWide);
        if (!text || !cursor.skip(4 * runs) || !cursor.skip(phonetic))
            return false;
        out->append(*text);
    }
    return true;
}
