#include "TestSupport.h"

#include <QDir>
#include <QFile>
#include <filesystem>
#include <stdexcept>

namespace kw27::test {

RecordingMessageSink::RecordingMessageSink() : previous_(setMessageSink(this)) {}
RecordingMessageSink::~RecordingMessageSink() { setMessageSink(previous_); }
void RecordingMessageSink::show(QWidget*, const QString& caption, const QString& text,
                                MessageIcon icon) {
    boxes.push_back({caption, text, icon});
}

RecordingSoundPlayer::RecordingSoundPlayer() : previous_(setSoundPlayer(this)) {}
RecordingSoundPlayer::~RecordingSoundPlayer() { setSoundPlayer(previous_); }
bool RecordingSoundPlayer::play(const QString& name, unsigned flags) {
    requests.push_back({name, flags});
    return true;
}

void provideDataFolder(bool copy) {
    namespace fs = std::filesystem;
    const fs::path source = KW27_DATA_DIR;
    const fs::path target = fs::current_path() / "Data";
    if (!fs::is_directory(source))
        throw std::runtime_error("generated data set missing: " + source.string());
    fs::remove_all(target);
    if (copy)
        fs::copy(source, target, fs::copy_options::recursive);
    else
        fs::create_directory_symlink(source, target);
}

QString makeFolder(const QString& name) {
    QDir here = QDir::current();
    QDir(here.filePath(name)).removeRecursively();
    here.mkpath(name);
    return here.absoluteFilePath(name);
}

}  // namespace kw27::test
