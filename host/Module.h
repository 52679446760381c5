// One plug-in library loaded into this process, and its entry function.
#pragma once

#include <memory>
#include <string>

#include "vst/DAEffect.h"

namespace vsthost {

using PluginEntry = vst::AEffect* (*)(vst::audioMasterCallback);

// Loading and unloading happen on the controlling thread. The library stays loaded while a Module (shared
// by every Plugin made from it) exists, so destroy all instances before the last reference goes.
class Module {
public:
    // Throws LoadError: FileMissing, NotALibrary or NoEntry, with the system loader's own words.
    static std::shared_ptr<Module> load(const std::string& path);
    ~Module();
    Module(const Module&) = delete;
    Module& operator=(const Module&) = delete;

    const std::string& path() const { return libraryPath; }
    // Hosts look up VSTPluginMain first and fall back to main; this is the one found.
    const std::string& entryName() const { return foundEntryName; }
    // Raw access for callers that want to answer the host callback themselves.
    PluginEntry entry() const { return entryFunction; }

private:
    Module(std::string path, void* libraryHandle, PluginEntry entryPoint, std::string entryName);

    std::string libraryPath;
    void* handle;
    PluginEntry entryFunction;
    std::string foundEntryName;
};

} // namespace vsthost
