#include "Program.h"

#include "KwApplication.h"
#include "Picture.h"
#include "Unit1.h"

int runChimelab(int& argc, char** argv) {
    KwApplication app(argc, argv);
    QApplication::setWindowIcon(kw27::loadIcon(QStringLiteral(":/assets/icon.png")));
    // The menu entry's name (packaging/kw27-chimelab.desktop.in): Wayland desktops find the
    // window's icon and name through it.
    QGuiApplication::setDesktopFileName(QStringLiteral("kw27-chimelab"));
    chimelab::TForm1 Form1;
    // The event loop shows it; its first events destroy the splash released by start-up.
    Form1.show();
    return app.exec();
}
