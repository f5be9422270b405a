// SPDX-FileCopyrightText: 2026 The Spinmarsh developers
// SPDX-License-Identifier: GPL-3.0-or-later

#include "headless/stand_ins/stand_ins.h"
#include "platform/audio/music_switch.h"
#include "tests/support/stand_ins.h"

#include <QTest>

// The music switch between the game and the player: what reaches the player
// for each way the game and the player's M key meet.
class TestMusicSwitch : public QObject {
    Q_OBJECT
  private Q_SLOTS:
    void whatReachesThePlayer_data() {
        QTest::addColumn<bool>("on");
        QTest::addColumn<QString>("script"); // the game's calls, M as "off"/"on", "ended"
        QTest::addColumn<QString>("heard");  // what the player was told
        QTest::addColumn<int>("endings");    // tune endings the game was told of
        QTest::newRow("on: everything passes") << true << "stop close open play ended stop close"
                                               << "stop close open play stop close" << 1;
        QTest::newRow("off: no tune is ever opened") << false << "stop close open play stop close"
                                                     << "stop close stop close" << 0;
        QTest::newRow("off mid-tune: closed at once") << true << "open play off stop close"
                                                      << "open play stop close stop close" << 0;
        QTest::newRow("on again in play: the tune from its start") << false << "open play on"
                                                                   << "open play" << 0;
        QTest::newRow("on again after the game closed the tune: silence")
            << false << "open play stop close on"
            << "stop close" << 0;
        QTest::newRow("on again after the tune ended: it waits for the next")
            << true << "open play off on ended"
            << "open play stop close open play" << 1;
        QTest::newRow("switched twice the same way: once") << true << "open play off off on on"
                                                           << "open play stop close open play" << 0;
        QTest::newRow("paused and resumed: passed on") << true << "open play pause resume"
                                                       << "open play pause resume" << 0;
        QTest::newRow("off: a pause reaches nothing") << false << "open play pause resume"
                                                      << "" << 0;
        QTest::newRow("off and on while paused: the tune afresh at the resume")
            << true << "open play pause off on resume"
            << "open play pause stop close open play" << 0;
        QTest::newRow("on while paused, then off again: silence")
            << false << "open play pause on off resume"
            << "stop close" << 0;
    }

    void whatReachesThePlayer() {
        QFETCH(bool, on);
        QFETCH(QString, script);
        QFETCH(QString, heard);
        QFETCH(int, endings);
        RecordingMusicPlayer player;
        int ended = 0;
        {
            MusicSwitch music(player, on);
            music.tuneEnded = [&ended] { ++ended; };
            for (const QString& step : script.split(QChar(' '))) {
                if (step == QLatin1String("open")) {
                    music.setFileName(QStringLiteral("/t/0.mid"));
                    music.open();
                } else if (step == QLatin1String("play")) {
                    music.play();
                } else if (step == QLatin1String("stop")) {
                    music.stop();
                } else if (step == QLatin1String("close")) {
                    music.close();
                } else if (step == QLatin1String("pause")) {
                    music.pause();
                } else if (step == QLatin1String("resume")) {
                    music.resume();
                } else if (step == QLatin1String("ended")) {
                    player.tuneEnded();
                } else {
                    music.setOn(step == QLatin1String("on"));
                }
            }
        }
        QVERIFY(!player.tuneEnded); // let go with the switch
        player.log.removeAll(QStringLiteral("file /t/0.mid"));
        QCOMPARE(player.log.join(QChar(' ')), heard);
        QCOMPARE(ended, endings);
    }
};

QTEST_GUILESS_MAIN(TestMusicSwitch)
#include "test_music_switch.moc"
