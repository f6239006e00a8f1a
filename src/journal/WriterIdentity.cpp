#include "journal/WriterIdentity.h"

#include <QCoreApplication>
#include <QSysInfo>

#ifdef Q_OS_WIN
#include <windows.h>

#include <lmcons.h>
#else
#include <pwd.h>
#include <unistd.h>
#endif

namespace journal {

namespace {

// The account itself, not $USER or %USERNAME%, which anyone can set to another name.
QString osUser() {
#ifdef Q_OS_WIN
    wchar_t name[UNLEN + 1];
    DWORD size = UNLEN + 1;
    if (GetUserNameW(name, &size))
        return QString::fromWCharArray(name, int(size) - 1);
    return qEnvironmentVariable("USERNAME");
#else
    if (const passwd* entry = getpwuid(geteuid()))
        return QString::fromLocal8Bit(entry->pw_name);
    return QStringLiteral("uid %1").arg(geteuid());
#endif
}

} // namespace

WriterIdentity currentWriter() {
    return {osUser(), QSysInfo::machineHostName(), QCoreApplication::applicationName(),
            QCoreApplication::applicationVersion()};
}

} // namespace journal
