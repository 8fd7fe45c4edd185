#include "TestResponder.h"

#include "link/ResponsePayload.h"

#include <chrono>
#include <cmath>
#include <cstring>

using namespace kvt;

namespace {

using Vec4 = std::array<double, 4>;
using Mat4 = std::array<std::array<double, 4>, 4>;

Vec4 times(const Vec4& v, const Mat4& m)
{
    Vec4 out{};
    for (int c = 0; c < 4; ++c)
        for (int r = 0; r < 4; ++r)
            out[c] += v[r] * m[r][c];
    return out;
}

bool invert(const Mat4& m, Mat4& out)
{
    double a[4][8];
    for (int r = 0; r < 4; ++r)
        for (int c = 0; c < 8; ++c)
            a[r][c] = c < 4 ? m[r][c] : (c - 4 == r ? 1.0 : 0.0);
    for (int col = 0; col < 4; ++col) {
        int pivot = col;
        for (int r = col + 1; r < 4; ++r)
            if (std::fabs(a[r][col]) > std::fabs(a[pivot][col]))
                pivot = r;
        if (std::fabs(a[pivot][col]) < 1e-30)
            return false;
        for (int c = 0; c < 8; ++c)
            std::swap(a[col][c], a[pivot][c]);
        double d = a[col][col];
        for (int c = 0; c < 8; ++c)
            a[col][c] /= d;
        for (int r = 0; r < 4; ++r)
            if (r != col) {
                double f = a[r][col];
                for (int c = 0; c < 8; ++c)
                    a[r][c] -= f * a[col][c];
            }
    }
    for (int r = 0; r < 4; ++r)
        for (int c = 0; c < 4; ++c)
            out[r][c] = a[r][c + 4];
    return true;
}

} // namespace

TestResponder::TestResponder(const std::string& suffix)
    : link_(RegionNames{std::string("KVTRequest") + suffix, std::string("KVTResponse") + suffix})
{
    if (link_.createRegions())
        thread_ = std::thread([this] { run(); });
}

TestResponder::~TestResponder()
{
    stop_ = true;
    if (thread_.joinable())
        thread_.join();
}

void TestResponder::sendMaterial(const std::u16string& name)
{
    std::lock_guard<std::mutex> lock(mutex_);
    material_ = name;
    hasMaterial_ = true;
}

std::vector<AnsweredFrame> TestResponder::frames()
{
    std::lock_guard<std::mutex> lock(mutex_);
    return frames_;
}

std::size_t TestResponder::frameCount()
{
    std::lock_guard<std::mutex> lock(mutex_);
    return frames_.size();
}

TestResponder::Sample TestResponder::centreSample()
{
    std::lock_guard<std::mutex> lock(mutex_);
    return sample_;
}

void TestResponder::run()
{
    while (!stop_) {
        if (!paused && link_.pollRequest())
            answer();
        else
            std::this_thread::sleep_for(std::chrono::microseconds(500));
    }
}

void TestResponder::answer()
{
    if (!link_.beginResponse()) {
        link_.publishResponse();
        return;
    }
    AnsweredFrame frame;
    std::memcpy(&frame.header, link_.request().view, sizeof frame.header);
    const RequestHeader& h = frame.header;
    RequestRecords read = readRecords(link_.request().bytes());
    if (read.ok())
        frame.records = read.records;
    for (const Record& r : frame.records) {
        std::vector<std::u16string> names;
        for (const auto& m : r.materials)
            if (m)
                names.push_back(*m);
        frame.materials.push_back(names);
    }

    std::uint32_t table = *writeHandleTable(link_.response(), h.newCount);
    std::uint32_t entry = 0;
    for (const Record& r : frame.records)
        if (r.isNew() && entry < h.newCount)
            setHandleEntry(link_.response(), table, entry++, r.identity, nextHandle_++);
    for (; entry < h.newCount; ++entry)
        setHandleEntry(link_.response(), table, entry, 0, 0);
    {
        std::lock_guard<std::mutex> lock(mutex_);
        if (hasMaterial_) {
            writeMaterialName(link_.response(), material_);
            hasMaterial_ = false;
        }
    }

    Sample sample;
    if (h.pictureWanted) {
        PictureBlocks blocks = *writePictureBlocks(link_.response(), h.viewportWidth, h.viewportHeight);
        Mat4 p{}, inverse{};
        for (int r = 0; r < 4; ++r)
            for (int c = 0; c < 4; ++c)
                p[r][c] = h.projection[r * 4 + c];
        invert(p, inverse);
        auto row = [&](int i) {
            return std::array<double, 3>{h.cameraMatrix[i * 4], h.cameraMatrix[i * 4 + 1], h.cameraMatrix[i * 4 + 2]};
        };
        const auto forward = row(0), right = row(1), up = row(2), eye = row(3);
        const int w = h.viewportWidth, ht = h.viewportHeight;
        double bestCentre = 1e300;
        for (int y = 0; y < ht; ++y)
            for (int x = 0; x < w; ++x) {
                double nx = (x + 0.5) / w * 2 - 1, ny = (y + 0.5) / ht * 2 - 1;
                // Two points of the pixel's ray in the responder's view space.
                std::array<std::array<double, 3>, 2> pts;
                for (int k = 0; k < 2; ++k) {
                    Vec4 v = times({nx, ny, k ? 0.25 : 0.75, 1.0}, inverse);
                    pts[k] = {v[0] / v[3], v[1] / v[3], v[2] / v[3]};
                }
                auto toWorld = [&](const std::array<double, 3>& v) {
                    std::array<double, 3> out;
                    for (int i = 0; i < 3; ++i)
                        out[i] = eye[i] + right[i] * v[0] + up[i] * v[1] + forward[i] * v[2];
                    return out;
                };
                auto a = toWorld(pts[0]), b = toWorld(pts[1]);
                // The responder's axes are Maya's with Y and Z exchanged: Maya's y is [2].
                double t = (quadHeight - a[2]) / (b[2] - a[2]);
                std::array<double, 3> hit{a[0] + (b[0] - a[0]) * t, a[1] + (b[1] - a[1]) * t, quadHeight};
                std::array<double, 3> view{pts[0][0] + (pts[1][0] - pts[0][0]) * t,
                                           pts[0][1] + (pts[1][1] - pts[0][1]) * t,
                                           pts[0][2] + (pts[1][2] - pts[0][2]) * t};
                bool onQuad = std::isfinite(t) && view[2] > 0 && std::fabs(hit[0]) < quadHalf &&
                              std::fabs(hit[1]) < quadHalf;
                std::uint32_t d24 = 0;
                if (onQuad) {
                    Vec4 clip = times({view[0], view[1], view[2], 1.0}, p);
                    double depth = clip[2] / clip[3];
                    d24 = static_cast<std::uint32_t>(std::lround(std::fmin(std::fmax(depth, 0.0), 1.0) * 16777215.0));
                }
                const auto& colour = onQuad ? quadColour : backColour;
                std::size_t i = std::size_t(y) * w + x;
                std::uint8_t* px = link_.response().view + blocks.colour + i * 4;
                px[0] = colour[0];
                px[1] = colour[1];
                px[2] = colour[2];
                px[3] = 255;
                float value = static_cast<float>(d24) * h.depthScale + h.depthBias;
                std::memcpy(link_.response().view + blocks.depth + i * 4, &value, 4);
                double centre = std::hypot(x - w / 2.0, y - ht / 2.0);
                if (onQuad && centre < bestCentre) {
                    bestCentre = centre;
                    sample = {x, y, view[2], value};
                }
            }
    }
    {
        std::lock_guard<std::mutex> lock(mutex_);
        frames_.push_back(std::move(frame));
        sample_ = sample;
    }
    link_.publishResponse();
}
