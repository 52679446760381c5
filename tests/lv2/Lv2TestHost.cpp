#include "tests/lv2/Lv2TestHost.h"

#include <algorithm>
#include <stdexcept>

#include <lv2/atom/atom.h>
#include <lv2/atom/util.h>
#include <lv2/midi/midi.h>
#include <lv2/presets/presets.h>

#include "lv2/Lv2Ports.h"
#include "plugin/parameters.h"
#include "tests/support/AllocationCounter.h"

namespace lv2test {

namespace {

LV2_URID mapUri(LV2_URID_Map_Handle handle, const char* uri) {
    return static_cast<Lv2World*>(handle)->uridOf(uri);
}

void setPortValue(const char* symbol, void* userData, const void* value, std::uint32_t size,
                  std::uint32_t type) {
    auto* instance = static_cast<Lv2Instance*>(userData);
    for (const zephyrion::ParameterInfo& parameter : zephyrion::kParameters) {
        if (zephyrion::lv2::portSymbol(parameter.name) == symbol && size == sizeof(float) && type != 0) {
            instance->setParameter(parameter.index, *static_cast<const float*>(value));
        }
    }
}

} // namespace

Lv2World::Lv2World() : lilvWorld(lilv_world_new()) {
    // The build tree's bundle first, then the system's LV2 vocabularies (core, atom, MIDI, UI) that
    // describe its ports.
    LilvNode* path = lilv_new_string(lilvWorld, ZEPHYRION_LV2_LIB_DIR ":/usr/lib/lv2");
    lilv_world_set_option(lilvWorld, LILV_OPTION_LV2_PATH, path);
    lilv_node_free(path);
    lilv_world_load_all(lilvWorld);
    LilvNode* uri = lilv_new_uri(lilvWorld, zephyrion::lv2::kPluginUri);
    zephyrion = lilv_plugins_get_by_uri(lilv_world_get_all_plugins(lilvWorld), uri);
    lilv_node_free(uri);
    uridMap = {this, mapUri};
}

Lv2World::~Lv2World() {
    lilv_world_free(lilvWorld);
}

LV2_URID Lv2World::uridOf(const std::string& uri) {
    const auto found = std::find(uris.begin(), uris.end(), uri);
    if (found != uris.end()) {
        return static_cast<LV2_URID>(found - uris.begin() + 1);
    }
    uris.push_back(uri);
    return static_cast<LV2_URID>(uris.size());
}

std::vector<std::pair<std::string, std::string>> Lv2World::presets() const {
    std::vector<std::pair<std::string, std::string>> found;
    LilvNode* presetClass = lilv_new_uri(lilvWorld, LV2_PRESETS__Preset);
    LilvNode* label = lilv_new_uri(lilvWorld, LILV_NS_RDFS "label");
    LilvNodes* related = lilv_plugin_get_related(zephyrion, presetClass);
    LILV_FOREACH(nodes, i, related) {
        const LilvNode* preset = lilv_nodes_get(related, i);
        lilv_world_load_resource(lilvWorld, preset);
        LilvNode* name = lilv_world_get(lilvWorld, preset, label, nullptr);
        found.emplace_back(name != nullptr ? lilv_node_as_string(name) : "", lilv_node_as_uri(preset));
        lilv_node_free(name);
    }
    lilv_nodes_free(related);
    lilv_node_free(label);
    lilv_node_free(presetClass);
    std::sort(found.begin(), found.end());
    return found;
}

Lv2Instance::Lv2Instance(Lv2World& world, double sampleRate)
    : host(world), controls(zephyrion::lv2::kPortCount, 0.0f), midiBuffer(1 << 12),
      midiEvent(world.uridOf(LV2_MIDI__MidiEvent)) {
    if (world.plugin() == nullptr) {
        throw std::runtime_error("lilv does not find the plug-in in " ZEPHYRION_LV2_LIB_DIR);
    }
    LV2_Feature mapFeature{LV2_URID__map, &world.map()};
    const LV2_Feature* features[] = {&mapFeature, nullptr};
    instance = lilv_plugin_instantiate(world.plugin(), sampleRate, features);
    if (instance == nullptr) {
        throw std::runtime_error("the plug-in refused to be instantiated");
    }
    // Every control at its port's default, as hosts start.
    std::vector<float> defaults(zephyrion::lv2::kPortCount);
    lilv_plugin_get_port_ranges_float(world.plugin(), nullptr, nullptr, defaults.data());
    for (std::uint32_t port = 0; port < zephyrion::lv2::kPortCount; ++port) {
        controls[port] = defaults[port];
        if (port >= zephyrion::lv2::kFirstParameterPort) {
            lilv_instance_connect_port(instance, port, &controls[port]);
        }
    }
    lilv_instance_connect_port(instance, zephyrion::lv2::kMidiOut, midiBuffer.data());
    lilv_instance_activate(instance);
}

Lv2Instance::~Lv2Instance() {
    lilv_instance_deactivate(instance);
    lilv_instance_free(instance);
}

void Lv2Instance::setParameter(std::int32_t index, float value) {
    controls[zephyrion::lv2::parameterPort(index)] = value;
}

bool Lv2Instance::applyPreset(const std::string& uri) {
    LilvNode* node = lilv_new_uri(host.world(), uri.c_str());
    LilvState* state = lilv_state_new_from_world(host.world(), &host.map(), node);
    lilv_node_free(node);
    if (state == nullptr) {
        return false;
    }
    lilv_state_restore(state, instance, setPortValue, this, 0, nullptr);
    lilv_state_free(state);
    return true;
}

Outcome Lv2Instance::run(const std::vector<float>& left, const std::vector<float>& right,
                         std::size_t blockSize, std::uint32_t midiCapacity) {
    Outcome result;
    result.left.assign(left.size(), 0.0f);
    result.right.assign(left.size(), 0.0f);
    auto* sequence = reinterpret_cast<LV2_Atom_Sequence*>(midiBuffer.data());
    for (std::size_t start = 0; start < left.size(); start += blockSize) {
        const std::size_t frames = std::min(blockSize, left.size() - start);
        lilv_instance_connect_port(instance, zephyrion::lv2::kInputLeft, const_cast<float*>(&left[start]));
        lilv_instance_connect_port(instance, zephyrion::lv2::kInputRight, const_cast<float*>(&right[start]));
        lilv_instance_connect_port(instance, zephyrion::lv2::kOutputLeft, &result.left[start]);
        lilv_instance_connect_port(instance, zephyrion::lv2::kOutputRight, &result.right[start]);
        // An output sequence starts as a chunk as large as the buffer the host offers.
        sequence->atom.type = host.uridOf(LV2_ATOM__Chunk);
        sequence->atom.size = midiCapacity;
        {
            testsupport::AllocationCounter counter;
            lilv_instance_run(instance, static_cast<std::uint32_t>(frames));
            result.allocationsInRun += counter.allocations();
        }
        LV2_ATOM_SEQUENCE_FOREACH(sequence, event) {
            if (event->body.type != midiEvent) {
                continue;
            }
            const auto* bytes = static_cast<const std::uint8_t*>(LV2_ATOM_BODY_CONST(&event->body));
            result.midi.push_back({static_cast<std::int64_t>(start) + event->time.frames,
                                   std::vector<std::uint8_t>(bytes, bytes + event->body.size)});
        }
    }
    return result;
}

} // namespace lv2test
