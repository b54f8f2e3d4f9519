#include "platform/input_buffer.hpp"

#include <cstring>

namespace platform {

bool InputBuffer::read_more(std::optional<SystemError>& error)
{
    if (at_end_) return false;
    if (!buffer_) buffer_ = std::make_unique<char[]>(capacity_);
    if (begin_ > 0) {
        std::memmove(buffer_.get(), buffer_.get() + begin_, end_ - begin_);
        end_ -= begin_;
        begin_ = 0;
    }
    // A full buffer has nothing to read into; a read of no bytes would look like the end.
    if (end_ == capacity_) return true;
    std::size_t count = 0;
    error = read_some(source_, buffer_.get() + end_, capacity_ - end_, count);
    if (error) return false;
    if (count == 0) {
        at_end_ = true;
        return false;
    }
    end_ += count;
    return true;
}

bool InputBuffer::ensure(std::size_t count, std::optional<SystemError>& error)
{
    while (size() < count && size() < capacity_ && read_more(error)) {
    }
    return size() >= count;
}

}  // namespace platform
