// The catalogue at scale: a 100 000-entry answer decoded, loaded into entries, built into
// the tree and expanded, as one load after a login does it. Target: under one second.
#include <benchmark/benchmark.h>

#include <QApplication>
#include <QTreeWidget>

#include "library/CatalogueLoader.h"
#include "library/TreeBuilder.h"
#include "service/Base64.h"

namespace {

// Folders of 20 drawings under 100 top folders, a few levels deep, as a busy office has.
QString makeAnswer(int entries) {
    QString xml = QStringLiteral(
        "<DATAPACKET Version=\"2.0\"><METADATA><FIELDS>"
        "<FIELD attrname=\"FileId\" fieldtype=\"string\" WIDTH=\"38\"/>"
        "<FIELD attrname=\"Pid\" fieldtype=\"string\" WIDTH=\"38\"/>"
        "<FIELD attrname=\"FileNewName\" fieldtype=\"string\" WIDTH=\"255\"/>"
        "<FIELD attrname=\"ItemType\" fieldtype=\"string\" WIDTH=\"1\"/>"
        "<FIELD attrname=\"FilePath\" fieldtype=\"string\" WIDTH=\"255\"/>"
        "<FIELD attrname=\"Flag\" fieldtype=\"string\" WIDTH=\"1\"/>"
        "<FIELD attrname=\"UserName\" fieldtype=\"string\" WIDTH=\"64\"/>"
        "</FIELDS><PARAMS/></METADATA><ROWDATA>");
    int lastFolder = -1;
    for (int i = 0; i < entries; ++i) {
        const bool folder = i % 21 == 0;
        QString pid;
        if (folder) {
            pid = i < 2100 ? QString() : QStringLiteral("{F%1}").arg((i / 21) % 100 * 21);
            lastFolder = i;
        } else {
            pid = QStringLiteral("{F%1}").arg(lastFolder);
        }
        const int flag = i % 10 == 9 ? 1 : 0;
        xml +=
            QStringLiteral(
                "<ROW FileId=\"{F%1}\" Pid=\"%2\" FileNewName=\"图纸%1.dwg\" ItemType=\"%3\" "
                "FilePath=\"http://127.0.0.1:8600/File\\%1.dwg\" Flag=\"%4\" UserName=\"用户%5\"/>")
                .arg(i)
                .arg(pid)
                .arg(folder ? 0 : 1)
                .arg(flag)
                .arg(i % 50);
    }
    xml += QStringLiteral("</ROWDATA></DATAPACKET>");
    return ucm::Base64Encode(xml.toUtf8());
}

void BM_LoadAndBuildCatalogue(benchmark::State& state) {
    const int entries = static_cast<int>(state.range(0));
    const QString answer = makeAnswer(entries);
    for (auto _ : state) {
        library::CatalogueLoad load = library::CatalogueLoader::decode(answer, QString());
        if (!load.ok) state.SkipWithError(load.error.toUtf8().constData());
        QTreeWidget tree;
        tree.setUpdatesEnabled(false);
        tree.addTopLevelItems(library::TreeBuilder::BuildTree(load.entries, 0));
        tree.expandAll();
        tree.setUpdatesEnabled(true);
        benchmark::DoNotOptimize(tree.topLevelItemCount());
        tree.clear();
    }
    state.SetItemsProcessed(state.iterations() * entries);
}
BENCHMARK(BM_LoadAndBuildCatalogue)->Arg(1000)->Arg(100000)->Unit(benchmark::kMillisecond);

void BM_BuildTreeOnly(benchmark::State& state) {
    const int entries = static_cast<int>(state.range(0));
    library::CatalogueLoad load = library::CatalogueLoader::decode(makeAnswer(entries), QString());
    for (auto _ : state) {
        QList<QTreeWidgetItem*> items = library::TreeBuilder::BuildTree(load.entries, 0);
        benchmark::DoNotOptimize(items.size());
        qDeleteAll(items);
    }
    state.SetItemsProcessed(state.iterations() * entries);
}
BENCHMARK(BM_BuildTreeOnly)->Arg(100000)->Unit(benchmark::kMillisecond);

void BM_DecodeOnly(benchmark::State& state) {
    const QString answer = makeAnswer(static_cast<int>(state.range(0)));
    for (auto _ : state) {
        library::CatalogueLoad load = library::CatalogueLoader::decode(answer, QString());
        benchmark::DoNotOptimize(load.entries.size());
    }
}
BENCHMARK(BM_DecodeOnly)->Arg(100000)->Unit(benchmark::kMillisecond);

void BM_InsertAndExpand(benchmark::State& state) {
    const int entries = static_cast<int>(state.range(0));
    library::CatalogueLoad load = library::CatalogueLoader::decode(makeAnswer(entries), QString());
    for (auto _ : state) {
        QTreeWidget tree;
        tree.setUpdatesEnabled(false);
        tree.addTopLevelItems(library::TreeBuilder::BuildTree(load.entries, 0));
        tree.expandAll();
        tree.setUpdatesEnabled(true);
        benchmark::DoNotOptimize(tree.topLevelItemCount());
    }
}
BENCHMARK(BM_InsertAndExpand)->Arg(100000)->Unit(benchmark::kMillisecond);

void BM_SharedViewBuild(benchmark::State& state) {
    const int entries = static_cast<int>(state.range(0));
    library::CatalogueLoad load = library::CatalogueLoader::decode(makeAnswer(entries), QString());
    for (auto _ : state) {
        QList<QTreeWidgetItem*> items = library::TreeBuilder::BuildTree(load.entries, 1);
        benchmark::DoNotOptimize(items.size());
        qDeleteAll(items);
    }
}
BENCHMARK(BM_SharedViewBuild)->Arg(100000)->Unit(benchmark::kMillisecond);

}  // namespace

int main(int argc, char** argv) {
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
