#pragma once

#include "platform/clock.h"
#include "platform/dialogs.h"
#include "platform/music_player.h"
#include "platform/pause.h"
#include "platform/random_source.h"
#include "play/form1.h"

#include <memory>

// The running program: the real platform and the screens, each one object for
// the whole run. The program ends when no screen is loaded any more.
class Application {
  public:
    Application();
    ~Application();

    void start();
    Form1& form1() { return *m_form1; }

  private:
    void handOver();
    void screenUnloaded();

    SteadyClock m_clock;
    SleepPause m_pause;
    QtDialogs m_dialogs;
    std::unique_ptr<MusicPlayer> m_music;
    ClockSeededRandom m_random;
    std::unique_ptr<Form1> m_form1;
    bool m_handedOver = false;
};
