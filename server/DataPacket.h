#pragma once
// Builds the tabular answers: an XML data packet
//   <DATAPACKET Version="2.0"><METADATA><FIELDS><FIELD attrname=".." fieldtype="string"
//   WIDTH=".."/>..</FIELDS><PARAMS/></METADATA><ROWDATA><ROW a=".." .../></ROWDATA></DATAPACKET>
// in UTF-8, every value a string attribute, then Base64 of it. Not thread-safe;
// one packet per answer.
#include <string>
#include <string_view>
#include <vector>

namespace server {

class DataPacket {
public:
    // Field names in column order; every row carries every field.
    explicit DataPacket(std::vector<std::string> fields);

    // Appends a row; `values` must have one value (UTF-8) per field.
    void addRow(std::vector<std::string> values);
    size_t rowCount() const { return rows_.size(); }

    std::string xml() const;
    // Base64 of xml(): what a tabular answer carries inside its quotes.
    std::string base64() const;

    // Escapes a value for a double-quoted XML attribute. Line breaks and tabs become
    // character references so that they survive attribute normalisation; other
    // control characters, which XML 1.0 cannot carry, are dropped.
    static std::string escape(std::string_view value);

private:
    std::vector<std::string> fields_;
    std::vector<std::vector<std::string>> rows_;
};

}  // namespace server
