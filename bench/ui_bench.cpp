// The windows' share of the work, on Qt's offscreen platform: the viewer's
// last range of a 20,050-line file with its hits coloured, and a listing of
// 100,000 hit lines appearing in the result window.
#include "core/search/global_search.h"
#include "platform/code_page.h"
#include "ui/RESULT.h"
#include "ui/TEXTVIEW.h"
#include "ui/WHAT.h"
#include "ui/app/application.h"
#include "ui/dialogs/message_boxes.h"
#include "ui/listing_box/listing_view.h"
#include "ui/startup.h"

#include <QApplication>
#include <QTextEdit>

#include <benchmark/benchmark.h>

#include <cstdio>
#include <fstream>
#include <memory>
#include <string>

namespace {

// Lines of about 40 bytes of Japanese prose; every fifth line from
// hitsFrom on holds the search text.
std::string Prose(int lines, int hitsFrom) {
    const std::string plain = platform::FixedText("吾輩は猫である。名前はまだ無い。どこで生れたか");
    const std::string hit = platform::FixedText("港町の灯が見える。名前はまだ無い。どこで生れ");
    std::string text;
    for (int i = 1; i <= lines; ++i) {
        text += (i >= hitsFrom && i % 5 == 0) ? hit : plain;
        text += "\r\n";
    }
    return text;
}

class BenchFile {
public:
    BenchFile(const char* name, const std::string& bytes) : path_(std::string("/tmp/") + name) {
        std::ofstream(path_, std::ios::binary) << bytes;
    }
    ~BenchFile() { std::remove(path_.c_str()); }
    const std::string& Path() const { return path_; }

private:
    std::string path_;
};

// Runs the global search as showing the result window does, for its hit table.
void Search(const std::string& path) {
    ui::WhatForm->Targets = {};
    ui::WhatForm->Targets[0] = platform::FixedText("港町");
    ui::WhatForm->Targets[1] = path;
    ui::ResultForm->ResultsCurrent = false;
    ui::ResultForm->show();
    ui::ResultForm->CurrentFile = path;
    ui::ResultForm->CurrentIndex = 1;
}

void BM_ViewerLastRangeWithHits(benchmark::State& state) {
    const BenchFile file("norvane_ui_bench_20050.txt", Prose(20050, 19001));
    Search(file.Path());
    ui::TextViewForm->show();
    for (auto _ : state) {
        ui::TextViewForm->TextRangeView(19001, 20050);
        benchmark::DoNotOptimize(ui::TextViewForm->RichEdit1->grab());  // laid out and painted
    }
    ui::TextViewForm->hide();
    ui::ResultForm->hide();
}
BENCHMARK(BM_ViewerLastRangeWithHits)->Unit(benchmark::kMillisecond);

void BM_ListingOf100000HitLinesAppears(benchmark::State& state) {
    const BenchFile file("norvane_ui_bench_100000.txt", Prose(500000, 1));
    core::HitTable hits;
    const std::string targets[] = {file.Path()};
    const std::string listing = core::RunGlobalSearch(platform::FixedText("港町"), targets, hits).text;
    ui::ResultForm->show();
    for (auto _ : state) {
        ui::ResultForm->SetListing(listing);
        benchmark::DoNotOptimize(ui::ResultForm->Memo1->grab());
    }
    state.counters["lines"] = static_cast<double>(ui::ResultForm->Memo1->Listing().Count());
    ui::ResultForm->hide();
}
BENCHMARK(BM_ListingOf100000HitLinesAppears)->Unit(benchmark::kMillisecond);

void BM_SearchAndListing100000HitLines(benchmark::State& state) {
    const BenchFile file("norvane_ui_bench_100000s.txt", Prose(500000, 1));
    for (auto _ : state) {
        Search(file.Path());  // the show handler runs the search and fills the box
        benchmark::DoNotOptimize(ui::ResultForm->Memo1->grab());
        ui::ResultForm->hide();
    }
}
BENCHMARK(BM_SearchAndListing100000HitLines)->Unit(benchmark::kMillisecond);

}  // namespace

int main(int argc, char** argv) {
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    ui::Application::Init(QApplication::applicationFilePath());
    ui::MessageBoxes::SetAnswerer([](const ui::MessageBoxRequest& box) {
        std::fprintf(stderr, "message box: %s\n", box.text.toUtf8().constData());
    });
    const auto windows = std::make_unique<ui::WindowSet>();
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
