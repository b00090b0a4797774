// UTF-16, Latin-1 and code-page conversions to UTF-8. iconv descriptors are held by a small RAII
// holder and never outlive one conversion.
#include "platform/sheets/text_codec.h"

#include <iconv.h>

#include <cerrno>
#include <string>

namespace sheets {

void AppendUtf8(std::string& out, uint32_t codepoint) {
    if (codepoint > 0x10FFFF || (codepoint >= 0xD800 && codepoint <= 0xDFFF)) {
        codepoint = 0xFFFD;
    }
    if (codepoint < 0x80) {
        out.push_back(static_cast<char>(codepoint));
    } else if (codepoint < 0x800) {
        out.push_back(static_cast<char>(0xC0 | (codepoint >> 6)));
        out.push_back(static_cast<char>(0x80 | (codepoint & 0x3F)));
    } else if (codepoint < 0x10000) {
        out.push_back(static_cast<char>(0xE0 | (codepoint >> 12)));
        out.push_back(static_cast<char>(0x80 | ((codepoint >> 6) & 0x3F)));
        out.push_back(static_cast<char>(0x80 | (codepoint & 0x3F)));
    } else {
        out.push_back(static_cast<char>(0xF0 | (codepoint >> 18)));
        out.push_back(static_cast<char>(0x80 | ((codepoint >> 12) & 0x3F)));
        out.push_back(static_cast<char>(0x80 | ((codepoint >> 6) & 0x3F)));
        out.push_back(static_cast<char>(0x80 | (codepoint & 0x3F)));
    }
}

void AppendUtf16Le(std::string& out, std::span<const uint8_t> bytes) {
    const size_t units = bytes.size() / 2;
    for (size_t i = 0; i < units; ++i) {
        const uint32_t unit = bytes[2 * i] | (static_cast<uint32_t>(bytes[2 * i + 1]) << 8);
        if (unit >= 0xD800 && unit <= 0xDBFF && i + 1 < units) {
            const uint32_t next = bytes[2 * i + 2] | (static_cast<uint32_t>(bytes[2 * i + 3]) << 8);
            if (next >= 0xDC00 && next <= 0xDFFF) {
                AppendUtf8(out, 0x10000 + ((unit - 0xD800) << 10) + (next - 0xDC00));
                ++i;
                continue;
            }
        }
        AppendUtf8(out, unit);
    }
}

void AppendLatin1(std::string& out, std::span<const uint8_t> bytes) {
    for (const uint8_t byte : bytes) {
        AppendUtf8(out, byte);
    }
}

namespace {

class Iconv {
  public:
    Iconv(const char* to, const char* from) : cd_(::iconv_open(to, from)) {}
    ~Iconv() {
        if (valid()) {
            ::iconv_close(cd_);
        }
    }
    Iconv(const Iconv&) = delete;
    Iconv& operator=(const Iconv&) = delete;
    bool valid() const { return cd_ != reinterpret_cast<iconv_t>(-1); }
    iconv_t get() const { return cd_; }

  private:
    iconv_t cd_;
};

std::string IconvName(uint16_t codepage) {
    switch (codepage) {
        case 367:
            return "ASCII";
        case 10000:
        case 32768:
            return "MACINTOSH";
        case 1200:
            return "UTF-16LE";
        case 65001:
            return "UTF-8";
        case 0:
        case 32769:
            return "CP1252";
        default:
            return "CP" + std::to_string(codepage);
    }
}

}  // namespace

std::string CodePageToUtf8(std::string_view bytes, uint16_t codepage) {
    std::string out;
    Iconv converter("UTF-8", IconvName(codepage).c_str());
    if (!converter.valid()) {
        Iconv fallback("UTF-8", "CP1252");
        if (!fallback.valid()) {
            AppendLatin1(out, {reinterpret_cast<const uint8_t*>(bytes.data()), bytes.size()});
            return out;
        }
        return CodePageToUtf8(bytes, 1252);
    }
    std::string input(bytes);
    char* in = input.data();
    size_t inLeft = input.size();
    char buffer[1024];
    while (inLeft > 0) {
        char* outPtr = buffer;
        size_t outLeft = sizeof buffer;
        const size_t result = ::iconv(converter.get(), &in, &inLeft, &outPtr, &outLeft);
        out.append(buffer, static_cast<size_t>(outPtr - buffer));
        if (result == static_cast<size_t>(-1)) {
            if (errno == E2BIG) {
                continue;
            }
            // An invalid or incomplete sequence: show one replacement character and go on.
            AppendUtf8(out, 0xFFFD);
            ++in;
            --inLeft;
            ::iconv(converter.get(), nullptr, nullptr, nullptr, nullptr);
        }
    }
    return out;
}

}  // namespace sheets
