#include "AnimationPlayer.h"

#include "DataPath.h"
#include "KwError.h"

#include <QPainter>
#include <algorithm>
#include <climits>
#include <utility>

namespace {

const QString cannotOpen = QStringLiteral("AVI を開くことができません");

} // namespace

TAnimate::TAnimate(QWidget* parent) : QWidget(parent) {
    timer_.setSingleShot(true);
    timer_.setTimerType(Qt::PreciseTimer);
    connect(&timer_, &QTimer::timeout, this, &TAnimate::showNextFrame);
}

void TAnimate::setFileName(const QString& name) {
    close();
    if (name.isEmpty())
        return;
    open(name, openClip(name));
    if (!isOpen())
        throw EKwError(cannotOpen);
}

kw27::StoredAviClip TAnimate::openClip(const QString& name) {
    std::optional<kw27::StoredAviClip> clip = kw27::readAviClip(kw27::resolveDataPath(name));
    if (!clip)
        throw EKwError(cannotOpen);
    return std::move(*clip);
}

void TAnimate::open(const QString& name, const kw27::StoredAviClip& clip) {
    close();
    clip_ = kw27::decodeAviClip(clip);
    if (!clip_)
        return; // changed since it was read: the control stays without a clip
    fileName_ = name;
    update();
}

void TAnimate::close() {
    setActive(false);
    clip_.reset();
    fileName_.clear();
    frame_ = 0;
    update();
}

int TAnimate::frameCount() const {
    return clip_ ? int(clip_->frames.size()) : 0;
}

void TAnimate::setActive(bool active) {
    if (!active) {
        if (playing_) {
            timer_.stop();
            playing_ = false;
            emit stopped();
        }
        return;
    }
    if (!clip_)
        throw EKwError(cannotOpen);
    if (playing_)
        return;
    playing_ = true;
    frame_ = 0;
    clock_.start();
    update();
    // Scheduled before anyone hears of it, so that a listener may stop or close the player.
    scheduleNextFrame();
    emit started();
    emit frameShown(frame_);
}

// Each frame is due at a fixed time from the start, so timer lateness does not add up.
void TAnimate::scheduleNextFrame() {
    const std::int64_t dueUs = std::int64_t(frame_ + 1) * clip_->framePeriodUs;
    const std::int64_t waitUs = dueUs - clock_.nsecsElapsed() / 1000;
    const std::int64_t waitMs = std::clamp<std::int64_t>((waitUs + 999) / 1000, 0, INT_MAX);
    timer_.start(int(waitMs));
}

void TAnimate::showNextFrame() {
    if (frame_ + 1 >= frameCount()) {
        playing_ = false;
        emit stopped();
        return;
    }
    ++frame_;
    update();
    scheduleNextFrame();
    emit frameShown(frame_);
}

void TAnimate::paintEvent(QPaintEvent*) {
    if (!clip_)
        return;
    const QImage& image = clip_->frames[std::size_t(frame_)];
    QPainter painter(this);
    painter.drawImage((width() - image.width()) / 2, (height() - image.height()) / 2, image);
}
