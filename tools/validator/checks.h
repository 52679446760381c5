// The checks the validator runs, in the order it runs them, and what each one is given.
#pragma once

#include <cstdint>
#include <functional>
#include <memory>
#include <span>
#include <string>

#include "host/Module.h"
#include "tools/validator/results.h"

namespace zvalidate {

class CheckContext {
public:
    // `note` receives short words on what a check is doing, so that a crash or a hang can be placed.
    CheckContext(std::string pluginPath, int level, std::uint32_t seed,
                 std::function<void(const std::string&)> note);

    const std::string& pluginPath() const { return path; }
    int level() const { return depth; }
    std::uint32_t seed() const { return randomSeed; }
    // The one of the three values that belongs to the level: quick, default, thorough.
    template <typename T> T byLevel(T quick, T usual, T thorough) const {
        return depth <= 1 ? quick : (depth == 2 ? usual : thorough);
    }
    void note(const std::string& what) const { noteSink(what); }

    // The library, loaded once and shared by the instances the checks make; throws vsthost::LoadError.
    std::shared_ptr<vsthost::Module> module();
    // Lets go of the shared library, so that a check can see it unloaded and loaded again.
    void releaseModule() { loaded.reset(); }

private:
    std::string path;
    int depth;
    std::uint32_t randomSeed;
    std::function<void(const std::string&)> noteSink;
    std::shared_ptr<vsthost::Module> loaded;
};

using CheckFunction = Outcome (*)(CheckContext& context);

struct Check {
    const char* name;
    CheckFunction run;
};

// Every check; the first, "load", decides whether the others can run at all.
std::span<const Check> allChecks();

Outcome checkLoad(CheckContext& context);
Outcome checkManyInstances(CheckContext& context);
Outcome checkTwoInstances(CheckContext& context);
Outcome checkUnprocessedInstances(CheckContext& context);
Outcome checkRatesAndBlocks(CheckContext& context);
Outcome checkAccumulating(CheckContext& context);
Outcome checkInPlace(CheckContext& context);
Outcome checkEmptyBlocks(CheckContext& context);
Outcome checkParameterValues(CheckContext& context);
Outcome checkParameterTexts(CheckContext& context);
Outcome checkPrograms(CheckContext& context);
Outcome checkNanInput(CheckContext& context);
Outcome checkInfiniteInput(CheckContext& context);
Outcome checkHugeInput(CheckContext& context);
Outcome checkDenormalInput(CheckContext& context);
Outcome checkMidiEvents(CheckContext& context);
Outcome checkMidiNotes(CheckContext& context);
Outcome checkAutomationThread(CheckContext& context);
Outcome checkEditorThreads(CheckContext& context);
Outcome checkDispatcherNull(CheckContext& context);
Outcome checkDispatcherBuffers(CheckContext& context);

} // namespace zvalidate
