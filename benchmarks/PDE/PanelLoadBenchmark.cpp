// Panel load on the bundled PPD: loading the interface file and building the
// tables (myLoad), restoring from a ticket, and the summary, as the print
// dialog does each time it opens; without a profile file (argument 0) and
// with a full one (argument 1: 500 shown entries in every group, so the
// seven profile menus get 500 entries each). The goal is a load with the
// full file within 1.2 times the load without one. A third benchmark times
// bringing the menus in step after a refresh has rewritten the full file.
#include <AdvancedColorOptions.h>
#include <Bundle.h>
#include <PDEPlugIn.h>
#include <PDEPlugInInterface.h>
#include <StoreInternal.h>
#include <StorePaths.h>

#include <QApplication>
#include <QComboBox>
#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include <benchmark/benchmark.h>

#include <cstdio>

namespace {

// The seven profile menus of the advanced pane.
constexpr const char* kProfileMenus[] = {"menu_iRGBSource",          "menu_tRGBSource",
                                         "menu_gRGBSource",          "menu_iDestinationProfile",
                                         "menu_tDestinationProfile", "menu_gDestinationProfile",
                                         "menu_sSimulationProfile"};

QString profileFilePath() {
    const QString dir = qEnvironmentVariable("ZRK5100_ROOT") +
                        "/Library/Printers/Ostra/Preferences/com.ostra.printers.ZR-K5100";
    QDir().mkpath(dir);
    return dir + "/" + QString::fromStdString(zrk::realUserLoginName()) + "-zrk5100-profile.plist";
}

// A full profile file: 500 shown entries in every group, on disk and card;
// `reversed` lists them in the opposite order, as a refresh may rewrite them.
bool writeFullProfileFile(bool reversed) {
    std::unique_ptr<ProfileList> lists[kProfileGroupCount];
    for (int g = 0; g < kProfileGroupCount; ++g) {
        lists[g] = std::make_unique<ProfileList>();
        for (int i = 0; i < kMaxProfileEntries; ++i) {
            const int n = reversed ? kMaxProfileEntries - 1 - i : i;
            ProfileEntry& e = lists[g]->litem[i];
            e.iIndexOnDevice = n + 1;
            e.iInMenu = n % 2 == 0 ? kInMenuDevicePresentShown : kInMenuUserShown;
            e.iProfileClass = g == 0 ? 1 + (n % 2) : 3;
            e.iLocation = n % 2 == 0 ? kLocationDisk : kLocationCard;
            std::snprintf(e.FileName, sizeof e.FileName, "PROF%04d.ICC", n);
            std::snprintf(e.ProfileName, sizeof e.ProfileName, "Profile %d of group %d", n, g);
        }
        lists[g]->iNum = kMaxProfileEntries;
    }
    std::string xml;
    if (!zrk::store::buildProfileXml(lists[0].get(), lists[1].get(), lists[2].get(), &xml))
        return false;
    QFile file(profileFilePath());
    return file.open(QIODevice::WriteOnly | QIODevice::Truncate) &&
           file.write(xml.data(), qint64(xml.size())) == qint64(xml.size());
}

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
    const bool withProfiles = state.range(0) != 0;
    QFile::remove(profileFilePath());
    if (withProfiles && !writeFullProfileFile(false)) {
        state.SkipWithError("cannot write the profile file");
        return;
    }
    BenchDialog dialog;
    // A ticket that already holds every value, as on a second opening; with
    // profiles, every profile menu shows its last entry.
    {
        auto panel = newPanel(dialog);
        panel->restoreValuesAndReturnError(nullptr);
        if (withProfiles) {
            QWidget* view = panel->panelView();
            for (const char* name : kProfileMenus) {
                auto* menu = view->findChild<QComboBox*>(QLatin1String(name));
                menu->setCurrentIndex(menu->count() - 1);
            }
        }
        panel->saveValuesAndReturnError(nullptr);
    }
    for (auto _ : state) {
        auto panel = newPanel(dialog);
        panel->restoreValuesAndReturnError(nullptr); // loads first
        QVariantMap summary = panel->summaryInfo();
        benchmark::DoNotOptimize(summary);
    }
    QFile::remove(profileFilePath());
}
BENCHMARK(BM_PanelLoadRestoreSummary)->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond);

// A refresh rewrote the full file in the other order: the menus are rebuilt,
// the ticket's selections applied again and the rules run.
void BM_ProfileMenusAfterRefresh(benchmark::State& state) {
    if (!writeFullProfileFile(false)) {
        state.SkipWithError("cannot write the profile file");
        return;
    }
    BenchDialog dialog;
    auto panel = newPanel(dialog);
    panel->restoreValuesAndReturnError(nullptr);
    auto* pane =
        panel->panelView()->findChild<PDE::AdvancedColorOptions*>(QStringLiteral("onAdvancedView"));
    auto* interface = static_cast<PDE::PDEPlugInInterface*>(panel.get());
    bool reversed = false;
    for (auto _ : state) {
        state.PauseTiming();
        reversed = !reversed;
        writeFullProfileFile(reversed);
        state.ResumeTiming();
        pane->reloadProfileMenus(interface->combinedTable());
    }
    QFile::remove(profileFilePath());
}
BENCHMARK(BM_ProfileMenusAfterRefresh)->Unit(benchmark::kMillisecond);

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
