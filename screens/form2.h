// SPDX-FileCopyrightText: 2026 The Spinmarsh developers
// SPDX-License-Identifier: GPL-3.0-or-later

#pragma once

#include "base/screen.h"
#include "platform/dialogs.h"
#include "play/game_state.h"
#include "screens/high_score_record.h"
#include "screens/layout_view.h"

#include <QString>

#include <array>
#include <cstdint>
#include <functional>
#include <optional>

// The score screen: tallies the game that has just ended, asks for a name
// when the total beats the stored high score, and stores both. It is also the
// first screen of the program, when every counter is still 0.
class Form2 : public Screen {
  public:
    using ViewFactory = std::function<LayoutView*(Form2&)>;

    // The counters are read from the play screen's record, which outlives its
    // window; reading them never loads the play screen.
    Form2(const GameState& game, HighScoreRecord& record, Dialogs& dialogs, ViewFactory makeView);

    // Shows the title menu; Enter calls it before leaving.
    std::function<void()> showTitleMenu;
    // A watched replay is only tallied: no name asked, nothing stored.
    bool watching = false;
    // Told of every game played once it is tallied, with the name typed at
    // its prompt if there was one.
    std::function<void(const std::optional<QString>& typed)> tallied;

    int32_t Highscore = 0;
    QString Highname;

    // Labels by their layout names; the subtotals are Label_0 to Label_8.
    // The empty text while the screen is not loaded.
    QString caption(const QString& label) const;

    void Form_KeyDown(int16_t& KeyCode, int Shift) override;
    // Closing the window would leave no screen on the desktop; it leaves for
    // the title menu instead, as Enter does.
    void closeCommand() override;

    static const std::array<QString, 9> kCountLabels;
    static const std::array<QString, 9> kPointLabels;
    static const QString kNamePrompt;
    static const QString kNameTitle;
    static const QString kNotSavedMessage;
    // Said once a new high score is saved after what lay in the record's place,
    // which could never be a record, was moved aside to %1.
    static const QString kMovedAsideMessage;

  protected:
    ScreenWindow* createWindow() override;
    void Form_Load() override;
    void Form_Unload() override;

  private:
    void leave();

    const GameState& m_game;
    HighScoreRecord& m_record;
    Dialogs& m_dialogs;
    ViewFactory m_makeView;
    LayoutView* m_window = nullptr;
    int32_t Score = 0;
};
