#include "app/AppInfo.h"
#include "app/frmMain.h"

#include <QApplication>

#include <cstdio>
#include <cstdlib>
#include <cstring>

namespace {

#if defined(Q_OS_UNIX) && !defined(Q_OS_DARWIN)
bool isSet(const char* name) {
    const char* value = std::getenv(name);
    return value != nullptr && *value != '\0';
}
#endif

// Without a display Qt aborts with a message about platform plugins and exit code 134. On
// X11 and Wayland systems the environment tells beforehand, so the user gets plain words and
// exit code 1 instead. A platform chosen by QT_QPA_PLATFORM or -platform is left to Qt.
bool hasDisplay(int argc, char** argv) {
#if defined(Q_OS_UNIX) && !defined(Q_OS_DARWIN)
    if (isSet("DISPLAY") || isSet("WAYLAND_DISPLAY") || isSet("QT_QPA_PLATFORM"))
        return true;
    for (int i = 1; i < argc; ++i) {
        if (std::strcmp(argv[i], "-platform") == 0 || std::strcmp(argv[i], "--platform") == 0)
            return true;
    }
    return false;
#else
    Q_UNUSED(argc);
    Q_UNUSED(argv);
    return true;
#endif
}

} // namespace

int main(int argc, char** argv) {
    if (!hasDisplay(argc, argv)) {
        std::fputs("scaledesk needs a display to show its window on, and there is none: neither "
                   "DISPLAY nor WAYLAND_DISPLAY is set.\n"
                   "Start it from a desktop session, or under a virtual display: xvfb-run "
                   "scaledesk (xvfb-run comes with the package xvfb).\n"
                   "scalectl does the same work from the command line without a display: "
                   "scalectl --help\n",
                   stderr);
        return 1;
    }
    QApplication app(argc, argv);
    QApplication::setApplicationName(appinfo::productName());
    QApplication::setApplicationVersion(appinfo::version());
    frmMain window;
    window.show();
    // `scaledesk FILE...`: what Explorer and the desktop's file manager start for a table
    // file; Qt has taken its own options out of the arguments already.
    for (const QString& path : app.arguments().mid(1))
        window.openPath(path);
    return app.exec();
}
