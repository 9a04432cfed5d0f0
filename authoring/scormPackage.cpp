#include "authoring/scormPackage.h"

#include <limits>

#include "authoring/webPage.h"

namespace {

constexpr uint16_t dosDate1980 = (0 << 9) | (1 << 5) | 1;  // 1980-01-01
constexpr uint16_t utf8Names = 1 << 11;

void put16(std::string& out, uint32_t value) {
    out += static_cast<char>(value & 0xFF);
    out += static_cast<char>((value >> 8) & 0xFF);
}

void put32(std::string& out, uint32_t value) {
    put16(out, value & 0xFFFF);
    put16(out, value >> 16);
}

}  // namespace

uint32_t zipCrc32(const std::string& data) {
    static uint32_t table[256];
    static bool ready = false;
    if (!ready) {
        for (uint32_t n = 0; n < 256; ++n) {
            uint32_t c = n;
            for (int k = 0; k < 8; ++k) c = (c & 1) ? 0xEDB88320u ^ (c >> 1) : c >> 1;
            table[n] = c;
        }
        ready = true;
    }
    uint32_t crc = 0xFFFFFFFFu;
    for (unsigned char byte : data) crc = table[(crc ^ byte) & 0xFF] ^ (crc >> 8);
    return crc ^ 0xFFFFFFFFu;
}

bool writeZip(const std::vector<ZipEntry>& entries, std::string& out) {
    const uint64_t limit = std::numeric_limits<uint32_t>::max();
    if (entries.size() >= 0xFFFF) return false;
    std::string archive;
    std::string directory;
    for (const ZipEntry& entry : entries) {
        if (entry.name.size() >= 0xFFFF || entry.data.size() >= limit || archive.size() >= limit) return false;
        const uint32_t crc = zipCrc32(entry.data);
        const uint32_t size = static_cast<uint32_t>(entry.data.size());
        const uint32_t offset = static_cast<uint32_t>(archive.size());
        // The fields both headers share, from "version needed" to the name's length.
        std::string common;
        put16(common, 10);  // version needed: 1.0, stored entries
        put16(common, utf8Names);
        put16(common, 0);  // stored
        put16(common, 0);  // time 00:00
        put16(common, dosDate1980);
        put32(common, crc);
        put32(common, size);
        put32(common, size);
        put16(common, static_cast<uint32_t>(entry.name.size()));
        put16(common, 0);  // no extra field
        put32(archive, 0x04034B50);
        archive += common + entry.name + entry.data;
        put32(directory, 0x02014B50);
        put16(directory, 0x0314);  // made by: Unix, 2.0
        directory += common;
        put16(directory, 0);  // no comment
        put16(directory, 0);  // disk 0
        put16(directory, 0);  // internal attributes
        put32(directory, 0100644u << 16);
        put32(directory, offset);
        directory += entry.name;
    }
    if (archive.size() + directory.size() >= limit) return false;
    const uint32_t directoryOffset = static_cast<uint32_t>(archive.size());
    archive += directory;
    put32(archive, 0x06054B50);
    put16(archive, 0);
    put16(archive, 0);
    put16(archive, static_cast<uint32_t>(entries.size()));
    put16(archive, static_cast<uint32_t>(entries.size()));
    put32(archive, static_cast<uint32_t>(directory.size()));
    put32(archive, directoryOffset);
    put16(archive, 0);
    out = std::move(archive);
    return true;
}

std::string scormManifest(const std::string& title, const std::string& pageName) {
    const std::string name = markupEscaped(title.empty() ? pageName : title);
    const std::string page = markupEscaped(pageName);
    return "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n"
           "<manifest identifier=\"vetra-quiz\" version=\"1.0\"\n"
           "  xmlns=\"http://www.imsproject.org/xsd/imscp_rootv1p1p2\"\n"
           "  xmlns:adlcp=\"http://www.adlnet.org/xsd/adlcp_rootv1p2\"\n"
           "  xmlns:xsi=\"http://www.w3.org/2001/XMLSchema-instance\"\n"
           "  xsi:schemaLocation=\"http://www.imsproject.org/xsd/imscp_rootv1p1p2 imscp_rootv1p1p2.xsd "
           "http://www.imsglobal.org/xsd/imsmd_rootv1p2p1 imsmd_rootv1p2p1.xsd "
           "http://www.adlnet.org/xsd/adlcp_rootv1p2 adlcp_rootv1p2.xsd\">\n"
           "  <metadata>\n    <schema>ADL SCORM</schema>\n    <schemaversion>1.2</schemaversion>\n  </metadata>\n"
           "  <organizations default=\"quiz\">\n    <organization identifier=\"quiz\">\n"
           "      <title>" +
           name +
           "</title>\n"
           "      <item identifier=\"item\" identifierref=\"page\">\n        <title>" +
           name +
           "</title>\n"
           "      </item>\n    </organization>\n  </organizations>\n"
           "  <resources>\n    <resource identifier=\"page\" type=\"webcontent\" adlcp:scormtype=\"sco\" href=\"" +
           page + "\">\n      <file href=\"" + page + "\"/>\n    </resource>\n  </resources>\n</manifest>\n";
}

bool writeScormPackage(const std::string& title, const std::string& pageName, const std::string& html,
                       std::string& out) {
    return writeZip({{"imsmanifest.xml", scormManifest(title, pageName)}, {pageName, html}}, out);
}
