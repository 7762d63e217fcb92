#pragma once
// A tabular answer of the service: the rows of a decoded data packet, read row by row
// with fields by name as text, and a cursor.
//
// The packet is XML (UTF-8):
//   <DATAPACKET Version="2.0"><METADATA><FIELDS><FIELD attrname="FileId" .../>...</FIELDS>
//   <PARAMS/></METADATA><ROWDATA><ROW FileId="..." .../>...</ROWDATA></DATAPACKET>
// Fields are those declared in METADATA; a row without a field's attribute holds an
// empty text there, and row attributes that name no declared field are ignored.
//
// Ownership: a plain value; the caller owns it. Thread: use from one thread at a time.
#include <QByteArray>
#include <QHash>
#include <QString>
#include <QStringList>
#include <stdexcept>
#include <vector>

namespace ucm {

// Raised for a packet that cannot be read ("Cannot read the data packet: ...") and for a
// field the packet does not have ("Field 'name' not found").
class RowSetError : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

class RowSet {
public:
    // Limits that keep a hostile packet from exhausting memory.
    static constexpr qsizetype kMaxPacketBytes = 128 * 1024 * 1024;
    static constexpr int kMaxFields = 1024;
    static constexpr qsizetype kMaxRows = 1024 * 1024;
    // Rows times fields: even empty values take room, so a packet of many short rows
    // over many fields must not be able to ask for more than this.
    static constexpr qsizetype kMaxCells = 4 * 1024 * 1024;

    // Reads a packet; the cursor stands on the first row. Throws RowSetError.
    static RowSet load(const QByteArray& packet);

    RowSet() = default;

    // Puts the cursor back on the first row.
    void first() { cursor_ = 0; }
    // True when the cursor is past the last row (at once for an empty set).
    bool atEnd() const { return cursor_ >= rowCount(); }
    // Moves the cursor one row on (no further than just past the last row).
    void next() {
        if (!atEnd()) ++cursor_;
    }
    // The current row's value of the named field (letter case does not matter).
    // Throws RowSetError("Field 'name' not found") for a field the packet lacks; at the
    // end of the set every known field reads as an empty text.
    QString value(const QString& field) const;
    bool hasField(const QString& field) const;
    qsizetype rowCount() const { return static_cast<qsizetype>(rows_.size()); }
    // Field names in packet order, as the packet spells them.
    const QStringList& fieldNames() const { return names_; }

private:
    QStringList names_;
    QHash<QString, int> index_;  // case-folded name -> column
    std::vector<QStringList> rows_;
    qsizetype cursor_ = 0;

    friend class RowSetReader;
};

}  // namespace ucm
