// SPDX-FileCopyrightText: 2026 The Spinmarsh developers
// SPDX-License-Identifier: GPL-3.0-or-later

#include "screens/form2.h"

#include "base/key_codes.h"

#include "play/tally.h"

namespace {

QString subtotalLabel(int row) {
    return QStringLiteral("Label_") + QString::number(row);
}

} // namespace

const std::array<QString, 9> Form2::kCountLabels = {
    QStringLiteral("EnemyLabel"),    QStringLiteral("MyBulletLabel"),
    QStringLiteral("MyWallLabel"),   QStringLiteral("DistanceLabel"),
    QStringLiteral("EBulletLabel"),  QStringLiteral("EWallLabel"),
    QStringLiteral("TimeLabel"),     QStringLiteral("SuperiorLabel"),
    QStringLiteral("Superior2Label")};

const std::array<QString, 9> Form2::kPointLabels = {
    QStringLiteral("Label1"), QStringLiteral("Label2"), QStringLiteral("Label3"),
    QStringLiteral("Label4"), QStringLiteral("Label5"), QStringLiteral("Label6"),
    QStringLiteral("Label7"), QStringLiteral("Label8"), QStringLiteral("Label9")};

// The carriage return breaks the prompt into two lines.
const QString Form2::kNamePrompt =
    QStringLiteral("ハイスコアです。あなたの名前をで教えてください") + QChar(key::kEnter) +
    QStringLiteral("アルファベットと数字以外は使わないでください");
const QString Form2::kNameTitle = QStringLiteral("すごーい");
const QString Form2::kNotSavedMessage = QStringLiteral("ハイスコアを保存できませんでした。");
const QString Form2::kMovedAsideMessage =
    QStringLiteral("ハイスコアのファイルが読めなかったので、%1 に移してから保存しました。");

Form2::Form2(const GameState& game, HighScoreRecord& record, Dialogs& dialogs, ViewFactory makeView)
    : m_game(game), m_record(record), m_dialogs(dialogs), m_makeView(std::move(makeView)) {}

ScreenWindow* Form2::createWindow() {
    m_window = m_makeView(*this);
    return m_window;
}

QString Form2::caption(const QString& label) const {
    return m_window != nullptr ? m_window->caption(label) : QString();
}

void Form2::Form_Load() {
    // The tally reads the point values back from the layout's captions, as
    // the screen always has; they are kPointCaptions, which a test holds the
    // layout to.
    std::array<QString, kRows> points;
    for (int i = 0; i < kRows; ++i) {
        points[i] = m_window->caption(kPointLabels[i]);
    }
    const Tally t = tally(scoreCounters(m_game), points);
    for (int i = 0; i < kRows; ++i) {
        m_window->setCaption(kCountLabels[i], t.counts[i]);
        m_window->setCaption(subtotalLabel(i), t.subtotals[i]);
    }
    m_window->setCaption(QStringLiteral("total"), t.total);
    Score = t.Score;

    Highscore = m_record.score();
    if (watching) {
        return;
    }
    std::optional<QString> typed;
    if (Score > Highscore) {
        Highname = m_dialogs.InputBox(kNamePrompt, kNameTitle, QStringLiteral("Name"));
        typed = Highname;
        // A higher score that another copy of the game stored while the name
        // was typed stands, silently; this screen still shows this game's.
        switch (m_record.saveIfHigher(Highname, Score)) {
        case SettingsStore::Change::Stored:
            // Nothing is lost: what was there is kept under another name, and
            // the player learns where.
            if (!m_record.movedAside().isEmpty()) {
                m_dialogs.MsgBox(kMovedAsideMessage.arg(m_record.movedAside()));
            }
            break;
        case SettingsStore::Change::Declined:
            break;
        case SettingsStore::Change::Failed:
            m_dialogs.MsgBox(kNotSavedMessage);
            break;
        }
    }
    if (tallied) {
        tallied(typed);
    }
}

void Form2::Form_Unload() {
    m_window = nullptr;
}

void Form2::Form_KeyDown(int16_t& KeyCode, int) {
    if (KeyCode == key::kEnter) {
        leave();
    }
}

void Form2::closeCommand() {
    leave();
}

void Form2::leave() {
    if (showTitleMenu) {
        showTitleMenu();
    }
    unload();
}
