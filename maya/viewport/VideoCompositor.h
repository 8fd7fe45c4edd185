#pragma once
// Keys a live video frame over the picture in Maya's render target: where the video is
// green, the picture shows through. One full-viewport quad with a chroma-key shader,
// drawn into the current draw framebuffer.

#include <cstdint>

class VideoCompositor {
public:
    static constexpr std::uint32_t kNoName = 0x40000000u;

    // Creates the OpenGL objects once; nothing when they exist.
    void prepare();
    // Recreates the video texture at a new size.
    void resize(std::uint32_t width, std::uint32_t height);
    // Uploads the video frame (RGBA, first row at the bottom) and draws the keyed quad.
    // `pictureTexture` is what shows through the key (0: black). When it is the colour
    // texture of the bound framebuffer, it is read from a copy, never while drawn into.
    void draw(std::uint32_t width, std::uint32_t height, const void* pixels, std::uint32_t pictureTexture);
    // Deletes the OpenGL objects (in the context they were made in, while it is current).
    void release();
    // Forgets the OpenGL objects without a call to OpenGL, for when no context is current.
    void abandon();

    bool isReady() const { return ready != 0; }
    std::uint32_t videoTextureName() const { return videoTexture; }

private:
    void saveBindings();
    void restoreBindings();
    void copyPicture(std::uint32_t pictureTexture);

    const std::uint32_t noName = kNoName;
    float vertices[4 * 5] = {};
    std::uint32_t indices[6] = {};
    std::uint32_t vertexBuffer = kNoName;
    std::uint32_t vertexShader = kNoName;
    std::uint32_t keyShader = kNoName;
    std::uint32_t keyProgram = kNoName;
    std::uint32_t videoTexture = kNoName;
    std::uint32_t vertexArray = kNoName;
    std::uint32_t indexBuffer = kNoName;
    std::uint32_t pictureCopy = kNoName;
    std::int32_t copyWidth = 0;
    std::int32_t copyHeight = 0;

    std::int32_t savedUnit1 = 0;
    std::int32_t savedUnit0 = 0;
    std::int32_t savedArrayBuffer = 0;
    std::int32_t savedProgram = 0;
    std::int32_t savedVertexArray = 0;
    std::uint8_t ready = 0;
};
