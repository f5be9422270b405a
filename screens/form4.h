// SPDX-FileCopyrightText: 2026 The Spinmarsh developers
// SPDX-License-Identifier: GPL-3.0-or-later

#pragma once

#include "base/screen.h"
#include "screens/high_score_record.h"
#include "screens/layout_view.h"

#include <QString>

#include <functional>

// The high-score screen: the stored name and score, exactly as stored.
class Form4 : public Screen {
  public:
    using ViewFactory = std::function<LayoutView*(Form4&)>;

    Form4(HighScoreRecord& record, ViewFactory makeView)
        : m_record(record), m_makeView(std::move(makeView)) {}

    std::function<void()> showTitleMenu;
    // Right opens the records screen over this one.
    std::function<void()> showRecords;

    // "n" (the name) or "hs" (the score); the empty text while not loaded.
    QString caption(const QString& label) const;

    void Form_KeyDown(int16_t& KeyCode, int Shift) override;
    // Closing the window goes back to the title menu, as Enter does, so the
    // program never runs on without a window.
    void closeCommand() override;

  protected:
    ScreenWindow* createWindow() override;
    void Form_Load() override;
    void Form_Unload() override;

  private:
    void leave();

    HighScoreRecord& m_record;
    ViewFactory m_makeView;
    LayoutView* m_window = nullptr;
};
