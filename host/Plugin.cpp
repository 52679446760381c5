#include "host/Plugin.h"

#include <algorithm>
#include <array>
#include <stdexcept>
#include <utility>

#include "host/HostCallback.h"
#include "vst/LevelExtension.h"

namespace vsthost {
namespace {

// Far larger than any text the format allows: plug-ins are known to write past the nominal sizes.
constexpr std::size_t kTextBufferSize = 256;

} // namespace

Plugin::Plugin(std::shared_ptr<Module> module, HostSettings settings)
    : library(std::move(module)), context(std::make_unique<HostContext>(std::move(settings))) {
    if (library == nullptr) {
        throw std::invalid_argument("no plug-in library given");
    }
    vst::AEffect* created = nullptr;
    {
        CreationScope scope(*context);
        created = library->entry()(hostCallback);
    }
    const std::string& where = library->path();
    if (created == nullptr) {
        throw LoadError(LoadFailure::EntryReturnedNull,
                        where + ": " + library->entryName() + " returned no effect (host version " +
                            std::to_string(context->settings().version) + ")");
    }
    if (created->magic != vst::kEffectMagic) {
        // Not an effect record: nothing in it can be trusted, not even its dispatcher to close it.
        throw LoadError(LoadFailure::WrongMagic,
                        where + ": " + library->entryName() + " returned a record without the effect magic");
    }
    if (!registerInstance(created, *context)) {
        created->dispatcher(created, vst::effClose, 0, 0, nullptr, 0.0f);
        throw LoadError(LoadFailure::TooManyInstances, where + ": too many plug-in instances at once");
    }
    record = created;
    inputPointers.resize(static_cast<std::size_t>(std::max(record->numInputs, 0)));
    outputPointers.resize(static_cast<std::size_t>(std::max(record->numOutputs, 0)));
}

std::unique_ptr<Plugin> Plugin::load(const std::string& path, HostSettings settings) {
    return std::make_unique<Plugin>(Module::load(path), std::move(settings));
}

Plugin::~Plugin() {
    close();
}

vst::AEffect& Plugin::effect() const {
    if (record == nullptr) {
        throw std::logic_error(library->path() + ": the plug-in instance is closed");
    }
    return *record;
}

vst::VstIntPtr Plugin::dispatch(vst::VstInt32 opcode, vst::VstInt32 index, vst::VstIntPtr value, void* ptr,
                                float opt) {
    if (opcode == vst::effClose) {
        close();
        return 1;
    }
    vst::AEffect& target = effect();
    return target.dispatcher(&target, opcode, index, value, ptr, opt);
}

void Plugin::open() {
    dispatch(vst::effOpen);
}

void Plugin::setSampleRate(float rate) {
    context->setSampleRate(rate);
    dispatch(vst::effSetSampleRate, 0, 0, nullptr, rate);
}

void Plugin::setBlockSize(vst::VstInt32 size) {
    context->setBlockSize(size);
    dispatch(vst::effSetBlockSize, 0, size);
}

void Plugin::resume() {
    dispatch(vst::effMainsChanged, 0, 1);
}

void Plugin::suspend() {
    dispatch(vst::effMainsChanged, 0, 0);
}

void Plugin::activate() {
    open();
    setSampleRate(context->currentSampleRate());
    setBlockSize(context->currentBlockSize());
    resume();
}

void Plugin::close() {
    if (record == nullptr) {
        return;
    }
    vst::AEffect* closing = record;
    record = nullptr;
    closing->dispatcher(closing, vst::effClose, 0, 0, nullptr, 0.0f);
    unregisterInstance(closing);
}

float Plugin::getParameter(vst::VstInt32 index) const {
    vst::AEffect& target = effect();
    return target.getParameter(&target, index);
}

void Plugin::setParameter(vst::VstInt32 index, float value) {
    vst::AEffect& target = effect();
    target.setParameter(&target, index, value);
}

std::string Plugin::readText(vst::VstInt32 opcode, vst::VstInt32 index, vst::VstIntPtr value) {
    std::array<char, kTextBufferSize> text{};
    dispatch(opcode, index, value, text.data());
    text.back() = '\0';
    return text.data();
}

std::string Plugin::parameterName(vst::VstInt32 index) {
    return readText(vst::effGetParamName, index);
}

std::string Plugin::parameterLabel(vst::VstInt32 index) {
    return readText(vst::effGetParamLabel, index);
}

std::string Plugin::parameterDisplay(vst::VstInt32 index) {
    return readText(vst::effGetParamDisplay, index);
}

bool Plugin::canBeAutomated(vst::VstInt32 index) {
    return dispatch(vst::effCanBeAutomated, index) != 0;
}

vst::VstInt32 Plugin::program() {
    return static_cast<vst::VstInt32>(dispatch(vst::effGetProgram));
}

void Plugin::setProgram(vst::VstInt32 programIndex) {
    dispatch(vst::effSetProgram, 0, programIndex);
}

std::string Plugin::programName() {
    return readText(vst::effGetProgramName);
}

void Plugin::setProgramName(const std::string& name) {
    std::array<char, kTextBufferSize> text{};
    name.copy(text.data(), text.size() - 1);
    dispatch(vst::effSetProgramName, 0, 0, text.data());
}

std::string Plugin::programNameIndexed(vst::VstInt32 programIndex) {
    return readText(vst::effGetProgramNameIndexed, programIndex);
}

std::string Plugin::effectName() {
    return readText(vst::effGetEffectName);
}

std::string Plugin::vendorString() {
    return readText(vst::effGetVendorString);
}

std::string Plugin::productString() {
    return readText(vst::effGetProductString);
}

vst::VstInt32 Plugin::vendorVersion() {
    return static_cast<vst::VstInt32>(dispatch(vst::effGetVendorVersion));
}

vst::VstIntPtr Plugin::canDo(const std::string& capability) {
    std::vector<char> text(capability.begin(), capability.end());
    text.push_back('\0');
    return dispatch(vst::effCanDo, 0, 0, text.data());
}

bool Plugin::hasEditor() const {
    return (effect().flags & vst::effFlagsHasEditor) != 0;
}

std::optional<vst::ERect> Plugin::editorRect() {
    vst::ERect* rect = nullptr;
    dispatch(vst::effEditGetRect, 0, 0, &rect);
    if (rect == nullptr) {
        return std::nullopt;
    }
    return *rect;
}

bool Plugin::openEditor(void* parent) {
    return dispatch(vst::effEditOpen, 0, 0, parent) != 0;
}

void Plugin::idleEditor() {
    dispatch(vst::effEditIdle);
}

void Plugin::closeEditor() {
    dispatch(vst::effEditClose);
}

bool Plugin::attachLevels(float* levels, vst::VstInt32 capacity) {
    vst::LevelBuffer buffer{levels, capacity};
    return dispatch(vst::effVendorSpecific, vst::kLevelExtensionIndex, vst::kLevelExtensionValue,
                    levels != nullptr ? &buffer : nullptr) == 1;
}

std::size_t Plugin::countCalls(vst::VstInt32 opcode) const {
    std::vector<CallRecord> all = calls();
    return static_cast<std::size_t>(std::count_if(
        all.begin(), all.end(), [opcode](const CallRecord& call) { return call.opcode == opcode; }));
}

} // namespace vsthost
