// xmlTextReader set up for untrusted parts: no network, no DTD loading, no entity substitution,
// libxml2's default limits on text and depth, and errors kept instead of printed.
#include "platform/sheets/xml_reader.h"

#include <libxml/parser.h>

#include <mutex>

namespace sheets {

namespace {

constexpr int kOptions = XML_PARSE_NONET | XML_PARSE_NOERROR | XML_PARSE_NOWARNING;

void InitializeLibxml() {
    static std::once_flag once;
    std::call_once(once, [] { xmlInitParser(); });
}

}  // namespace

XmlReader::XmlReader(ZipPartStream& stream) : stream_(&stream) {
    InitializeLibxml();
    reader_ = xmlReaderForIO(ReadCallback, nullptr, this, nullptr, nullptr, kOptions);
    Setup();
}

XmlReader::XmlReader(std::string_view document) : document_(document) {
    InitializeLibxml();
    reader_ = xmlReaderForMemory(document_.data(), static_cast<int>(document_.size()), nullptr,
                                 nullptr, kOptions);
    Setup();
}

void XmlReader::Setup() {
    if (reader_ == nullptr) {
        error_ = MakeError(Failure::TooLarge, "no memory for the XML reader");
        return;
    }
    xmlTextReaderSetStructuredErrorHandler(reader_, ErrorCallback, this);
}

XmlReader::~XmlReader() {
    if (reader_ != nullptr) {
        xmlFreeTextReader(reader_);
    }
}

int XmlReader::ReadCallback(void* context, char* buffer, int size) {
    auto* self = static_cast<XmlReader*>(context);
    const int64_t got = self->stream_->Read(buffer, static_cast<size_t>(size));
    if (got < 0) {
        self->error_ = self->stream_->error();
        return -1;
    }
    return static_cast<int>(got);
}

void XmlReader::ErrorCallback(void* context, xmlErrorPtr error) {
    auto* self = static_cast<XmlReader*>(context);
    if (error != nullptr && error->level >= XML_ERR_ERROR &&
        self->error_.failure == Failure::None) {
        self->error_ = MakeError(Failure::Corrupt, "a part of the workbook is not well-formed XML");
    }
}

bool XmlReader::Next() {
    if (failed()) {
        return false;
    }
    const int result = xmlTextReaderRead(reader_);
    if (result != 1) {
        if (result < 0 && error_.failure == Failure::None) {
            error_ = MakeError(Failure::Corrupt, "a part of the workbook is not well-formed XML");
        }
        type_ = 0;
        return false;
    }
    type_ = xmlTextReaderNodeType(reader_);
    if (type_ == XML_READER_TYPE_DOCUMENT_TYPE || type_ == XML_READER_TYPE_ENTITY_REFERENCE) {
        error_ = MakeError(Failure::Corrupt, "a part of the workbook declares a DTD");
        return false;
    }
    return !failed();
}

bool XmlReader::IsText() const {
    return type_ == XML_READER_TYPE_TEXT || type_ == XML_READER_TYPE_CDATA ||
           type_ == XML_READER_TYPE_WHITESPACE || type_ == XML_READER_TYPE_SIGNIFICANT_WHITESPACE;
}

}  // namespace sheets
