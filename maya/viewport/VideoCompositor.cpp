#include "VideoCompositor.h"

#include <epoxy/gl.h>

namespace {

const char* const kVertexShader =
    "#version 330\nlayout(location = 0) in vec3 vPos;\nlayout(location = 1) in vec2 texCoord;\nout vec2 uv;\nvoid "
    "main()\n{\n    gl_Position = vec4(vPos, 1.0);\n    uv = texCoord;\n}\n";

const char* const kKeyShader =
    "#version 330\nin vec2 uv;\nuniform sampler2D frame0;\nuniform sampler2D frame1;\nout vec4 fragColor;\nvoid "
    "main()\n{\n\t vec3 frame0Col = texture(frame0, uv).xyz;\n\t vec3 frame1Col = texture(frame1, uv).xyz;\n\t vec3 "
    "fColor = frame0Col;\n    float dist = clamp(100.0*(0.3 - abs(fColor.r - fColor.b)),0.0,1.0);\t float alpha = "
    "clamp((fColor.g - max(fColor.r, fColor.b) - 0.07) * 1000.0,0.0,1.0);\n\t fragColor.xyz = mix(frame0Col, "
    "frame1Col, alpha * dist).xyz;\n\t fragColor.w = 1.0;\n}\n";

GLuint compile(GLenum type, const char* text)
{
    GLuint shader = glCreateShader(type);
    glShaderSource(shader, 1, &text, nullptr);
    glCompileShader(shader);
    return shader;
}

} // namespace

void VideoCompositor::saveBindings()
{
    glActiveTexture(GL_TEXTURE1);
    glGetIntegerv(GL_TEXTURE_BINDING_2D, &savedUnit1);
    glActiveTexture(GL_TEXTURE0);
    glGetIntegerv(GL_TEXTURE_BINDING_2D, &savedUnit0);
    glGetIntegerv(GL_ARRAY_BUFFER_BINDING, &savedArrayBuffer);
    glGetIntegerv(GL_CURRENT_PROGRAM, &savedProgram);
    glGetIntegerv(GL_VERTEX_ARRAY_BINDING, &savedVertexArray);
}

void VideoCompositor::restoreBindings()
{
    glActiveTexture(GL_TEXTURE1);
    glBindTexture(GL_TEXTURE_2D, static_cast<GLuint>(savedUnit1));
    glActiveTexture(GL_TEXTURE0);
    glBindTexture(GL_TEXTURE_2D, static_cast<GLuint>(savedUnit0));
    glBindBuffer(GL_ARRAY_BUFFER, static_cast<GLuint>(savedArrayBuffer));
    glUseProgram(static_cast<GLuint>(savedProgram));
    // Our vertex array holds our element buffer: leaving it bound would let the host's
    // next element-buffer binding land in it.
    glBindVertexArray(static_cast<GLuint>(savedVertexArray));
}

void VideoCompositor::prepare()
{
    if (ready)
        return;
    ready = 1;
    saveBindings();

    const float quad[4][5] = {{-1, -1, 0.9f, 0, 0}, {1, -1, 0.9f, 1, 0}, {-1, 1, 0.9f, 0, 1}, {1, 1, 0.9f, 1, 1}};
    for (int v = 0; v < 4; ++v)
        for (int c = 0; c < 5; ++c)
            vertices[v * 5 + c] = quad[v][c];
    const std::uint32_t order[6] = {0, 1, 2, 1, 3, 2};
    for (int i = 0; i < 6; ++i)
        indices[i] = order[i];

    glGenBuffers(1, &vertexBuffer);
    glBindBuffer(GL_ARRAY_BUFFER, vertexBuffer);
    glBufferData(GL_ARRAY_BUFFER, sizeof vertices, vertices, GL_STATIC_DRAW);

    vertexShader = compile(GL_VERTEX_SHADER, kVertexShader);
    keyShader = compile(GL_FRAGMENT_SHADER, kKeyShader);
    keyProgram = glCreateProgram();
    glAttachShader(keyProgram, vertexShader);
    glAttachShader(keyProgram, keyShader);
    glLinkProgram(keyProgram);
    glUseProgram(keyProgram);
    glUniform1i(glGetUniformLocation(keyProgram, "frame0"), 0);
    glUniform1i(glGetUniformLocation(keyProgram, "frame1"), 1);

    glGenVertexArrays(1, &vertexArray);
    glBindVertexArray(vertexArray);
    glEnableVertexAttribArray(0);
    glVertexAttribPointer(0, 3, GL_FLOAT, GL_FALSE, 20, reinterpret_cast<const void*>(0));
    glEnableVertexAttribArray(1);
    glVertexAttribPointer(1, 2, GL_FLOAT, GL_FALSE, 20, reinterpret_cast<const void*>(12));
    // Indices from a buffer: a core-profile context draws no client-memory indices.
    glGenBuffers(1, &indexBuffer);
    glBindBuffer(GL_ELEMENT_ARRAY_BUFFER, indexBuffer);
    glBufferData(GL_ELEMENT_ARRAY_BUFFER, sizeof indices, indices, GL_STATIC_DRAW);

    restoreBindings();
}

void VideoCompositor::resize(std::uint32_t width, std::uint32_t height)
{
    saveBindings();
    if (videoTexture != noName)
        glDeleteTextures(1, &videoTexture);
    glGenTextures(1, &videoTexture);
    glBindTexture(GL_TEXTURE_2D, videoTexture);
    glTexImage2D(GL_TEXTURE_2D, 0, GL_RGBA, static_cast<GLsizei>(width), static_cast<GLsizei>(height), 0, GL_RGBA,
                 GL_UNSIGNED_BYTE, nullptr);
    restoreBindings();
}

void VideoCompositor::copyPicture(std::uint32_t pictureTexture)
{
    // The picture is the colour of the framebuffer being drawn into; reading a texture
    // while it is a render target is undefined, so the key reads a copy of it.
    glBindTexture(GL_TEXTURE_2D, pictureTexture);
    GLint width = 0, height = 0;
    glGetTexLevelParameteriv(GL_TEXTURE_2D, 0, GL_TEXTURE_WIDTH, &width);
    glGetTexLevelParameteriv(GL_TEXTURE_2D, 0, GL_TEXTURE_HEIGHT, &height);
    if (pictureCopy == noName)
        glGenTextures(1, &pictureCopy);
    glBindTexture(GL_TEXTURE_2D, pictureCopy);
    if (width != copyWidth || height != copyHeight) {
        glTexImage2D(GL_TEXTURE_2D, 0, GL_RGBA8, width, height, 0, GL_RGBA, GL_UNSIGNED_BYTE, nullptr);
        glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, GL_LINEAR);
        glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MAG_FILTER, GL_LINEAR);
        glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_WRAP_S, GL_CLAMP_TO_EDGE);
        glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_WRAP_T, GL_CLAMP_TO_EDGE);
        copyWidth = width;
        copyHeight = height;
    }
    glCopyTexSubImage2D(GL_TEXTURE_2D, 0, 0, 0, 0, 0, width, height);
}

void VideoCompositor::draw(std::uint32_t width, std::uint32_t height, const void* pixels, std::uint32_t pictureTexture)
{
    saveBindings();

    glActiveTexture(GL_TEXTURE1);
    GLuint picture = 0;
    if (pictureTexture != 0) {
        copyPicture(pictureTexture);
        picture = pictureCopy;
    }
    glBindTexture(GL_TEXTURE_2D, picture);

    glActiveTexture(GL_TEXTURE0);
    glBindTexture(GL_TEXTURE_2D, videoTexture);
    glTexSubImage2D(GL_TEXTURE_2D, 0, 0, 0, static_cast<GLsizei>(width), static_cast<GLsizei>(height), GL_RGBA,
                    GL_UNSIGNED_BYTE, pixels);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_WRAP_S, GL_REPEAT);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_WRAP_T, GL_REPEAT);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MAG_FILTER, GL_LINEAR);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, GL_LINEAR);

    glClear(GL_DEPTH_BUFFER_BIT | GL_STENCIL_BUFFER_BIT);

    glBindVertexArray(vertexArray);
    glUseProgram(keyProgram);
    glDrawElements(GL_TRIANGLES, 6, GL_UNSIGNED_INT, reinterpret_cast<const void*>(0));

    restoreBindings();
}

void VideoCompositor::release()
{
    if (!ready)
        return;
    GLuint textures[2] = {videoTexture, pictureCopy};
    for (GLuint& t : textures)
        if (t != noName)
            glDeleteTextures(1, &t);
    GLuint buffers[2] = {vertexBuffer, indexBuffer};
    for (GLuint& b : buffers)
        if (b != noName)
            glDeleteBuffers(1, &b);
    if (vertexArray != noName)
        glDeleteVertexArrays(1, &vertexArray);
    if (keyProgram != noName)
        glDeleteProgram(keyProgram);
    if (vertexShader != noName)
        glDeleteShader(vertexShader);
    if (keyShader != noName)
        glDeleteShader(keyShader);
    vertexBuffer = vertexShader = keyShader = keyProgram = videoTexture = vertexArray = indexBuffer = pictureCopy =
        noName;
    copyWidth = copyHeight = 0;
    ready = 0;
}

void VideoCompositor::abandon()
{
    vertexBuffer = vertexShader = keyShader = keyProgram = videoTexture = vertexArray = indexBuffer = pictureCopy =
        noName;
    copyWidth = copyHeight = 0;
    ready = 0;
}
