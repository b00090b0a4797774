// A streaming XML reader (libxml2's xmlTextReader) over a zip part or a string. It never loads
// external entities or DTDs, and refuses a document that declares a DTD at all: no workbook part
// has one, and entity expansion is how small XML becomes huge.
#pragma once

#include <libxml/xmlreader.h>

#include <string>
#include <string_view>

#include "platform/sheets/workbook_file.h"
#include "platform/sheets/zip_archive.h"

namespace sheets {

class XmlReader {
  public:
    explicit XmlReader(ZipPartStream& stream);
    explicit XmlReader(std::string_view document);
    ~XmlReader();
    XmlReader(const XmlReader&) = delete;
    XmlReader& operator=(const XmlReader&) = delete;

    // Moves to the next node; false at the document's end or on failure (then failed()).
    bool Next();
    bool failed() const { return error_.failure != Failure::None; }
    // Corrupt for malformed XML, or the part stream's own failure (TooLarge, Truncated, ...).
    const Error& error() const { return error_; }

    bool IsStart() const { return type_ == XML_READER_TYPE_ELEMENT; }
    bool IsEnd() const { return type_ == XML_READER_TYPE_END_ELEMENT; }
    bool IsText() const;
    // An element written <a/>, which has no end node.
    bool IsEmptyElement() const { return xmlTextReaderIsEmptyElement(reader_) == 1; }
    std::string_view LocalName() const { return View(xmlTextReaderConstLocalName(reader_)); }
    std::string_view Namespace() const { return View(xmlTextReaderConstNamespaceUri(reader_)); }
    std::string_view Value() const { return View(xmlTextReaderConstValue(reader_)); }

    // Calls f(localName, namespaceUri, value) for each attribute of the current element.
    template <class F>
    void ForEachAttribute(F&& f) {
        if (xmlTextReaderHasAttributes(reader_) != 1) {
            return;
        }
        while (xmlTextReaderMoveToNextAttribute(reader_) == 1) {
            f(LocalName(), Namespace(), Value());
        }
        xmlTextReaderMoveToElement(reader_);
    }

  private:
    static std::string_view View(const xmlChar* text) {
        return text == nullptr ? std::string_view() : reinterpret_cast<const char*>(text);
    }
    static int ReadCallback(void* context, char* buffer, int size);
    static void ErrorCallback(void* context, xmlErrorPtr error);
    void Setup();

    xmlTextReaderPtr reader_ = nullptr;
    ZipPartStream* stream_ = nullptr;
    std::string document_;
    int type_ = 0;
    Error error_;
};

}  // namespace sheets
