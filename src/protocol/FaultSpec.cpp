#include "protocol/FaultSpec.h"

#include <QRegularExpression>

#include <array>

namespace {

struct KindName {
    const char* name;
    FaultKind kind;
    bool canTargetNumber; // false: it happens before the scale has seen the number
};

constexpr std::array<KindName, 9> kKinds{{
    {"sync", FaultKind::Sync, false},
    {"command", FaultKind::Command, false},
    {"echo", FaultKind::Echo, true},
    {"ack", FaultKind::Ack, true},
    {"silence", FaultKind::Silence, true},
    {"endbyte", FaultKind::EndByte, true},
    {"short", FaultKind::Short, true},
    {"long", FaultKind::Long, true},
    {"stray", FaultKind::Stray, true},
}};

std::optional<Fault> parseOne(const QString& text, QString& error) {
    static const QRegularExpression pattern(
        QStringLiteral("^([a-z]+)(?:([@#])(\\d{1,5}))?(?::(\\d{1,6}|\\*))?$"));
    const QRegularExpressionMatch match = pattern.match(text);
    if (!match.hasMatch()) {
        error = QStringLiteral("fault \"%1\" is not of the form KIND[@NUMBER|#EXCHANGE][:COUNT]")
                    .arg(text);
        return std::nullopt;
    }
    const QString name = match.captured(1);
    const KindName* kind = nullptr;
    for (const KindName& candidate : kKinds) {
        if (name == QLatin1String(candidate.name))
            kind = &candidate;
    }
    if (!kind) {
        error = QStringLiteral("fault \"%1\": unknown kind \"%2\"").arg(text, name);
        return std::nullopt;
    }

    Fault fault;
    fault.kind = kind->kind;
    fault.text = text;
    const QString marker = match.captured(2);
    if (!marker.isEmpty()) {
        fault.at = match.captured(3).toInt();
        if (marker == QLatin1String("@")) {
            if (!kind->canTargetNumber) {
                error = QStringLiteral("fault \"%1\": %2 happens before the scale has seen a "
                                       "number; use #EXCHANGE instead of @NUMBER")
                            .arg(text, name);
                return std::nullopt;
            }
            if (fault.at > 65535) {
                error =
                    QStringLiteral("fault \"%1\": a number on the wire is 0 to 65535").arg(text);
                return std::nullopt;
            }
            fault.target = Fault::Target::Number;
        } else {
            if (fault.at < 1) {
                error = QStringLiteral("fault \"%1\": exchanges are counted from 1").arg(text);
                return std::nullopt;
            }
            fault.target = Fault::Target::Exchange;
        }
    }
    const QString count = match.captured(4);
    if (count == QLatin1String("*")) {
        fault.remaining = -1;
    } else if (!count.isEmpty()) {
        fault.remaining = count.toInt();
        if (fault.remaining < 1) {
            error = QStringLiteral("fault \"%1\": the count must be 1 or more, or *").arg(text);
            return std::nullopt;
        }
    }
    return fault;
}

} // namespace

std::optional<QList<Fault>> parseFaults(const QString& text, QString* error) {
    QList<Fault> faults;
    QString problem;
    const QStringList parts = text.split(QLatin1Char(','));
    for (const QString& part : parts) {
        const QString trimmed = part.trimmed().toLower();
        std::optional<Fault> fault = parseOne(trimmed, problem);
        if (!fault) {
            if (error)
                *error = problem;
            return std::nullopt;
        }
        faults.append(*fault);
    }
    return faults;
}

QString faultSyntaxHelp() {
    return QStringLiteral(
        "A fault is KIND[@NUMBER|#EXCHANGE][:COUNT]; several may be given, separated by\n"
        "commas or in repeated --fault options.\n"
        "  @NUMBER    only in exchanges for this PLU number, message number or requested\n"
        "             number (not for sync and command, which come before the number)\n"
        "  #EXCHANGE  only from the exchange begun by the EXCHANGE-th sync on (from 1)\n"
        "  :COUNT     how many times (default 1); * for every time\n"
        "Kinds:\n"
        "  sync      answers the sync 0xA5 with 0x78 instead of 0x77\n"
        "  command   answers a download or upload command with 0x15 instead of 0x01\n"
        "  echo      echoes the number plus one, then takes the record without storing\n"
        "            or answering it\n"
        "  ack       answers a download record with 0x15 instead of 0x10; not stored\n"
        "  silence   no answer to the sync; with @NUMBER no answer to the number (a\n"
        "            download's record is then taken without storing or answering)\n"
        "  endbyte   the upload reply ends with 0x15 instead of 0x10\n"
        "  short     the upload reply (76 bytes) or display record (11 bytes) is one\n"
        "            byte short\n"
        "  long      the upload reply (78 bytes) or display record (13 bytes) has a 0x00\n"
        "            too many\n"
        "  stray     a stray 0x00 after the sync answer; with @NUMBER after the last\n"
        "            answer of that number's exchange\n"
        "Examples: sync:2   echo@5   silence@3:6   ack#2:3   short   endbyte@7:*");
}
