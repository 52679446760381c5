#include "tools/validator/checks.h"

#include <iterator>
#include <utility>

namespace zvalidate {
namespace {

constexpr Check kChecks[] = {
    {"load", checkLoad},
    {"lifetime.many", checkManyInstances},
    {"lifetime.pair", checkTwoInstances},
    {"lifetime.unprocessed", checkUnprocessedInstances},
    {"audio.blocks", checkRatesAndBlocks},
    {"audio.accumulating", checkAccumulating},
    {"audio.in-place", checkInPlace},
    {"audio.empty-blocks", checkEmptyBlocks},
    {"parameters.values", checkParameterValues},
    {"parameters.texts", checkParameterTexts},
    {"programs", checkPrograms},
    {"bad-audio.nan", checkNanInput},
    {"bad-audio.infinity", checkInfiniteInput},
    {"bad-audio.huge", checkHugeInput},
    {"bad-audio.denormal", checkDenormalInput},
    {"midi.events", checkMidiEvents},
    {"midi.notes", checkMidiNotes},
    {"threads.automation", checkAutomationThread},
    {"threads.editor", checkEditorThreads},
    {"dispatcher.null", checkDispatcherNull},
    {"dispatcher.buffers", checkDispatcherBuffers},
};

} // namespace

CheckContext::CheckContext(std::string pluginPath, int level, std::uint32_t seed,
                           std::function<void(const std::string&)> note)
    : path(std::move(pluginPath)), depth(level), randomSeed(seed), noteSink(std::move(note)) {}

std::shared_ptr<vsthost::Module> CheckContext::module() {
    if (loaded == nullptr) {
        loaded = vsthost::Module::load(path);
    }
    return loaded;
}

std::span<const Check> allChecks() {
    return {kChecks, std::size(kChecks)};
}

} // namespace zvalidate
