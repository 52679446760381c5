// The tool's commands. Each throws UsageError or RunError; main turns those into messages and exit statuses.
// A new command is one more request type in command_line.h, one more function here and one more branch in
// main.
#pragma once

#include "tools/zephyrion/command_line.h"
#include "tools/zephyrion/converter.h"

namespace zcli {

// Converts one file and writes every output it asks for; answers what was found, for the demo's table.
Conversion runConvert(const ConvertRequest& request);
void runInfo(const InfoRequest& request);
void runDemo(const DemoRequest& request);
// Links the plug-in and its editor (snapshot_command.cpp, built into the tool only, not its library).
void runSnapshot(const SnapshotRequest& request);

} // namespace zcli
