#include "app/AppInfo.h"

#include <QApplication>
#include <QMainWindow>

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    QMainWindow window;
    window.setWindowTitle(appinfo::productName());
    window.show();
    return app.exec();
}
