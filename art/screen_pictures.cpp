// SPDX-FileCopyrightText: 2026 The Spinmarsh developers
// SPDX-License-Identifier: GPL-3.0-or-later
#include "art/paint.h"
#include "art/pictures.h"

#include <QPainter>

#include <cmath>

// ------------------------------------------------ score screen and menus
//
// Lettering is a font's outline stretched onto the exact box the layouts
// expect, so the labels laid over these pictures line up on every machine,
// whatever font the outline came from.
namespace art {

using Colour = BoardHeading::Colour;

// clang-format off
const std::array<BoardHeading, 14> kBoardHeadings = {{
    {"Score",     Colour::Gold,  nullptr,  327, 14,  493, 68},
    {"My Boul",   Colour::Gold,  nullptr,  46,  92,  167, 121},
    {"Life",      Colour::Green, "Label1", 63,  132, 108, 154},
    {"Bullet",    Colour::Green, "Label2", 62,  174, 127, 191},
    {"Wall",      Colour::Green, "Label3", 62,  215, 122, 237},
    {"Distance",  Colour::Green, "Label4", 64,  257, 180, 281},
    {"Enemy",     Colour::Gold,  nullptr,  448, 91,  555, 121},
    {"Bullet",    Colour::Green, "Label5", 478, 132, 543, 149},
    {"Wall",      Colour::Green, "Label6", 478, 173, 538, 195},
    {"Other",     Colour::Gold,  nullptr,  457, 212, 548, 240},
    {"Time",      Colour::Green, "Label7", 483, 254, 549, 278},
    {"Superior",  Colour::Green, "Label8", 481, 293, 596, 321},
    {"Superior2", Colour::Green, "Label9", 481, 332, 613, 360},
    {"Total",     Colour::Gold,  "total",  106, 420, 190, 450},
}};
// clang-format on

namespace {

using namespace paint;

QPainterPath fittedText(const QString& text, const QRectF& box, QFont::Weight weight) {
    QFont font(QStringLiteral("DejaVu Sans"));
    font.setPixelSize(100);
    font.setWeight(weight);
    QPainterPath path;
    path.addText(0, 0, font, text);
    return fitted(path, box);
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
    const Layer cover = coverage(path, w, h, true);
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

QImage makeScoreBoard() {
    QImage board(891, 480, QImage::Format_RGB32);
    board.fill(Qt::black);
    for (const BoardHeading& h : kBoardHeadings) {
        glowText(board, QString::fromLatin1(h.text), pixelBox(h.left, h.top, h.right, h.bottom),
                 h.colour == Colour::Gold ? kGold : kGreen);
    }
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
    for (int y = 0; y < h; ++y) {
        for (int x = 0; x < w; ++x) {
            double d = 1e9;
            for (const QLineF& s : strokes) {
                d = std::min(d, distanceToSegment(x + 0.5, y + 0.5, s));
            }
            sign.setPixel(x, y, ramp(glow, d));
        }
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
    return fitted(path.simplified(), box);
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
    for (double step = depth; step > 0; step -= 0.5) {
        p.fillPath(letters.translated(step, step), edge);
    }
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
    const Layer cover = coverage(letters, area.width(), area.height(), true);
    // Rough copper: a dull rose ground with brighter orange-pink patches and
    // a fine grain.
    static constexpr std::array<Stop, 5> copper = {{
        {0.0, qRgb(78, 46, 44)},
        {0.35, qRgb(118, 76, 70)},
        {0.55, qRgb(140, 92, 82)},
        {0.75, qRgb(190, 116, 96)},
        {1.0, qRgb(245, 150, 118)},
    }};
    for (int y = 0; y < area.height(); ++y) {
        for (int x = 0; x < area.width(); ++x) {
            const float c = cover[static_cast<std::size_t>(y * area.width() + x)];
            if (c <= 0) {
                continue;
            }
            const int px = x + area.left(), py = y + area.top();
            // Fractal noise bunches around its middle; spread it so the
            // bright patches and the dull hollows both show.
            const double patches = 0.5 + 2.4 * (fbm(px / 18.0, py / 18.0, 71, 4) - 0.5);
            const double t = 0.82 * patches + 0.18 * unitHash(px, py, 73);
            heading.setPixel(px, py, mix(qRgb(0, 0, 0), ramp(copper, t), c));
        }
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
    for (const auto& [known, make] : pictures) {
        if (name == QLatin1String(known)) {
            return make();
        }
    }
    return QImage();
}

} // namespace art
