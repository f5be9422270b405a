#include "tools/simulator.h"

#include "app/key_codes.h"
#include "play/form1.h"
#include "play/rules.h"
#include "screens/tally.h"

#include <charconv>
#include <cmath>
#include <sstream>

namespace {

bool parseDouble(const std::string& text, double& value) {
    const char* end = text.data() + text.size();
    auto [ptr, ec] = std::from_chars(text.data(), end, value);
    return ec == std::errc() && ptr == end && std::isfinite(value);
}

bool parseTick(const std::string& text, int64_t& value) {
    const char* end = text.data() + text.size();
    auto [ptr, ec] = std::from_chars(text.data(), end, value);
    return ec == std::errc() && ptr == end && value >= 0 && !text.empty() && text[0] != '-';
}

bool parseKey(const std::string& text, int16_t& key) {
    static const std::pair<const char*, int> names[] = {
        {"Left", key::kLeft}, {"Up", key::kUp},         {"Right", key::kRight},
        {"Down", key::kDown}, {"Escape", key::kEscape}, {"Enter", key::kEnter}};
    for (const auto& [name, code] : names) {
        if (text == name) {
            key = static_cast<int16_t>(code);
            return true;
        }
    }
    unsigned value = 0;
    const char* end = text.data() + text.size();
    auto [ptr, ec] = std::from_chars(text.data(), end, value);
    if (ec != std::errc() || ptr != end || value > 65535) {
        return false;
    }
    // Key codes are 16-bit signed in the game, as the platform hands them over.
    key = static_cast<int16_t>(static_cast<uint16_t>(value));
    return true;
}

std::vector<std::string> words(const std::string& line) {
    std::istringstream in(line);
    std::vector<std::string> result;
    for (std::string word; in >> word;) {
        result.push_back(word);
    }
    return result;
}

} // namespace

std::optional<SimScript> parseScript(const std::string& text, std::string& error) {
    SimScript script;
    std::istringstream in(text);
    std::string line;
    int number = 0;
    const auto refuse = [&](const std::string& why) {
        error = "line " + std::to_string(number) + ": " + why;
        return std::nullopt;
    };
    while (std::getline(in, line)) {
        ++number;
        const std::vector<std::string> w = words(line);
        if (w.empty() || w[0][0] == '#') {
            continue;
        }
        if (w[0] == "game") {
            SimGame game;
            if (w.size() > 2) {
                return refuse("game takes at most one clock value");
            }
            if (w.size() == 2) {
                double start = 0;
                if (!parseDouble(w[1], start) || start < 0) {
                    return refuse("bad clock value '" + w[1] + "'");
                }
                game.start = start;
            }
            script.games.push_back(game);
            continue;
        }
        SimEvent event;
        if (!parseTick(w[0], event.tick)) {
            return refuse("unknown command or bad tick '" + w[0] + "'");
        }
        if (script.games.empty()) {
            return refuse("event before the first game");
        }
        if (w.size() == 2 && w[1] == "close") {
            event.kind = SimEvent::Kind::Close;
        } else if (w.size() == 3 && (w[1] == "down" || w[1] == "up")) {
            event.kind = w[1] == "down" ? SimEvent::Kind::Down : SimEvent::Kind::Up;
            if (!parseKey(w[2], event.key)) {
                return refuse("bad key '" + w[2] + "'");
            }
        } else {
            return refuse("expected 'T down KEY', 'T up KEY' or 'T close'");
        }
        std::vector<SimEvent>& events = script.games.back().events;
        if (!events.empty() && event.tick < events.back().tick) {
            return refuse("tick goes backwards");
        }
        events.push_back(event);
    }
    if (script.games.empty()) {
        error = "the script has no game";
        return std::nullopt;
    }
    return script;
}

namespace {
const char* const kUsage =
    "usage: spinmarsh-sim [--clock SECONDS] [--period MILLISECONDS] < SCRIPT\n"
    "       spinmarsh-sim --soak GAMES [--seed N]";

const char* keyName(int16_t key) {
    switch (key) {
    case key::kLeft:
        return "Left";
    case key::kUp:
        return "Up";
    case key::kRight:
        return "Right";
    case key::kDown:
        return "Down";
    case key::kEscape:
        return "Escape";
    case key::kEnter:
        return "Enter";
    default:
        return nullptr;
    }
}

std::string formatDouble(double value) {
    char buffer[64];
    // The shortest text that reads back to the same value.
    auto [end, ec] = std::to_chars(buffer, buffer + sizeof buffer, value);
    return ec == std::errc() ? std::string(buffer, end) : std::to_string(value);
}
} // namespace

std::string formatScript(const SimScript& script) {
    std::string text;
    for (const SimGame& game : script.games) {
        text += "game";
        if (game.start) {
            text += ' ' + formatDouble(*game.start);
        }
        text += '\n';
        for (const SimEvent& event : game.events) {
            text += std::to_string(event.tick);
            if (event.kind == SimEvent::Kind::Close) {
                text += " close\n";
                continue;
            }
            text += event.kind == SimEvent::Kind::Down ? " down " : " up ";
            const char* name = keyName(event.key);
            text += name ? std::string(name)
                         : std::to_string(static_cast<uint16_t>(event.key)); // back to 0..65535
            text += '\n';
        }
    }
    return text;
}

std::optional<SimOptions> parseOptions(const std::vector<std::string>& args, std::string& error) {
    SimOptions options;
    bool timed = false;
    bool seeded = false;
    const auto refuse = [&error](const std::string& why) {
        error = why;
        return std::nullopt;
    };
    for (size_t i = 0; i < args.size(); ++i) {
        const std::string& name = args[i];
        const bool known =
            name == "--clock" || name == "--period" || name == "--soak" || name == "--seed";
        if (!known || i + 1 >= args.size()) {
            return refuse(kUsage);
        }
        const std::string& text = args[++i];
        std::string bad = "bad value for ";
        bad += name;
        bad += ": '";
        bad += text;
        bad += '\'';
        if (name == "--soak" || name == "--seed") {
            uint64_t value = 0;
            const char* end = text.data() + text.size();
            auto [ptr, ec] = std::from_chars(text.data(), end, value);
            if (ec != std::errc() || ptr != end || text.empty()) {
                return refuse(bad);
            }
            if (name == "--seed") {
                options.seed = value;
                seeded = true;
            } else if (value < 1 || value > 1'000'000'000) {
                return refuse(bad);
            } else {
                options.soakGames = static_cast<int64_t>(value);
            }
            continue;
        }
        double value = 0;
        if (!parseDouble(text, value) || value < 0 || (name == "--period" && value <= 0)) {
            return refuse(bad);
        }
        (name == "--clock" ? options.clock : options.period) = value;
        timed = true;
    }
    if (options.soakGames && timed) {
        return refuse("--soak picks its own --clock and --period for each run of games");
    }
    if (seeded && !options.soakGames) {
        return refuse("--seed goes with --soak");
    }
    return options;
}

const char* endName(Form1::End end) {
    switch (end) {
    case Form1::End::Escape:
        return "escape";
    case Form1::End::Life:
        return "life";
    case Form1::End::Time:
        return "time";
    case Form1::End::Close:
        return "close";
    case Form1::End::None:
        break;
    }
    return "none";
}

namespace {

class Reporter {
  public:
    explicit Reporter(SimObserver& observer)
        : m_observer(observer), m_lines(observer.wantsLines()) {}

    void tick(int game, int64_t tick, const Form1& form) {
        m_observer.afterTick(game, tick, form);
        if (!m_lines) {
            return;
        }
        const GameState& s = form;
        m_out.str({});
        m_out << "{\"game\":" << game << ",\"tick\":" << tick;
        const std::pair<const char*, int32_t> fields[] = {
            {"BoulX", s.BoulX},     {"BoulY", s.BoulY},
            {"BoulVX", s.BoulVX},   {"BoulVY", s.BoulVY},
            {"BoulMax", s.BoulMax}, {"Boul2X", s.Boul2X},
            {"Boul2Y", s.Boul2Y},   {"Boul2VX", s.Boul2VX},
            {"Boul2VY", s.Boul2VY}, {"Boul2Max", s.Boul2Max},
            {"Shot1X", s.Shot1X},   {"Shot1Y", s.Shot1Y},
            {"Shot1On", s.Shot1On}, {"Shot2X", s.Shot2X},
            {"Shot2Y", s.Shot2Y},   {"Shot2On", s.Shot2On},
            {"kabe", s.kabe},       {"kabe2", s.kabe2},
            {"life", s.life},       {"Time", s.Time},
            {"HitGan", s.HitGan},   {"HitGan2", s.HitGan2},
            {"Moves", s.Moves},     {"GanGan", s.GanGan},
            {"spe", s.spe}};
        for (const auto& [name, value] : fields) {
            m_out << ",\"" << name << "\":" << value;
        }
        m_out << '}';
        m_observer.line(m_out.str());
    }

    void end(int game, int64_t ticks, const Form1& form, int endMessages, int handOvers) {
        m_observer.ended(game, ticks, form, endMessages, handOvers);
        if (!m_lines) {
            return;
        }
        const GameState& s = form;
        const Form1::End cause = form.endCause();
        m_out.str({});
        m_out << "{\"game\":" << game << ",\"end\":\"" << endName(cause)
              << "\",\"ticks\":" << ticks;
        const std::pair<const char*, int32_t> counters[] = {
            {"life", s.life},   {"HitGan", s.HitGan},   {"kabe", s.kabe},
            {"Moves", s.Moves}, {"HitGan2", s.HitGan2}, {"kabe2", s.kabe2},
            {"Time", s.Time},   {"spe", s.spe},         {"GanGan", s.GanGan}};
        for (const auto& [name, value] : counters) {
            m_out << ",\"" << name << "\":" << value;
        }
        // The same arithmetic as the score screen.
        const Tally t = tally(scoreCounters(s), kPointCaptions);
        m_out << ",\"subtotals\":[";
        for (int i = 0; i < kRows; ++i) {
            m_out << (i ? "," : "") << t.subtotals[i].toStdString();
        }
        m_out << "],\"total\":" << t.Score << '}';
        m_observer.line(m_out.str());
    }

  private:
    SimObserver& m_observer;
    const bool m_lines;
    std::ostringstream m_out;
};

} // namespace

int64_t runScript(const SimScript& script, const SimOptions& options, SimObserver& observer) {
    ManualClock clock;
    ManualPause pause(clock);
    ScriptedDialogs dialogs;
    SilentMusicPlayer music;
    SequenceRandom random;
    HeadlessPlayView* view = nullptr;
    Form1 form(Form1::Environment{clock, pause, dialogs, music, random, QString()},
               [&view](Form1&) { return view = new HeadlessPlayView; });
    int handOvers = 0;
    form.showScoreScreen = [&handOvers] { ++handOvers; };
    Reporter report(observer);

    const double period = options.period / 1000.0;
    double next = options.clock;
    int64_t totalTicks = 0;
    int gameNumber = 0;
    for (const SimGame& game : script.games) {
        ++gameNumber;
        const double S = game.start.value_or(next);
        clock.time = S;
        const auto messagesBefore = dialogs.messages.size();
        handOvers = 0;
        form.show();

        const double P = S + rules::kPlayStartSeconds;
        int64_t ticks = 0;
        auto event = game.events.begin();
        const auto ended = [&form] { return form.phase() == Form1::Phase::Closed; };
        const auto applyEvents = [&](int64_t before) {
            for (; event != game.events.end() && event->tick == before && !ended(); ++event) {
                int16_t key = event->key;
                switch (event->kind) {
                case SimEvent::Kind::Down:
                    form.Form_KeyDown(key, 0);
                    break;
                case SimEvent::Kind::Up:
                    form.Form_KeyUp(key, 0);
                    break;
                case SimEvent::Kind::Close:
                    form.closeCommand();
                    break;
                }
            }
        };

        applyEvents(0);
        for (int step = 1; step <= rules::kStartEvent; ++step) {
            if (ended() || !view->timer2Enabled) {
                break;
            }
            clock.time = S + step * rules::kCountdownPeriodMs / 1000.0;
            pause.until = P;
            form.Timer2_Timer();
        }
        if (!ended()) {
            report.tick(gameNumber, 0, form);
            for (int64_t n = 1; !ended() && view->timer1Enabled; ++n) {
                clock.time = n == 1 ? P : P + static_cast<double>(n - 1) * period;
                applyEvents(n);
                if (ended()) {
                    break;
                }
                clock.time = P + static_cast<double>(n) * period;
                form.Timer1_Timer();
                ticks = n;
                report.tick(gameNumber, n, form);
            }
        }
        report.end(gameNumber, ticks, form,
                   static_cast<int>(dialogs.messages.size() - messagesBefore), handOvers);
        totalTicks += ticks;
        next = clock.time;
    }
    return totalTicks;
}
