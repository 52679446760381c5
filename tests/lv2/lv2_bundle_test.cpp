// What an LV2 host reads from the bundle: every control port as the parameter table describes it, and an
// instance only where the host gives what the plug-in needs.
#include <algorithm>
#include <array>
#include <limits>
#include <string>
#include <vector>

#include <gtest/gtest.h>
#include <lv2/core/lv2.h>
#include <lv2/urid/urid.h>

#include "editor/EditorWords.h"
#include "lv2/Lv2Ports.h"
#include "plugin/parameters.h"
#include "tests/lv2/Lv2TestHost.h"

namespace lv2test {
namespace {

using namespace zephyrion;

std::string text(const LilvNode* node) {
    return node != nullptr ? lilv_node_as_string(node) : "";
}

// The scale points of a port as "label=value" in the order of their values.
std::vector<std::string> scalePoints(const LilvPlugin* plugin, const LilvPort* port) {
    std::vector<std::pair<float, std::string>> points;
    LilvScalePoints* found = lilv_port_get_scale_points(plugin, port);
    LILV_FOREACH(scale_points, i, found) {
        const LilvScalePoint* point = lilv_scale_points_get(found, i);
        points.emplace_back(lilv_node_as_float(lilv_scale_point_get_value(point)),
                            text(lilv_scale_point_get_label(point)));
    }
    lilv_scale_points_free(found);
    std::sort(points.begin(), points.end());
    std::vector<std::string> written;
    for (const auto& [value, label] : points) {
        written.push_back(label + "=" + std::to_string(value));
    }
    return written;
}

std::vector<std::string> expectedPoints(const std::array<std::string_view, 3>& words) {
    std::vector<std::string> written;
    for (std::size_t step = 0; step < words.size(); ++step) {
        written.push_back(std::string(words[step]) + "=" + std::to_string(static_cast<float>(step) / 10.0f));
    }
    return written;
}

TEST(Lv2Bundle, ControlPortsAreTheParameterTable) {
    Lv2World world;
    const LilvPlugin* plugin = world.plugin();
    ASSERT_NE(plugin, nullptr);
    ASSERT_EQ(lilv_plugin_get_num_ports(plugin), static_cast<std::uint32_t>(lv2::kPortCount));
    std::vector<float> minimum(lv2::kPortCount), maximum(lv2::kPortCount), initial(lv2::kPortCount);
    lilv_plugin_get_port_ranges_float(plugin, minimum.data(), maximum.data(), initial.data());
    LilvNode* toggled = lilv_new_uri(world.world(), LV2_CORE__toggled);
    LilvNode* enumeration = lilv_new_uri(world.world(), LV2_CORE__enumeration);
    for (const ParameterInfo& parameter : kParameters) {
        const std::uint32_t index = lv2::parameterPort(parameter.index);
        const LilvPort* port = lilv_plugin_get_port_by_index(plugin, index);
        SCOPED_TRACE(std::string(parameter.name));
        LilvNode* name = lilv_port_get_name(plugin, port);
        EXPECT_EQ(text(name), parameter.name);
        lilv_node_free(name);
        EXPECT_EQ(text(lilv_port_get_symbol(plugin, port)), lv2::portSymbol(parameter.name));
        // Bit for bit: the host starts the engine where the VST 2 build starts it.
        EXPECT_EQ(initial[index], parameter.initial);
        EXPECT_EQ(minimum[index], 0.0f);
        EXPECT_EQ(maximum[index], 1.0f);
        EXPECT_EQ(lilv_port_has_property(plugin, port, toggled), parameter.kind == ParameterKind::Switch);
        EXPECT_EQ(lilv_port_has_property(plugin, port, enumeration),
                  parameter.kind == ParameterKind::ThreeStep);
    }
    EXPECT_EQ(scalePoints(plugin, lilv_plugin_get_port_by_index(plugin, lv2::parameterPort(kOutMode))),
              expectedPoints(editor::outModeNames));
    EXPECT_EQ(scalePoints(plugin, lilv_plugin_get_port_by_index(plugin, lv2::parameterPort(kFreqMode))),
              expectedPoints(editor::freqModeNames));
    // Hosts find the latency of the lookahead by its designation.
    ASSERT_TRUE(lilv_plugin_has_latency(plugin));
    EXPECT_EQ(lilv_plugin_get_latency_port_index(plugin), static_cast<std::uint32_t>(lv2::kLatencyPort));
    EXPECT_EQ(lv2::portSymbol("NoteOrCC"), "note_or_cc");
    EXPECT_EQ(lv2::portSymbol("Midi Vel."), "midi_vel");
    lilv_node_free(enumeration);
    lilv_node_free(toggled);
}

TEST(Lv2Bundle, InstantiationNeedsTheUridMapAndARealSampleRate) {
    Lv2World world;
    LV2_Feature mapFeature{LV2_URID__map, &world.map()};
    const LV2_Feature* withMap[] = {&mapFeature, nullptr};
    const LV2_Feature* withoutMap[] = {nullptr};
    struct Case {
        double rate;
        const LV2_Feature* const* features;
        bool made;
    };
    const Case cases[] = {
        {48000.0, withMap, true},
        {48000.0, withoutMap, false},
        {48000.0, nullptr, false},
        {0.0, withMap, false},
        {std::numeric_limits<double>::quiet_NaN(), withMap, false},
    };
    for (const Case& c : cases) {
        LilvInstance* instance = lilv_plugin_instantiate(world.plugin(), c.rate, c.features);
        EXPECT_EQ(instance != nullptr, c.made) << "rate " << c.rate;
        if (instance != nullptr) {
            lilv_instance_free(instance);
        }
    }
}

} // namespace
} // namespace lv2test
