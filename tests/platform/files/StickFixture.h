#pragma once

#include <QString>
#include <QStringList>

#include <functional>
#include <sys/types.h>
#include <utility>

namespace kw27::test {

// A FUSE file system mounted on a fresh folder for the object's lifetime, or the reason it
// could not be (no /dev/fuse, no driver installed, not allowed to mount): tests skip with it.
class FuseMount {
public:
    // Runs program with arguments, mountPoint appended, and waits for the mount to show.
    FuseMount(const QString& program, QStringList arguments, const QString& mountPoint);
    // Nothing mounted, for the reason given.
    explicit FuseMount(QString whyNot) : reason_(std::move(whyNot)) {}
    ~FuseMount();
    FuseMount(const FuseMount&) = delete;
    FuseMount& operator=(const FuseMount&) = delete;

    bool mounted() const { return mounted_; }
    const QString& reason() const { return reason_; }

private:
    QString mountPoint_;
    bool mounted_ = false;
    QString reason_;
};

// Every name in folder, hidden ones too, sorted: to see that a save left no stray file.
QStringList entriesOf(const QString& folder);

// An empty FAT32 image file of about 40 MB, or the reason there is none.
QString makeFatImage(const QString& path);

// The ids of two ordinary users, as pupils of one class.
inline constexpr uid_t kPupil = 65534;
inline constexpr uid_t kClassmate = 65533;

// Why this process cannot act as an ordinary user (it is not root); empty when it can.
QString whyNoOrdinaryUser();

// Runs body in a child process under uid (and the same gid), with no other groups. Returns the
// child's exit status, or 128 + the signal that ended it.
int runAs(uid_t uid, const std::function<int()>& body);

// A fresh folder that every user can reach (the test's own working folder is private).
QString makeSharedFolder(const QString& name);

} // namespace kw27::test
