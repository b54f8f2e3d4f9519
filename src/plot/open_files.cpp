#include "plot/open_files.hpp"

#include <algorithm>
#include <utility>

#include "diagnostics.hpp"
#include "run_failure.hpp"

namespace {

// The opened file, registered; refused and closed again when another of the
// run already holds it. The identity is that of the file actually opened, so
// a name that is replaced while the run looks at it cannot slip past.
OpenedPlotFile registered(platform::OpenedFile opened, const std::string& name, OpenFiles& open_files,
                          bool standard_streams)
{
    const std::string holder = open_files.holder_of(opened.identity, standard_streams);
    if (!holder.empty()) {
        platform::close_file(opened.handle);
        throw RunFailure("opening", name, "the same file is already open in this run as " + holder);
    }
    return OpenedPlotFile(opened, name, open_files);
}

void refuse_nul_bytes(const std::string& name)
{
    if (name.find('\0') != std::string::npos) throw RunFailure("opening", name, "a file name cannot hold a NUL byte");
}

}  // namespace

std::string OpenFiles::holder_of(const platform::FileIdentity& identity, bool standard_streams) const
{
    using platform::StandardStream;
    if (standard_streams) {
        for (const StandardStream stream : {StandardStream::Input, StandardStream::Output, StandardStream::Error}) {
            if (platform::identity_of(stream).same_file_as(identity)) return std::string(stream_name(stream));
        }
    }
    for (const Entry& entry : entries_) {
        if (entry.identity.same_file_as(identity)) return "'" + printable(entry.name) + "'";
    }
    return {};
}

void OpenFiles::add(const platform::FileIdentity& identity, const std::string& name) { entries_.push_back({identity, name}); }

void OpenFiles::remove(const platform::FileIdentity& identity, const std::string& name)
{
    const auto entry = std::find_if(entries_.begin(), entries_.end(), [&](const Entry& e) {
        return e.identity == identity && e.name == name;
    });
    if (entry != entries_.end()) entries_.erase(entry);
}

OpenedPlotFile::OpenedPlotFile(platform::OpenedFile opened, std::string name, OpenFiles& open_files)
    : opened_(opened), name_(std::move(name)), open_files_(&open_files)
{
    open_files_->add(opened_.identity, name_);
}

OpenedPlotFile::OpenedPlotFile(OpenedPlotFile&& other) noexcept
    : opened_(std::exchange(other.opened_, platform::OpenedFile())),
      name_(std::move(other.name_)),
      open_files_(other.open_files_)
{
}

OpenedPlotFile::~OpenedPlotFile() { close(); }

std::optional<platform::SystemError> OpenedPlotFile::close()
{
    if (!is_open()) return std::nullopt;
    const platform::FileHandle handle = std::exchange(opened_.handle, platform::FileHandle());
    open_files_->remove(opened_.identity, name_);
    return platform::close_file(handle);
}

OpenedPlotFile open_by_rule(std::string_view answered_name, platform::Use use, OpenFiles& open_files)
{
    const std::size_t kept = answered_name.find_last_not_of(' ');
    const std::string name(answered_name.substr(0, kept == std::string_view::npos ? 0 : kept + 1));
    refuse_nul_bytes(name);
    platform::OpenedFile opened;
    if (const auto error = platform::open_by_rule(name, use, opened)) throw RunFailure::from_system("opening", name, *error);
    return registered(opened, name, open_files, true);
}

// Reading a file that a standard stream is also connected to harms neither (a
// pipe given as /dev/stdin is read so), so only the plot files of the run are refused.
OpenedPlotFile open_existing(std::string_view given_name, OpenFiles& open_files)
{
    const std::string name(given_name);
    refuse_nul_bytes(name);
    platform::OpenedFile opened;
    if (const auto error = platform::open_existing_for_reading(name, opened)) {
        throw RunFailure::from_system("opening", name, *error);
    }
    return registered(opened, name, open_files, false);
}
