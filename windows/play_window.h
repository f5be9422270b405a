// SPDX-FileCopyrightText: 2026 The Spinmarsh developers
// SPDX-License-Identifier: GPL-3.0-or-later

#pragma once

#include "platform/tick_pacer.h"
#include "play/play_view.h"
#include "windows/screen_widget.h"

#include <QElapsedTimer>
#include <QFrame>
#include <QImage>
#include <QTimer>

#include <cstdio>
#include <memory>

class Form1;
class Surface;
namespace Ui {
class Form1;
}

// The visible play field: paints a surface inside its 2-px sunken border.
class FieldView : public QFrame {
    Q_OBJECT
  public:
    explicit FieldView(QWidget* parent = nullptr);
    void setSurface(const Surface* surface) { m_surface = surface; }
    // A changed rectangle of the surface, in the surface's coordinates.
    void surfaceChanged(const QRect& rect);

  protected:
    void paintEvent(QPaintEvent* event) override;

  private:
    const Surface* m_surface = nullptr;
};

// The start banner: the banner picture wherever its mask is not black; the
// field shows through everywhere else.
class BannerView : public QWidget {
    Q_OBJECT
  public:
    explicit BannerView(QWidget* parent = nullptr);

  protected:
    void paintEvent(QPaintEvent* event) override;

  private:
    QImage m_picture;
};

// The sign of a paused game: the field dimmed, and what to do about it.
class PauseSign : public QWidget {
    Q_OBJECT
  public:
    explicit PauseSign(QWidget* parent = nullptr);

  protected:
    void paintEvent(QPaintEvent* event) override;
};

// The play screen's window. It feeds the timers and the keys to the play
// core and shows the field as the core draws on it.
class PlayWindow : public ScreenWidget, public PlayView {
    Q_OBJECT
  public:
    explicit PlayWindow(Form1& form);
    ~PlayWindow() override;

    void dispose() override;
    void setTimer1Enabled(bool enabled) override;
    void setTimer2Enabled(bool enabled) override;
    void setBannerVisible(bool visible) override;
    void setPaused(bool paused) override;

  private:
    void tick();
    void runTimers();
    double elapsedMilliseconds() const;

    std::unique_ptr<Ui::Form1> m_ui;
    Form1* m_form;
    QTimer m_timer2;
    QTimer m_timer1;
    // What the play core asked for; a timer runs when enabled and not paused.
    bool m_timer1Enabled = false;
    bool m_timer2Enabled = true;
    bool m_paused = false;
    // The wait for the countdown's next event when it runs again.
    int m_timer2Left = rules::kCountdownPeriodMs;
    PauseSign* m_pauseSign;
    QElapsedTimer m_clock;
    TickPacer m_pacer;
    // With SPINMARSH_TICK_LOG set to a file name, every tick appends the
    // monotonic clock in nanoseconds to that file: how the benchmarks see the
    // pacing from outside. Unset, nothing is opened.
    std::FILE* m_tickLog = nullptr;
};
