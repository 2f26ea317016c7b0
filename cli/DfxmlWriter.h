#pragma once

#include "FileExamination.h"

#include <ostream>
#include <string>
#include <vector>

namespace tallyglass {

// The namespace of the document properties inside each fileobject.
inline constexpr const char* kPropertiesNamespace = "urn:x-tallyglass:document-properties:1";

// One Digital Forensics XML document for a whole run, written as it goes: the creator block
// first, then one fileobject per examined file, each printed as soon as it is handed over, so
// memory does not grow with the number of files. A text XML cannot carry exactly (bytes that
// are not UTF-8, control characters, a carriage return) is written with U+FFFD in their place
// and its exact bytes in base64 in a tg:bytes attribute.
class DfxmlWriter {
public:
    DfxmlWriter(std::ostream& out, std::vector<std::string> commandLine);
    void begin(Nanoseconds startTime);
    void add(const Examination& examination) { m_out << FileObject(examination); }
    // One file's fileobject element, as add writes it.
    static std::string FileObject(const Examination& examination);
    void end();

private:
    std::ostream& m_out;
    std::vector<std::string> m_commandLine;
};

} // namespace tallyglass
