#include "tools/ndi-monitor/PngWriter.h"

#include <windows.h>

#include <algorithm>
#include <array>
#include <vector>

namespace cuewire {

namespace {

constexpr size_t kStoredBlockMax = 65535;  // the largest stored deflate block

constexpr std::array<uint32_t, 256> MakeCrcTable() {
    std::array<uint32_t, 256> table{};
    for (uint32_t n = 0; n < 256; ++n) {
        uint32_t c = n;
        for (int k = 0; k < 8; ++k) {
            c = (c & 1) ? 0xedb88320u ^ (c >> 1) : c >> 1;
        }
        table[n] = c;
    }
    return table;
}
constexpr std::array<uint32_t, 256> kCrcTable = MakeCrcTable();

uint32_t Crc32(const uint8_t* data, size_t size, uint32_t crc = 0) {
    crc = ~crc;
    for (size_t i = 0; i < size; ++i) {
        crc = kCrcTable[(crc ^ data[i]) & 0xff] ^ (crc >> 8);
    }
    return ~crc;
}

uint32_t Adler32(const std::vector<uint8_t>& data) {
    uint32_t a = 1, b = 0;
    for (uint8_t byte : data) {
        a = (a + byte) % 65521;
        b = (b + a) % 65521;
    }
    return (b << 16) | a;
}

void PutBigEndian(std::vector<uint8_t>& out, uint32_t value) {
    for (int shift = 24; shift >= 0; shift -= 8) {
        out.push_back(static_cast<uint8_t>(value >> shift));
    }
}

// Rows with filter type 0, pixels reordered to red, green, blue, alpha.
std::vector<uint8_t> Scanlines(const uint8_t* pixels, int width, int height, int stride,
                               bool opaque) {
    std::vector<uint8_t> raw;
    raw.reserve(static_cast<size_t>(height) * (1 + static_cast<size_t>(width) * 4));
    for (int y = 0; y < height; ++y) {
        raw.push_back(0);
        const uint8_t* row = pixels + static_cast<ptrdiff_t>(y) * stride;
        for (int x = 0; x < width; ++x) {
            const uint8_t* p = row + x * 4;
            raw.insert(raw.end(), {p[2], p[1], p[0], opaque ? uint8_t{255} : p[3]});
        }
    }
    return raw;
}

// A zlib stream of stored blocks: no compression, nothing to get wrong.
std::vector<uint8_t> ZlibStored(const std::vector<uint8_t>& raw) {
    std::vector<uint8_t> z{0x78, 0x01};
    size_t offset = 0;
    do {
        const size_t length = std::min(kStoredBlockMax, raw.size() - offset);
        const bool last = offset + length == raw.size();
        z.push_back(static_cast<uint8_t>(last ? 1 : 0));
        z.push_back(static_cast<uint8_t>(length));
        z.push_back(static_cast<uint8_t>(length >> 8));
        z.push_back(static_cast<uint8_t>(~length));
        z.push_back(static_cast<uint8_t>(~length >> 8));
        z.insert(z.end(), raw.begin() + offset, raw.begin() + offset + length);
        offset += length;
    } while (offset < raw.size());
    PutBigEndian(z, Adler32(raw));
    return z;
}

void PutChunk(std::vector<uint8_t>& png, const char type[4], const std::vector<uint8_t>& data) {
    PutBigEndian(png, static_cast<uint32_t>(data.size()));
    const size_t typeAt = png.size();
    png.insert(png.end(), type, type + 4);
    png.insert(png.end(), data.begin(), data.end());
    PutBigEndian(png, Crc32(png.data() + typeAt, 4 + data.size()));
}

class FileOwner {
  public:
    explicit FileOwner(HANDLE handle) : m_handle(handle) {}
    ~FileOwner() {
        if (m_handle != INVALID_HANDLE_VALUE) {
            CloseHandle(m_handle);
        }
    }
    FileOwner(const FileOwner&) = delete;
    FileOwner& operator=(const FileOwner&) = delete;
    HANDLE Get() const { return m_handle; }

  private:
    HANDLE m_handle;
};

}  // namespace

bool WritePng(const std::wstring& path, const uint8_t* pixels, int width, int height, int stride,
              bool opaque) {
    if (!pixels || width <= 0 || height <= 0) {
        return false;
    }
    std::vector<uint8_t> png{0x89, 'P', 'N', 'G', '\r', '\n', 0x1a, '\n'};
    std::vector<uint8_t> header;
    PutBigEndian(header, static_cast<uint32_t>(width));
    PutBigEndian(header, static_cast<uint32_t>(height));
    header.insert(header.end(), {8, 6, 0, 0, 0});  // 8 bits, RGBA, deflate, no filter, no interlace
    PutChunk(png, "IHDR", header);
    PutChunk(png, "IDAT", ZlibStored(Scanlines(pixels, width, height, stride, opaque)));
    PutChunk(png, "IEND", {});

    const FileOwner file(CreateFileW(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                                     FILE_ATTRIBUTE_NORMAL, nullptr));
    if (file.Get() == INVALID_HANDLE_VALUE) {
        return false;
    }
    DWORD written = 0;
    return WriteFile(file.Get(), png.data(), static_cast<DWORD>(png.size()), &written, nullptr) &&
           written == png.size();
}

}  // namespace cuewire
