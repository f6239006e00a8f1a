#include "http/ServeChecks.h"

#include "files/FileBytes.h"

#include <QFileInfo>

#include <algorithm>

namespace {

constexpr ReadLimit kTokenFileLimit{4096, "a token file"};
constexpr qsizetype kShortestToken = 16;
constexpr qsizetype kLongestToken = 1024;

} // namespace

QString listenRefusal(const QHostAddress& address, bool hasToken) {
    if (address.isLoopback() || hasToken)
        return QString();
    return QStringLiteral("%1 can be reached from other machines; give --token-file FILE too, "
                          "or listen on 127.0.0.1")
        .arg(address.toString());
}

TokenRead readTokenFile(const QString& path) {
    TokenRead read;
    const FileBytes file = readFileBytes(path, kTokenFileLimit);
    if (!file.error.isEmpty()) {
        read.error = file.error;
        return read;
    }
#ifndef Q_OS_WIN
    const QFileDevice::Permissions others = QFileDevice::ReadGroup | QFileDevice::WriteGroup |
                                            QFileDevice::ExeGroup | QFileDevice::ReadOther |
                                            QFileDevice::WriteOther | QFileDevice::ExeOther;
    if (QFileInfo(path).permissions() & others) {
        read.error = QStringLiteral("other users may read it; make it private with chmod 600");
        return read;
    }
#endif
    const QByteArray token = file.bytes.trimmed();
    const bool visible =
        std::all_of(token.begin(), token.end(), [](char c) { return c > ' ' && c < 127; });
    if (token.size() < kShortestToken || token.size() > kLongestToken || !visible) {
        read.error = QStringLiteral("it must hold the token alone: %1 to %2 visible ASCII "
                                    "characters, no blanks")
                         .arg(kShortestToken)
                         .arg(kLongestToken);
        return read;
    }
    read.token = token;
    return read;
}
