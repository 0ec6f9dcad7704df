#include "TestSupport.h"

#include <QDir>
#include <QFile>
#include <algorithm>
#include <csignal>
#include <filesystem>
#include <stdexcept>

namespace kw27::test {

RecordingMessageSink::RecordingMessageSink() : previous_(setMessageSink(this)) {}
RecordingMessageSink::~RecordingMessageSink() {
    setMessageSink(previous_);
}
void RecordingMessageSink::show(QWidget*, const QString& caption, const QString& text,
                                MessageIcon icon) {
    boxes.push_back({caption, text, icon});
}

RecordingSoundPlayer::RecordingSoundPlayer() : previous_(setSoundPlayer(this)) {}
RecordingSoundPlayer::~RecordingSoundPlayer() {
    setSoundPlayer(previous_);
}
bool RecordingSoundPlayer::play(const QString& name, unsigned flags) {
    requests.push_back({name, flags});
    return true;
}

FileSizeLimit::FileSizeLimit(rlim_t limit) {
    getrlimit(RLIMIT_FSIZE, &saved_);
    previousHandler_ = std::signal(SIGXFSZ, SIG_IGN);
    rlimit lowered = saved_;
    lowered.rlim_cur = limit;
    setrlimit(RLIMIT_FSIZE, &lowered);
}
FileSizeLimit::~FileSizeLimit() {
    setrlimit(RLIMIT_FSIZE, &saved_);
    std::signal(SIGXFSZ, previousHandler_);
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
    namespace fs = std::filesystem;
    const fs::path here = fs::canonical(fs::current_path());
    const fs::path target = here / name.toStdString();
    // Never empty a folder reached through the Data link: that is the shared generated set.
    const fs::path real = fs::weakly_canonical(target);
    if (std::mismatch(here.begin(), here.end(), real.begin(), real.end()).first != here.end())
        throw std::runtime_error("makeFolder outside the test's working folder: " + real.string());
    if (fs::is_symlink(target))
        fs::remove(target);
    else
        fs::remove_all(target);
    fs::create_directories(target);
    return QString::fromStdString(target.string());
}

} // namespace kw27::test
