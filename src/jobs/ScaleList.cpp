#include "jobs/ScaleList.h"

#include "files/FileBytes.h"

namespace {

// A list of a few hundred scales stays far below this; anything larger is the wrong file.
constexpr ReadLimit kScaleListLimit{1024 * 1024, "a list of scales"};

} // namespace

QString scaleEntryProblem(const ScaleEntry& entry, const QList<ScaleEntry>& others) {
    const QString name = entry.name.trimmed();
    if (name.isEmpty())
        return QStringLiteral("The scale needs a name");
    // The list file keeps one scale per line as NAME = PORT.
    if (name.contains(u'=') || name.contains(u'\n') || name.contains(u'\r'))
        return QStringLiteral("A scale's name cannot hold '=' or a line break");
    for (const ScaleEntry& other : others)
        if (other.name.trimmed().compare(name, Qt::CaseInsensitive) == 0)
            return QStringLiteral("There is a scale named %1 already").arg(other.name);
    const QString port = entry.port.trimmed();
    if (port.isEmpty())
        return QStringLiteral("The scale needs a port");
    if (port.contains(u'\n') || port.contains(u'\r'))
        return QStringLiteral("A scale's port cannot hold a line break");
    // Two jobs on one port would mix their bytes.
    for (const ScaleEntry& other : others)
        if (other.port.trimmed() == port)
            return QStringLiteral("The scale %1 is on port %2 already").arg(other.name, port);
    return {};
}

ScaleListResult parseScaleList(const QByteArray& text) {
    ScaleListResult result;
    QString all = QString::fromUtf8(text);
    if (all.startsWith(QChar(0xFEFF)))
        all.remove(0, 1);
    const QStringList lines = all.split(u'\n');
    for (qsizetype i = 0; i < lines.size(); ++i) {
        const QString line = lines[i].trimmed(); // also drops the CR of CR LF
        if (line.isEmpty() || line.startsWith(u'#'))
            continue;
        const qsizetype equals = line.indexOf(u'=');
        const auto lineError = [&](const QString& why) {
            result.scales.clear();
            result.error = QStringLiteral("line %1: %2").arg(i + 1).arg(why);
            return result;
        };
        if (equals < 0)
            return lineError(QStringLiteral("expected NAME = PORT, not \"%1\"").arg(line));
        const ScaleEntry entry{line.left(equals).trimmed(), line.mid(equals + 1).trimmed()};
        const QString problem = scaleEntryProblem(entry, result.scales);
        if (!problem.isEmpty())
            return lineError(problem);
        result.scales.append(entry);
    }
    return result;
}

QByteArray formatScaleList(const QList<ScaleEntry>& scales) {
    QByteArray text = "# ScaleDesk scales: one per line, NAME = PORT\n";
    for (const ScaleEntry& scale : scales)
        text +=
            (scale.name.trimmed() + QStringLiteral(" = ") + scale.port.trimmed()).toUtf8() + '\n';
    return text;
}

ScaleListResult readScaleList(const QString& path) {
    const FileBytes file = readFileBytes(path, kScaleListLimit);
    if (!file.error.isEmpty())
        return {{}, file.error};
    ScaleListResult result = parseScaleList(file.bytes);
    if (result.ok() && result.scales.isEmpty())
        result.error = QStringLiteral("it names no scale");
    return result;
}

QString writeScaleList(const QString& path, const QList<ScaleEntry>& scales) {
    return writeFileAtomically(path, formatScaleList(scales));
}
