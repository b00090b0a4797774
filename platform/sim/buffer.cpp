// The answer layout of the Enum*/Get* calls; see buffer.h.
#include "platform/sim/buffer.h"

#include <algorithm>
#include <cstring>

namespace sim::detail {

void* Packer::Place(std::size_t bytes, std::size_t alignment) {
    // Every item starts pointer-aligned, so records and device modes in it are aligned too.
    alignment = std::max(alignment, alignof(void*));
    const std::size_t start = used_;
    const std::size_t offset = (start + alignment - 1) / alignment * alignment;
    used_ = offset + bytes;
    if (buffer_ != nullptr) {
        // The padding is zeroed too, so no byte of the answer keeps the caller's old contents.
        std::memset(buffer_ + start, 0, used_ - start);
        return buffer_ + offset;
    }
    scratch_.emplace_back(bytes / sizeof(std::max_align_t) + 1);
    return scratch_.back().data();
}

LPSTR Packer::Text(std::string_view text) {
    auto* copy = static_cast<char*>(Place(text.size() + 1, 1));
    if (buffer_ == nullptr) {
        return nullptr;
    }
    std::memcpy(copy, text.data(), text.size());
    copy[text.size()] = '\0';
    return copy;
}

LPSTR Packer::TextOrNull(std::string_view text) {
    return text.empty() ? nullptr : Text(text);
}

LPSTR Packer::MultiText(const std::vector<std::string>& names) {
    if (names.empty()) {
        return nullptr;
    }
    std::string joined;
    for (const std::string& name : names) {
        joined += name;
        joined += '\0';
    }
    // Text() adds the closing NUL.
    return Text(joined);
}

}  // namespace sim::detail
