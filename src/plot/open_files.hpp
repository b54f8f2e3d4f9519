#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "platform/platform.hpp"

// The plot files open in one run, by identity: no file is open twice at
// once, under whatever name. The run owns it, and it outlives every file
// opened through it.
class OpenFiles {
public:
    OpenFiles() = default;
    OpenFiles(const OpenFiles&) = delete;
    OpenFiles& operator=(const OpenFiles&) = delete;

    // Who already holds the file of this identity: a plot file of the run,
    // quoted, or with standard_streams a standard stream connected to it;
    // empty when nobody does.
    std::string holder_of(const platform::FileIdentity& identity, bool standard_streams) const;

    void add(const platform::FileIdentity& identity, const std::string& name);
    void remove(const platform::FileIdentity& identity, const std::string& name);

private:
    struct Entry {
        platform::FileIdentity identity;
        std::string name;
    };
    std::vector<Entry> entries_;
};

// One opened plot file: its handle, the name it was opened under and how,
// registered in the run's OpenFiles until it is closed.
class OpenedPlotFile {
public:
    OpenedPlotFile(platform::OpenedFile opened, std::string name, OpenFiles& open_files);
    OpenedPlotFile(OpenedPlotFile&& other) noexcept;
    OpenedPlotFile& operator=(OpenedPlotFile&&) = delete;
    OpenedPlotFile(const OpenedPlotFile&) = delete;
    OpenedPlotFile& operator=(const OpenedPlotFile&) = delete;

    // Closes the file when it is still open, ignoring a refusal: only when
    // the run is already stopping.
    ~OpenedPlotFile();

    // Closes the file; the system's refusal, if any.
    std::optional<platform::SystemError> close();

    bool is_open() const { return opened_.handle.is_open(); }
    const std::string& name() const { return name_; }
    platform::FileHandle handle() const { return opened_.handle; }
    platform::Access access() const { return opened_.access; }
    bool regular() const { return opened_.regular; }
    bool created() const { return opened_.created; }

private:
    platform::OpenedFile opened_;
    std::string name_;
    OpenFiles* open_files_;
};

// Opens a plot file by name (trailing blanks removed, leading blanks kept):
// read-write without truncation, created when absent; else read-only; else
// write-only, created when absent. Refused when a plot file of the run or a
// standard stream already holds it.
OpenedPlotFile open_by_rule(std::string_view answered_name, platform::Use use, OpenFiles& open_files);

// Opens a file that exists, for reading only, under its name exactly as
// given; nothing is created. Refused when a plot file of the run holds it.
OpenedPlotFile open_existing(std::string_view name, OpenFiles& open_files);
