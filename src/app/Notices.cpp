#include "app/Notices.h"

#include <QCoreApplication>
#include <QDir>

namespace notices {

// Windows: the libraries ship beside the programs, their notices in the folder "licenses"
// there (packaging/windows/make-packages). Linux: they are the system's packages, each with
// its copyright file.
QString licenceText() {
    const QString own = QStringLiteral("ScaleDesk is licensed under the Apache License 2.0.\n");
#ifdef Q_OS_WIN
    return own +
           QStringLiteral("It contains Qt 6 (LGPL-3.0), libxlsxwriter (BSD-2-Clause), minizip and "
                          "zlib (zlib licence), SQLite (public domain) and the MinGW-w64 run-time "
                          "libraries (GPL-3.0 with the GCC Runtime Library Exception, and others)."
                          "\nTheir licence texts and notices, and where Qt's source is found, are "
                          "in the folder\n%1")
               .arg(QDir::toNativeSeparators(QCoreApplication::applicationDirPath() +
                                             QStringLiteral("/licenses")));
#else
    return own + QStringLiteral("It uses Qt 6 (LGPL-3.0), libxlsxwriter (BSD-2-Clause), minizip "
                                "and zlib (zlib licence) as installed on this system.\n"
                                "Licence texts and notices: ScaleDesk's in\n"
                                "/usr/share/doc/scaledesk/copyright, each library's in\n"
                                "/usr/share/doc/PACKAGE/copyright");
#endif
}

} // namespace notices
