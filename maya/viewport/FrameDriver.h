#pragma once
// The frame driver: once per viewport frame it connects the link, sends the camera and
// the changed scene, waits for Unreal's picture, writes it and its depth into Maya's
// render target, keys the live video over it and applies what the reply brought back.

// Maya 2018's API classes may not be forward-declared: this header declares them all.
#include <maya/MApiNamespace.h>

#include <cstdint>

// The environment variable naming the file that gets one line per frame (appended):
//   frame time start_us driver_us scene_us wait_us upload_us link picture video material
// frame counts from 1 in each opening of the file; time is Maya's current time (currentTime);
// start_us is a monotonic clock; driver_us
// the frame driver's whole time, scene_us the camera and scene changes written, wait_us the
// wait for Unreal's reply, upload_us the picture's upload, the video key and what the reply
// brought back; link is down, refused, busy, lost, new (a new session's first reply) or
// connected; picture, video, material are 1 when the reply had a picture, a video frame was
// keyed, the reply named a material.
constexpr const char* kFrameLogVariable = "KVT_FRAME_LOG";

struct FrameRecord {
    double time = 0;
    std::uint64_t startMicroseconds = 0;
    std::uint64_t driverMicroseconds = 0;
    std::uint64_t sceneMicroseconds = 0;
    std::uint64_t waitMicroseconds = 0;
    std::uint64_t uploadMicroseconds = 0;
    const char* link = "down";
    bool picture = false;
    bool video = false;
    bool material = false;
};

// Runs with the viewport's render target bound as the current draw framebuffer.
void drawFrame(const MHWRender::MDrawContext& context);

// True when the request and response regions are both open.
bool isLinkOpen();

// The end of a frame of the override, with Maya's context still current: deletes the
// compositor's OpenGL objects when the frame keyed no video.
void endFrame();

// uninitializePlugin: closes the link and the video region and forgets the viewport state
// (no OpenGL call: no context is current there).
void shutdownViewport();
