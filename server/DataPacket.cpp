#include "server/DataPacket.h"

#include <algorithm>
#include <stdexcept>

#include "server/Base64.h"

namespace server {

DataPacket::DataPacket(std::vector<std::string> fields) : fields_(std::move(fields)) {}

void DataPacket::addRow(std::vector<std::string> values) {
    if (values.size() != fields_.size()) {
        throw std::logic_error("data packet row does not match its fields");
    }
    rows_.push_back(std::move(values));
}

std::string DataPacket::escape(std::string_view value) {
    std::string out;
    out.reserve(value.size() + 8);
    for (char c : value) {
        switch (c) {
            case '&':
                out += "&amp;";
                break;
            case '<':
                out += "&lt;";
                break;
            case '>':
                out += "&gt;";
                break;
            case '"':
                out += "&quot;";
                break;
            case '\'':
                out += "&apos;";
                break;
            case '\t':
                out += "&#9;";
                break;
            case '\n':
                out += "&#10;";
                break;
            case '\r':
                out += "&#13;";
                break;
            default:
                if (static_cast<unsigned char>(c) >= 0x20) out += c;
        }
    }
    return out;
}

std::string DataPacket::xml() const {
    std::string out = "<DATAPACKET Version=\"2.0\"><METADATA><FIELDS>";
    for (size_t f = 0; f < fields_.size(); ++f) {
        size_t width = 1;
        for (const auto& row : rows_) width = std::max(width, row[f].size());
        out += "<FIELD attrname=\"" + escape(fields_[f]) + "\" fieldtype=\"string\" WIDTH=\"" +
               std::to_string(width) + "\"/>";
    }
    out += "</FIELDS><PARAMS/></METADATA><ROWDATA>";
    for (const auto& row : rows_) {
        out += "<ROW";
        for (size_t f = 0; f < fields_.size(); ++f) {
            out += ' ';
            out += fields_[f];
            out += "=\"";
            out += escape(row[f]);
            out += '"';
        }
        out += "/>";
    }
    out += "</ROWDATA></DATAPACKET>";
    return out;
}

std::string DataPacket::base64() const {
    return base64::encode(xml());
}

}  // namespace server
