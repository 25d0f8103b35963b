// Panel load on the bundled PPD: loading the interface file and building the
// tables (myLoad), restoring from a ticket, and the summary, as the print
// dialog does each time it opens.
#include <Bundle.h>
#include <PDEPlugIn.h>
#include <PDEPlugInInterface.h>

#include <QApplication>
#include <QTemporaryDir>

#include <benchmark/benchmark.h>

namespace {

class BenchDialog : public PrintHost::PDEPlugInCallbackProtocol {
public:
    BenchDialog() : ppd_(ppdOpenFile(ZRK_BENCH_PPD)) {
        if (ppd_)
            ppdMarkDefaults(ppd_);
        session_.setCurrentPrinter(
            std::make_shared<PrintHost::PMPrinter>("ZR-K5100", std::nullopt));
    }
    ~BenchDialog() override {
        if (ppd_)
            ppdClose(ppd_);
    }
    PrintHost::PMPrintSettings* printSettings() override { return &settings_; }
    PrintHost::PMPrintSession* printSession() override { return &session_; }
    ppd_file_t* ppdFile() override { return ppd_; }

private:
    ppd_file_t* ppd_;
    PrintHost::PMPrintSettings settings_;
    PrintHost::PMPrintSession session_;
};

PDE::PDEPlugIn gPrincipal;

std::unique_ptr<PrintHost::PDEPanel> newPanel(BenchDialog& dialog) {
    auto panels =
        gPrincipal.PDEPanelsForType(QLatin1String(PrintHost::kPrintDialogTypeID), &dialog);
    return std::move(panels->front());
}

void BM_PanelLoadRestoreSummary(benchmark::State& state) {
    BenchDialog dialog;
    // A ticket that already holds every value, as on a second opening.
    {
        auto panel = newPanel(dialog);
        panel->restoreValuesAndReturnError(nullptr);
        panel->saveValuesAndReturnError(nullptr);
    }
    for (auto _ : state) {
        auto panel = newPanel(dialog);
        panel->restoreValuesAndReturnError(nullptr); // loads first
        QVariantMap summary = panel->summaryInfo();
        benchmark::DoNotOptimize(summary);
    }
}
BENCHMARK(BM_PanelLoadRestoreSummary)->Unit(benchmark::kMillisecond);

void BM_SummaryOnly(benchmark::State& state) {
    BenchDialog dialog;
    auto panel = newPanel(dialog);
    panel->restoreValuesAndReturnError(nullptr);
    for (auto _ : state) {
        QVariantMap summary = panel->summaryInfo();
        benchmark::DoNotOptimize(summary);
    }
}
BENCHMARK(BM_SummaryOnly)->Unit(benchmark::kMicrosecond);

} // namespace

int main(int argc, char** argv) {
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QTemporaryDir root;
    qputenv("ZRK5100_ROOT", root.path().toUtf8());
    QApplication app(argc, argv);
    QString error;
    std::unique_ptr<PrintHost::Bundle> bundle =
        PrintHost::Bundle::open(QStringLiteral(ZRK_BENCH_BUNDLE_DIR), &error);
    if (!bundle)
        return 1;
    gPrincipal.initWithBundle(bundle.get());
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
