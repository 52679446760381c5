// Several threads at once, as in a host: audio on one, automation on another, and the user-interface thread
// reading texts or opening, idling and closing the editor meanwhile.
#include <atomic>
#include <chrono>
#include <optional>
#include <thread>

#include "tools/validator/automation.h"
#include "tools/validator/checks.h"
#include "tools/validator/parent_window.h"
#include "tools/validator/session.h"
#include "tools/validator/text_probe.h"

namespace zvalidate {
namespace {

constexpr int kThreadBlock = 64;
constexpr int kFlutter = 64;
constexpr float kChunkSeconds = 1.0f;
constexpr int kDefaultEditorWidth = 640;
constexpr int kDefaultEditorHeight = 480;
constexpr auto kIdleInterval = std::chrono::milliseconds(10);

// Audio on one thread and automation on another, both against one instance, until stopped or, with a
// length given, until that much audio has run.
class BackgroundLoad {
public:
    BackgroundLoad(vsthost::Plugin& instance, Renderer& audioRenderer, std::uint32_t seed, float audioSeconds)
        : plugin(instance), renderer(audioRenderer), automation(instance, seed + 1), random(seed),
          reading(seed + 2), seconds(audioSeconds) {
        audio = std::thread([this] { runAudio(); });
        automating = std::thread([this] { automate(); });
    }
    ~BackgroundLoad() { stop(); }
    BackgroundLoad(const BackgroundLoad&) = delete;
    BackgroundLoad& operator=(const BackgroundLoad&) = delete;

    bool audioFinished() const { return finished.load(); }

    // Waits for both threads, then adds what they found.
    void stop(Findings* findings = nullptr) {
        stopping.store(true);
        if (audio.joinable()) {
            audio.join();
        }
        if (automating.joinable()) {
            automating.join();
        }
        if (findings != nullptr) {
            findings->absorb(audioFindings);
            findings->absorb(automationFindings);
        }
    }

private:
    void runAudio() {
        for (float done = 0.0f; !stopping.load() && (seconds <= 0.0f || done < seconds);
             done += kChunkSeconds) {
            Rendering rendering;
            BlockSizes sizes = BlockSizes::fixed(kThreadBlock);
            renderer.render(burstsFor(plugin, random, kChunkSeconds, kUsualRate), sizes, rendering);
            expectFinite(audioFindings, rendering.output, "while another thread automated");
        }
        finished.store(true);
    }

    void automate() {
        const vst::VstInt32 count = plugin.effect().numParams;
        while (!stopping.load() && !finished.load() && count > 0) {
            automation.flutter(kFlutter);
            const auto index = static_cast<vst::VstInt32>(reading.below(static_cast<std::size_t>(count)));
            const float value = plugin.getParameter(index);
            if (!(value >= 0.0f && value <= 1.0f)) {
                automationFindings.fail("parameter " + std::to_string(index) + " read " + number(value) +
                                            " while being automated",
                                        "parameter read outside 0..1");
            }
            std::this_thread::yield();
        }
    }

    vsthost::Plugin& plugin;
    Renderer& renderer;
    Automation automation;
    Random random;  // the audio thread's
    Random reading; // the automation thread's
    float seconds;
    std::atomic<bool> stopping{false};
    std::atomic<bool> finished{false};
    // Each written by its own thread alone, and read once both have ended.
    Findings audioFindings;
    Findings automationFindings;
    std::thread audio;
    std::thread automating;
};

} // namespace

Outcome checkAutomationThread(CheckContext& context) {
    auto plugin = startInstance(context, kUsualRate, kThreadBlock, kLargeEventCapacity);
    const vst::VstInt32 count = plugin->effect().numParams;
    MidiChecker midi;
    Renderer renderer(*plugin, midi, false);
    Automation settling(*plugin, context.seed());
    Findings findings;
    const float seconds = context.byLevel(5.0f, 20.0f, 60.0f);
    context.note("audio and automation on two threads, texts read on a third");
    {
        BackgroundLoad load(*plugin, renderer, context.seed(), seconds);
        Random reading(context.seed() + 3);
        while (!load.audioFinished() && count > 0) {
            const auto index = static_cast<vst::VstInt32>(reading.below(static_cast<std::size_t>(count)));
            judgeText(findings, readText(*plugin, vst::effGetParamDisplay, index), kTextLimit,
                      "display of parameter " + std::to_string(index) + " under automation");
            std::this_thread::yield();
        }
        load.stop(&findings);
    }
    renderer.collect();
    context.note("silence after the automation");
    settling.settle(renderer, midi);
    findings.absorb(midi.form());
    findings.absorb(midi.notes());
    return findings.outcome(number(seconds) + " s of audio in blocks of " + std::to_string(kThreadBlock) +
                            " while another thread automated: " + std::to_string(midi.eventCount()) +
                            " MIDI events well formed and paired");
}

Outcome checkEditorThreads(CheckContext& context) {
    auto plugin = startInstance(context, kUsualRate, kThreadBlock, kLargeEventCapacity);
    if (!plugin->hasEditor()) {
        return {Status::Skipped, "the plug-in has no editor"};
    }
    const std::optional<vst::ERect> rect = plugin->editorRect();
    const int width = rect && rect->right > rect->left ? rect->right - rect->left : kDefaultEditorWidth;
    const int height = rect && rect->bottom > rect->top ? rect->bottom - rect->top : kDefaultEditorHeight;
    std::string why;
    std::unique_ptr<ParentWindow> parent = ParentWindow::open(width, height, why);
    if (parent == nullptr) {
        return {Status::Skipped, why};
    }
    // Faults show where a window is made or unmade while another thread reaches for it: many short
    // cycles, as many as fit in the time given (an editor may take a second to open).
    const int cycles = context.byLevel(10, 30, 100);
    const int idles = context.byLevel(3, 5, 10);
    const auto budget = std::chrono::seconds(context.byLevel(5, 20, 60));
    const auto started = std::chrono::steady_clock::now();
    int cycle = 0;
    MidiChecker midi;
    Renderer renderer(*plugin, midi, false);
    Findings findings;
    {
        BackgroundLoad load(*plugin, renderer, context.seed(), 0.0f);
        while (cycle < cycles && std::chrono::steady_clock::now() - started < budget) {
            ++cycle;
            context.note("editor opened, time " + std::to_string(cycle));
            if (!plugin->openEditor(parent->handle())) {
                findings.warn("effEditOpen answered 0 for a valid parent window");
            }
            context.note("editor idled, time " + std::to_string(cycle));
            for (int idle = 0; idle < idles; ++idle) {
                plugin->idleEditor();
                parent->pump();
                std::this_thread::sleep_for(kIdleInterval);
            }
            context.note("editor closed, time " + std::to_string(cycle));
            plugin->closeEditor();
            parent->pump();
        }
        context.note("editor done; stopping the audio and automation threads");
        load.stop(&findings);
    }
    renderer.collect();
    findings.absorb(midi.form());
    plugin->close();
    return findings.outcome("editor opened, idled and closed " + std::to_string(cycle) +
                            " times while one thread ran audio and another automated");
}

} // namespace zvalidate
