// SPDX-FileCopyrightText: 2026 The Spinmarsh developers
// SPDX-License-Identifier: GPL-3.0-or-later

#include "art/pictures.h"
#include "base/key_codes.h"
#include "headless/recording_samples.h"
#include "headless/stand_in_world.h"
#include "play/form1.h"
#include "screens/form2.h"
#include "screens/form3.h"
#include "screens/form4.h"
#include "screens/records_screen.h"
#include "tests/support/stand_ins.h"
#include "tests/support/windows.h"
#include "windows/play_window.h"
#include "windows/screen_windows.h"

#include <QApplication>
#include <QDir>
#include <QFontDatabase>
#include <QFontInfo>
#include <QFrame>
#include <QLabel>
#include <QRawFont>
#include <QTemporaryDir>
#include <QTest>

#include <memory>

// The four screens in their real windows, checked control by control against
// their layouts, and photographed for the README.
namespace {

constexpr QRgb kWhite = qRgb(255, 255, 255);
constexpr QRgb kBlack = qRgb(0, 0, 0);
constexpr QRgb kGrey = qRgb(192, 192, 192); // the desktop's inactive title text

// One control: its place relative to its container's drawing area and, for
// labels, the text settings. A label's `face` is the face it asks for; the
// faces it must end up in are checked separately.
struct Control {
    const char* name;
    int x, y, w, h;
    const char* face = nullptr;
    int pixels = 0;
    Qt::Alignment align = {};
    QRgb colour = 0;
    bool visible = true;
};

struct Layout {
    const char* title;
    QSize client;
    std::vector<Control> controls;
};

constexpr auto R = Qt::AlignRight;
constexpr auto L = Qt::AlignLeft;

// A row of the score board: point label, times sign, count, equals sign,
// subtotal, each given by left, top and (labels) width.
void addRow(std::vector<Control>& c, const char* points, int px, int py, int pw, const char* times,
            int tx, int ty, const char* count, int cx, int cy, int cw, const char* equals, int ex,
            int ey, const char* subtotal, int sx, int sy, int sw) {
    c.push_back({points, px, py, pw, 25, "Stop", 24, R, kWhite});
    c.push_back({times, tx, ty, 35, 37});
    c.push_back({count, cx, cy, cw, 25, "Stop", 24, R, kGrey});
    c.push_back({equals, ex, ey, 37, 31});
    c.push_back({subtotal, sx, sy, sw, 25, "Stop", 24, R, kGrey});
}

std::vector<Layout> layouts() {
    std::vector<Control> score = {
        {"Picture1", 0, 0, 895, 484},
        {"Label10", 0, 488, 897, 25, "ＭＳ Ｐゴシック", 27, Qt::AlignHCenter, kWhite},
        {"total", 232, 416, 473, 49, "Stop", 37, R, kGrey},
    };
    // clang-format off
    addRow(score, "Label1", 144, 130, 73, "Image1", 224, 128, "EnemyLabel", 256, 136, 65, "Image18", 320, 136, "Label_0", 352, 136, 97);
    addRow(score, "Label2", 152, 168, 65, "Image2", 224, 168, "MyBulletLabel", 248, 176, 73, "Image10", 320, 176, "Label_1", 344, 176, 105);
    // Authored a third of a pixel below 213: the nearest whole pixel.
    addRow(score, "Label3", 152, 213, 65, "Image3", 224, 208, "MyWallLabel", 256, 216, 65, "Image11", 320, 216, "Label_2", 344, 216, 105);
    addRow(score, "Label4", 168, 260, 49, "Image4", 224, 256, "DistanceLabel", 256, 264, 65, "Image12", 320, 264, "Label_3", 352, 264, 97);
    addRow(score, "Label5", 608, 128, 73, "Image5", 688, 128, "EBulletLabel", 704, 128, 57, "Image13", 768, 128, "Label_4", 792, 128, 89);
    addRow(score, "Label6", 608, 170, 73, "Image6", 688, 168, "EWallLabel", 704, 176, 57, "Image14", 768, 176, "Label_5", 800, 176, 81);
    addRow(score, "Label7", 632, 256, 49, "Image7", 688, 248, "TimeLabel", 696, 256, 65, "Image15", 768, 256, "Label_6", 800, 256, 81);
    addRow(score, "Label8", 616, 293, 65, "Image8", 688, 288, "SuperiorLabel", 696, 296, 65, "Image16", 768, 296, "Label_7", 792, 296, 89);
    addRow(score, "Label9", 616, 336, 65, "Image9", 688, 328, "Superior2Label", 696, 336, 65, "Image17", 768, 336, "Label_8", 800, 336, 81);
    return {
        {"Form1", {604, 404}, {
            {"MainPic", 0, 0, 604, 404},
            {"UserControl11", 224, 168, 169, 71},
        }},
        {"Enter キーを押したらトップメニューに戻ります。", {895, 523}, score},
        {"Form3", {843, 275}, {
            {"Image1", -8, 40, 856, 105},
            {"Label1", 296, 144, 289, 121, "Comic Sans MS", 96, L, kBlack, true},
            {"Label2", 312, 152, 241, 113, "Comic Sans MS", 91, L, kBlack, false},
            {"Label3", 175, 144, 473, 129, "Comic Sans MS", 91, L, kBlack, false},
            {"Label4", 126, 147, 624, 128, "Comic Sans MS", 91, L, kBlack, false},
        }},
        {"Form4", {865, 184}, {
            {"Picture", 0, 0, 867, 187},
            {"n", 8, 80, 324, 84, "Tempus Sans ITC", 64, R, kGrey},
            {"hs", 344, 96, 505, 57, "Stop", 48, R, kWhite},
            {"hint", 8, 164, 849, 19, "ＭＳ Ｐゴシック", 13, R, qRgb(128, 128, 128)},
        }},
        {"記録", {895, 523}, {
            {"heading", 0, 8, 895, 40, "ＭＳ Ｐゴシック", 27, Qt::AlignHCenter, kWhite},
            {"mark", 8, 60, 32, 356, "ＭＳ Ｐゴシック", 20, L, kWhite},
            {"rank", 40, 60, 40, 356, "ＭＳ Ｐゴシック", 20, R, kGrey},
            {"name", 96, 60, 250, 356, "ＭＳ Ｐゴシック", 20, L, kGrey},
            {"total", 356, 60, 110, 356, "ＭＳ Ｐゴシック", 20, R, kWhite},
            {"played", 480, 60, 184, 356, "ＭＳ Ｐゴシック", 20, L, kGrey},
            {"end", 674, 60, 110, 356, "ＭＳ Ｐゴシック", 20, L, kGrey},
            {"seconds", 790, 60, 90, 356, "ＭＳ Ｐゴシック", 20, R, kGrey},
            {"hint", 0, 486, 895, 32, "ＭＳ Ｐゴシック", 27, Qt::AlignHCenter, kWhite},
        }},
    };
    // clang-format on
}

// The Debian faces that stand in for the faces the layouts name.
QString substituteFor(const QString& face) {
    if (face == QStringLiteral("Stop"))
        return QStringLiteral("URW Gothic");
    if (face == QStringLiteral("Comic Sans MS"))
        return QStringLiteral("Comic Neue");
    if (face == QStringLiteral("Tempus Sans ITC"))
        return QStringLiteral("Rufscript");
    return QStringLiteral("IPAPGothic");
}

QByteArray where(const char* name, const QPoint& p) {
    return QByteArray(name) + " at " + QByteArray::number(p.x()) + "," + QByteArray::number(p.y());
}

} // namespace

class TestLayouts : public QObject {
    Q_OBJECT

    StandInWorld world;
    MemorySettingsStore store;
    RecordingShell shell;
    GameState finished; // the score screen's game: the worked example
    std::unique_ptr<HighScoreRecord> record;
    std::unique_ptr<Form1> play;
    std::unique_ptr<Form2> score;
    std::unique_ptr<Form3> menu;
    std::unique_ptr<Form4> highScore;
    // The records of a player with games of every ending.
    QTemporaryDir data;
    std::unique_ptr<Records> records;
    std::unique_ptr<RecordsScreen> recordsScreen;

    void fileGames() {
        QFile golden(QStringLiteral(SPINMARSH_SOURCE_DIR "/tests/data/replay/golden.replay"));
        QVERIFY(golden.open(QIODevice::ReadOnly));
        std::string error;
        const Recording game = *parseRecording(golden.readAll().toStdString(), error);
        const RecordsFolder folder(data.path());
        records = std::make_unique<Records>(folder, QStringLiteral("Tovik"));
        const std::array<Form1::End, 4> ends = {Form1::End::Life, Form1::End::Escape,
                                                Form1::End::Time, Form1::End::Close};
        for (int i = 0; i < 24; ++i) {
            Recording played = game;
            played.end = ends[static_cast<size_t>(i) % ends.size()];
            const int32_t total = 14000 + 50 * ((i * 37) % 41);
            folder.writeReplay(
                Records::fileName(QDateTime(QDate(2026, 12, 1 + i), QTime(20, i)), total),
                recordingWorth(played, total));
        }
        records->enter(records->bestTen().front().file, QStringLiteral("Ann"));
    }

    // Every screen loaded and shown at once, as it stands right after loading.
    void showAll() {
        store.values[QStringLiteral("Rollvane/データ/ハイスコア")] = QStringLiteral("43600");
        store.values[QStringLiteral("Rollvane/データ/名前")] = QStringLiteral("Tovik");
        finished.life = 2;
        finished.HitGan = 3;
        finished.kabe = 10;
        finished.Moves = 200;
        finished.HitGan2 = 4;
        finished.kabe2 = 5;
        finished.Time = 60;
        finished.GanGan = 1;
        record = std::make_unique<HighScoreRecord>(store);
        play = std::make_unique<Form1>(world.playEnvironment(QStringLiteral("/opt/game")),
                                       [](Form1& f) { return new PlayWindow(f); });
        play->showScoreScreen = [] {};
        score = std::make_unique<Form2>(finished, *record, world.dialogs, &scoreWindow);
        menu = std::make_unique<Form3>(shell, &menuWindow);
        highScore = std::make_unique<Form4>(*record, &highScoreWindow);
        fileGames();
        recordsScreen = std::make_unique<RecordsScreen>(records.get(), &recordsWindow);
        play->show();
        score->show();
        menu->show();
        highScore->show();
        recordsScreen->open();
    }

  private Q_SLOTS:
    void initTestCase() { showAll(); }

    void cleanupTestCase() {
        play->unload();
        score->unload();
        menu->unload();
        highScore->unload();
        recordsScreen->unload();
    }

    void controlsSitWhereTheLayoutsPutThem() {
        for (const Layout& layout : layouts()) {
            QWidget* window = visibleWindow(QString::fromUtf8(layout.title));
            QVERIFY2(window != nullptr, layout.title);
            QCOMPARE(window->size(), layout.client);
            QVERIFY(window->windowFlags() & Qt::FramelessWindowHint);
            for (const Control& c : layout.controls) {
                auto* w = window->findChild<QWidget*>(QString::fromLatin1(c.name));
                QVERIFY2(w != nullptr, c.name);
                // Positions count from the container's drawing area, inside
                // a picture box's border.
                const QPoint origin = w->parentWidget()->contentsRect().topLeft();
                QCOMPARE(QRect(w->pos() - origin, w->size()), QRect(c.x, c.y, c.w, c.h));
                QVERIFY2(w->isVisible() == c.visible, c.name);
                auto* label = qobject_cast<QLabel*>(w);
                QVERIFY2((label != nullptr) == (c.face != nullptr), c.name);
                if (label == nullptr)
                    continue;
                label->ensurePolished();
                QCOMPARE(label->font().family(), QString::fromUtf8(c.face));
                QCOMPARE(label->font().pixelSize(), c.pixels);
                QVERIFY(!label->font().bold() && !label->font().italic() &&
                        !label->font().underline());
                QCOMPARE(label->alignment() & Qt::AlignHorizontal_Mask, c.align);
                QCOMPARE(label->palette().color(QPalette::WindowText).rgb(), c.colour);
                QVERIFY2(!label->autoFillBackground(), c.name);
            }
        }
    }

    // The board's headings against the score screen's labels: a row's
    // heading is the first thing on the line of its points and ends before
    // their text; no other label lies over any heading.
    void boardHeadingsLineUpWithTheirRows() {
        QWidget* window = visibleWindow(QString::fromUtf8(layouts()[1].title));
        QVERIFY(window != nullptr);
        auto* board = window->findChild<QWidget*>(QStringLiteral("Picture1"));
        QVERIFY(board != nullptr);
        const QPoint origin = board->contentsRect().topLeft();
        const auto place = [&origin](const QWidget* w) {
            return QRect(w->pos() - origin, w->size());
        };
        for (const art::BoardHeading& h : art::kBoardHeadings) {
            const QRect heading(QPoint(h.left, h.top), QPoint(h.right, h.bottom));
            const QLabel* first = nullptr;
            for (const QLabel* label : board->findChildren<QLabel*>()) {
                const QRect r = place(label);
                QVERIFY2(label->objectName() == QLatin1String(h.row) || !r.intersects(heading),
                         h.text);
                const bool onTheLine = r.top() <= heading.bottom() && heading.top() <= r.bottom();
                if (onTheLine && r.left() > heading.left() &&
                    (first == nullptr || r.left() < place(first).left()))
                    first = label;
            }
            if (h.row == nullptr)
                continue;
            QVERIFY2(first != nullptr, h.text);
            QCOMPARE(first->objectName(), QString::fromLatin1(h.row));
            // The points are right-aligned in their label.
            const int textLeft = place(first).right() + 1 -
                                 QFontMetrics(first->font()).horizontalAdvance(first->text());
            QVERIFY2(heading.right() < textLeft, h.text);
        }
    }

    // Picture boxes: the picture fills the drawing area inside a 2-px sunken
    // edge, grey over dark at the top left, white over light at the bottom right.
    void pictureBoxesHaveSunkenEdges() {
        const struct {
            const char* window;
            const char* box;
        } boxes[] = {{"Form1", "MainPic"},
                     {"Enter キーを押したらトップメニューに戻ります。", "Picture1"}};
        for (const auto& b : boxes) {
            QWidget* window = visibleWindow(QString::fromUtf8(b.window));
            QVERIFY(window != nullptr);
            auto* box = window->findChild<QFrame*>(QString::fromLatin1(b.box));
            QVERIFY2(box != nullptr, b.box);
            QCOMPARE(box->contentsRect(), box->rect().adjusted(2, 2, -2, -2));
            const QImage shot = box->grab().toImage().convertToFormat(QImage::Format_RGB32);
            const QPoint far(shot.width() - 1, shot.height() - 1);
            const struct {
                QPoint at;
                QRgb colour;
            } edge[] = {
                {{0, 40}, qRgb(128, 128, 128)},
                {{40, 0}, qRgb(128, 128, 128)},
                {{1, 40}, qRgb(64, 64, 64)},
                {{40, 1}, qRgb(64, 64, 64)},
                {far, kWhite},
                {far - QPoint(0, 40), kWhite},
                {far - QPoint(1, 41), qRgb(212, 208, 200)},
            };
            for (const auto& e : edge)
                QVERIFY2(shot.pixel(e.at) == e.colour, where(b.box, e.at));
        }
        // The field shows its picture, unscaled, inside the edge.
        QWidget* field = visibleWindow(QStringLiteral("Form1"))->findChild<QWidget*>("MainPic");
        const QImage inner = field->grab(QRect(2, 2, 600, 400)).toImage();
        QCOMPARE(inner.convertToFormat(QImage::Format_RGB32).pixel(300, 380),
                 art::playField().pixel(300, 380));
    }

    // Every caption on show is whole and in the face meant for it: no text
    // runs past its box, and the Japanese hint has a glyph for every character.
    void textIsWholeAndInItsFace() {
        for (const Layout& layout : layouts()) {
            QWidget* window = visibleWindow(QString::fromUtf8(layout.title));
            for (const Control& c : layout.controls) {
                auto* label = window->findChild<QLabel*>(QString::fromLatin1(c.name));
                if (label == nullptr)
                    continue;
                const QFont font = label->font();
                const QString family = QFontInfo(font).family();
                QVERIFY2(family.startsWith(substituteFor(font.family())), qPrintable(family));
                // Where the label draws each line of its text (the records'
                // columns hold a line a game), and where the ink of it lands.
                const QFontMetrics metrics(font);
                const QStringList lines = label->text().split(QChar('\n'));
                for (qsizetype i = 0; i < lines.size(); ++i) {
                    if (lines[i].isEmpty())
                        continue;
                    const int advance = metrics.horizontalAdvance(lines[i]);
                    const int start = c.align == R                  ? label->width() - advance
                                      : c.align == Qt::AlignHCenter ? (label->width() - advance) / 2
                                                                    : 0;
                    const QRect ink = metrics.tightBoundingRect(lines[i]).translated(
                        start, metrics.ascent() + static_cast<int>(i) * metrics.lineSpacing());
                    // A pixel of slack for the rounding of the ink box.
                    QVERIFY2(label->rect().adjusted(-1, -1, 1, 1).contains(ink), c.name);
                }
                const QRawFont raw = QRawFont::fromFont(font, QFontDatabase::Japanese);
                for (const uint ch : lines.join(QString()).toUcs4())
                    QVERIFY2(raw.supportsCharacter(ch), c.name);
            }
        }
    }

    // Not a check: pictures of every screen for the README, in
    // <build>/screenshots. The play field is shown mid-game with all six
    // sprites, then paused.
    void screenshots() {
        const QString dir = QStringLiteral(SPINMARSH_BUILD_DIR "/screenshots");
        QVERIFY(QDir().mkpath(dir));
        const auto save = [&dir](const QString& title, const char* file) {
            QWidget* window = visibleWindow(title);
            QVERIFY(window != nullptr);
            QVERIFY(window->grab().save(dir + "/" + file));
        };
        save(QStringLiteral("Enter キーを押したらトップメニューに戻ります。"), "score.png");
        save(QStringLiteral("Form3"), "title_menu.png");
        save(QStringLiteral("Form4"), "high_score.png");
        save(QStringLiteral("Form1"), "play_countdown.png");
        save(QStringLiteral("記録"), "records_best.png");
        int16_t right = key::kRight;
        recordsScreen->Form_KeyDown(right, 0);
        save(QStringLiteral("記録"), "records_recent.png");

        for (int i = 0; i < 3; ++i)
            play->Timer2_Timer();
        QCOMPARE(play->phase(), Form1::Phase::Play);
        play->EraseBoul();
        play->EraseBoul2();
        play->BoulX = 352;
        play->BoulY = 148;
        play->Boul2X = 170;
        play->Boul2Y = 262;
        play->Shot1X = play->BoulX + 7;
        play->Shot1Y = 96;
        play->Shot2X = 236;
        play->Shot2Y = play->BoulY + 7;
        play->DrawBoul2();
        play->DrawBoul();
        play->DrawGanman();
        play->DrawGanman2();
        play->DrawShot1();
        play->DrawShot2();
        save(QStringLiteral("Form1"), "play.png");
        int16_t pauseKey = 'P';
        play->Form_KeyDown(pauseKey, 0);
        save(QStringLiteral("Form1"), "play_paused.png");
    }
};

QTEST_MAIN(TestLayouts)
#include "test_layouts.moc"
