#pragma once

#include "MessageBoxes.h"
#include "WavPlayer.h"

#include <QFile>
#include <QString>
#include <QStringList>
#include <gtest/gtest.h>

#include <string>
#include <string_view>
#include <sys/resource.h>
#include <vector>

namespace kw27::test {

// Message boxes recorded instead of shown. Installed for its lifetime.
class RecordingMessageSink : public MessageSink {
public:
    struct Box {
        QString caption;
        QString text;
        MessageIcon icon;
    };
    RecordingMessageSink();
    ~RecordingMessageSink() override;
    void show(QWidget* parent, const QString& caption, const QString& text,
              MessageIcon icon) override;
    std::vector<Box> boxes;

private:
    MessageSink* previous_;
};

// Sound requests recorded instead of played. Installed for its lifetime.
class RecordingSoundPlayer : public SoundPlayer {
public:
    struct Request {
        QString name;
        unsigned flags;
    };
    RecordingSoundPlayer();
    ~RecordingSoundPlayer() override;
    bool play(const QString& name, unsigned flags) override;
    std::vector<Request> requests;

private:
    SoundPlayer* previous_;
};

// Makes "Data" in the current working folder: a symbolic link to the generated data set, or,
// with copy set, a private copy that a test may change (remove a file, say).
void provideDataFolder(bool copy = false);

// A fresh empty folder under the test's working folder.
QString makeFolder(const QString& name);

// Lets writes beyond limit bytes fail (EFBIG) for its lifetime, as a full disk would.
class FileSizeLimit {
public:
    explicit FileSizeLimit(rlim_t limit);
    ~FileSizeLimit();
    FileSizeLimit(const FileSizeLimit&) = delete;
    FileSizeLimit& operator=(const FileSizeLimit&) = delete;

private:
    rlimit saved_{};
    void (*previousHandler_)(int) = nullptr;
};

// A file's whole content; "<missing>" when it cannot be read, so a comparison shows why.
inline std::string readBytes(const QString& path) {
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return "<missing>";
    const QByteArray data = file.readAll();
    return std::string(data.constData(), std::size_t(data.size()));
}

// Writes the bytes as the whole file; the test fails when it cannot.
inline void writeBytes(const QString& path, std::string_view bytes) {
    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    ASSERT_EQ(file.write(bytes.data(), qint64(bytes.size())), qint64(bytes.size()));
}

} // namespace kw27::test
