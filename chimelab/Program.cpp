#include "Program.h"

#include "KwApplication.h"
#include "Unit1.h"

#include <QIcon>

int runChimelab(int& argc, char** argv) {
    KwApplication app(argc, argv);
    QApplication::setWindowIcon(QIcon(QStringLiteral(":/assets/icon.png")));
    TForm1 Form1;
    // The event loop shows it; its first events destroy the splash released by start-up.
    Form1.show();
    return app.exec();
}
