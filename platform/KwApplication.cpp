#include "KwApplication.h"

#include "Fonts.h"

#include <QLibraryInfo>
#include <QLocale>
#include <QTranslator>

KwApplication::KwApplication(int& argc, char** argv) : QApplication(argc, argv) {
    kw27::installFontSubstitutions();
    // The standard dialogs (file, print, message box buttons) speak Japanese like the rest.
    auto* translator = new QTranslator(this);
    if (translator->load(QLocale(QLocale::Japanese, QLocale::Japan), QStringLiteral("qtbase"),
                         QStringLiteral("_"),
                         QLibraryInfo::path(QLibraryInfo::TranslationsPath)))
        installTranslator(translator);
}

bool KwApplication::notify(QObject* receiver, QEvent* event) {
    bool handled = false;
    kw27::runHandler([&] { handled = QApplication::notify(receiver, event); });
    return handled;
}
