#include "tools/simulator.h"
#include "tools/soak.h"

#include <cstdio>
#include <iostream>
#include <iterator>

namespace {
class PrintLines : public SimObserver {
  public:
    void line(const std::string& json) override {
        std::fwrite(json.data(), 1, json.size(), stdout);
        std::fputc('\n', stdout);
    }
};
} // namespace

int main(int argc, char** argv) {
    std::string error;
    const auto options = parseOptions(std::vector<std::string>(argv + 1, argv + argc), error);
    if (!options) {
        std::cerr << "spinmarsh-sim: " << error << '\n';
        return 2;
    }
    if (options->soakGames) {
        return runSoak(*options->soakGames, options->seed, std::cout, std::cerr);
    }
    const std::string text{std::istreambuf_iterator<char>(std::cin), {}};
    const auto script = parseScript(text, error);
    if (!script) {
        std::cerr << "spinmarsh-sim: " << error << '\n';
        return 2;
    }
    PrintLines out;
    runScript(*script, *options, out);
    return 0;
}
