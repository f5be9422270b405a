#include "app/application.h"

#include "play/play_window.h"
#include "screens/tally.h"

#include <QCoreApplication>

Application::Application() : m_music(std::make_unique<SilentMusicPlayer>()) {
    m_form1 =
        std::make_unique<Form1>(Form1::Environment{m_clock, m_pause, m_dialogs, *m_music, m_random,
                                                   QCoreApplication::applicationDirPath()},
                                [](Form1& form) { return new PlayWindow(form); });
    m_form1->showScoreScreen = [this] { handOver(); };
    m_form1->unloaded = [this] { screenUnloaded(); };
}

Application::~Application() = default;

void Application::start() {
    m_form1->show();
}

// Until the score screen exists, the game's result is shown in a message.
void Application::handOver() {
    if (m_handedOver) {
        return;
    }
    m_handedOver = true;
    const Tally t = tally(scoreCounters(*m_form1), kPointCaptions);
    static const char* const rows[kRows] = {"Life",     "Bullet",       "Wall",
                                            "Distance", "Enemy bullet", "Enemy wall",
                                            "Time",     "Superior",     "Superior2"};
    QString text;
    for (int i = 0; i < kRows; ++i) {
        text += QStringLiteral("%1: %2 x %3 = %4\n")
                    .arg(QLatin1String(rows[i]), kPointCaptions[i], t.counts[i], t.subtotals[i]);
    }
    text += QStringLiteral("Total: ") + t.total;
    m_dialogs.MsgBox(text);
}

void Application::screenUnloaded() {
    if (!m_form1->isLoaded()) {
        QCoreApplication::quit();
    }
}
