// Draws the program's two images: the window background (a night scene with
// a temple, ruins and a moon; the window draws the lists' labels over it
// itself) and the application icon. Everything is drawn with simple maths
// so the images can be redrawn and reviewed like code.
//
//   g++ -std=c++17 -O2 -o draw_resources draw_resources.cpp
//   ./draw_resources OUT_DIR     writes OUT_DIR/background.bmp and OUT_DIR/ornivale.ico

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <fstream>
#include <functional>
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

// Paints a shape in one colour, 4x4 samples per pixel so edges are smooth.
void paint(Canvas& canvas, const Shape& shape, Rgb colour, double opacity = 1.0) {
    constexpr int kSamples = 4;
    const int x0 = std::max(0, shape.x0), x1 = std::min(canvas.width, shape.x1);
    const int y0 = std::max(0, shape.y0), y1 = std::min(canvas.height, shape.y1);
    for (int y = y0; y < y1; ++y) {
        for (int x = x0; x < x1; ++x) {
            int hits = 0;
            for (int sy = 0; sy < kSamples; ++sy)
                for (int sx = 0; sx < kSamples; ++sx)
                    if (shape.inside(x + (sx + 0.5) / kSamples, y + (sy + 0.5) / kSamples)) ++hits;
            if (hits == 0) continue;
            const double coverage = opacity * hits / (kSamples * kSamples);
            canvas.at(x, y) = mix(canvas.at(x, y), colour, coverage);
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
    for (double y = top + 5; y < kHorizonY; y += 5) paint(c, rect(cx - 14, y, cx + 14, y + 1), stone);

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
void drawBrokenColumn(Canvas& c, double left, double width, double height, double slant, Rgb colour) {
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

constexpr int kIconSize = 32;

// Deep blue to teal tile with a gold ring (the "O") around a white rain drop.
Canvas drawIcon() {
    Canvas c(kIconSize, kIconSize);
    for (int y = 0; y < kIconSize; ++y)
        for (int x = 0; x < kIconSize; ++x)
            c.at(x, y) = mix(Rgb{20, 40, 110}, Rgb{16, 120, 130}, (x + y) / (2.0 * kIconSize - 2));
    // Thin dark frame so the tile keeps its edge on light backgrounds.
    paint(c, rect(0, 0, 32, 1), Rgb{8, 16, 48});
    paint(c, rect(0, 31, 32, 32), Rgb{8, 16, 48});
    paint(c, rect(0, 0, 1, 32), Rgb{8, 16, 48});
    paint(c, rect(31, 0, 32, 32), Rgb{8, 16, 48});

    const double cx = 16.0, cy = 16.0;
    paint(c, ring(cx, cy + 0.6, 9.5, 14.0), Rgb{10, 20, 40}, 0.45);  // drop shadow
    paint(c, ring(cx, cy, 9.5, 14.0), Rgb{246, 190, 64});
    paint(c, ring(cx, cy, 12.6, 14.0), Rgb{255, 224, 130}, 0.5);  // bright rim

    // Rain drop: a circle with a pointed top, centred in the ring.
    const double dropR = 5.2, dropCy = 18.4, tipY = 8.2;
    paint(c, {8, 6, 24, 26, [=](double x, double y) {
              if ((x - cx) * (x - cx) + (y - dropCy) * (y - dropCy) < dropR * dropR) return true;
              if (y < tipY || y > dropCy) return false;
              const double half = dropR * 0.92 * (y - tipY) / (dropCy - tipY);
              return std::abs(x - cx) < half;
          }},
          Rgb{250, 252, 255});
    return c;
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

// BITMAPINFOHEADER for an uncompressed 24-bit image. Icons pass twice the
// height because their DIB also holds the AND mask.
void putInfoHeader(std::vector<uint8_t>& out, int width, int heightField, uint32_t imageSize) {
    putU32(out, 40);                             // biSize
    putU32(out, static_cast<uint32_t>(width));   // biWidth
    putU32(out, static_cast<uint32_t>(heightField));  // biHeight (positive: bottom-up)
    putU16(out, 1);                              // biPlanes
    putU16(out, 24);                             // biBitCount
    putU32(out, 0);                              // biCompression = BI_RGB
    putU32(out, imageSize);                      // biSizeImage
    putU32(out, 2835);                           // biXPelsPerMeter (72 dpi)
    putU32(out, 2835);                           // biYPelsPerMeter
    putU32(out, 0);                              // biClrUsed
    putU32(out, 0);                              // biClrImportant
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
    putInfoHeader(out, c.width, c.height, imageSize);
    putPixelRows(out, c);
    return out;
}

std::vector<uint8_t> encodeIco(const Canvas& c) {
    const uint32_t xorSize = rowBytes(c.width, 24) * c.height;
    const uint32_t andRow = rowBytes(c.width, 1);
    const uint32_t andSize = andRow * c.height;
    const uint32_t dibSize = 40 + xorSize + andSize;
    std::vector<uint8_t> out;
    // ICONDIR
    putU16(out, 0);  // reserved
    putU16(out, 1);  // type: icon
    putU16(out, 1);  // one image
    // ICONDIRENTRY
    out.push_back(static_cast<uint8_t>(c.width));   // 32
    out.push_back(static_cast<uint8_t>(c.height));  // 32
    out.push_back(0);                               // no palette
    out.push_back(0);                               // reserved
    putU16(out, 1);                                 // planes
    putU16(out, 24);                                // bits per pixel
    putU32(out, dibSize);                           // bytes in the image
    putU32(out, 6 + 16);                            // offset of the image
    // The DIB: header, colour pixels, then an all-zero (fully opaque) AND mask.
    putInfoHeader(out, c.width, c.height * 2, xorSize + andSize);
    putPixelRows(out, c);
    out.insert(out.end(), andSize, 0);
    return out;
}

bool writeFile(const std::string& path, const std::vector<uint8_t>& bytes) {
    std::ofstream file(path, std::ios::binary);
    file.write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
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
                    writeFile(dir + "/ornivale.ico", encodeIco(drawIcon()));
    return ok ? 0 : 1;
}
