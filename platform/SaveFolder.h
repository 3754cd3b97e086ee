#pragma once

#include <functional>
#include <span>
#include <string_view>

namespace velkrin {

// Where a file's new content goes while it is written.
class FileSink {
public:
    virtual void write(std::span<const char> bytes) = 0;

protected:
    ~FileSink() = default;
};

// A folder the program saves into (the executable's), held from start-up.
class SaveFolder {
public:
    virtual ~SaveFolder() = default;

    // Replaces the file `name` in this folder with what `content` writes, in
    // one step: the content goes to a temporary file in the folder, is
    // flushed to disk, and only then takes the name's place. On any failure
    // the old file stays as it was, the temporary is removed, and
    // HostError(File) names the path and the system's reason. Something
    // other than a regular file of that name (a folder, a device) is refused
    // with a message that says what is in the way.
    virtual void replaceFile(std::string_view name, const std::function<void(FileSink &)> &content) = 0;
};

} // namespace velkrin
