// Draws the installer's icon, setup/setup.ico: one 64 x 64 image, 32 bits per pixel
// (BGRA with straight alpha) plus its 1-bit mask, in the .ico container that setup.rc
// hands to the resource compiler as icon group 101.
//
// The picture: a dark rounded square, a white mirror line down the middle, a teal wedge
// (Maya's side) on the left and its mirror image in orange (Unreal's side) on the right.
// Everything is integer arithmetic on 4 x 4 sub-samples per pixel, so the output is the
// same byte for byte with any compiler and any optimisation level.
//
//   make_icon OUTPUT.ico         writes the icon
//   make_icon --check FILE.ico   exits 0 when FILE.ico is what this program draws
//
// After changing the drawing, regenerate the committed file:
//   cmake --build build --target make_icon && build/setup/make_icon setup/setup.ico

#include <array>
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <fstream>
#include <iterator>
#include <vector>

namespace {

constexpr int kSize = 64;      // pixels
constexpr int kSub = 4;        // sub-samples per pixel in each direction
constexpr int kUnit = 2 * kSub; // coordinates below are in 1/8 pixel (sample centres are odd)

struct Colour { std::uint8_t r, g, b; };
constexpr Colour kBackground{0x26, 0x2B, 0x36};
constexpr Colour kMirrorLine{0xF2, 0xF2, 0xF2};
constexpr Colour kMaya{0x1E, 0xB4, 0xC8};
constexpr Colour kUnreal{0xF5, 0x8A, 0x1F};

struct Point { int x, y; }; // 1/8 pixel, y downwards

constexpr Point px(int x, int y) { return {x * kUnit, y * kUnit}; }

bool insideRoundedSquare(Point p)
{
    const int lo = 2 * kUnit, hi = 62 * kUnit, radius = 12 * kUnit;
    if (p.x < lo || p.x > hi || p.y < lo || p.y > hi)
        return false;
    // Distance to the nearest corner centre, only in the corner regions.
    int cx = p.x < lo + radius ? lo + radius : (p.x > hi - radius ? hi - radius : p.x);
    int cy = p.y < lo + radius ? lo + radius : (p.y > hi - radius ? hi - radius : p.y);
    long dx = p.x - cx, dy = p.y - cy;
    return dx * dx + dy * dy <= static_cast<long>(radius) * radius;
}

long cross(Point a, Point b, Point p)
{
    return static_cast<long>(b.x - a.x) * (p.y - a.y) - static_cast<long>(b.y - a.y) * (p.x - a.x);
}

bool insideTriangle(Point p, Point a, Point b, Point c)
{
    long d1 = cross(a, b, p), d2 = cross(b, c, p), d3 = cross(c, a, p);
    bool negative = d1 < 0 || d2 < 0 || d3 < 0;
    bool positive = d1 > 0 || d2 > 0 || d3 > 0;
    return !(negative && positive);
}

// The colour at one sample point, or nullptr where the icon is transparent.
const Colour* sample(Point p)
{
    if (!insideRoundedSquare(p))
        return nullptr;
    if (p.x >= 31 * kUnit && p.x <= 33 * kUnit && p.y >= 9 * kUnit && p.y <= 55 * kUnit)
        return &kMirrorLine;
    if (insideTriangle(p, px(28, 14), px(28, 50), px(8, 50)))
        return &kMaya;
    if (insideTriangle(p, px(36, 14), px(56, 50), px(36, 50)))
        return &kUnreal;
    return &kBackground;
}

void put16(std::vector<std::uint8_t>& out, unsigned v)
{
    out.push_back(static_cast<std::uint8_t>(v));
    out.push_back(static_cast<std::uint8_t>(v >> 8));
}

void put32(std::vector<std::uint8_t>& out, std::uint32_t v)
{
    put16(out, v & 0xFFFF);
    put16(out, v >> 16);
}

std::vector<std::uint8_t> drawIcon()
{
    // Pixels, top row first, BGRA with straight alpha.
    std::vector<std::array<std::uint8_t, 4>> pixels(kSize * kSize);
    for (int y = 0; y < kSize; ++y) {
        for (int x = 0; x < kSize; ++x) {
            unsigned r = 0, g = 0, b = 0, covered = 0;
            for (int sy = 0; sy < kSub; ++sy) {
                for (int sx = 0; sx < kSub; ++sx) {
                    Point p{(x * kSub + sx) * 2 + 1, (y * kSub + sy) * 2 + 1};
                    if (const Colour* c = sample(p)) {
                        r += c->r;
                        g += c->g;
                        b += c->b;
                        ++covered;
                    }
                }
            }
            auto& out = pixels[y * kSize + x];
            if (covered == 0) {
                out = {0, 0, 0, 0};
                continue;
            }
            out = {static_cast<std::uint8_t>((b + covered / 2) / covered),
                   static_cast<std::uint8_t>((g + covered / 2) / covered),
                   static_cast<std::uint8_t>((r + covered / 2) / covered),
                   static_cast<std::uint8_t>((covered * 255 + kSub * kSub / 2) / (kSub * kSub))};
        }
    }

    constexpr std::uint32_t kMaskRowBytes = ((kSize + 31) / 32) * 4;
    constexpr std::uint32_t kImageBytes = 40 + kSize * kSize * 4 + kMaskRowBytes * kSize;
    std::vector<std::uint8_t> ico;
    // ICONDIR: reserved, type 1 (icon), one image.
    put16(ico, 0);
    put16(ico, 1);
    put16(ico, 1);
    // ICONDIRENTRY: 64 x 64, no palette, 1 plane, 32 bits, size, offset.
    ico.push_back(kSize);
    ico.push_back(kSize);
    ico.push_back(0);
    ico.push_back(0);
    put16(ico, 1);
    put16(ico, 32);
    put32(ico, kImageBytes);
    put32(ico, 6 + 16);
    // BITMAPINFOHEADER: the height counts the colour image and the mask.
    put32(ico, 40);
    put32(ico, kSize);
    put32(ico, kSize * 2);
    put16(ico, 1);
    put16(ico, 32);
    put32(ico, 0); // BI_RGB
    put32(ico, kImageBytes - 40);
    put32(ico, 0);
    put32(ico, 0);
    put32(ico, 0);
    put32(ico, 0);
    // Colour rows bottom-up.
    for (int y = kSize - 1; y >= 0; --y)
        for (int x = 0; x < kSize; ++x)
            ico.insert(ico.end(), pixels[y * kSize + x].begin(), pixels[y * kSize + x].end());
    // Mask rows bottom-up: 1 = transparent.
    for (int y = kSize - 1; y >= 0; --y) {
        std::array<std::uint8_t, kMaskRowBytes> row{};
        for (int x = 0; x < kSize; ++x)
            if (pixels[y * kSize + x][3] == 0)
                row[x / 8] |= static_cast<std::uint8_t>(0x80 >> (x % 8));
        ico.insert(ico.end(), row.begin(), row.end());
    }
    return ico;
}

} // namespace

int main(int argc, char** argv)
{
    const std::vector<std::uint8_t> icon = drawIcon();
    if (argc == 3 && std::strcmp(argv[1], "--check") == 0) {
        std::ifstream in(argv[2], std::ios::binary);
        std::vector<std::uint8_t> existing((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
        if (existing != icon) {
            std::fprintf(stderr, "%s is not what make_icon draws; regenerate it with make_icon %s\n", argv[2], argv[2]);
            return 1;
        }
        return 0;
    }
    if (argc != 2) {
        std::fprintf(stderr, "usage: make_icon OUTPUT.ico | make_icon --check FILE.ico\n");
        return 2;
    }
    std::ofstream out(argv[1], std::ios::binary | std::ios::trunc);
    out.write(reinterpret_cast<const char*>(icon.data()), static_cast<std::streamsize>(icon.size()));
    if (!out) {
        std::fprintf(stderr, "cannot write %s\n", argv[1]);
        return 1;
    }
    return 0;
}
