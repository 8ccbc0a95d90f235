#include "gui_harness.h"

#include "config/config_file.h"
#include "serial/port_devices.h"

#include <QAbstractButton>
#include <QLabel>
#include <QProgressBar>
#include <QTest>
#include <fstream>
#include <gtest/gtest.h>
#include <sstream>
#include <unistd.h>

GuiHarness::GuiHarness(const std::string& configIni, const std::string& com1Device)
    : m_previousDir(std::filesystem::current_path()) {
    std::string pattern = (std::filesystem::temp_directory_path() / "qxgui-XXXXXX").string();
    if (mkdtemp(pattern.data()) == nullptr)
        throw std::runtime_error("cannot make a start directory");
    m_dir = pattern;
    if (!configIni.empty() || !com1Device.empty()) {
        std::ofstream out(ConfigFile(), std::ios::binary);
        out << configIni;
        if (!com1Device.empty())
            out << "\n[Ports]\nCOM1=" << com1Device << "\n";
    }
    // The tool takes its start directory from the current directory, as it does at start.
    std::filesystem::current_path(m_dir);
    const auto file = ConfigFile();
    m_sio = std::make_unique<serial::DeviceSio>([this, file](int port) {
        if (m_systemPorts)
            return DeviceOfPort(file, port);
        const auto configured = config::LoadPortMap(file);
        const auto device = configured.find(port);
        return device == configured.end() ? std::string() : device->second;
    });
    m_services = std::make_unique<Services>(
        Services{dialogs, later, shell, *m_sio, portWatch, files, openFiles, m_dir.string()});
}

GuiHarness::~GuiHarness() {
    m_window.reset();
    std::filesystem::current_path(m_previousDir);
    std::error_code ignored;
    std::filesystem::remove_all(m_dir, ignored);
}

TForm1& GuiHarness::Start() {
    m_window = std::make_unique<TForm1>(*m_services);
    m_window->show();
    m_window->activateWindow();
    EXPECT_TRUE(QTest::qWaitForWindowExposed(m_window.get()));
    return *m_window;
}

QString GuiHarness::Progress() {
    auto* text = Find<QLabel>("StatusProgressText");
    auto* bar = Find<QProgressBar>("StatusProgressBar");
    if (text == nullptr || bar == nullptr || text->isHidden())
        return {};
    return QString("%1 [%2/%3]").arg(text->text()).arg(bar->value()).arg(bar->maximum());
}

std::string GuiHarness::ReadConfigFile() const {
    std::ifstream in(ConfigFile(), std::ios::binary);
    std::ostringstream text;
    text << in.rdbuf();
    return text.str();
}

void GuiHarness::Click(const char* buttonName) {
    if (auto* button = Find<QAbstractButton>(buttonName))
        QTest::mouseClick(button, Qt::LeftButton);
}

QString GuiHarness::Status(int panel) const {
    auto* label = m_window->findChild<QLabel*>(QString("StatusPanel%1").arg(panel));
    return label != nullptr ? label->text() : QString();
}

bool GuiHarness::WaitStatus(int panel, const QString& text, int timeoutMs) {
    return QTest::qWaitFor([&] { return Status(panel) == text; }, timeoutMs);
}

bool GuiHarness::WaitProgressGone(int timeoutMs) {
    return QTest::qWaitFor([&] { return Progress().isEmpty(); }, timeoutMs);
}

void GuiHarness::AddFailure(const char* name) {
    ADD_FAILURE() << "no control named " << name;
}
