// Draws the program's two images: the window background (a night scene with
// a temple, ruins and a moon; the window draws the lists' labels over it
// itself) and the application icon, at 16, 20, 24, 32, 40, 48, 64 and 256 px.
// Its 32 px image is the window's icon as first drawn, 24-bit and opaque; the
// others are the same design at their size, 32-bit with soft rounded corners
// in their alpha, and the 256 px one a PNG, encoded here (no library beyond
// C++'s own). Everything is drawn with simple maths so the images can be
// redrawn and reviewed like code, and each run writes the same bytes: a test
// (tests/resources) draws them afresh and compares them with resources/.
//
//   g++ -std=c++17 -O2 -o draw_resources draw_resources.cpp
//   ./draw_resources OUT_DIR     writes OUT_DIR/background.bmp and OUT_DIR/ornivale.ico

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <fstream>
#include <functional>
#include <iterator>
#include <string>
#include <vector>

namespace {

// ---------------------------------------------------------------- colours

struct Rgb {
    double r, g, b;  // 0..255, may leave that range while mixing
};

Rgb mix(Rgb a, Rgb b, double t) {
    return {a.r + (b.r - a.r) * t, a.g + (b.g - a.g) * t, a.b + (b.b - a.b) * t};
}

Rgb scale(Rgb c, double k) { return {c.r * k, c.g * k, c.b * k}; }

Rgb add(Rgb a, Rgb b) { return {a.r + b.r, a.g + b.g, a.b + b.b}; }

double clamp01(double t) { return std::min(1.0, std::max(0.0, t)); }

double smoothstep(double edge0, double edge1, double x) {
    const double t = clamp01((x - edge0) / (edge1 - edge0));
    return t * t * (3.0 - 2.0 * t);
}

// ---------------------------------------------------------------- canvas

struct Canvas {
    int width, height;
    std::vector<Rgb> pixels;  // row 0 is the top row

    Canvas(int w, int h) : width(w), height(h), pixels(static_cast<size_t>(w) * h, Rgb{0, 0, 0}) {}
    Rgb& at(int x, int y) { return pixels[static_cast<size_t>(y) * width + x]; }
    Rgb at(int x, int y) const { return pixels[static_cast<size_t>(y) * width + x]; }
};

// A shape is a point-in-shape test plus the pixel box that holds it, so
// painting only visits pixels the shape can touch.
struct Shape {
    int x0, y0, x1, y1;  // inclusive-exclusive pixel box
    std::function<bool(double, double)> inside;
};

// Each pixel is sampled at 4x4 points, so edges are smooth.
constexpr int kSamples = 4;

// How many of a pixel's sample points lie in the shape.
int hits(const Shape& shape, int x, int y) {
    int count = 0;
    for (int sy = 0; sy < kSamples; ++sy)
        for (int sx = 0; sx < kSamples; ++sx)
            if (shape.inside(x + (sx + 0.5) / kSamples, y + (sy + 0.5) / kSamples)) ++count;
    return count;
}

// How much of a pixel the shape covers, 0..1.
double coverage(const Shape& shape, int x, int y) {
    return static_cast<double>(hits(shape, x, y)) / (kSamples * kSamples);
}

// Paints a shape in one colour.
void paint(Canvas& canvas, const Shape& shape, Rgb colour, double opacity = 1.0) {
    const int x0 = std::max(0, shape.x0), x1 = std::min(canvas.width, shape.x1);
    const int y0 = std::max(0, shape.y0), y1 = std::min(canvas.height, shape.y1);
    for (int y = y0; y < y1; ++y) {
        for (int x = x0; x < x1; ++x) {
            const int count = hits(shape, x, y);
            if (count == 0) continue;
            canvas.at(x, y) = mix(canvas.at(x, y), colour, opacity * count / (kSamples * kSamples));
        }
    }
}

Shape rect(double left, double top, double right, double bottom) {
    return {static_cast<int>(std::floor(left)), static_cast<int>(std::floor(top)),
            static_cast<int>(std::ceil(right)), static_cast<int>(std::ceil(bottom)),
            [=](double x, double y) { return x >= left && x < right && y >= top && y < bottom; }};
}

Shape disc(double cx, double cy, double radius) {
    return {static_cast<int>(std::floor(cx - radius)), static_cast<int>(std::floor(cy - radius)),
            static_cast<int>(std::ceil(cx + radius)), static_cast<int>(std::ceil(cy + radius)),
            [=](double x, double y) {
                return (x - cx) * (x - cx) + (y - cy) * (y - cy) < radius * radius;
            }};
}

Shape ring(double cx, double cy, double inner, double outer) {
    Shape s = disc(cx, cy, outer);
    s.inside = [=](double x, double y) {
        const double d2 = (x - cx) * (x - cx) + (y - cy) * (y - cy);
        return d2 < outer * outer && d2 >= inner * inner;
    };
    return s;
}

// Fixed-seed generator so every run draws the same stars.
struct Lcg {
    uint32_t state;
    double next() {  // 0 <= value < 1
        state = state * 1664525u + 1013904223u;
        return (state >> 8) / 16777216.0;
    }
};

// ---------------------------------------------------------------- background

constexpr int kBgWidth = 640;
constexpr int kBgHeight = 480;
constexpr double kHorizonY = 440.0;  // where the temple and ruins stand
constexpr double kMoonX = 548.0, kMoonY = 88.0, kMoonR = 28.0;

// How strongly a point lies in the upper-left panel that holds the controls
// and the file label; that area is kept darker and quieter for white text.
// An ellipse reaching past the label, with a wide soft edge so no seam shows.
double panelWeight(double x, double y) {
    return 1.0 - smoothstep(0.85, 1.6, std::hypot(x / 330.0, y / 245.0));
}

// Deep navy overhead fading to teal at the horizon, with a faint mist band
// just above the skyline so the silhouettes stand out.
void drawSky(Canvas& c) {
    const Rgb top{6, 9, 30}, middle{12, 34, 62}, horizon{26, 86, 98};
    for (int y = 0; y < c.height; ++y) {
        const double t = y / kHorizonY;
        const Rgb base = t < 0.6 ? mix(top, middle, smoothstep(0.0, 0.6, t))
                                 : mix(middle, horizon, smoothstep(0.6, 1.0, t));
        const double mist = std::exp(-std::pow((y - 375.0) / 40.0, 2.0)) * 0.35;
        for (int x = 0; x < c.width; ++x) c.at(x, y) = mix(base, Rgb{70, 130, 140}, mist);
    }
}

// Soft light around the moon, added before the moon itself.
void drawMoonGlow(Canvas& c) {
    for (int y = 0; y < c.height; ++y) {
        for (int x = 0; x < c.width; ++x) {
            const double d = std::hypot(x + 0.5 - kMoonX, y + 0.5 - kMoonY);
            const double glow = 38.0 * std::exp(-d / 55.0) + 10.0 * std::exp(-d / 180.0);
            c.at(x, y) = add(c.at(x, y), Rgb{glow * 0.75, glow * 0.9, glow});
        }
    }
}

void drawStars(Canvas& c) {
    Lcg rng{20240615u};
    for (int i = 0; i < 320; ++i) {
        const double x = rng.next() * c.width;
        const double y = rng.next() * 330.0;
        const double size = rng.next();
        const double twinkle = 0.35 + 0.65 * rng.next() * rng.next();
        // Stars thin out towards the hazy horizon, near the moon and behind the text.
        const double fade = (1.0 - smoothstep(180.0, 330.0, y)) *
                            smoothstep(60.0, 110.0, std::hypot(x - kMoonX, y - kMoonY)) *
                            (1.0 - 0.7 * panelWeight(x, y));
        const double alpha = twinkle * fade;
        if (alpha <= 0.02) continue;
        const Rgb starlight{225, 232, 255};
        const int px = static_cast<int>(x), py = static_cast<int>(y);
        c.at(px, py) = mix(c.at(px, py), starlight, alpha);
        if (size > 0.93) {  // a few bright stars get a small cross
            const int dx[] = {-1, 1, 0, 0}, dy[] = {0, 0, -1, 1};
            for (int k = 0; k < 4; ++k) {
                const int qx = px + dx[k], qy = py + dy[k];
                if (qx < 0 || qy < 0 || qx >= c.width || qy >= c.height) continue;
                c.at(qx, qy) = mix(c.at(qx, qy), starlight, alpha * 0.45);
            }
        }
    }
}

void drawMoon(Canvas& c) {
    paint(c, disc(kMoonX, kMoonY, kMoonR), Rgb{236, 232, 208});
    // Faint maria so the moon is not a flat disc.
    const Rgb shade{206, 204, 186};
    paint(c, disc(kMoonX - 9, kMoonY - 6, 8), shade, 0.7);
    paint(c, disc(kMoonX + 8, kMoonY + 9, 6), shade, 0.6);
    paint(c, disc(kMoonX + 11, kMoonY - 10, 4), shade, 0.5);
}

// Low rolling hills far behind the buildings, lighter because of the haze.
void drawFarHills(Canvas& c) {
    auto ridge = [](double x) {
        return 372.0 + 14.0 * std::sin(x * 0.010 + 0.4) + 8.0 * std::sin(x * 0.031 + 1.7);
    };
    paint(c, {0, 340, kBgWidth, kBgHeight, [=](double x, double y) { return y > ridge(x); }},
          Rgb{14, 50, 62});
}

// A stepped pyramid with a shrine on top, whose doorway glows with torchlight.
void drawTemple(Canvas& c) {
    const Rgb stone{8, 27, 38};
    const double cx = 462.0, tierHeight = 20.0;
    const int tiers = 5;
    for (int i = 0; i < tiers; ++i) {
        const double half = 118.0 - i * 19.0;
        const double bottom = kHorizonY - i * tierHeight;
        paint(c, rect(cx - half, bottom - tierHeight, cx + half, bottom), stone);
    }
    const double top = kHorizonY - tiers * tierHeight;
    paint(c, rect(cx - 26, top - 30, cx + 26, top), stone);  // shrine
    paint(c, rect(cx - 32, top - 36, cx + 32, top - 30), stone);  // roof slab

    // Stairway up the front: a slightly lighter strip with step lines.
    const Rgb stair{13, 38, 50};
    paint(c, rect(cx - 14, top, cx + 14, kHorizonY), stair);
    for (double y = top + 5; y < kHorizonY; y += 5)
        paint(c, rect(cx - 14, y, cx + 14, y + 1), stone);

    // Warm doorway with a soft halo.
    const double doorTop = top - 22, doorBottom = top;
    for (int y = static_cast<int>(doorTop) - 24; y < static_cast<int>(doorBottom) + 12; ++y) {
        for (int x = static_cast<int>(cx) - 36; x < static_cast<int>(cx) + 36; ++x) {
            if (x < 0 || y < 0 || x >= c.width || y >= c.height) continue;
            const double d = std::hypot(x + 0.5 - cx, (y + 0.5 - (doorTop + 12)) * 1.3);
            const double halo = 0.35 * std::exp(-d / 10.0);
            c.at(x, y) = mix(c.at(x, y), Rgb{255, 170, 80}, halo);
        }
    }
    paint(c, rect(cx - 7, doorTop, cx + 7, doorBottom), Rgb{240, 160, 70});
    paint(c, rect(cx - 4, doorTop + 6, cx + 4, doorBottom), Rgb{255, 214, 130});
}

// A column whose top is broken off at a slant.
void drawBrokenColumn(Canvas& c, double left, double width, double height, double slant,
                      Rgb colour) {
    const double bottom = kHorizonY + 2, top = kHorizonY - height;
    paint(c, {static_cast<int>(left) - 1, static_cast<int>(top - std::abs(slant)) - 1,
              static_cast<int>(left + width) + 2, static_cast<int>(bottom) + 1,
              [=](double x, double y) {
                  const double cut = top + slant * (x - left) / width;
                  return x >= left && x < left + width && y < bottom && y >= cut;
              }},
          colour);
    paint(c, rect(left - 4, bottom - 8, left + width + 4, bottom), colour);  // plinth
}

// Ruins on the left: a gateway of two columns still carrying a broken lintel,
// with stumps and a fallen block around it. All of it stays below the label.
void drawRuins(Canvas& c) {
    const Rgb stone{5, 16, 24};
    drawBrokenColumn(c, 40, 16, 70, -12, stone);
    drawBrokenColumn(c, 96, 18, 118, 0, stone);
    drawBrokenColumn(c, 152, 18, 118, 0, stone);
    // Lintel across both columns; its right end has snapped off unevenly.
    const double top = kHorizonY - 132, bottom = kHorizonY - 118;
    paint(c, {84, static_cast<int>(top), 200, static_cast<int>(bottom),
              [=](double x, double y) {
                  if (y < top || y >= bottom || x < 86) return false;
                  const double t = (y - top) / (bottom - top);
                  const double breakX = 188.0 - 8.0 * t + (t > 0.5 ? 5.0 : 0.0);
                  return x < breakX;
              }},
          stone);
    drawBrokenColumn(c, 226, 16, 44, 9, stone);
    paint(c, rect(262, kHorizonY - 13, 294, kHorizonY), stone);  // fallen block
    paint(c, rect(298, kHorizonY - 7, 312, kHorizonY), stone);   // and a chip of it
}

// Dark ground along the bottom, under the row of buttons.
void drawGround(Canvas& c) {
    auto edge = [](double x) { return kHorizonY - 1.0 + 2.5 * std::sin(x * 0.045); };
    paint(c, {0, static_cast<int>(kHorizonY) - 5, kBgWidth, kBgHeight,
              [=](double x, double y) { return y > edge(x); }},
          Rgb{3, 10, 16});
}

// Darkens the panel area a little more and the corners gently, so the
// controls and white text read well and the eye rests on the scene.
void drawVignette(Canvas& c) {
    for (int y = 0; y < c.height; ++y) {
        for (int x = 0; x < c.width; ++x) {
            const double nx = (x + 0.5) / c.width - 0.5, ny = (y + 0.5) / c.height - 0.5;
            const double corner = 1.0 - 0.35 * smoothstep(0.35, 0.75, std::hypot(nx, ny));
            const double panel = 1.0 - 0.25 * panelWeight(x, y);
            c.at(x, y) = scale(c.at(x, y), corner * panel);
        }
    }
}

Canvas drawBackground() {
    Canvas c(kBgWidth, kBgHeight);
    drawSky(c);
    drawMoonGlow(c);
    drawStars(c);
    drawMoon(c);
    drawFarHills(c);
    drawTemple(c);
    drawRuins(c);
    drawGround(c);
    drawVignette(c);
    return c;
}

// ---------------------------------------------------------------- icon

// The icon's sizes in pixels. 32 px is the window's icon as it was first drawn: a square tile,
// opaque, in a 24-bit image whose bytes stay as they were, and the only 32 px image, so Windows
// always shows that one at 32 px. Every other size is the same design on a tile with rounded
// corners, in a 32-bit image whose alpha leaves the corners transparent; 256 px is stored as a
// PNG, as Windows expects that size.
constexpr int kIconSizes[] = {16, 20, 24, 32, 40, 48, 64, 256};
constexpr int kSquareIconSize = 32;
constexpr int kPngIconSize = 256;
constexpr double kIconUnits = 32.0;  // the design is laid out on a grid of this many units

// A rectangle whose corners are quarter circles of `radius`.
Shape roundedRect(double left, double top, double right, double bottom, double radius) {
    Shape s = rect(left, top, right, bottom);
    s.inside = [=](double x, double y) {
        if (x < left || x >= right || y < top || y >= bottom) return false;
        const double dx = std::max({left + radius - x, 0.0, x - (right - radius)});
        const double dy = std::max({top + radius - y, 0.0, y - (bottom - radius)});
        return dx * dx + dy * dy < radius * radius;
    };
    return s;
}

// The rounded tile's corners: 4 units, and at least 2 px so a small icon's still look round.
double cornerRadius(int size) { return std::max(2.0, 4.0 * size / kIconUnits); }

// Deep blue to teal tile with a gold ring (the "O") around a white rain drop, laid out on the
// 32-unit grid; u is a unit in pixels. A thin dark frame keeps the tile's edge on light
// backgrounds: on the square tile, four bars a unit wide; on the rounded one, a band a unit
// wide (at least a pixel) that also fills the corners beyond the tile's edge, so the pixels
// on that edge have the frame's colour and the alpha alone cuts them.
Canvas drawIcon(int size, bool rounded) {
    const double u = size / kIconUnits;
    Canvas c(size, size);
    for (int y = 0; y < size; ++y)
        for (int x = 0; x < size; ++x)
            c.at(x, y) = mix(Rgb{20, 40, 110}, Rgb{16, 120, 130}, (x + y) / (2.0 * size - 2));
    const Rgb frame{8, 16, 48};
    if (rounded) {
        const double w = std::max(1.0, u);
        const Shape inner = roundedRect(w, w, size - w, size - w, cornerRadius(size) - w);
        paint(c, {0, 0, size, size, [=](double x, double y) { return !inner.inside(x, y); }},
              frame);
    } else {
        paint(c, rect(0, 0, 32 * u, 1 * u), frame);
        paint(c, rect(0, 31 * u, 32 * u, 32 * u), frame);
        paint(c, rect(0, 0, 1 * u, 32 * u), frame);
        paint(c, rect(31 * u, 0, 32 * u, 32 * u), frame);
    }

    const double cx = 16.0 * u, cy = 16.0 * u;
    paint(c, ring(cx, cy + 0.6 * u, 9.5 * u, 14.0 * u), Rgb{10, 20, 40}, 0.45);  // drop shadow
    paint(c, ring(cx, cy, 9.5 * u, 14.0 * u), Rgb{246, 190, 64});
    paint(c, ring(cx, cy, 12.6 * u, 14.0 * u), Rgb{255, 224, 130}, 0.5);  // bright rim

    // Rain drop: a circle with a pointed top, centred in the ring.
    const double dropR = 5.2 * u, dropCy = 18.4 * u, tipY = 8.2 * u;
    auto inDrop = [=](double x, double y) {
        if ((x - cx) * (x - cx) + (y - dropCy) * (y - dropCy) < dropR * dropR) return true;
        if (y < tipY || y > dropCy) return false;
        const double half = dropR * 0.92 * (y - tipY) / (dropCy - tipY);
        return std::abs(x - cx) < half;
    };
    paint(c, {static_cast<int>(std::floor(8 * u)), static_cast<int>(std::floor(6 * u)),
              static_cast<int>(std::ceil(24 * u)), static_cast<int>(std::ceil(26 * u)), inDrop},
          Rgb{250, 252, 255});
    return c;
}

// An icon image: its colours, and how much of each pixel the tile covers (0..1, top row
// first; none for the square tile, which covers all).
struct IconImage {
    Canvas canvas;
    std::vector<double> alpha;
};

IconImage drawIconImage(int size) {
    if (size == kSquareIconSize) return {drawIcon(size, false), {}};
    const Shape tile = roundedRect(0, 0, size, size, cornerRadius(size));
    std::vector<double> alpha;
    for (int y = 0; y < size; ++y)
        for (int x = 0; x < size; ++x) alpha.push_back(coverage(tile, x, y));
    return {drawIcon(size, true), alpha};
}

// ---------------------------------------------------------------- file output

void putU16(std::vector<uint8_t>& out, uint32_t v) {
    out.push_back(static_cast<uint8_t>(v & 0xFF));
    out.push_back(static_cast<uint8_t>((v >> 8) & 0xFF));
}

void putU32(std::vector<uint8_t>& out, uint32_t v) {
    putU16(out, v & 0xFFFF);
    putU16(out, (v >> 16) & 0xFFFF);
}

// A 4x4 ordered dither hides banding in the long, slow sky gradient.
uint8_t quantize(double value, int x, int y) {
    static const int bayer[4][4] = {{0, 8, 2, 10}, {12, 4, 14, 6}, {3, 11, 1, 9}, {15, 7, 13, 5}};
    const double offset = (bayer[y & 3][x & 3] + 0.5) / 16.0 - 0.5;
    return static_cast<uint8_t>(std::clamp(std::floor(value + offset + 0.5), 0.0, 255.0));
}

// 24-bit pixel rows, bottom row first, blue-green-red, each padded to 4 bytes.
void putPixelRows(std::vector<uint8_t>& out, const Canvas& c) {
    const int padding = (4 - (c.width * 3) % 4) % 4;
    for (int y = c.height - 1; y >= 0; --y) {
        for (int x = 0; x < c.width; ++x) {
            const Rgb p = c.at(x, y);
            out.push_back(quantize(p.b, x, y));
            out.push_back(quantize(p.g, x, y));
            out.push_back(quantize(p.r, x, y));
        }
        for (int i = 0; i < padding; ++i) out.push_back(0);
    }
}

uint32_t rowBytes(int width, int bitsPerPixel) { return ((width * bitsPerPixel + 31) / 32) * 4; }

// BITMAPINFOHEADER for an uncompressed image. Icons pass twice the height because their DIB
// also holds the AND mask.
void putInfoHeader(std::vector<uint8_t>& out, int width, int heightField, int bitsPerPixel,
                   uint32_t imageSize) {
    putU32(out, 40);                                  // biSize
    putU32(out, static_cast<uint32_t>(width));        // biWidth
    putU32(out, static_cast<uint32_t>(heightField));  // biHeight (positive: bottom-up)
    putU16(out, 1);                                   // biPlanes
    putU16(out, bitsPerPixel);                        // biBitCount
    putU32(out, 0);                                   // biCompression = BI_RGB
    putU32(out, imageSize);                           // biSizeImage
    putU32(out, 2835);                                // biXPelsPerMeter (72 dpi)
    putU32(out, 2835);                                // biYPelsPerMeter
    putU32(out, 0);                                   // biClrUsed
    putU32(out, 0);                                   // biClrImportant
}

std::vector<uint8_t> encodeBmp(const Canvas& c) {
    const uint32_t imageSize = rowBytes(c.width, 24) * c.height;
    const uint32_t headerSize = 14 + 40;
    std::vector<uint8_t> out;
    out.push_back('B');
    out.push_back('M');
    putU32(out, headerSize + imageSize);  // bfSize
    putU16(out, 0);                       // bfReserved1
    putU16(out, 0);                       // bfReserved2
    putU32(out, headerSize);              // bfOffBits
    putInfoHeader(out, c.width, c.height, 24, imageSize);
    putPixelRows(out, c);
    return out;
}

struct Rgba {
    uint8_t r, g, b, a;
};

// An icon pixel at 8 bits a channel, dithered as the 24-bit images are; all zero where the
// tile covers nothing.
Rgba pixelOf(const IconImage& image, int x, int y) {
    const double alpha = image.alpha[static_cast<size_t>(y) * image.canvas.width + x];
    const uint8_t a = static_cast<uint8_t>(std::lround(alpha * 255));
    if (a == 0) return {0, 0, 0, 0};
    const Rgb p = image.canvas.at(x, y);
    return {quantize(p.r, x, y), quantize(p.g, x, y), quantize(p.b, x, y), a};
}

// An icon image as a DIB: header, colour rows, then the AND mask, whose set bits are the
// pixels to leave out where a 32-bit image's alpha is not used: those less than half opaque.
// The square tile's 24-bit image is opaque: its mask is all zero.
std::vector<uint8_t> encodeIconDib(const IconImage& image) {
    const Canvas& c = image.canvas;
    const bool opaque = image.alpha.empty();
    const int bitsPerPixel = opaque ? 24 : 32;
    const uint32_t xorSize = rowBytes(c.width, bitsPerPixel) * c.height;
    const uint32_t andRow = rowBytes(c.width, 1);
    const uint32_t andSize = andRow * c.height;
    std::vector<uint8_t> out;
    putInfoHeader(out, c.width, c.height * 2, bitsPerPixel, xorSize + andSize);
    if (opaque) {
        putPixelRows(out, c);
        out.insert(out.end(), andSize, 0);
        return out;
    }
    for (int y = c.height - 1; y >= 0; --y) {
        for (int x = 0; x < c.width; ++x) {
            const Rgba p = pixelOf(image, x, y);
            out.insert(out.end(), {p.b, p.g, p.r, p.a});
        }
    }
    for (int y = c.height - 1; y >= 0; --y) {
        std::vector<uint8_t> row(andRow, 0);
        for (int x = 0; x < c.width; ++x)
            if (pixelOf(image, x, y).a < 128) row[x / 8] |= static_cast<uint8_t>(0x80 >> (x % 8));
        out.insert(out.end(), row.begin(), row.end());
    }
    return out;
}

// ---------------------------------------------------------------- PNG

void putU32Big(std::vector<uint8_t>& out, uint32_t v) {
    for (int shift = 24; shift >= 0; shift -= 8) out.push_back(static_cast<uint8_t>(v >> shift));
}

// CRC-32 as PNG's chunks end with it (reflected polynomial 0xEDB88320, a bit at a time).
uint32_t crc32(const uint8_t* data, size_t size) {
    uint32_t crc = 0xFFFFFFFFu;
    for (size_t i = 0; i < size; ++i) {
        crc ^= data[i];
        for (int bit = 0; bit < 8; ++bit) crc = (crc >> 1) ^ (0xEDB88320u & (0u - (crc & 1u)));
    }
    return ~crc;
}

// Adler-32, the checksum at the end of a zlib stream.
uint32_t adler32(const std::vector<uint8_t>& data) {
    uint32_t a = 1, b = 0;
    for (uint8_t byte : data) {
        a = (a + byte) % 65521;
        b = (b + a) % 65521;
    }
    return (b << 16) | a;
}

// Deflate's bits fill each byte from its least significant bit up; its Huffman codes go out
// most significant bit first, other numbers least significant first.
class BitWriter {
public:
    explicit BitWriter(std::vector<uint8_t>& out) : out_(out) {}
    void number(uint32_t value, int bits) {
        for (int i = 0; i < bits; ++i) put((value >> i) & 1u);
    }
    void code(uint32_t value, int bits) {
        for (int i = bits - 1; i >= 0; --i) put((value >> i) & 1u);
    }

private:
    void put(uint32_t bit) {
        if (used_ == 0) out_.push_back(0);
        out_.back() = static_cast<uint8_t>(out_.back() | (bit << used_));
        used_ = (used_ + 1) % 8;
    }
    std::vector<uint8_t>& out_;
    int used_ = 0;
};

// A literal/length symbol in deflate's fixed Huffman code.
void putSymbol(BitWriter& w, int symbol) {
    if (symbol < 144) w.code(0x30 + symbol, 8);
    else if (symbol < 256) w.code(0x190 + symbol - 144, 9);
    else if (symbol < 280) w.code(symbol - 256, 7);
    else w.code(0xC0 + symbol - 280, 8);
}

// A repeat of `length` (3..258) bytes from `distance` (1..32768) back. Lengths 3..10 and
// distances 1..4 have a symbol each; past them, each four length symbols (two distance
// symbols) cover a range twice as wide as the four (two) before, the offset into it sent in
// `extra` bits. Length 258 has a symbol of its own.
void putMatch(BitWriter& w, int length, int distance) {
    const int n = length - 3;
    int extra = 0;
    while (n >> (extra + 3)) ++extra;
    if (length == 258) putSymbol(w, 285);
    else if (n < 8) putSymbol(w, 257 + n);
    else putSymbol(w, 257 + 4 * (extra + 1) + (n >> extra) - 4);
    if (length != 258) w.number(n & ((1 << extra) - 1), extra);

    const int d = distance - 1;
    extra = 0;
    while (d >> (extra + 2)) ++extra;
    w.code(d < 4 ? d : 2 * (extra + 1) + (d >> extra) - 2, 5);
    w.number(d & ((1 << extra) - 1), extra);
}

// Deflate in one block of fixed Huffman codes. Where the next 3 or more bytes were seen in
// the last 32 KiB, they go as a repeat of the longest such copy among the latest 64 places
// whose first three bytes hash alike; any other byte goes as itself.
std::vector<uint8_t> deflate(const std::vector<uint8_t>& data) {
    constexpr int kWindow = 32768, kMaxLength = 258, kMaxChain = 64;
    const int size = static_cast<int>(data.size());
    std::vector<int> head(1 << 15, -1), previous(data.size(), -1);
    auto hash = [&](int i) {
        return ((data[i] << 10) ^ (data[i + 1] << 5) ^ data[i + 2]) & 0x7FFF;
    };
    auto remember = [&](int i) {
        if (i + 2 >= size) return;
        previous[i] = head[hash(i)];
        head[hash(i)] = i;
    };
    std::vector<uint8_t> out;
    BitWriter w(out);
    w.number(1, 1);  // BFINAL: the last block
    w.number(1, 2);  // BTYPE: fixed Huffman codes
    for (int i = 0; i < size;) {
        int best = 0, bestDistance = 0;
        if (i + 2 < size) {
            const int limit = std::min(kMaxLength, size - i);
            int chain = 0;
            for (int j = head[hash(i)]; j >= 0 && i - j <= kWindow && chain < kMaxChain;
                 j = previous[j], ++chain) {
                int length = 0;
                while (length < limit && data[j + length] == data[i + length]) ++length;
                if (length > best) {
                    best = length;
                    bestDistance = i - j;
                }
            }
        }
        if (best >= 3) {
            putMatch(w, best, bestDistance);
            for (int k = 0; k < best; ++k) remember(i + k);
            i += best;
        } else {
            putSymbol(w, data[i]);
            remember(i);
            ++i;
        }
    }
    putSymbol(w, 256);  // end of block
    return out;
}

int paeth(int a, int b, int c) {
    const int p = a + b - c, pa = std::abs(p - a), pb = std::abs(p - b), pc = std::abs(p - c);
    return pa <= pb && pa <= pc ? a : pb <= pc ? b : c;
}

// PNG's scanlines: each row behind the filter (none, sub, up, average or Paeth) that leaves
// its bytes closest to zero, the usual heuristic.
std::vector<uint8_t> filterRows(const std::vector<uint8_t>& pixels, int width, int height) {
    const int stride = width * 4;
    std::vector<uint8_t> out, row(stride), best;
    for (int y = 0; y < height; ++y) {
        const uint8_t* line = &pixels[static_cast<size_t>(y) * stride];
        long bestScore = -1;
        int bestFilter = 0;
        for (int filter = 0; filter < 5; ++filter) {
            long score = 0;
            for (int i = 0; i < stride; ++i) {
                const int a = i >= 4 ? line[i - 4] : 0, b = y > 0 ? line[i - stride] : 0;
                const int c = i >= 4 && y > 0 ? line[i - stride - 4] : 0;
                const int predicted[] = {0, a, b, (a + b) / 2, paeth(a, b, c)};
                row[i] = static_cast<uint8_t>(line[i] - predicted[filter]);
                score += std::abs(static_cast<int8_t>(row[i]));
            }
            if (bestScore >= 0 && score >= bestScore) continue;
            bestScore = score;
            bestFilter = filter;
            best = row;
        }
        out.push_back(static_cast<uint8_t>(bestFilter));
        out.insert(out.end(), best.begin(), best.end());
    }
    return out;
}

void putChunk(std::vector<uint8_t>& out, const char* type, const std::vector<uint8_t>& data) {
    putU32Big(out, static_cast<uint32_t>(data.size()));
    const size_t start = out.size();
    out.insert(out.end(), type, type + 4);
    out.insert(out.end(), data.begin(), data.end());
    putU32Big(out, crc32(&out[start], out.size() - start));
}

// An icon image as an 8-bit RGBA PNG.
std::vector<uint8_t> encodePng(const IconImage& image) {
    const int width = image.canvas.width, height = image.canvas.height;
    std::vector<uint8_t> pixels;
    for (int y = 0; y < height; ++y) {
        for (int x = 0; x < width; ++x) {
            const Rgba p = pixelOf(image, x, y);
            pixels.insert(pixels.end(), {p.r, p.g, p.b, p.a});
        }
    }
    const std::vector<uint8_t> scanlines = filterRows(pixels, width, height);
    std::vector<uint8_t> header;
    putU32Big(header, static_cast<uint32_t>(width));
    putU32Big(header, static_cast<uint32_t>(height));
    header.insert(header.end(), {8, 6, 0, 0, 0});  // 8 bits, RGBA, deflate, filters, no interlace
    std::vector<uint8_t> zlib = {0x78, 0x01};     // deflate with a 32 KiB window, no dictionary
    const std::vector<uint8_t> compressed = deflate(scanlines);
    zlib.insert(zlib.end(), compressed.begin(), compressed.end());
    putU32Big(zlib, adler32(scanlines));

    std::vector<uint8_t> out = {0x89, 'P', 'N', 'G', '\r', '\n', 0x1A, '\n'};
    putChunk(out, "IHDR", header);
    putChunk(out, "IDAT", zlib);
    putChunk(out, "IEND", {});
    return out;
}

// ---------------------------------------------------------------- icon file

// ICONDIR, an ICONDIRENTRY an image, then the images in the same order.
std::vector<uint8_t> encodeIco() {
    std::vector<std::vector<uint8_t>> images;
    std::vector<uint8_t> out;
    putU16(out, 0);  // reserved
    putU16(out, 1);  // type: icon
    const uint32_t count = static_cast<uint32_t>(std::size(kIconSizes));
    putU16(out, count);
    uint32_t offset = 6 + 16 * count;
    for (int size : kIconSizes) {
        const IconImage image = drawIconImage(size);
        images.push_back(size == kPngIconSize ? encodePng(image) : encodeIconDib(image));
        out.push_back(static_cast<uint8_t>(size % 256));  // width: 0 stands for 256
        out.push_back(static_cast<uint8_t>(size % 256));  // height
        out.push_back(0);                                 // no palette
        out.push_back(0);                                 // reserved
        putU16(out, 1);                                   // planes
        putU16(out, image.alpha.empty() ? 24 : 32);       // bits per pixel
        putU32(out, static_cast<uint32_t>(images.back().size()));  // bytes in the image
        putU32(out, offset);                                       // offset of the image
        offset += static_cast<uint32_t>(images.back().size());
    }
    for (const auto& image : images) out.insert(out.end(), image.begin(), image.end());
    return out;
}

bool writeFile(const std::string& path, const std::vector<uint8_t>& bytes) {
    std::ofstream file(path, std::ios::binary);
    file.write(reinterpret_cast<const char*>(bytes.data()),
               static_cast<std::streamsize>(bytes.size()));
    if (!file) std::fprintf(stderr, "draw_resources: cannot write %s\n", path.c_str());
    return static_cast<bool>(file);
}

}  // namespace

int main(int argc, char** argv) {
    if (argc != 2) {
        std::fprintf(stderr, "usage: draw_resources OUT_DIR\n");
        return 2;
    }
    const std::string dir = argv[1];
    const bool ok = writeFile(dir + "/background.bmp", encodeBmp(drawBackground())) &&
                    writeFile(dir + "/ornivale.ico", encodeIco());
    return ok ? 0 : 1;
}
