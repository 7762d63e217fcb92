#include "service/RowSet.h"

#include <QXmlStreamReader>

namespace ucm {

namespace {

[[noreturn]] void unreadable(const QString& why) {
    throw RowSetError("Cannot read the data packet: " + why.toStdString());
}

QString folded(const QString& name) {
    return name.toCaseFolded();
}

}  // namespace

// Walks the packet once; the grammar is shallow, so a small state machine suffices.
class RowSetReader {
public:
    explicit RowSetReader(const QByteArray& packet) : xml_(packet) {}

    RowSet read() {
        if (!xml_.readNextStartElement()) fail();
        if (xml_.name().compare(QLatin1String("DATAPACKET"), Qt::CaseInsensitive) != 0) {
            unreadable(QStringLiteral("the root element is not DATAPACKET"));
        }
        bool sawMetadata = false;
        while (xml_.readNextStartElement()) {
            if (isNamed("METADATA")) {
                readMetadata();
                sawMetadata = true;
            } else if (isNamed("ROWDATA")) {
                if (!sawMetadata) unreadable(QStringLiteral("rows before the field list"));
                readRows();
            } else {
                xml_.skipCurrentElement();
            }
        }
        fail();
        if (!sawMetadata) unreadable(QStringLiteral("no field list"));
        return std::move(set_);
    }

private:
    bool isNamed(const char* name) const {
        return xml_.name().compare(QLatin1String(name), Qt::CaseInsensitive) == 0;
    }

    // Turns a reader error into the packet error; does nothing when there is none.
    void fail() {
        if (xml_.hasError()) unreadable(xml_.errorString());
    }

    void readMetadata() {
        while (xml_.readNextStartElement()) {
            if (!isNamed("FIELDS")) {
                xml_.skipCurrentElement();
                continue;
            }
            while (xml_.readNextStartElement()) {
                if (isNamed("FIELD")) addField(xml_.attributes().value(QLatin1String("attrname")));
                xml_.skipCurrentElement();
            }
        }
        fail();
    }

    void addField(QStringView name) {
        if (name.isEmpty()) unreadable(QStringLiteral("a field without a name"));
        if (set_.names_.size() >= RowSet::kMaxFields) unreadable(QStringLiteral("too many fields"));
        const QString key = folded(name.toString());
        if (set_.index_.contains(key)) return;  // the first of two like-named fields wins
        set_.index_.insert(key, static_cast<int>(set_.names_.size()));
        set_.names_.append(name.toString());
    }

    void readRows() {
        const qsizetype columns = set_.names_.size();
        while (xml_.readNextStartElement()) {
            if (!isNamed("ROW")) {
                xml_.skipCurrentElement();
                continue;
            }
            const auto rows = static_cast<qsizetype>(set_.rows_.size());
            if (rows >= RowSet::kMaxRows || (rows + 1) * columns > RowSet::kMaxCells) {
                unreadable(QStringLiteral("too many rows"));
            }
            QStringList row;
            row.resize(columns);
            for (const QXmlStreamAttribute& attribute : xml_.attributes()) {
                const auto it = set_.index_.constFind(folded(attribute.name().toString()));
                if (it != set_.index_.cend()) row[it.value()] = attribute.value().toString();
            }
            set_.rows_.push_back(std::move(row));
            xml_.skipCurrentElement();
        }
        fail();
    }

    QXmlStreamReader xml_;
    RowSet set_;
};

RowSet RowSet::load(const QByteArray& packet) {
    if (packet.size() > kMaxPacketBytes) unreadable(QStringLiteral("the packet is too large"));
    if (packet.trimmed().isEmpty()) unreadable(QStringLiteral("the packet is empty"));
    RowSetReader reader(packet);
    return reader.read();
}

bool RowSet::hasField(const QString& field) const {
    return index_.contains(folded(field));
}

QString RowSet::value(const QString& field) const {
    const auto it = index_.constFind(folded(field));
    if (it == index_.cend()) throw RowSetError("Field '" + field.toStdString() + "' not found");
    if (atEnd()) return QString();
    return rows_[static_cast<size_t>(cursor_)][it.value()];
}

}  // namespace ucm
