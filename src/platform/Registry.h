#pragma once
// The registry, kept in the machine's registry.reg (REGEDIT4 text), read and written whole
// for each operation. One object per operation, as with the toolkit's registry class.
// A damaged store makes operations throw ERegistryException (reads as well as writes) and is
// never overwritten. Values of types other than strings and comments are kept as their
// lines, so rewriting the store loses nothing.

#include <optional>
#include <string>
#include <string_view>

namespace platform {

enum class RootKey { ClassesRoot, CurrentUser, LocalMachine, Users };

class Registry {
public:
    explicit Registry(RootKey root) : root_(root) {}

    // Key paths are absolute below the root ("\SOFTWARE\Microsoft\...", the leading
    // backslash optional) and match without regard to case.
    bool OpenKey(std::string_view key, bool canCreate);
    void CloseKey() { current_.reset(); }
    bool KeyExists(std::string_view key);
    // Deletes the key with all its subkeys; false when it does not exist.
    bool DeleteKey(std::string_view key);

    // On the open key:
    bool ValueExists(std::string_view name);
    // Empty for a missing value; ERegistryException for a value of another type (an
    // expandable string, hex(2), reads as a string). "" or "@" names the default value.
    std::string ReadString(std::string_view name);
    // ERegistryException when the key is gone, the store can't be written, or the value
    // holds a line break or NUL (a REGEDIT4 line can't carry them).
    void WriteString(std::string_view name, std::string_view value);
    bool DeleteValue(std::string_view name);
    bool HasSubKeys();

private:
    RootKey root_;
    std::optional<std::string> current_;  // path of the open key
};

}  // namespace platform
