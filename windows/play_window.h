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

#include <functional>
#include <memory>

class Form1;
class QLabel;
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

// The play window's content in fullscreen: what changed in it drawn at its
// own size, then only the changed squares repainted, each of its pixels
// scaled to a square of pixels of one colour.
class ScaledView : public QWidget {
    Q_OBJECT
  public:
    // Shows content, which is not shown itself.
    ScaledView(QWidget* content, QWidget* parent);
    // Shows it at factor times its size from now on.
    void setFactor(int factor);
    // A changed rectangle of the content, in the content's coordinates.
    void contentChanged(const QRect& rect);

  protected:
    void paintEvent(QPaintEvent* event) override;

  private:
    QWidget* m_content;
    int m_factor = 0;
    QImage m_content1x; // the content at its own size, as last drawn
    QRegion m_stale;    // parts of the content not yet drawn into m_content1x
};

// How the play window opens: the player's choices.
struct PlayWindowOptions {
    bool fullscreen = false;
    bool musicOff = false;
};

// The play screen's window. It feeds the timers and the keys to the play
// core and shows the field as the core draws on it. F11 or Alt+Enter switch
// it between its window and fullscreen, where its whole content (field,
// border, banner, signs) is drawn at the largest whole multiple of its size
// that fits the screen, pixel for pixel, centred on black.
class PlayWindow : public ScreenWidget, public PlayView {
    Q_OBJECT
  public:
    explicit PlayWindow(Form1& form, PlayWindowOptions options = {});
    ~PlayWindow() override;

    void display() override;
    void dispose() override;
    // Told after F11 or Alt+Enter has switched the window: true for
    // fullscreen.
    std::function<void(bool)> fullscreenSwitched;
    // The sign on the field that says the music is off.
    void setMusicOff(bool off);
    // Ticks per timer event: a watched game runs faster while F is held.
    void setSpeed(int ticks) { m_speed = ticks; }
    void setTimer1Enabled(bool enabled) override;
    void setTimer2Enabled(bool enabled) override;
    void setBannerVisible(bool visible) override;
    void setPaused(bool paused) override;

  protected:
    bool takeKey(const QKeyEvent& event) override;
    void paintEvent(QPaintEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;

  private:
    void tick();
    void runTimers();
    double elapsedMilliseconds() const;
    void setFullscreen(bool on);
    void placeScaledContent();
    // In fullscreen the content is out of sight, and what changes in it is
    // told to the view that shows it.
    void contentChanged(const QRect& rect);
    void setShown(QWidget* part, bool shown);

    std::unique_ptr<Ui::Form1> m_ui;
    // Everything the window shows, at its own size; in fullscreen it is
    // drawn by m_scaled instead of lying in the window.
    QWidget* m_content;
    QLabel* m_musicSign;
    ScaledView* m_scaled = nullptr;
    bool m_fullscreen = false;
    Form1* m_form;
    QTimer m_timer2;
    QTimer m_timer1;
    // What the play core asked for; a timer runs when enabled and not paused.
    bool m_timer1Enabled = false;
    bool m_timer2Enabled = true;
    bool m_paused = false;
    int m_speed = 1;
    // The wait for the countdown's next event when it runs again.
    int m_timer2Left = rules::kCountdownPeriodMs;
    PauseSign* m_pauseSign;
    QElapsedTimer m_clock;
    TickPacer m_pacer;
};
