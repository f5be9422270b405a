#include "art/pictures.h"

#include <QPainter>
#include <QPainterPath>
#include <QPainterPathStroker>
#include <QTransform>

#include <algorithm>
#include <array>
#include <cmath>
#include <vector>

// Every picture is computed pixel by pixel or drawn from paths, never loaded
// and never random in a way that changes between runs: the sprite drawing
// ANDs the mask and XORs the image straight into the field, so a single stray
// colour in a mask would show as a coloured box around the sprite.
namespace art {
namespace {

// ---------------------------------------------------------------- helpers

struct Span {
    int first;
    int last;
};

struct Stop {
    double at;
    QRgb colour;
};

int mix(int a, int b, double t) {
    return std::clamp(static_cast<int>(std::lround(a + (b - a) * t)), 0, 255);
}

QRgb mix(QRgb a, QRgb b, double t) {
    return qRgb(mix(qRed(a), qRed(b), t), mix(qGreen(a), qGreen(b), t), mix(qBlue(a), qBlue(b), t));
}

// Piecewise linear colour ramp; stops sorted by `at`.
template <std::size_t N> QRgb ramp(const std::array<Stop, N>& stops, double t) {
    if (t <= stops.front().at)
        return stops.front().colour;
    for (std::size_t i = 1; i < N; ++i) {
        if (t <= stops[i].at) {
            const double f = (t - stops[i - 1].at) / (stops[i].at - stops[i - 1].at);
            return mix(stops[i - 1].colour, stops[i].colour, f);
        }
    }
    return stops.back().colour;
}

QRgb scaled(QRgb c, double f) {
    return qRgb(mix(0, qRed(c), f), mix(0, qGreen(c), f), mix(0, qBlue(c), f));
}

// Integer hash: the same texture on every machine and every run.
quint32 hash(int x, int y, quint32 seed) {
    quint32 h = static_cast<quint32>(x) * 374761393u + static_cast<quint32>(y) * 668265263u +
                seed * 2246822519u;
    h = (h ^ (h >> 13)) * 1274126177u;
    return h ^ (h >> 16);
}

double unitHash(int x, int y, quint32 seed) {
    return (hash(x, y, seed) & 0xffffffu) / double(0xffffffu);
}

double smooth(double t) {
    return t * t * (3.0 - 2.0 * t);
}

double valueNoise(double x, double y, quint32 seed) {
    const int x0 = static_cast<int>(std::floor(x));
    const int y0 = static_cast<int>(std::floor(y));
    const double fx = smooth(x - x0);
    const double fy = smooth(y - y0);
    const double top = unitHash(x0, y0, seed) * (1 - fx) + unitHash(x0 + 1, y0, seed) * fx;
    const double bottom =
        unitHash(x0, y0 + 1, seed) * (1 - fx) + unitHash(x0 + 1, y0 + 1, seed) * fx;
    return top * (1 - fy) + bottom * fy;
}

// Fractal noise in 0..1.
double fbm(double x, double y, quint32 seed, int octaves) {
    double sum = 0, amplitude = 0.5, norm = 0;
    for (int i = 0; i < octaves; ++i) {
        sum += amplitude * valueNoise(x, y, seed + static_cast<quint32>(i));
        norm += amplitude;
        amplitude *= 0.5;
        x *= 2;
        y *= 2;
    }
    return sum / norm;
}

// ---------------------------------------------------------- sprite sheets

// Opaque columns of each sprite, one span per row. The drawing code relies
// on these shapes pixel for pixel, so they are written out rather than
// derived from a circle.
// clang-format off
constexpr std::array<Span, 16> kBallTopHalf = {{
    {12, 19}, {9, 22}, {7, 24}, {6, 25}, {4, 27}, {4, 27}, {3, 28}, {2, 29},
    {2, 29},  {1, 30}, {1, 30}, {1, 30}, {0, 31}, {0, 31}, {0, 31}, {0, 31},
}};

constexpr std::array<Span, 5> kShotTopHalf = {{{3, 6}, {2, 7}, {1, 8}, {0, 9}, {0, 9}}};

// Turret body across the whole top, barrel pointing down.
constexpr std::array<Span, 25> kTopGunman = {{
    {0, 24}, {0, 24}, {0, 24}, {0, 24}, {0, 24}, {0, 24}, {0, 24}, {0, 24}, {0, 24}, {0, 24},
    {0, 24}, {0, 24}, {0, 24}, {0, 24}, {0, 24}, {0, 24}, {0, 24},
    {10, 14}, {10, 14}, {10, 14}, {10, 14}, {10, 14}, {10, 14}, {10, 14}, {10, 14},
}};

// Turret body down the left side, barrel pointing right.
constexpr std::array<Span, 25> kLeftGunman = {{
    {0, 15}, {0, 15}, {0, 15}, {0, 15}, {0, 15}, {0, 15}, {0, 15}, {0, 15}, {0, 15}, {0, 15},
    {0, 24}, {0, 24}, {0, 24}, {0, 24}, {0, 24},
    {0, 15}, {0, 15}, {0, 15}, {0, 15}, {0, 15}, {0, 15}, {0, 15}, {0, 15}, {0, 15}, {0, 15},
}};
// clang-format on

template <std::size_t N> std::vector<Span> mirrored(const std::array<Span, N>& topHalf) {
    std::vector<Span> rows(topHalf.begin(), topHalf.end());
    rows.insert(rows.end(), topHalf.rbegin(), topHalf.rend());
    return rows;
}

// Mask at x = 0, image at x = w. Outside the shape the mask is white and the
// image black, so AND then XOR leaves the field untouched there.
template <typename ColourAt>
QImage makeSheet(const std::vector<Span>& rows, int w, ColourAt colourAt) {
    const int h = static_cast<int>(rows.size());
    QImage sheet(2 * w, h, QImage::Format_RGB32);
    sheet.fill(Qt::black);
    for (int y = 0; y < h; ++y) {
        for (int x = 0; x < w; ++x) {
            const bool opaque = x >= rows[y].first && x <= rows[y].last;
            sheet.setPixel(x, y, opaque ? qRgb(0, 0, 0) : qRgb(255, 255, 255));
            if (opaque)
                sheet.setPixel(w + x, y, colourAt(x, y));
        }
    }
    return sheet;
}

// A ball lit from the upper right and a little from the front; the ramp
// runs from the unlit rim colour through the centre colour to the fully
// lit colour, with no white highlight.
template <std::size_t N> QImage makeBall(const std::array<Stop, N>& shades) {
    return makeSheet(mirrored(kBallTopHalf), 32, [&](int x, int y) {
        const double nx = (x + 0.5 - 16) / 16.0;
        const double ny = (y + 0.5 - 16) / 16.0;
        const double nz = std::sqrt(std::max(0.0, 1 - nx * nx - ny * ny));
        const double lx = 0.6, ly = -0.6, lz = 0.55;
        const double len = std::sqrt(lx * lx + ly * ly + lz * lz);
        const double light = std::max(0.0, (nx * lx + ny * ly + nz * lz) / len);
        return ramp(shades, light);
    });
}

constexpr QRgb kOrangeLight = qRgb(255, 178, 102);
constexpr QRgb kOrangeDark = qRgb(141, 88, 36);
constexpr QRgb kVioletLight = qRgb(165, 164, 174);
constexpr QRgb kVioletDark = qRgb(23, 16, 54);

// The barrel is a cylinder lit from the right (from below for the left
// gunman): five flat greys, darkest first.
constexpr std::array<QRgb, 5> kBarrelGreys = {
    qRgb(76, 76, 76),    qRgb(102, 102, 102), qRgb(127, 127, 127),
    qRgb(153, 153, 153), qRgb(178, 178, 178),
};

QRgb stripeColour(bool violet, double t) {
    return violet ? mix(kVioletLight, kVioletDark, t) : mix(kOrangeLight, kOrangeDark, t);
}

// ------------------------------------------------------------- play field

constexpr int kFieldW = 600;
constexpr int kFieldH = 400;
constexpr int kMargin = 30;

// Dry earth: Voronoi plates on a jittered grid, parted where a pixel is about
// equally far from two plate centres.
QRgb earthColour(int x, int y) {
    constexpr int cell = 23;
    const int cx = x / cell;
    const int cy = y / cell;
    double d1 = 1e9, d2 = 1e9;
    int nearestX = 0, nearestY = 0;
    for (int gy = cy - 1; gy <= cy + 1; ++gy) {
        for (int gx = cx - 1; gx <= cx + 1; ++gx) {
            const double px = (gx + 0.15 + 0.7 * unitHash(gx, gy, 11)) * cell;
            const double py = (gy + 0.15 + 0.7 * unitHash(gx, gy, 12)) * cell;
            const double d = std::hypot(x + 0.5 - px, y + 0.5 - py);
            if (d < d1) {
                d2 = d1;
                d1 = d;
                nearestX = gx;
                nearestY = gy;
            } else if (d < d2) {
                d2 = d;
            }
        }
    }
    const double edge = d2 - d1;
    const double crackWidth = 1.0 + 2.2 * fbm(x / 9.0, y / 9.0, 21, 2);
    if (edge < crackWidth)
        return mix(qRgb(62, 38, 22), qRgb(96, 64, 40), edge / crackWidth);

    // Each plate is a slightly different tan, grainy, and darker towards its
    // rim so it reads as a curled-up flake.
    const double plate = 0.93 + 0.12 * unitHash(nearestX, nearestY, 13);
    const double grain = 0.94 + 0.12 * fbm(x / 3.0, y / 3.0, 31, 2);
    const double rim = edge < crackWidth + 3 ? 0.86 + 0.14 * (edge - crackWidth) / 3 : 1.0;
    return scaled(qRgb(200, 155, 120), std::min(1.2, plate * grain * rim));
}

QRgb lavenderColour(int x, int y) {
    // A faint diamond lattice, lighter than the ground.
    constexpr int pitch = 20;
    const int u = (x - kMargin) + (y - kMargin);
    const int v = (x - kMargin) - (y - kMargin) + 4 * pitch * 100;
    if (u % pitch == 0 || v % pitch == 0)
        return qRgb(229, 233, 248);
    if ((u + 1) % pitch == 0 || (v + 1) % pitch == 0 || (u - 1) % pitch == 0 ||
        (v - 1) % pitch == 0)
        return qRgb(221, 226, 244);
    return qRgb(214, 219, 239);
}

QImage makePlayField() {
    QImage field(kFieldW, kFieldH, QImage::Format_RGB32);
    for (int y = 0; y < kFieldH; ++y) {
        auto* line = reinterpret_cast<QRgb*>(field.scanLine(y));
        for (int x = 0; x < kFieldW; ++x) {
            const bool inner =
                x >= kMargin && x < kFieldW - kMargin && y >= kMargin && y < kFieldH - kMargin;
            line[x] = inner ? lavenderColour(x, y) : earthColour(x, y);
        }
    }
    return field;
}

// ----------------------------------------------------------------- banner

constexpr int kBannerW = 158;
constexpr int kBannerH = 63;
constexpr int kShadowOffset = 4;
constexpr int kShadowBlur = 2;

// "Start" drawn as thick round-capped strokes: a heavy rounded sans-serif
// that needs no font file, so the banner is the same on every machine.
QPainterPath letterShapes() {
    QPainterPath lines;
    // S
    lines.moveTo(36, 15);
    lines.cubicTo(32, 7, 11, 5, 10, 17);
    lines.cubicTo(9, 28, 36, 25, 36, 39);
    lines.cubicTo(36, 54, 12, 54, 8, 44);
    // t
    lines.moveTo(55, 13);
    lines.lineTo(55, 43);
    lines.cubicTo(55, 51, 60, 52, 64, 49);
    lines.moveTo(49, 26);
    lines.lineTo(63, 26);
    // a (single storey)
    lines.moveTo(97, 28);
    lines.lineTo(97, 51);
    lines.addEllipse(QRectF(75, 26, 22, 25));
    // r
    lines.moveTo(110, 51);
    lines.lineTo(110, 28);
    lines.moveTo(110, 39);
    lines.cubicTo(110, 30, 115, 26, 124, 28);
    // t
    lines.moveTo(142, 13);
    lines.lineTo(142, 43);
    lines.cubicTo(142, 51, 147, 52, 151, 49);
    lines.moveTo(136, 26);
    lines.lineTo(150, 26);

    QPainterPathStroker stroker;
    stroker.setWidth(11);
    stroker.setCapStyle(Qt::RoundCap);
    stroker.setJoinStyle(Qt::RoundJoin);
    QPainterPath shape = stroker.createStroke(lines).simplified();
    shape.setFillRule(Qt::WindingFill);

    // Fit the letters to the banner, leaving room for the shadow at the
    // lower right so that letters and shadow stay within x 3..155, y 3..60.
    const QRectF target(3, 3, kBannerW - 3 - 3 - kShadowOffset - kShadowBlur,
                        kBannerH - 3 - 3 - kShadowOffset - kShadowBlur);
    const QRectF bounds = shape.boundingRect();
    QTransform fit;
    fit.translate(target.left(), target.top());
    fit.scale(target.width() / bounds.width(), target.height() / bounds.height());
    fit.translate(-bounds.left(), -bounds.top());
    return fit.map(shape);
}

// Which pixels the letters cover: pixel centres inside the shape, without
// antialiasing, so the picture and its mask agree exactly.
std::vector<bool> letterCoverage() {
    QImage img(kBannerW, kBannerH, QImage::Format_RGB32);
    img.fill(Qt::black);
    {
        QPainter p(&img);
        p.setRenderHint(QPainter::Antialiasing, false);
        p.fillPath(letterShapes(), Qt::white);
    }
    std::vector<bool> cover(kBannerW * kBannerH);
    for (int y = 0; y < kBannerH; ++y)
        for (int x = 0; x < kBannerW; ++x)
            cover[static_cast<std::size_t>(y * kBannerW + x)] = qRed(img.pixel(x, y)) > 127;
    return cover;
}

struct Banner {
    QImage picture;
    QImage mask;
};

QRgb marbleColour(int x, int y) {
    // Veins run diagonally and are bent by fractal noise; a steep curve at
    // the top end keeps the near-white glints rare.
    const double warp = 5.5 * fbm(x / 16.0, y / 16.0, 41, 4);
    const double vein = 0.5 + 0.5 * std::sin(x * 0.11 + y * 0.19 + warp);
    const double t = 0.8 * vein + 0.2 * fbm(x / 5.0, y / 5.0, 43, 2);
    static constexpr std::array<Stop, 5> stops = {{
        {0.0, qRgb(26, 108, 110)},
        {0.35, qRgb(72, 158, 157)},
        {0.65, qRgb(114, 194, 191)},
        {0.88, qRgb(165, 219, 212)},
        {1.0, qRgb(236, 251, 247)},
    }};
    return ramp(stops, t);
}

Banner makeBanner() {
    const std::vector<bool> letters = letterCoverage();
    auto at = [](int x, int y) { return static_cast<std::size_t>(y * kBannerW + x); };
    auto inLetters = [&](int x, int y) {
        return x >= 0 && y >= 0 && x < kBannerW && y < kBannerH && letters[at(x, y)];
    };

    // The shadow is the letters moved down-right and box-blurred; its faint
    // fringe is part of the shape, so the mask follows the blur too.
    std::vector<double> shadow(letters.size(), 0.0);
    constexpr int side = 2 * kShadowBlur + 1;
    for (int y = 0; y < kBannerH; ++y) {
        for (int x = 0; x < kBannerW; ++x) {
            int hits = 0;
            for (int dy = -kShadowBlur; dy <= kShadowBlur; ++dy)
                for (int dx = -kShadowBlur; dx <= kShadowBlur; ++dx)
                    hits += inLetters(x + dx - kShadowOffset, y + dy - kShadowOffset) ? 1 : 0;
            shadow[at(x, y)] = hits / double(side * side);
        }
    }

    Banner b{QImage(kBannerW, kBannerH, QImage::Format_RGB32),
             QImage(kBannerW, kBannerH, QImage::Format_RGB32)};
    b.picture.fill(Qt::white);
    b.mask.fill(Qt::black);
    for (int y = 0; y < kBannerH; ++y) {
        for (int x = 0; x < kBannerW; ++x) {
            const double s = shadow[at(x, y)];
            if (inLetters(x, y)) {
                // A darker rim keeps the marbled letters crisp against the
                // field and the shadow.
                const bool rim = !inLetters(x - 1, y) || !inLetters(x + 1, y) ||
                                 !inLetters(x, y - 1) || !inLetters(x, y + 1);
                const QRgb c = marbleColour(x, y);
                b.picture.setPixel(x, y, rim ? mix(c, qRgb(14, 70, 74), 0.6) : c);
            } else if (s >= 0.12) {
                const int grey = mix(255, 110, s);
                b.picture.setPixel(x, y, qRgb(grey, grey, grey));
            } else {
                continue;
            }
            b.mask.setPixel(x, y, qRgb(192, 192, 192));
        }
    }
    return b;
}

const Banner& banner() {
    static const Banner b = makeBanner();
    return b;
}

} // namespace

QImage playerBallSheet() {
    static const QImage sheet = makeBall(std::array<Stop, 4>{{
        {0.0, qRgb(50, 16, 16)},
        {0.2, qRgb(96, 14, 10)},
        {0.544, qRgb(176, 8, 0)},
        {0.95, qRgb(255, 0, 0)},
    }});
    return sheet;
}

QImage enemyBallSheet() {
    static const QImage sheet = makeBall(std::array<Stop, 4>{{
        {0.0, qRgb(16, 33, 63)},
        {0.2, qRgb(12, 45, 110)},
        {0.544, qRgb(8, 62, 170)},
        {0.95, qRgb(0, 85, 240)},
    }});
    return sheet;
}

QImage topGunmanSheet() {
    // Stripes run across, each shaded light at the left to dark at the right;
    // the barrel starts inside the violet stripe so it looks mounted.
    static const QImage sheet =
        makeSheet({kTopGunman.begin(), kTopGunman.end()}, 25, [](int x, int y) {
            if (x >= 10 && x <= 14 && y >= 6)
                return kBarrelGreys[static_cast<std::size_t>(x - 10)];
            return stripeColour(y >= 5 && y <= 11, x / 24.0);
        });
    return sheet;
}

QImage leftGunmanSheet() {
    // The same turret turned to face right: stripes run down, light at the
    // top, and the barrel's greys go row by row, darkest at the top.
    static const QImage sheet =
        makeSheet({kLeftGunman.begin(), kLeftGunman.end()}, 25, [](int x, int y) {
            if (y >= 10 && y <= 14 && x >= 5)
                return kBarrelGreys[static_cast<std::size_t>(y - 10)];
            return stripeColour(x >= 4 && x <= 10, y / 24.0);
        });
    return sheet;
}

QImage shotSheet() {
    static const QImage sheet = makeSheet(mirrored(kShotTopHalf), 10, [](int x, int y) {
        return mix(qRgb(165, 216, 255), qRgb(66, 127, 255), (x + y) / 18.0);
    });
    return sheet;
}

QImage playField() {
    static const QImage field = makePlayField();
    return field;
}

QImage bannerPicture() {
    return banner().picture;
}

QImage bannerMask() {
    return banner().mask;
}

} // namespace art

// ------------------------------------------------ score screen and menus
//
// Lettering is a font's outline stretched onto the exact box the layouts
// expect, so the labels laid over these pictures line up on every machine,
// whatever font the outline came from.
namespace art {
namespace {

using Layer = std::vector<float>;

QPainterPath fittedText(const QString& text, const QRectF& box, QFont::Weight weight) {
    QFont font(QStringLiteral("DejaVu Sans"));
    font.setPixelSize(100);
    font.setWeight(weight);
    QPainterPath path;
    path.addText(0, 0, font, text);
    const QRectF bounds = path.boundingRect();
    QTransform fit;
    fit.translate(box.left(), box.top());
    fit.scale(box.width() / bounds.width(), box.height() / bounds.height());
    fit.translate(-bounds.left(), -bounds.top());
    return fit.map(path);
}

// A box given by its first and last pixel, both inclusive.
QRectF pixelBox(int left, int top, int right, int bottom) {
    return QRectF(left, top, right - left + 1, bottom - top + 1);
}

// How much of each pixel of a w x h area the path covers, 0 to 1.
Layer coverage(const QPainterPath& path, int w, int h) {
    QImage img(w, h, QImage::Format_RGB32);
    img.fill(Qt::black);
    {
        QPainter p(&img);
        p.setRenderHint(QPainter::Antialiasing, true);
        p.fillPath(path, Qt::white);
    }
    Layer layer(static_cast<std::size_t>(w * h));
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x)
            layer[static_cast<std::size_t>(y * w + x)] =
                static_cast<float>(qRed(img.pixel(x, y))) / 255.0f;
    return layer;
}

// Repeated box blurs: close enough to a soft glow, and cheap.
Layer blurred(Layer layer, int w, int h, int radius, int passes) {
    Layer tmp(layer.size());
    auto at = [w](int x, int y) { return static_cast<std::size_t>(y * w + x); };
    const float side = 2.0f * static_cast<float>(radius) + 1.0f;
    for (int pass = 0; pass < passes; ++pass) {
        for (int y = 0; y < h; ++y)
            for (int x = 0; x < w; ++x) {
                float sum = 0;
                for (int d = -radius; d <= radius; ++d)
                    sum += layer[at(std::clamp(x + d, 0, w - 1), y)];
                tmp[at(x, y)] = sum / side;
            }
        for (int y = 0; y < h; ++y)
            for (int x = 0; x < w; ++x) {
                float sum = 0;
                for (int d = -radius; d <= radius; ++d)
                    sum += tmp[at(x, std::clamp(y + d, 0, h - 1))];
                layer[at(x, y)] = sum / side;
            }
    }
    return layer;
}

struct Glow {
    QRgb light; // fill at the top of the letters
    QRgb deep;  // fill at the bottom
    QRgb halo;
};

constexpr Glow kGold = {qRgb(255, 240, 150), qRgb(238, 168, 24), qRgb(225, 70, 10)};
constexpr Glow kGreen = {qRgb(200, 255, 170), qRgb(70, 225, 60), qRgb(10, 115, 25)};

// Glowing lettering: a halo around the letters fading into what is below,
// and the letters over it, shaded from top to bottom.
void glowText(QImage& image, const QString& text, const QRectF& box, const Glow& glow) {
    constexpr int reach = 8;
    const QRect area = box.toAlignedRect().adjusted(-reach, -reach, reach, reach) & image.rect();
    const int w = area.width();
    const int h = area.height();
    const QPainterPath path =
        fittedText(text, box, QFont::Bold).translated(-area.left(), -area.top());
    const Layer cover = coverage(path, w, h);
    const Layer halo = blurred(cover, w, h, 2, 3);
    for (int y = 0; y < h; ++y) {
        const double down = std::clamp((y + area.top() - box.top()) / box.height(), 0.0, 1.0);
        const QRgb fill = mix(glow.light, glow.deep, down);
        for (int x = 0; x < w; ++x) {
            const auto i = static_cast<std::size_t>(y * w + x);
            QRgb c = image.pixel(x + area.left(), y + area.top());
            c = mix(c, glow.halo, std::min(1.0, 1.8 * halo[i]));
            c = mix(c, fill, cover[i]);
            image.setPixel(x + area.left(), y + area.top(), c);
        }
    }
}

struct BoardText {
    const char* text;
    const Glow* glow;
    int left, top, right, bottom;
};

// clang-format off
constexpr std::array<BoardText, 14> kBoardTexts = {{
    {"Score",     &kGold,  327, 14,  493, 68},
    {"My Boul",   &kGold,  46,  92,  167, 121},
    {"Life",      &kGreen, 63,  132, 108, 154},
    {"Bullet",    &kGreen, 62,  174, 127, 191},
    {"Wall",      &kGreen, 62,  215, 122, 237},
    {"Distance",  &kGreen, 64,  257, 180, 281},
    {"Enemy",     &kGold,  448, 91,  555, 121},
    {"Bullet",    &kGreen, 478, 132, 543, 149},
    {"Wall",      &kGreen, 478, 173, 538, 195},
    {"Other",     &kGold,  457, 212, 548, 240},
    {"Time",      &kGreen, 483, 254, 549, 278},
    {"Superior",  &kGreen, 481, 293, 596, 321},
    {"Superior2", &kGreen, 481, 332, 613, 360},
    {"Total",     &kGold,  106, 420, 190, 450},
}};
// clang-format on

QImage makeScoreBoard() {
    QImage board(891, 480, QImage::Format_RGB32);
    board.fill(Qt::black);
    for (const BoardText& t : kBoardTexts)
        glowText(board, QString::fromLatin1(t.text), pixelBox(t.left, t.top, t.right, t.bottom),
                 *t.glow);
    // The rule under the rows: dim at both ends, white in the middle, a
    // little darker along its top and bottom edge.
    constexpr int left = 48, right = 848, top = 392, bottom = 397;
    const double middle = (left + right) / 2.0;
    for (int y = top; y <= bottom; ++y) {
        const double edge = (y == top || y == bottom) ? 0.85 : 1.0;
        for (int x = left; x <= right; ++x) {
            const double t = 1.0 - std::abs(x - middle) / (middle - left);
            board.setPixel(x, y, scaled(mix(qRgb(51, 51, 51), qRgb(255, 255, 255), t), edge));
        }
    }
    return board;
}

// A sign glowing like hot metal: pale at the centre line, through orange to
// a dark red rim, on the near-black of the board's sign boxes.
constexpr QRgb kSignBackground = qRgb(7, 0, 20);

double distanceToSegment(double px, double py, QLineF s) {
    const double dx = s.dx(), dy = s.dy();
    const double t =
        std::clamp(((px - s.x1()) * dx + (py - s.y1()) * dy) / (dx * dx + dy * dy), 0.0, 1.0);
    return std::hypot(px - (s.x1() + t * dx), py - (s.y1() + t * dy));
}

template <std::size_t N> QImage makeSign(int w, int h, const std::array<QLineF, N>& strokes) {
    static constexpr std::array<Stop, 7> glow = {{
        {0.0, qRgb(255, 252, 220)},
        {0.8, qRgb(255, 252, 220)},
        {1.6, qRgb(255, 226, 130)},
        {2.8, qRgb(255, 140, 30)},
        {4.3, qRgb(190, 40, 10)},
        {6.2, qRgb(70, 0, 20)},
        {8.5, kSignBackground},
    }};
    QImage sign(w, h, QImage::Format_RGB32);
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x) {
            double d = 1e9;
            for (const QLineF& s : strokes)
                d = std::min(d, distanceToSegment(x + 0.5, y + 0.5, s));
            sign.setPixel(x, y, ramp(glow, d));
        }
    return sign;
}

// The title in squared capitals built from bars on a grid: five units high,
// one unit per stroke, so the logo needs no font and looks the same on every
// machine.
QPainterPath squaredLetter(char letter) {
    QPainterPath p;
    const auto bar = [&p](double x, double y, double w, double h) {
        p.addRect(QRectF(x, y, w, h));
    };
    const auto slant = [&p](QPointF a, QPointF b, QPointF c, QPointF d) {
        p.addPolygon(QPolygonF({a, b, c, d, a}));
    };
    switch (letter) {
    case 'S':
        bar(0, 0, 6, 1);
        bar(0, 0, 1, 3);
        bar(0, 2, 6, 1);
        bar(5, 2, 1, 3);
        bar(0, 4, 6, 1);
        break;
    case 'P':
        bar(0, 0, 1, 5);
        bar(0, 0, 6, 1);
        bar(5, 0, 1, 3);
        bar(0, 2, 6, 1);
        break;
    case 'I':
        bar(0, 0, 1.2, 5);
        break;
    case 'N':
        bar(0, 0, 1, 5);
        bar(5, 0, 1, 5);
        slant({0, 0}, {1.35, 0}, {6, 5}, {4.65, 5});
        break;
    case 'M':
        bar(0, 0, 7, 1);
        bar(0, 0, 1, 5);
        bar(3, 0, 1, 4);
        bar(6, 0, 1, 5);
        break;
    case 'A': // the top corners cut off, so it never reads as a squared R
        bar(0, 1.4, 1, 3.6);
        bar(5, 1.4, 1, 3.6);
        bar(1.4, 0, 3.2, 1);
        bar(0, 2.6, 6, 1);
        slant({0, 1.4}, {1.4, 0}, {1.4, 1}, {1, 1.4});
        slant({4.6, 0}, {6, 1.4}, {5, 1.4}, {4.6, 1});
        break;
    case 'R':
        bar(0, 0, 1, 5);
        bar(0, 0, 6, 1);
        bar(5, 0, 1, 3);
        bar(0, 2, 6, 1);
        slant({3, 3}, {4.4, 3}, {6, 5}, {4.6, 5});
        break;
    case 'H':
        bar(0, 0, 1, 5);
        bar(5, 0, 1, 5);
        bar(0, 2, 6, 1);
        break;
    default:
        break;
    }
    p.setFillRule(Qt::WindingFill);
    return p.simplified();
}

QPainterPath squaredText(const QString& text, const QRectF& box) {
    QPainterPath path;
    double x = 0;
    for (const QChar c : text) {
        const QPainterPath letter = squaredLetter(c.toLatin1());
        path.addPath(letter.translated(x, 0));
        x += letter.boundingRect().width() + 1.1;
    }
    path = path.simplified();
    const QRectF bounds = path.boundingRect();
    QTransform fit;
    fit.translate(box.left(), box.top());
    fit.scale(box.width() / bounds.width(), box.height() / bounds.height());
    fit.translate(-bounds.left(), -bounds.top());
    return fit.map(path);
}

QImage makeTitleLogo() {
    QImage logo(856, 105, QImage::Format_RGB32);
    logo.fill(Qt::white);
    // The lettering with its outline and its raised edge stays inside
    // x 19..840, y 20..87.
    constexpr double depth = 4;
    constexpr double outline = 2;
    const QRectF box = pixelBox(19, 20, 840, 87);
    const QRectF face =
        box.adjusted(outline / 2, outline / 2, -outline / 2 - depth, -outline / 2 - depth);
    const QPainterPath letters = squaredText(QStringLiteral("SPINMARSH"), face);

    QLinearGradient colour(box.left(), 0, box.right(), 0);
    colour.setColorAt(0.0, QColor(24, 64, 230));
    colour.setColorAt(0.5, QColor(255, 255, 255));
    colour.setColorAt(1.0, QColor(225, 28, 36));
    QLinearGradient edge(box.left(), 0, box.right(), 0);
    edge.setColorAt(0.0, QColor(8, 24, 110));
    edge.setColorAt(0.5, QColor(120, 120, 130));
    edge.setColorAt(1.0, QColor(110, 10, 16));

    QPainter p(&logo);
    p.setRenderHint(QPainter::Antialiasing, true);
    // The raised edge: the letters pushed back step by step.
    for (double step = depth; step > 0; step -= 0.5)
        p.fillPath(letters.translated(step, step), edge);
    // The bevel: a lit face, a dark outline, and a light inner line.
    p.fillPath(letters, colour);
    p.strokePath(letters, QPen(QBrush(edge), outline));
    p.setOpacity(0.6);
    p.strokePath(letters.translated(-0.8, -0.8), QPen(Qt::white, 0.8));
    return logo;
}

QImage makeHighScoreHeading() {
    QImage heading(867, 187, QImage::Format_RGB32);
    heading.fill(Qt::black);
    const QRectF box = pixelBox(23, 4, 447, 77);
    const QRect area = box.toAlignedRect();
    const QPainterPath letters =
        fittedText(QStringLiteral("High score"), box, QFont::Normal).translated(-area.topLeft());
    const Layer cover = coverage(letters, area.width(), area.height());
    // Rough copper: a dull rose ground with brighter orange-pink patches and
    // a fine grain.
    static constexpr std::array<Stop, 5> copper = {{
        {0.0, qRgb(78, 46, 44)},
        {0.35, qRgb(118, 76, 70)},
        {0.55, qRgb(140, 92, 82)},
        {0.75, qRgb(190, 116, 96)},
        {1.0, qRgb(245, 150, 118)},
    }};
    for (int y = 0; y < area.height(); ++y)
        for (int x = 0; x < area.width(); ++x) {
            const float c = cover[static_cast<std::size_t>(y * area.width() + x)];
            if (c <= 0)
                continue;
            const int px = x + area.left(), py = y + area.top();
            // Fractal noise bunches around its middle; spread it so the
            // bright patches and the dull hollows both show.
            const double patches = 0.5 + 2.4 * (fbm(px / 18.0, py / 18.0, 71, 4) - 0.5);
            const double t = 0.82 * patches + 0.18 * unitHash(px, py, 73);
            heading.setPixel(px, py, mix(qRgb(0, 0, 0), ramp(copper, t), c));
        }
    return heading;
}

} // namespace

QImage scoreBoard() {
    static const QImage board = makeScoreBoard();
    return board;
}

QImage timesSign() {
    static const QImage sign =
        makeSign(35, 37, std::array<QLineF, 2>{QLineF(9, 10, 26, 27), QLineF(26, 10, 9, 27)});
    return sign;
}

QImage equalsSign() {
    static const QImage sign = makeSign(
        37, 31,
        std::array<QLineF, 2>{QLineF(10.5, 11.5, 26.5, 11.5), QLineF(10.5, 20.5, 26.5, 20.5)});
    return sign;
}

QImage titleLogo() {
    static const QImage logo = makeTitleLogo();
    return logo;
}

QImage highScoreHeading() {
    static const QImage heading = makeHighScoreHeading();
    return heading;
}

QImage pictureNamed(const QString& name) {
    static const std::array<std::pair<const char*, QImage (*)()>, 5> pictures = {{
        {"scoreBoard", scoreBoard},
        {"timesSign", timesSign},
        {"equalsSign", equalsSign},
        {"titleLogo", titleLogo},
        {"highScoreHeading", highScoreHeading},
    }};
    for (const auto& [known, make] : pictures)
        if (name == QLatin1String(known))
            return make();
    return QImage();
}

} // namespace art
