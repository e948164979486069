#include <QApplication>

#include "ui/main/frm_utility.h"

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    QApplication::setApplicationName("Cantora Utility");
    cantora::FrmUtility window;
    window.show();
    return QApplication::exec();
}
