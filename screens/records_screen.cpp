// SPDX-FileCopyrightText: 2026 The Spinmarsh developers
// SPDX-License-Identifier: GPL-3.0-or-later

#include "screens/records_screen.h"

#include "art/pictures.h"
#include "base/key_codes.h"

#include <algorithm>

const std::array<QString, 7> RecordsScreen::kColumns = {
    QStringLiteral("mark"),   QStringLiteral("rank"),   QStringLiteral("name"),
    QStringLiteral("total"),  QStringLiteral("played"), QStringLiteral("end"),
    QStringLiteral("seconds")};
const QString RecordsScreen::kHeading = QStringLiteral("heading");
const QString RecordsScreen::kChart = QStringLiteral("chart");

QString RecordsScreen::endText(Form1::End end) {
    switch (end) {
    case Form1::End::Escape:
        return QStringLiteral("中断");
    case Form1::End::Life:
        return QStringLiteral("ライフ切れ");
    case Form1::End::Time:
        return QStringLiteral("時間切れ");
    case Form1::End::Close:
        return QStringLiteral("閉じた");
    case Form1::End::None:
        break;
    }
    return {};
}

void RecordsScreen::open() {
    m_list = List::Best;
    m_row = 0;
    show();
}

ScreenWindow* RecordsScreen::createWindow() {
    m_window = m_makeView(*this);
    return m_window;
}

QString RecordsScreen::caption(const QString& label) const {
    return m_window != nullptr ? m_window->caption(label) : QString();
}

// Read afresh at every showing: another copy of the game may have added a
// game meanwhile.
void RecordsScreen::Form_Load() {
    if (m_records == nullptr) {
        fill();
        return;
    }
    m_best = m_records->bestTen();
    std::vector<RecordEntry> recent = m_records->recent(Records::kKept);
    m_recentTotals.clear();
    for (auto game = recent.rbegin(); game != recent.rend(); ++game) {
        m_recentTotals.push_back(game->total);
    }
    recent.resize(std::min<size_t>(recent.size(), kRows));
    m_recent = std::move(recent);
    fill();
}

void RecordsScreen::Form_Unload() {
    m_window = nullptr;
}

const std::vector<RecordEntry>& RecordsScreen::shown() const {
    return m_list == List::Best ? m_best : m_recent;
}

void RecordsScreen::fill() {
    const std::vector<RecordEntry>& games = shown();
    m_row = std::clamp(m_row, 0, std::max(static_cast<int>(games.size()) - 1, 0));
    const bool best = m_list == List::Best;
    m_window->setCaption(kHeading, best ? QStringLiteral("ベストテン　　◀ ▶ 最近のゲーム")
                                        : QStringLiteral("ベストテン ◀ ▶　　最近のゲーム"));
    std::array<QStringList, kColumns.size()> lines;
    for (size_t i = 0; i < games.size(); ++i) {
        const RecordEntry& game = games[i];
        const std::array<QString, kColumns.size()> cells = {
            static_cast<int>(i) == m_row ? QStringLiteral("→") : QString(),
            best ? QString::number(i + 1) : QString(),
            best ? game.name : QString(),
            QString::number(game.total),
            game.played.toString(QStringLiteral("yyyy-MM-dd HH:mm")),
            endText(game.end),
            QString::number(game.seconds) + QStringLiteral("秒")};
        for (size_t c = 0; c < cells.size(); ++c) {
            lines[c] << cells[c];
        }
    }
    for (size_t c = 0; c < kColumns.size(); ++c) {
        m_window->setCaption(kColumns[c], lines[c].join(QChar('\n')));
    }
    m_window->setPicture(kChart, best ? QImage() : art::totalsChart(m_recentTotals, kChartSize));
}

void RecordsScreen::Form_KeyDown(int16_t& KeyCode, int) {
    const int count = static_cast<int>(shown().size());
    switch (KeyCode) {
    case key::kLeft:
    case key::kRight:
        m_list = KeyCode == key::kLeft ? List::Best : List::Recent;
        m_row = 0;
        fill();
        break;
    case key::kUp:
    case key::kDown:
        m_row = std::clamp(m_row + (KeyCode == key::kUp ? -1 : 1), 0, std::max(count - 1, 0));
        fill();
        break;
    case key::kEnter:
        if (m_row < count && watch) {
            watch(shown()[static_cast<size_t>(m_row)].file);
        }
        break;
    case key::kEscape:
        closeCommand();
        break;
    default:
        break;
    }
}

void RecordsScreen::closeCommand() {
    if (back) {
        back();
    }
    unload();
}
