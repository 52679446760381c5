// Why a plug-in library could not be turned into a running instance.
#pragma once

#include <stdexcept>
#include <string>

namespace vsthost {

enum class LoadFailure {
    FileMissing,       // nothing at the path
    NotALibrary,       // something there, but the system loader refused it (wrong format or machine)
    NoEntry,           // loaded, but exports neither VSTPluginMain nor main
    EntryReturnedNull, // the entry refused this host or failed to create an instance
    WrongMagic,        // the entry answered something that is not an effect record
    TooManyInstances,  // the host's table of live instances is full
};

class LoadError : public std::runtime_error {
public:
    LoadError(LoadFailure failure, const std::string& message) : std::runtime_error(message), kind(failure) {}
    LoadFailure failure() const { return kind; }

private:
    LoadFailure kind;
};

} // namespace vsthost
