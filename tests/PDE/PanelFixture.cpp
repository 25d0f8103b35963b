#include "PanelFixture.h"

#include <Bundle.h>
#include <PDEPlugIn.h>
#include <StorePaths.h>

#include <QCheckBox>
#include <QComboBox>
#include <QDir>
#include <QProcess>
#include <QWidget>

namespace zrktest {

namespace {
std::unique_ptr<PrintHost::Bundle> gBundle;
PDE::PDEPlugIn gPrincipal;

std::string stringValue(plist_t node) {
    if (!node || plist_get_node_type(node) != PLIST_STRING)
        return std::string();
    char* text = nullptr;
    plist_get_string_val(node, &text);
    std::string value = text ? text : "";
    std::free(text);
    return value;
}
} // namespace

std::string sourcePath(const std::string& relative) {
    return std::string(ZRK_TEST_SOURCE_DIR) + "/" + relative;
}

std::string profileFilePath() {
    const QString dir = qEnvironmentVariable("ZRK5100_ROOT") +
                        "/Library/Printers/Ostra/Preferences/com.ostra.printers.ZR-K5100";
    QDir().mkpath(dir);
    return (dir + "/" + QString::fromStdString(zrk::realUserLoginName()) + "-zrk5100-profile.plist")
        .toStdString();
}

void writeProfileFile(const char* json) {
    QProcess tool;
    tool.start(QStringLiteral(ZRK_TEST_STAGE_BIN "/profile-tool"),
               {QStringLiteral("write"), QString::fromStdString(profileFilePath())});
    ASSERT_TRUE(tool.waitForStarted());
    tool.write(json);
    tool.closeWriteChannel();
    ASSERT_TRUE(tool.waitForFinished());
    ASSERT_EQ(tool.exitCode(), 0) << tool.readAllStandardError().toStdString();
}

void removeProfileFile() {
    QFile::remove(QString::fromStdString(profileFilePath()));
}

std::string bundledPPD() {
    return sourcePath("PDE/Resources/ZR-K5100.ppd");
}

void openSharedBundle() {
    if (gBundle)
        return;
    QString error;
    gBundle = PrintHost::Bundle::open(QStringLiteral(ZRK_TEST_BUNDLE_DIR), &error);
    if (!gBundle) {
        std::fprintf(stderr, "cannot open the plug-in bundle: %s\n", qPrintable(error));
        std::abort();
    }
    gPrincipal.initWithBundle(gBundle.get());
}

PrintHost::Bundle* sharedBundle() {
    return gBundle.get();
}

PPDPtr openPPD(const std::string& path) {
    PPDPtr ppd(ppdOpenFile(path.c_str()));
    if (ppd)
        ppdMarkDefaults(ppd.get());
    return ppd;
}

Dialog::Dialog(const std::string& ppdPath, const std::string& printerId,
               std::optional<std::string> deviceURI)
    : ppd_(openPPD(ppdPath)), settings_(std::make_unique<PrintHost::PMPrintSettings>()),
      printerId_(printerId) {
    session_.setCurrentPrinter(std::make_shared<PrintHost::PMPrinter>(printerId, deviceURI));
    reopenPanel();
}

Dialog::~Dialog() = default;

void Dialog::reopenPanel() {
    panelOwner_.reset();
    auto panels = gPrincipal.PDEPanelsForType(QLatin1String(PrintHost::kPrintDialogTypeID), this);
    panelOwner_ = std::move(panels->front());
    panel_ = static_cast<PDE::PDEPlugInInterface*>(panelOwner_.get());
}

void Dialog::setPrinter(const std::string& printerId) {
    printerId_ = printerId;
    session_.setCurrentPrinter(std::make_shared<PrintHost::PMPrinter>(printerId, std::nullopt));
}

QWidget* Dialog::control(const char* outlet) {
    QWidget* view = panel_->panelView();
    return view ? view->findChild<QWidget*>(QLatin1String(outlet)) : nullptr;
}

QComboBox* Dialog::popUp(const char* outlet) {
    return qobject_cast<QComboBox*>(control(outlet));
}

QCheckBox* Dialog::checkBox(const char* outlet) {
    return qobject_cast<QCheckBox*>(control(outlet));
}

void Dialog::choose(const char* outlet, int index) {
    QComboBox* menu = popUp(outlet);
    ASSERT_NE(menu, nullptr) << outlet;
    menu->setCurrentIndex(index);
    emit menu->activated(index);
}

void Dialog::tick(const char* outlet, bool checked) {
    QCheckBox* box = checkBox(outlet);
    ASSERT_NE(box, nullptr) << outlet;
    box->setChecked(checked);
    emit box->clicked(checked);
}

std::string Dialog::topLevelString(const char* key) {
    plist_t value = nullptr;
    PrintHost::PMPrintSettingsGetValue(settings_.get(), key, &value);
    return stringValue(value);
}

std::string Dialog::modelString(const char* key, const char* queue) {
    plist_t product = nullptr;
    PrintHost::PMPrintSettingsGetValue(settings_.get(), PDE::kProductKey, &product);
    if (!product || plist_get_node_type(product) != PLIST_DICT)
        return std::string();
    plist_t model = plist_dict_get_item(product, queue ? queue : printerId_.c_str());
    if (!model || plist_get_node_type(model) != PLIST_DICT)
        return std::string();
    return stringValue(plist_dict_get_item(model, key));
}

} // namespace zrktest
