// Decodes arbitrary bytes as a song file. A file either fits the boxes or is refused with the
// program's own error; what it decodes to must save and load back unchanged, so that a pupil
// who opens and saves any file keeps exactly what the boxes showed.

#include "KwError.h"
#include "SongFile.h"

#include <cstdint>
#include <cstdio>
#include <string_view>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string_view bytes(reinterpret_cast<const char*>(data), size);
    kw27::song::SongFileText text;
    try {
        text = kw27::song::decodeSongFile(bytes);
    } catch (const EKwError&) {
        return 0;
    }
    if (text.title.contains(QLatin1Char('\r')) || text.title.contains(QLatin1Char('\n'))) {
        std::fprintf(stderr, "song_fuzz: a line break in the title\n");
        __builtin_trap();
    }
    const kw27::song::SongFileText again =
        kw27::song::decodeSongFile(kw27::song::encodeSongFile(text.title, text.song));
    if (again.title != text.title || again.song != text.song) {
        std::fprintf(stderr, "song_fuzz: saving and loading changed the text\n");
        __builtin_trap();
    }
    return 0;
}
