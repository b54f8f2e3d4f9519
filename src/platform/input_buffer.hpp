#pragma once

#include <cstddef>
#include <memory>
#include <optional>

#include "platform/platform.hpp"

namespace platform {

// Bytes read ahead from an open file or stream through a buffer of fixed
// size, for readers of lines and answers: what has been read and not yet
// taken stays available, at the front of the buffer.
class InputBuffer {
public:
    InputBuffer(FileHandle source, std::size_t capacity) : source_(source), capacity_(capacity) {}

    // The bytes read and not yet taken.
    const char* data() const { return buffer_.get() + begin_; }
    std::size_t size() const { return end_ - begin_; }

    // Takes count bytes of size(), so they are no longer available.
    void take(std::size_t count) { begin_ += count; }

    // Reads what follows, keeping the bytes not yet taken. False at the end of
    // the input, and when the source refused to be read, which is then in error.
    bool read_more(std::optional<SystemError>& error);

    // Reads until at least count bytes (at most the capacity) are available, or
    // the input ends; whether they are.
    bool ensure(std::size_t count, std::optional<SystemError>& error);

private:
    FileHandle source_;
    std::size_t capacity_;
    std::unique_ptr<char[]> buffer_;  // made at the first read: an input that is never read costs nothing
    std::size_t begin_ = 0;
    std::size_t end_ = 0;
    bool at_end_ = false;
};

}  // namespace platform
