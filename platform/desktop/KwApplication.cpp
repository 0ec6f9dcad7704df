#include "KwApplication.h"

#include "Fonts.h"

#include <QFontDatabase>
#include <QLibraryInfo>
#include <QLocale>
#include <QTranslator>

#include <mutex>
#include <unistd.h>
#include <vector>

namespace {

// What Qt says while the application object sets up the window system is held back until it
// is known whether that worked. Without a display Qt would print several lines, advise
// reinstalling the program and abort; the programs say so in one line and end with status 1.
struct HeldMessage {
    QtMsgType type;
    const char* file;
    int line;
    const char* function;
    const char* category;
    QString text;
};

std::mutex heldMutex;
std::vector<HeldMessage> heldMessages;
QtMessageHandler handlerBeforeStart = nullptr;

void holdStartMessage(QtMsgType type, const QMessageLogContext& context, const QString& text) {
    if (type == QtFatalMsg && text.contains(u"no Qt platform plugin could be initialized")) {
        const QByteArray line =
            (kw27::applicationTitle() +
             QStringLiteral(": ディスプレイに接続できません。 Cannot connect to a display.\n"))
                .toLocal8Bit();
        [[maybe_unused]] const ssize_t written =
            ::write(STDERR_FILENO, line.constData(), std::size_t(line.size()));
        ::_exit(1);
    }
    if (type == QtFatalMsg) {
        qInstallMessageHandler(handlerBeforeStart);
        qt_message_output(type, context, text);
        return;
    }
    const std::lock_guard lock(heldMutex);
    heldMessages.push_back(
        {type, context.file, context.line, context.function, context.category, text});
}

int& holdStartMessages(int& argc) {
    handlerBeforeStart = qInstallMessageHandler(holdStartMessage);
    return argc;
}

void releaseStartMessages() {
    qInstallMessageHandler(handlerBeforeStart);
    std::vector<HeldMessage> held;
    {
        const std::lock_guard lock(heldMutex);
        held.swap(heldMessages);
    }
    for (const HeldMessage& m : held)
        qt_message_output(m.type, QMessageLogContext(m.file, m.line, m.function, m.category),
                          m.text);
}

} // namespace

KwApplication::KwApplication(int& argc, char** argv) : QApplication(holdStartMessages(argc), argv) {
    releaseStartMessages();
    kw27::installFontSubstitutions();
    fontListing_ = std::jthread([] { QFontDatabase::families(); });
    // The standard dialogs (file, print, message box buttons) speak Japanese like the rest.
    auto* translator = new QTranslator(this);
    if (translator->load(QLocale(QLocale::Japanese, QLocale::Japan), QStringLiteral("qtbase"),
                         QStringLiteral("_"), QLibraryInfo::path(QLibraryInfo::TranslationsPath)))
        installTranslator(translator);
}

bool KwApplication::notify(QObject* receiver, QEvent* event) {
    bool handled = false;
    kw27::runHandler([&] { handled = QApplication::notify(receiver, event); });
    return handled;
}
