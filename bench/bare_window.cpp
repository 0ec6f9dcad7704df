// The references that first_paint_bench measures the programs against: the least that any Qt
// Widgets program pays for its first window, one empty 601 x 398 window. With --japanese the
// window holds one Japanese label in the face that the programs map "ＭＳ ゴシック" to; with
// --sound as well, the sound device is opened and Triplay's twenty sounds are loaded into it
// first, so that the window is painted with them ready, as Triplay's is.
//
// It links Qt Widgets only, so that none of the programs' own start-up is in it; the build
// with KW27_WITH_SOUND (bare_window_sound) links OpenAL as well and is the only one that knows
// --sound, so that the plain reference does not pay for loading a library it does not use.

#include <QApplication>
#include <QFile>
#include <QFont>
#include <QLabel>
#include <QWidget>

#include <cstring>
#include <vector>

#ifdef KW27_WITH_SOUND
#include <AL/al.h>
#include <AL/alc.h>

namespace {

// The sample bytes of a RIFF WAVE file (its "data" chunk), and its format; the bench's own
// data set is trusted, so nothing but the layout is checked.
struct Samples {
    QByteArray bytes;
    ALenum format = AL_FORMAT_MONO16;
    ALsizei rate = 44100;
};

bool readWave(const QString& path, Samples& samples) {
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return false;
    const QByteArray whole = file.readAll();
    auto u32 = [&](qsizetype at) {
        quint32 v = 0;
        std::memcpy(&v, whole.constData() + at, 4);
        return v;
    };
    for (qsizetype at = 12; at + 8 <= whole.size();) {
        const QByteArray id = whole.mid(at, 4);
        const qsizetype size = qsizetype(u32(at + 4));
        if (at + 8 + size > whole.size())
            return false;
        if (id == "fmt " && size >= 16) {
            quint16 channels = 0;
            std::memcpy(&channels, whole.constData() + at + 10, 2);
            samples.format = channels == 2 ? AL_FORMAT_STEREO16 : AL_FORMAT_MONO16;
            samples.rate = ALsizei(u32(at + 12));
        } else if (id == "data") {
            samples.bytes = whole.mid(at + 8, size);
            return true;
        }
        at += 8 + size + (size & 1);
    }
    return false;
}

const char* const soundFiles[] = {
    "14cm", "15cm", "16cm", "17cm", "18cm", "19cm", "20cm", "21cm", "22cm", "23cm",
    "24cm", "25cm", "C",    "D",    "E",    "F",    "G",    "A",    "B",    "C2",
};

// The device stays open while the window shows, as Triplay's does.
bool openSounds(std::vector<ALuint>& buffers) {
    ALCdevice* device = alcOpenDevice(nullptr);
    if (!device)
        return false;
    ALCcontext* context = alcCreateContext(device, nullptr);
    if (!context || !alcMakeContextCurrent(context))
        return false;
    buffers.resize(std::size(soundFiles));
    alGenBuffers(ALsizei(buffers.size()), buffers.data());
    for (std::size_t i = 0; i < buffers.size(); ++i) {
        Samples samples;
        if (!readWave(QStringLiteral("Data/Data1/%1.wav").arg(QLatin1String(soundFiles[i])),
                      samples))
            return false;
        alBufferData(buffers[i], samples.format, samples.bytes.constData(),
                     ALsizei(samples.bytes.size()), samples.rate);
    }
    return alGetError() == AL_NO_ERROR;
}

} // namespace
#endif

int main(int argc, char** argv) {
    bool japanese = false, sound = false;
    for (int i = 1; i < argc; ++i) {
        japanese |= std::strcmp(argv[i], "--japanese") == 0;
        sound |= std::strcmp(argv[i], "--sound") == 0;
    }
    QApplication app(argc, argv);
#ifdef KW27_WITH_SOUND
    std::vector<ALuint> buffers;
    if (sound && !openSounds(buffers))
        return 2;
#else
    if (sound)
        return 2;
#endif
    QWidget window;
    window.resize(601, 398);
    if (japanese) {
        QFont::insertSubstitution(QStringLiteral("ＭＳ ゴシック"), QStringLiteral("IPAGothic"));
        QFont font(QStringLiteral("ＭＳ ゴシック"));
        font.setPixelSize(16);
        auto* label = new QLabel(QStringLiteral("パイプを3本まとめて鳴らす"), &window);
        label->setFont(font);
        label->adjustSize();
    }
    window.show();
    return app.exec();
}
