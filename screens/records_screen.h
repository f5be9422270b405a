// SPDX-FileCopyrightText: 2026 The Spinmarsh developers
// SPDX-License-Identifier: GPL-3.0-or-later

#pragma once

#include "base/screen.h"
#include "screens/layout_view.h"
#include "screens/records.h"

#include <QSize>
#include <QString>

#include <array>
#include <functional>
#include <vector>

// The records screen, "記録": the best ten and the recent games, one list at
// a time, each game to be watched again. Its layout shows a list as columns
// of lines, one line a game, and the recent games' totals as a chart.
class RecordsScreen : public Screen {
  public:
    using ViewFactory = std::function<LayoutView*(RecordsScreen&)>;
    enum class List { Best, Recent };

    static constexpr int kRows = Records::kBest;
    static const std::array<QString, 7> kColumns;
    static const QString kHeading;
    static const QString kChart;
    static constexpr QSize kChartSize{863, 64};

    // Without records the lists are empty.
    RecordsScreen(const Records* records, ViewFactory makeView)
        : m_records(records), m_makeView(std::move(makeView)) {}

    // Escape: back to the screen it was opened from.
    std::function<void()> back;
    // Enter on a game: watch it.
    std::function<void(const QString& file)> watch;

    // Opens on the best ten's first game; show() keeps the list and game
    // last selected.
    void open();

    List list() const { return m_list; }
    int row() const { return m_row; }
    // A label's text; the empty text while not loaded.
    QString caption(const QString& label) const;

    void Form_KeyDown(int16_t& KeyCode, int Shift) override;
    void closeCommand() override;

    // How a game ended, as the list says it.
    static QString endText(Form1::End end);

  protected:
    ScreenWindow* createWindow() override;
    void Form_Load() override;
    void Form_Unload() override;

  private:
    const std::vector<RecordEntry>& shown() const;
    void fill();

    const Records* m_records;
    ViewFactory m_makeView;
    LayoutView* m_window = nullptr;
    std::vector<RecordEntry> m_best;
    std::vector<RecordEntry> m_recent;
    std::vector<int32_t> m_recentTotals; // oldest first
    List m_list = List::Best;
    int m_row = 0;
};
