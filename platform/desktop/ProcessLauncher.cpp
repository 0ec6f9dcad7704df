#include "ProcessLauncher.h"

#include <QCoreApplication>
#include <QDir>
#include <QEventLoop>
#include <QFileInfo>
#include <QProcess>
#include <QProcessEnvironment>

namespace kw27 {

ProgramSearch ProgramSearch::current() {
    ProgramSearch search;
    search.ownFolder = QCoreApplication::applicationDirPath();
    search.workingFolder = QDir::currentPath();
    // An empty entry of the search path means the working directory, as the shell reads it.
    const QString path = QProcessEnvironment::systemEnvironment().value(QStringLiteral("PATH"));
    for (const QString& folder : path.split(QLatin1Char(':')))
        search.pathFolders.append(folder.isEmpty() ? QStringLiteral(".") : folder);
    return search;
}

QString programFileName(const QString& commandLine) {
    QString name = commandLine.trimmed();
    if (name.endsWith(QLatin1String(".exe"), Qt::CaseInsensitive))
        name.chop(4);
    return name;
}

QString findProgram(const QString& commandLine, const ProgramSearch& search) {
    const QString name = programFileName(commandLine);
    // The name alone is looked up; a name with a folder in it would escape the search.
    if (name.isEmpty() || name.contains(QLatin1Char('/')) || name.contains(QLatin1Char('\\')))
        return {};
    QStringList folders{search.ownFolder, search.workingFolder};
    folders += search.pathFolders;
    for (const QString& folder : folders) {
        if (folder.isEmpty())
            continue;
        const QFileInfo candidate(QDir(QDir(search.workingFolder).absoluteFilePath(folder)), name);
        if (candidate.isFile() && candidate.isExecutable())
            return candidate.absoluteFilePath();
    }
    return {};
}

ProcessLauncher::ProcessLauncher() = default;

ProcessLauncher::~ProcessLauncher() {
    // A launcher is waited on before it goes; one that is not takes its child with it rather
    // than leave a process nobody watches.
    if (process_ && process_->state() != QProcess::NotRunning) {
        process_->disconnect();
        process_->kill();
        process_->waitForFinished(-1);
    }
}

bool ProcessLauncher::start(const QString& commandLine, const QString& workingDirectory,
                            const ProgramSearch& search) {
    const QString file = findProgram(commandLine, search);
    if (file.isEmpty())
        return false;
    auto process = std::make_unique<QProcess>();
    process->setProgram(file);
    process->setWorkingDirectory(workingDirectory);
    // The child writes to this program's terminal and reads nothing from it: its output is
    // not collected in memory here, and no input is waited for.
    process->setProcessChannelMode(QProcess::ForwardedChannels);
    process->setStandardInputFile(QProcess::nullDevice());
    process->start();
    // Returns as soon as the program file has been executed or has failed to be.
    if (!process->waitForStarted(-1))
        return false;
    ended_ = false;
    QObject::connect(process.get(), &QProcess::finished, process.get(), [this] { ended_ = true; });
    process_ = std::move(process);
    return true;
}

bool ProcessLauncher::running() const {
    return !ended_;
}

void ProcessLauncher::waitForEnd() {
    if (ended_)
        return;
    QEventLoop loop;
    QObject::connect(process_.get(), &QProcess::finished, &loop, &QEventLoop::quit);
    // The child may already have ended while window messages were handled.
    if (!ended_)
        loop.exec();
    // A request to quit the application ends every event loop, and no new one runs until the
    // application's own loop starts again. The child is still waited for, only without
    // messages: the application is on its way out, and quits once the child has ended.
    if (!ended_) {
        process_->waitForFinished(-1);
        ended_ = true;
    }
}

} // namespace kw27
