#include "app/AppInfo.h"
#include "app/frmMain.h"

#include <QApplication>

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    QApplication::setApplicationName(appinfo::productName());
    QApplication::setApplicationVersion(appinfo::version());
    frmMain window;
    window.show();
    return app.exec();
}
