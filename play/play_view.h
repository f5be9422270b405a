#pragma once

#include "app/screen.h"

// What the play screen needs of its window besides showing it: the two
// timers and the start banner. The Qt window and the headless view both
// provide it.
class PlayView : public virtual ScreenWindow {
  public:
    // Interval in milliseconds; 0 stops the timer. Timer2 runs the countdown
    // (800 ms from the moment the window exists); Timer1 runs the game tick.
    virtual void setTimer1Interval(int milliseconds) = 0;
    virtual void setTimer2Interval(int milliseconds) = 0;
    virtual void setBannerVisible(bool visible) = 0;

  protected:
    ~PlayView() = default;
};

// The view of the simulator and the tests: it only remembers what it was told.
class HeadlessPlayView final : public PlayView {
  public:
    void display() override { displayed = true; }
    void conceal() override { displayed = false; }
    void dispose() override { delete this; }
    bool isDisplayed() const override { return displayed; }
    void setTimer1Interval(int milliseconds) override { timer1Interval = milliseconds; }
    void setTimer2Interval(int milliseconds) override { timer2Interval = milliseconds; }
    void setBannerVisible(bool visible) override { bannerVisible = visible; }

    bool displayed = false;
    int timer1Interval = 0;
    int timer2Interval = 800;
    bool bannerVisible = true;
};
