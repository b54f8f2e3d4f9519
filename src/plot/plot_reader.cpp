#include "plot/plot_reader.hpp"

#include <algorithm>
#include <cstring>
#include <utility>

#include "diagnostics.hpp"
#include "platform/text_encoding.hpp"
#include "plot/layout.hpp"

namespace {

// Large enough that reading costs a handful of system calls per megabyte.
constexpr std::size_t kBufferSize = 256 * 1024;

}  // namespace

PlotReader::PlotReader(OpenedPlotFile file) : file_(std::move(file)), input_(file_.handle(), kBufferSize) {}

void PlotReader::close()
{
    if (const auto error = file_.close()) throw RunFailure::from_system("closing", name(), *error);
}

bool PlotReader::read_more()
{
    std::optional<platform::SystemError> error;
    if (input_.read_more(error)) return true;
    // Saying that the open rule fell back to writing only is plainer than the
    // system's "Bad file descriptor" or "Access is denied".
    if (error) {
        throw RunFailure("reading", name(),
                         file_.access() == platform::Access::WriteOnly ? "the file could only be opened for writing"
                                                                       : platform::error_text(*error));
    }
    return false;
}

bool PlotReader::ensure_available(std::size_t count)
{
    while (input_.size() < count && read_more()) {
    }
    return input_.size() >= count;
}

// Skips the rest of a line past its width, up to and including its LF, and
// notes whether the bytes skipped hold a CR that no LF directly follows: a
// file whose lines end with CR alone reads as one long line.
void PlotReader::skip_past_line_end()
{
    bool lone_carriage_return = false;
    bool ends_with_carriage_return = false;  // the last byte skipped so far
    do {
        const char* start = input_.data();
        const std::size_t available = input_.size();
        if (ends_with_carriage_return && *start != '\n') lone_carriage_return = true;
        const auto* line_feed = static_cast<const char*>(std::memchr(start, '\n', available));
        const std::size_t skipped = line_feed != nullptr ? static_cast<std::size_t>(line_feed - start) : available;
        // A CR before the last byte skipped has another byte than LF after it.
        if (skipped > 1 && std::memchr(start, '\r', skipped - 1) != nullptr) lone_carriage_return = true;
        ends_with_carriage_return = skipped > 0 && start[skipped - 1] == '\r';
        if (line_feed != nullptr) {
            input_.take(skipped + 1);
            ends_with_carriage_return = false;
            break;
        }
        input_.take(available);
    } while (read_more());
    if (lone_carriage_return || ends_with_carriage_return) {
        if (lone_carriage_return_lines_++ == 0) first_lone_carriage_return_line_ = lines_read_;
    }
}

// A line ends at LF, or at a CR within its first width bytes (taking an LF
// right after it along). Bytes past width are skipped up to the LF.
bool PlotReader::read_line(char* line, std::size_t width)
{
    // One byte more than a line, so that an LF after a CR in its last column is seen.
    ensure_available(width + 1);
    const std::size_t available = input_.size();
    if (available == 0) return false;
    ++lines_read_;

    const char* start = input_.data();
    const std::size_t window = std::min(available, width);
    const auto* line_feed = static_cast<const char*>(std::memchr(start, '\n', window));
    const std::size_t before_line_feed = line_feed != nullptr ? static_cast<std::size_t>(line_feed - start) : window;
    const auto* carriage_return = static_cast<const char*>(std::memchr(start, '\r', before_line_feed));
    const char* line_end = carriage_return != nullptr ? carriage_return : start + before_line_feed;
    const auto length = static_cast<std::size_t>(line_end - start);

    std::memcpy(line, start, length);
    std::memset(line + length, ' ', width - length);
    if (lines_read_ == 1) {
        starts_with_byte_order_mark_ = std::string_view(line, width).starts_with(platform::UTF8_BYTE_ORDER_MARK);
    }

    if (carriage_return != nullptr) {
        input_.take(length + 1);
        if (input_.size() > 0 && *input_.data() == '\n') input_.take(1);
    } else if (line_feed != nullptr) {
        input_.take(length + 1);
    } else {
        input_.take(length);
        if (length == width) skip_past_line_end();
    }
    return true;
}

bool PlotReader::next_line_is_header() { return ensure_available(1) && *input_.data() == '*'; }

bool PlotReader::has_line_ahead() { return file_.regular() && ensure_available(1); }

std::string_view PlotReader::peek_line(std::size_t width)
{
    ensure_available(width);
    const std::string_view ahead(input_.data(), std::min(input_.size(), width));
    return ahead.substr(0, std::min(ahead.find_first_of("\r\n"), ahead.size()));
}

PlotReader open_plot_input(std::string_view name, OpenFiles& open_files)
{
    return PlotReader(open_by_rule(name, platform::Use::Input, open_files));
}

PlotReader open_existing_plot_file(std::string_view name, OpenFiles& open_files)
{
    return PlotReader(open_existing(name, open_files));
}

RunFailure field_failure(const PlotReader& file, const FieldFault& fault)
{
    const LayoutField& field = fault.field;
    const std::string name =
        fault.name.empty() ? in_columns(descriptor_text(field), field.offset + 1u, field.offset + field.width)
                           : std::string(fault.name);
    std::string cause = "line " + std::to_string(file.lines_read()) + ": field " + name + " holds " +
                        quoted(fault.text) + ", which is " +
                        (fault.out_of_range ? "outside the range of a 32-bit integer" : "not a number");
    if (file.lines_read() == 1 && file.starts_with_byte_order_mark()) {
        cause += byte_order_mark_note("the file", "save it without one");
    }
    return RunFailure("converting a field of", file.name(), cause);
}
