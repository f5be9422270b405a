// SPDX-FileCopyrightText: 2026 The Spinmarsh developers
// SPDX-License-Identifier: GPL-3.0-or-later

#include "base/key_codes.h"
#include "platform/input/sdl_gamepads.h"
#include "tests/support/virtual_pad.h"
#include "tests/support/xvfb_main.h"
#include "windows/pad_keys.h"
#include "windows/screen_widget.h"

#include <QApplication>
#include <QTest>

#include <map>
#include <memory>
#include <vector>

// Pads through SDL's real game controller layer, speaking keys to a screen
// that notes what reaches it through its window, on a private X server so
// that the focus comes and goes as it does on a desktop.

namespace {

class NotingScreen : public Screen {
  public:
    void Form_KeyDown(int16_t& KeyCode, int) override { note(QStringLiteral("down "), KeyCode); }
    void Form_KeyUp(int16_t& KeyCode, int) override { note(QStringLiteral("up "), KeyCode); }
    void Form_Deactivate() override { log << QStringLiteral("deactivate"); }
    QStringList log;

  protected:
    ScreenWindow* createWindow() override { return new ScreenWidget(*this); }

  private:
    void note(const QString& what, int16_t key) {
        static const std::map<int16_t, QString> names = {
            {key::kLeft, QStringLiteral("Left")},    {key::kUp, QStringLiteral("Up")},
            {key::kRight, QStringLiteral("Right")},  {key::kDown, QStringLiteral("Down")},
            {key::kEnter, QStringLiteral("Enter")},  {key::kP, QStringLiteral("P")},
            {key::kEscape, QStringLiteral("Escape")}};
        const auto name = names.find(key);
        log << what + (name != names.end() ? name->second : QString::number(key));
    }
};

const std::map<QString, SDL_GameControllerButton> kButtons = {
    {QStringLiteral("left"), SDL_CONTROLLER_BUTTON_DPAD_LEFT},
    {QStringLiteral("up"), SDL_CONTROLLER_BUTTON_DPAD_UP},
    {QStringLiteral("right"), SDL_CONTROLLER_BUTTON_DPAD_RIGHT},
    {QStringLiteral("down"), SDL_CONTROLLER_BUTTON_DPAD_DOWN},
    {QStringLiteral("a"), SDL_CONTROLLER_BUTTON_A},
    {QStringLiteral("b"), SDL_CONTROLLER_BUTTON_B},
    {QStringLiteral("start"), SDL_CONTROLLER_BUTTON_START},
    {QStringLiteral("back"), SDL_CONTROLLER_BUTTON_BACK}};

constexpr int kPush = SdlGamepads::kStickPush;
constexpr int kLetGo = SdlGamepads::kStickLetGo;

QString stick(char axis, int value) {
    return QStringLiteral("0 %1 %2").arg(QChar(axis)).arg(value);
}

} // namespace

class TestPadKeys : public QObject {
    Q_OBJECT

  private Q_SLOTS:
    // Each step, then SDL is read and the window has its events. A step is
    // "PAD BUTTON 1|0", "PAD x|y VALUE" for the left stick, "PAD unplug",
    // "plug" (another pad), or "leave" and "return" (the focus leaves every
    // window of the game and comes back). Pad 0 is plugged in before the
    // pads are first read.
    void padsSpeakKeys_data() {
        QTest::addColumn<QStringList>("steps");
        QTest::addColumn<QStringList>("heard");
        QTest::newRow("D-pad") << QStringList{"0 left 1", "0 left 0", "0 up 1",    "0 right 1",
                                              "0 up 0",   "0 down 1", "0 right 0", "0 down 0"}
                               << QStringList{"down Left", "up Left",   "down Up",  "down Right",
                                              "up Up",     "down Down", "up Right", "up Down"};
        QTest::newRow("buttons") << QStringList{"0 a 1",    "0 a 0",    "0 start 1", "0 start 0",
                                                "0 back 1", "0 back 0", "0 b 1",     "0 b 0"}
                                 << QStringList{"down Enter", "up Enter",    "down P",
                                                "up P",       "down Escape", "up Escape"};
        QTest::newRow("stick's dead zone and hysteresis")
            << QStringList{stick('x', kPush - 1), stick('x', kPush),      stick('x', kLetGo),
                           stick('x', kPush - 1), stick('x', kLetGo - 1), stick('x', kPush - 1),
                           stick('y', -kPush),    stick('y', -kLetGo),    stick('y', 0)}
            << QStringList{"down Right", "up Right", "down Up", "up Up"};
        QTest::newRow("stick swung across, then diagonal")
            << QStringList{stick('x', -32768), stick('x', 32767), stick('y', 23170),
                           stick('x', 23170),  stick('x', 0),     stick('y', 0)}
            << QStringList{"down Left", "up Left",  "down Right",
                           "down Down", "up Right", "up Down"};
        QTest::newRow("D-pad and stick of one pad are one direction")
            << QStringList{"0 left 1", stick('x', -32768), "0 left 0", stick('x', 0)}
            << QStringList{"down Left", "up Left"};
        QTest::newRow("two pads are two keys")
            << QStringList{"plug", "0 left 1", "1 left 1", "1 left 0", "1 a 1", "0 left 0"}
            << QStringList{"down Left", "down Left", "up Left", "down Enter", "up Left"};
        QTest::newRow("unplugged while held")
            << QStringList{"0 left 1", stick('y', 32767), "0 start 1", "0 unplug"}
            << QStringList{"down Left", "down Down", "down P",    "up Down",
                           "up P",      "up Left",   "deactivate"};
        QTest::newRow("plugged in and out mid-game")
            << QStringList{"0 right 1", "plug", "1 up 1", "1 unplug", "0 right 0", "0 unplug"}
            << QStringList{"down Right", "down Up",  "up Up",
                           "deactivate", "up Right", "deactivate"};
        QTest::newRow("only the active window hears")
            << QStringList{"0 left 1", "leave",     "0 a 1",     "0 a 0",  "0 right 1", "plug",
                           "return",   "0 right 0", "0 right 1", "1 up 1", "0 unplug"}
            << QStringList{"down Left", "deactivate", "up Left",   "down Right",
                           "down Up",   "up Right",   "deactivate"};
    }

    void padsSpeakKeys() {
        QFETCH(QStringList, steps);
        QFETCH(QStringList, heard);
        NotingScreen screen;
        screen.show();
        std::vector<std::unique_ptr<VirtualPad>> pads;
        pads.push_back(std::make_unique<VirtualPad>());
        SdlGamepads gamepads;
        PadKeys keys(gamepads);
        const auto settle = [&] {
            gamepads.poll();
            QCoreApplication::processEvents();
        };
        QTRY_VERIFY(QGuiApplication::focusWindow() != nullptr);
        settle();
        for (const QString& step : steps) {
            const QStringList words = step.split(QChar(' '));
            if (step == QStringLiteral("plug")) {
                pads.push_back(std::make_unique<VirtualPad>());
            } else if (step == QStringLiteral("leave")) {
                screen.hide();
                QTRY_VERIFY(QGuiApplication::focusWindow() == nullptr);
            } else if (step == QStringLiteral("return")) {
                screen.show();
                QTRY_VERIFY(QGuiApplication::focusWindow() != nullptr);
            } else {
                VirtualPad& pad = *pads.at(words[0].toUInt());
                if (words[1] == QStringLiteral("unplug")) {
                    pad.unplug();
                } else if (words[1] == QStringLiteral("x") || words[1] == QStringLiteral("y")) {
                    pad.tilt(words[1] == QStringLiteral("x") ? SDL_CONTROLLER_AXIS_LEFTX
                                                             : SDL_CONTROLLER_AXIS_LEFTY,
                             words[2].toInt());
                } else {
                    pad.press(kButtons.at(words[1]), words[2] == QStringLiteral("1"));
                }
                settle();
                QVERIFY2(!pad.plugged() || pad.read(), qPrintable(step));
            }
            settle();
        }
        QCOMPARE(screen.log.join(QStringLiteral(", ")), heard.join(QStringLiteral(", ")));
        screen.unload();
    }
};

int main(int argc, char** argv) {
    return execOnXvfb<TestPadKeys>(argc, argv);
}

#include "test_pad_keys.moc"
