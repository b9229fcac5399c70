#include "offline/WavLengthProbe.h"

#include "offline/BytePath.h"

#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <memory>

namespace {
constexpr std::uint32_t kUnknownSize = 0xFFFFFFFFu;
constexpr int kMaxChunks = 64; // a header is a handful of chunks; stop on junk

struct FileCloser {
    void operator()(std::FILE* file) const { std::fclose(file); }
};

std::uint32_t Le32(const unsigned char* p)
{
    return static_cast<std::uint32_t>(p[0]) | static_cast<std::uint32_t>(p[1]) << 8
        | static_cast<std::uint32_t>(p[2]) << 16 | static_cast<std::uint32_t>(p[3]) << 24;
}

std::uint16_t Le16(const unsigned char* p) { return static_cast<std::uint16_t>(p[0] | p[1] << 8); }

bool Is(const unsigned char* p, const char* id) { return std::equal(p, p + 4, reinterpret_cast<const unsigned char*>(id)); }
}

bool CWavLengthProbe::Probe(const QString& path, Length& length)
{
    std::unique_ptr<std::FILE, FileCloser> file(std::fopen(CBytePath::Encode(path).constData(), "rb"));
    if (!file || std::fseek(file.get(), 0, SEEK_END) != 0)
        return false;
    const long fileSize = std::ftell(file.get());
    std::rewind(file.get());
    unsigned char riff[12];
    if (fileSize < 12 || std::fread(riff, 1, 12, file.get()) != 12 || !Is(riff, "RIFF") || !Is(riff + 8, "WAVE"))
        return false;
    std::uint16_t blockAlign = 0;
    for (int chunk = 0; chunk < kMaxChunks; ++chunk) {
        unsigned char head[8];
        if (std::fread(head, 1, 8, file.get()) != 8)
            return false;
        const std::uint32_t size = Le32(head + 4);
        if (Is(head, "fmt ")) {
            unsigned char format[16];
            if (size < 16 || std::fread(format, 1, 16, file.get()) != 16)
                return false;
            blockAlign = Le16(format + 12);
            if (std::fseek(file.get(), static_cast<long>(size - 16 + (size & 1)), SEEK_CUR) != 0)
                return false;
            continue;
        }
        if (Is(head, "data")) {
            if (blockAlign == 0 || size == 0 || size == kUnknownSize)
                return false;
            const long dataStart = std::ftell(file.get());
            length.declaredFrames = size / blockAlign;
            length.presentFrames = (fileSize - dataStart) / blockAlign;
            return true;
        }
        // Chunks are word aligned: an odd size is followed by a pad byte.
        if (std::fseek(file.get(), static_cast<long>(size) + (size & 1), SEEK_CUR) != 0)
            return false;
    }
    return false;
}
