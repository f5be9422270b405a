// SPDX-FileCopyrightText: 2026 The Spinmarsh developers
// SPDX-License-Identifier: GPL-3.0-or-later

#include "play/game_fields.h"
#include "tests/support/key_table.h"
#include "tests/support/screen_rig.h"

#include <QTest>

// Every key a screen takes is one the players are told of: each screen is
// handed every key code in turn, and any key that changes anything must be
// in dist/keys.tsv under that screen.

namespace {

// Everything a key could change: which screens are up, the menu's item, the
// game and its pause, what was opened, asked or ended.
QString snapshot(ScreenRig& rig, const ScriptedDialogs& dialogs) {
    QStringList parts;
    ScreenSet& set = rig.set;
    for (const Screen* screen :
         {static_cast<Screen*>(&set.form1()), static_cast<Screen*>(&set.form2()),
          static_cast<Screen*>(&set.form3()), static_cast<Screen*>(&set.form4()),
          static_cast<Screen*>(&set.recordsScreen())}) {
        parts << QString::number(int(screen->isLoaded())) + QString::number(int(screen->isShown()));
    }
    parts << QString::number(set.form3().menuPos()) << QString::number(int(set.form1().phase()))
          << QString::number(int(set.form1().paused()))
          << QString::number(int(set.recordsScreen().list()))
          << QString::number(set.recordsScreen().row());
    for (const GameField& field : game_fields::kAll) {
        parts << QString::number(field.get(set.form1()));
    }
    parts << rig.shell.opened << dialogs.messages << dialogs.prompts << QString::number(rig.ended);
    return parts.join(QLatin1Char(' '));
}

// The screen as a player meets it: the game in play, past its countdown.
Screen& open(ScreenRig& rig, const QString& screen) {
    if (screen == QStringLiteral("play")) {
        rig.drive.load([&rig] { rig.set.form1().show(); });
        rig.drive.countdown();
        rig.drive.tick();
        return rig.set.form1();
    }
    if (screen == QStringLiteral("records")) {
        rig.set.recordsScreen().open();
        return rig.set.recordsScreen();
    }
    Screen& shown = screen == QStringLiteral("menu")        ? static_cast<Screen&>(rig.set.form3())
                    : screen == QStringLiteral("highscore") ? static_cast<Screen&>(rig.set.form4())
                                                            : static_cast<Screen&>(rig.set.form2());
    shown.show();
    return shown;
}

} // namespace

class TestKeyTable : public QObject {
    Q_OBJECT

  private Q_SLOTS:
    void everyKeyAScreenTakesIsListed_data() {
        QTest::addColumn<QString>("screen");
        for (const char* screen : {"score", "menu", "highscore", "records", "play"}) {
            QTest::newRow(screen) << QString::fromLatin1(screen);
        }
    }
    void everyKeyAScreenTakesIsListed() {
        QFETCH(QString, screen);
        QStringList taken;
        for (int code = 1; code < 255; ++code) {
            ScriptedDialogs dialogs;
            // Two games, so that a key choosing another has one to choose.
            const RecordsFolderRig folder({QStringLiteral("20260101-120000-15050.replay"),
                                           QStringLiteral("20260102-120000-15050.replay")});
            ScreenRig rig(dialogs, headlessViews(), &folder.records);
            Screen& shown = open(rig, screen);
            const QString before = snapshot(rig, dialogs);
            auto key = static_cast<int16_t>(code);
            shown.Form_KeyDown(key, 0);
            if (snapshot(rig, dialogs) != before) {
                taken << keyName(key);
            }
        }
        QVERIFY2(!taken.isEmpty(), "the screen took no key at all");
        const QStringList missing = unlisted(taken, screen);
        QVERIFY2(missing.isEmpty(), qPrintable(QStringLiteral("taken by the %1 screen but not in "
                                                              "dist/keys.tsv: %2")
                                                   .arg(screen, missing.join(QLatin1Char(' ')))));
    }
};

QTEST_GUILESS_MAIN(TestKeyTable)
#include "test_key_table.moc"
