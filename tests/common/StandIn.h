#pragma once

#include <QDir>
#include <QFile>
#include <QString>
#include <stdexcept>

namespace kw27::test {

// An executable shell script named name in folder, standing in for a program of the system.
// It finds the usual tools whatever PATH the test gave its parent. Returns its path.
inline QString writeStandIn(const QString& folder, const QString& body,
                            const QString& name = QStringLiteral("Triplay")) {
    const QString path = QDir(folder).filePath(name);
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly | QIODevice::Truncate))
        throw std::runtime_error("cannot write the stand-in " + path.toStdString());
    file.write("#!/bin/sh\nPATH=/usr/bin:/bin\n" + body.toUtf8() + '\n');
    file.close();
    file.setPermissions(QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ExeOwner);
    return path;
}

// Sets PATH for the object's lifetime.
class ScopedPath {
public:
    explicit ScopedPath(const QString& value) : saved_(qgetenv("PATH")) {
        qputenv("PATH", QFile::encodeName(value));
    }
    ~ScopedPath() { qputenv("PATH", saved_); }
    ScopedPath(const ScopedPath&) = delete;
    ScopedPath& operator=(const ScopedPath&) = delete;

private:
    QByteArray saved_;
};

} // namespace kw27::test
