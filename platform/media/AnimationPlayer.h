#pragma once

#include "AviClip.h"

#include <QElapsedTimer>
#include <QString>
#include <QTimer>
#include <QWidget>
#include <optional>

// The animation control: shows an uncompressed AVI clip centred in its area, frames drawn as
// recorded. Giving it a file name opens the clip at once and shows its first frame; starting
// it plays the clip once, first frame to last at the clip's rate, on its own timer, then stops
// on the last frame. Without a clip it draws nothing, so its parent shows through.
class TAnimate : public QWidget {
    Q_OBJECT
    Q_PROPERTY(QString fileName READ fileName WRITE setFileName)

public:
    explicit TAnimate(QWidget* parent = nullptr);

    QString fileName() const { return fileName_; }
    // Opens the clip named as the programs spell data files ("Data\Data2\ド.avi"); an empty
    // name closes it. A clip that cannot be opened raises EKwError, and the control then
    // holds neither a clip nor a name.
    void setFileName(const QString& name);

    // The same in two steps, for a caller that checks its clips before the players exist:
    // openClip reads the clip and raises EKwError as setFileName does; open decodes the clip
    // read from name and takes it (none, when the file has changed since).
    static kw27::StoredAviClip openClip(const QString& name);
    void open(const QString& name, const kw27::StoredAviClip& clip);

    bool active() const { return playing_; }
    // true starts playing from the first frame; while the clip plays, the request is ignored.
    // Starting with no clip open raises EKwError. false stops where it is.
    void setActive(bool active);

    bool isOpen() const { return clip_.has_value(); }
    int frameCount() const;
    int currentFrame() const { return frame_; }

signals:
    void started();
    void frameShown(int frame);
    void stopped();

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    void close();
    void showNextFrame();
    void scheduleNextFrame();

    std::optional<kw27::AviClip> clip_;
    QString fileName_;
    int frame_ = 0;
    bool playing_ = false;
    QTimer timer_;
    QElapsedTimer clock_;
};
