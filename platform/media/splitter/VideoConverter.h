// VideoConverter: decoded pictures as the pins deliver them: 32-bit RGB (B, G, R, X bytes),
// rows bottom-up, at the size agreed on the connection; a picture of another size is scaled.
// Threading: one thread at a time.
#pragma once

#include <cstddef>
#include <cstdint>

struct AVFrame;
struct SwsContext;

class VideoConverter {
public:
    VideoConverter(int width, int height);
    ~VideoConverter();
    VideoConverter(const VideoConverter&) = delete;
    VideoConverter& operator=(const VideoConverter&) = delete;

    size_t ImageSize() const { return static_cast<size_t>(m_width) * m_height * 4; }
    // False when the frame cannot be converted or `size` is below ImageSize().
    bool Convert(const AVFrame* frame, uint8_t* target, size_t size);

private:
    const int m_width;
    const int m_height;
    SwsContext* m_scaler = nullptr;
};
