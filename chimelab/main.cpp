#include "KwApplication.h"
#include "Unit1.h"

#include <QIcon>

int main(int argc, char** argv) {
    KwApplication app(argc, argv);
    QApplication::setWindowIcon(QIcon(QStringLiteral(":/assets/icon.png")));
    TForm1 Form1;
    Form1.show();
    return app.exec();
}
