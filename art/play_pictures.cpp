// SPDX-FileCopyrightText: 2026 The Spinmarsh developers
// SPDX-License-Identifier: GPL-3.0-or-later
#include "art/paint.h"
#include "art/pictures.h"
#include "base/rules.h"

#include <QPainter>
#include <QPainterPathStroker>

#include <cmath>

// The play screen's pictures: the sprite sheets, the field and the start
// banner. Every one is computed pixel by pixel or drawn from paths, never
// loaded and never random in a way that changes between runs: the sprite
// drawing ANDs the mask and XORs the image straight into the field, so a
// single stray colour in a mask would show as a coloured box around the
// sprite.
namespace art {
namespace {

using namespace paint;

struct Span {
    int first;
    int last;
};

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
            if (opaque) {
                sheet.setPixel(w + x, y, colourAt(x, y));
            }
        }
    }
    return sheet;
}

// A ball lit from the upper right and a little from the front; the ramp
// runs from the unlit rim colour through the centre colour to the fully
// lit colour, with no white highlight.
template <std::size_t N> QImage makeBall(const std::array<Stop, N>& shades) {
    return makeSheet(mirrored(kBallTopHalf), rules::kBallSize, [&](int x, int y) {
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

constexpr int kFieldW = rules::kFieldWidth;
constexpr int kFieldH = rules::kFieldHeight;
constexpr int kMargin = rules::kMargin;

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
    if (edge < crackWidth) {
        return mix(qRgb(62, 38, 22), qRgb(96, 64, 40), edge / crackWidth);
    }

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
    if (u % pitch == 0 || v % pitch == 0) {
        return qRgb(229, 233, 248);
    }
    if ((u + 1) % pitch == 0 || (v + 1) % pitch == 0 || (u - 1) % pitch == 0 ||
        (v - 1) % pitch == 0) {
        return qRgb(221, 226, 244);
    }
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
    return fitted(shape, QRectF(3, 3, kBannerW - 3 - 3 - kShadowOffset - kShadowBlur,
                                kBannerH - 3 - 3 - kShadowOffset - kShadowBlur));
}

// Which pixels the letters cover: pixel centres inside the shape, without
// antialiasing, so the picture and its mask agree exactly.
std::vector<bool> letterCoverage() {
    const Layer layer = coverage(letterShapes(), kBannerW, kBannerH, false);
    std::vector<bool> cover(layer.size());
    std::transform(layer.begin(), layer.end(), cover.begin(), [](float c) { return c > 0.5f; });
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
    for (int y = 0; y < kBannerH; ++y) {
        for (int x = 0; x < kBannerW; ++x) {
            shadow[at(x, y)] = inLetters(x - kShadowOffset, y - kShadowOffset) ? 1.0 : 0.0;
        }
    }
    shadow = blurred(std::move(shadow), kBannerW, kBannerH, kShadowBlur, 1);

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
        makeSheet({kTopGunman.begin(), kTopGunman.end()}, rules::kGunmanSize, [](int x, int y) {
            if (x >= 10 && x <= 14 && y >= 6) {
                return kBarrelGreys[static_cast<std::size_t>(x - 10)];
            }
            return stripeColour(y >= 5 && y <= 11, x / 24.0);
        });
    return sheet;
}

QImage leftGunmanSheet() {
    // The same turret turned to face right: stripes run down, light at the
    // top, and the barrel's greys go row by row, darkest at the top.
    static const QImage sheet =
        makeSheet({kLeftGunman.begin(), kLeftGunman.end()}, rules::kGunmanSize, [](int x, int y) {
            if (y >= 10 && y <= 14 && x >= 5) {
                return kBarrelGreys[static_cast<std::size_t>(y - 10)];
            }
            return stripeColour(x >= 4 && x <= 10, y / 24.0);
        });
    return sheet;
}

QImage shotSheet() {
    static const QImage sheet =
        makeSheet(mirrored(kShotTopHalf), rules::kShotSize, [](int x, int y) {
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
