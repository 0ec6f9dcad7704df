#pragma once

#include <QString>
#include <QStringList>
#include <memory>

class QProcess;

namespace kw27 {

// The places a program named on a command line alone ("Triplay.exe") is looked for, in
// this order: the folder of the running program's own executable, where the programs are
// delivered together; the working directory; then each folder of the search path.
struct ProgramSearch {
    QString ownFolder;
    QString workingFolder;
    QStringList pathFolders;

    // The running process's own places, read at the moment of the call.
    static ProgramSearch current();
};

// The file that a command line names on this system: the programs call each other by their
// Windows names, and an ".exe" ending (in any letter case) is dropped.
QString programFileName(const QString& commandLine);

// The absolute path of the first executable regular file of that name along the search, or
// an empty string when there is none.
QString findProgram(const QString& commandLine, const ProgramSearch& search);

// A program started as a child process and waited for without holding a processor: the wait
// sleeps in an event loop of its own that still dispatches every window message, and wakes
// when the child ends.
class ProcessLauncher {
public:
    ProcessLauncher();
    ~ProcessLauncher();
    ProcessLauncher(const ProcessLauncher&) = delete;
    ProcessLauncher& operator=(const ProcessLauncher&) = delete;

    // Starts the program that commandLine names, with no arguments, the environment of this
    // process and workingDirectory as its working directory. False when the program is not
    // found or cannot be started; nothing is left running then.
    bool start(const QString& commandLine, const QString& workingDirectory,
               const ProgramSearch& search = ProgramSearch::current());

    // True from a successful start until the child has been seen to end.
    bool running() const;

    // Returns when the child has ended (at once when it already has, or was never started).
    void waitForEnd();

private:
    std::unique_ptr<QProcess> process_;
    bool ended_ = true;
};

} // namespace kw27
