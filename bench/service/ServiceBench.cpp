// The readers every tabular answer passes through, at the sizes a large catalogue gives.
#include <benchmark/benchmark.h>

#include <QTemporaryDir>

#include "platform/IniFile.h"
#include "service/Base64.h"
#include "service/RowSet.h"
#include "service/ucm.h"

namespace {

QByteArray packetOf(int rows) {
    QByteArray xml =
        "<DATAPACKET Version=\"2.0\"><METADATA><FIELDS>"
        "<FIELD attrname=\"FileId\"/><FIELD attrname=\"Pid\"/><FIELD attrname=\"FileNewName\"/>"
        "<FIELD attrname=\"ItemType\"/><FIELD attrname=\"FilePath\"/><FIELD attrname=\"Flag\"/>"
        "<FIELD attrname=\"UserName\"/></FIELDS><PARAMS/></METADATA><ROWDATA>";
    for (int i = 0; i < rows; ++i) {
        const QByteArray id = QByteArray::number(i);
        xml += "<ROW FileId=\"{" + id + "}\" Pid=\"{" + QByteArray::number(i / 20) +
               "}\" FileNewName=\"\xE5\x9B\xBE\xE7\xBA\xB8" + id +
               ".dwg\" ItemType=\"1\" FilePath=\"http://127.0.0.1:8600/File\\" + id +
               ".dwg\" Flag=\"0\" UserName=\"\xE5\xBC\xA0\xE4\xB8\x89\"/>";
    }
    return xml + "</ROWDATA></DATAPACKET>";
}

void Base64DecodeOfACatalogue(benchmark::State& state) {
    const QString text = ucm::Base64Encode(packetOf(static_cast<int>(state.range(0))));
    for (auto _ : state) benchmark::DoNotOptimize(ucm::Base64Decode(text));
    state.SetBytesProcessed(state.iterations() * text.size());
}
BENCHMARK(Base64DecodeOfACatalogue)->Arg(1000)->Arg(100000)->Unit(benchmark::kMillisecond);

void RowSetLoadAndReadEveryField(benchmark::State& state) {
    const QByteArray packet = packetOf(static_cast<int>(state.range(0)));
    for (auto _ : state) {
        ucm::RowSet set = ucm::RowSet::load(packet);
        for (; !set.atEnd(); set.next()) {
            for (const char* field :
                 {"FileId", "Pid", "FileNewName", "ItemType", "FilePath", "Flag", "UserName"}) {
                benchmark::DoNotOptimize(set.value(QString::fromLatin1(field)));
            }
        }
    }
    state.SetItemsProcessed(state.iterations() * state.range(0));
}
BENCHMARK(RowSetLoadAndReadEveryField)->Arg(1000)->Arg(100000)->Unit(benchmark::kMillisecond);

void SplitDelimitedOfALoginAnswer(benchmark::State& state) {
    const QString answer = QStringLiteral("Y,1234567,0,张三");
    for (auto _ : state) benchmark::DoNotOptimize(ucm::SplitDelimited(answer, QLatin1Char(',')));
}
BENCHMARK(SplitDelimitedOfALoginAnswer);

void IniReadOfASettingsFile(benchmark::State& state) {
    QTemporaryDir dir;
    platform::IniFile ini(dir.filePath("set.ini"));
    for (int i = 1; i <= 10; ++i) {
        ini.writeString("df", QStringLiteral("df%1").arg(i),
                        QStringLiteral("/home/u/图纸%1.dwg").arg(i));
    }
    ini.writeString("user", "msgDate", "2024-01-01 10:00:00");
    for (auto _ : state) benchmark::DoNotOptimize(ini.readString("user", "msgDate", ""));
}
BENCHMARK(IniReadOfASettingsFile);

}  // namespace

BENCHMARK_MAIN();
