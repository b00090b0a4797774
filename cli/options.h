// Shared pieces of tallowind-cli's verbs: "--option VALUE" parsing, bit masks in words, and
// tables aligned for a terminal.
#pragma once

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <iomanip>
#include <optional>
#include <ostream>
#include <sstream>
#include <string>
#include <utility>
#include <vector>

#include "cli/commands.h"
#include "printing/printer_manager.h"

namespace cli {

struct Bit {
    uint32_t value;
    const char* word;
};

// Reads "--option VALUE" pairs and single flags from argument `from` on.
struct Options {
    std::vector<std::pair<std::string, std::string>> values;  // in the order given
    std::vector<std::string> flags;

    std::optional<std::string> Value(const std::string& option) const {
        for (const auto& [name, value] : values) {
            if (name == option) {
                return value;
            }
        }
        return std::nullopt;
    }
    bool Flag(const std::string& option) const {
        for (const std::string& flag : flags) {
            if (flag == option) {
                return true;
            }
        }
        return false;
    }
};

inline std::optional<Options> ParseOptions(const Args& args, size_t from,
                                           const std::vector<std::string>& valueOptions,
                                           const std::vector<std::string>& flagOptions,
                                           std::string& error) {
    Options options;
    for (size_t i = from; i < args.size(); ++i) {
        const std::string& arg = args[i];
        bool known = false;
        for (const std::string& option : valueOptions) {
            if (arg == option) {
                if (i + 1 >= args.size()) {
                    error = option + " needs a value";
                    return std::nullopt;
                }
                options.values.emplace_back(option, args[++i]);
                known = true;
            }
        }
        for (const std::string& option : flagOptions) {
            if (arg == option) {
                options.flags.push_back(option);
                known = true;
            }
        }
        if (!known) {
            error = "unexpected argument " + arg;
            return std::nullopt;
        }
    }
    return options;
}

// "0x00000A40 (local, do-complete-first, enable-bidi)"; `none` names a value with no bit set.
template <size_t N>
std::string Decode(int32_t value, const Bit (&bits)[N], const char* none) {
    const auto bitsValue = static_cast<uint32_t>(value);
    std::ostringstream text;
    text << "0x" << std::hex << std::uppercase << std::setw(8) << std::setfill('0') << bitsValue
         << " (";
    uint32_t known = 0;
    bool first = true;
    for (const Bit& bit : bits) {
        if ((bitsValue & bit.value) != 0) {
            text << (first ? "" : ", ") << bit.word;
            first = false;
            known |= bit.value;
        }
    }
    if (bitsValue == 0) {
        text << none;
    } else if ((bitsValue & ~known) != 0) {
        text << (first ? "" : ", ") << "0x" << (bitsValue & ~known);
    }
    text << ")";
    return text.str();
}

// Columns a UTF-8 text takes on a terminal: East Asian wide characters take two.
inline size_t DisplayWidth(const std::string& text) {
    size_t width = 0;
    for (size_t i = 0; i < text.size();) {
        const auto lead = static_cast<unsigned char>(text[i]);
        const size_t length = lead < 0x80 ? 1 : lead < 0xE0 ? 2 : lead < 0xF0 ? 3 : 4;
        width += length >= 3 ? 2 : 1;
        i += length;
    }
    return width;
}

// Prints the rows of parallel lists as aligned columns.
inline void Table(std::ostream& out, const std::vector<std::string>& headings,
                  const std::vector<const TextList*>& columns) {
    std::vector<size_t> widths;
    for (size_t c = 0; c < columns.size(); ++c) {
        size_t width = DisplayWidth(headings[c]);
        for (const std::string& cell : *columns[c]) {
            width = std::max(width, DisplayWidth(cell));
        }
        widths.push_back(width + 2);
    }
    auto cell = [&](const std::string& text, size_t column) {
        out << text;
        if (column + 1 < widths.size()) {
            out << std::string(widths[column] - DisplayWidth(text), ' ');
        }
    };
    for (size_t c = 0; c < headings.size(); ++c) {
        cell(headings[c], c);
    }
    out << '\n';
    for (size_t row = 0; row < columns[0]->size(); ++row) {
        for (size_t c = 0; c < columns.size(); ++c) {
            cell((*columns[c])[row], c);
        }
        out << '\n';
    }
}

}  // namespace cli
