// OpenAL Soft is loaded when sound is first used, not when a program starts: the library and
// the sound libraries it brings cost the first window about 2 ms. Every OpenAL function the
// programs call is defined here and forwards to the library's own, looked up once. Without the
// library no device opens, so the programs run silent as they do without a sound card.

#include <AL/al.h>
#include <AL/alc.h>

#include <dlfcn.h>
#include <mutex>
#include <type_traits>

// return type, name, parameters, arguments
#define KW27_OPENAL_FUNCTIONS(F)                                                                   \
    F(ALCdevice*, alcOpenDevice, (const ALCchar* name), (name))                                    \
    F(ALCboolean, alcCloseDevice, (ALCdevice * device), (device))                                  \
    F(ALCcontext*, alcCreateContext, (ALCdevice * device, const ALCint* attributes),               \
      (device, attributes))                                                                        \
    F(void, alcDestroyContext, (ALCcontext * context), (context))                                  \
    F(ALCboolean, alcMakeContextCurrent, (ALCcontext * context), (context))                        \
    F(ALCcontext*, alcGetCurrentContext, (), ())                                                   \
    F(ALCboolean, alcIsExtensionPresent, (ALCdevice * device, const ALCchar* name),                \
      (device, name))                                                                              \
    F(void*, alcGetProcAddress, (ALCdevice * device, const ALCchar* name), (device, name))         \
    F(void, alcGetIntegerv, (ALCdevice * device, ALCenum what, ALCsizei size, ALCint * values),    \
      (device, what, size, values))                                                                \
    F(ALenum, alGetError, (), ())                                                                  \
    F(ALboolean, alIsExtensionPresent, (const ALchar* name), (name))                               \
    F(void*, alGetProcAddress, (const ALchar* name), (name))                                       \
    F(void, alDistanceModel, (ALenum model), (model))                                              \
    F(void, alDopplerFactor, (ALfloat factor), (factor))                                           \
    F(void, alSpeedOfSound, (ALfloat speed), (speed))                                              \
    F(void, alListener3f, (ALenum what, ALfloat x, ALfloat y, ALfloat z), (what, x, y, z))         \
    F(void, alListenerfv, (ALenum what, const ALfloat* values), (what, values))                    \
    F(void, alGenBuffers, (ALsizei n, ALuint * buffers), (n, buffers))                             \
    F(void, alDeleteBuffers, (ALsizei n, const ALuint* buffers), (n, buffers))                     \
    F(void, alBufferData,                                                                          \
      (ALuint buffer, ALenum format, const ALvoid* data, ALsizei size, ALsizei rate),              \
      (buffer, format, data, size, rate))                                                          \
    F(void, alBufferiv, (ALuint buffer, ALenum what, const ALint* values), (buffer, what, values)) \
    F(void, alGenSources, (ALsizei n, ALuint * sources), (n, sources))                             \
    F(void, alDeleteSources, (ALsizei n, const ALuint* sources), (n, sources))                     \
    F(void, alSourcef, (ALuint source, ALenum what, ALfloat value), (source, what, value))         \
    F(void, alSource3f, (ALuint source, ALenum what, ALfloat x, ALfloat y, ALfloat z),             \
      (source, what, x, y, z))                                                                     \
    F(void, alSourcei, (ALuint source, ALenum what, ALint value), (source, what, value))           \
    F(void, alGetSourcei, (ALuint source, ALenum what, ALint * value), (source, what, value))      \
    F(void, alSourcePlay, (ALuint source), (source))                                               \
    F(void, alSourcePlayv, (ALsizei n, const ALuint* sources), (n, sources))                       \
    F(void, alSourceStop, (ALuint source), (source))                                               \
    F(void, alSourceRewind, (ALuint source), (source))                                             \
    F(void, alSourceQueueBuffers, (ALuint source, ALsizei n, const ALuint* buffers),               \
      (source, n, buffers))                                                                        \
    F(void, alSourceUnqueueBuffers, (ALuint source, ALsizei n, ALuint * buffers),                  \
      (source, n, buffers))

namespace {

struct OpenAl {
#define KW27_POINTER(ret, name, params, args) decltype(&::name) name = nullptr;
    KW27_OPENAL_FUNCTIONS(KW27_POINTER)
#undef KW27_POINTER
};

const OpenAl& openAl() {
    static OpenAl functions;
    static std::once_flag loaded;
    std::call_once(loaded, [] {
        // Never unloaded: its threads and devices live as long as the program.
        void* library = ::dlopen("libopenal.so.1", RTLD_NOW | RTLD_LOCAL);
        if (!library)
            return;
        OpenAl found;
        bool complete = true;
#define KW27_LOOK_UP(ret, name, params, args)                                                      \
    found.name = reinterpret_cast<decltype(found.name)>(::dlsym(library, #name));                  \
    complete = complete && found.name;
        KW27_OPENAL_FUNCTIONS(KW27_LOOK_UP)
#undef KW27_LOOK_UP
        if (complete)
            functions = found;
    });
    return functions;
}

// What a function gives when there is no library: no device, no context, nothing.
template <class Result> Result nothing() {
    if constexpr (!std::is_void_v<Result>)
        return Result{};
}

} // namespace

extern "C" {

#define KW27_FORWARD(ret, name, params, args)                                                      \
    ret name params {                                                                              \
        const auto real = openAl().name;                                                           \
        return real ? real args : nothing<ret>();                                                  \
    }
KW27_OPENAL_FUNCTIONS(KW27_FORWARD)
#undef KW27_FORWARD

} // extern "C"
