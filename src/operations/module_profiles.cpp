#include "module_profiles.h"

#include "command_sequence.h"
#include "config/module_profile.h"
#include "core/services.h"
#include "core/texts.h"
#include "form/status_panels.h"
#include "port_dialog/port_dialog.h"
#include "serial/module_profile_io.h"

#include <fstream>

namespace {

using std::chrono::milliseconds;

// As long as the command line waits for an answer by default.
constexpr milliseconds kAnswerWait(1000);
constexpr const char* kFilter = "Profiles (*.ini)";

} // namespace

ModuleProfiles::ModuleProfiles(core::Session& g, const ProfileServices& services,
                               CommandSequence& sequence, StatusPanels& status, TCommFun& commFun,
                               serial::Link& link, serial::RecordSink& records,
                               TfrmPortSet& portDialog)
    : m_g(g), m_services(services), m_sequence(sequence), m_status(status), m_commFun(commFun),
      m_link(link), m_records(records), m_portDialog(portDialog) {}

const char* ModuleProfiles::Message(core::TextId id) const {
    return m_g.Texts().Message(id);
}

void ModuleProfiles::Report(const std::string& text) {
    m_status.Set(2, QString::fromStdString(text));
    m_services.dialogs.Information(text);
}

void ModuleProfiles::Fail(const std::string& reason) {
    const std::string text = Message(core::TextId::kProfileFailed) + reason;
    m_status.Set(2, QString::fromStdString(text));
    m_services.dialogs.Error(text);
}

template <class Operation> void ModuleProfiles::Run(Operation operation) {
    // The poll would take the blocking exchange's answers for its own.
    const bool suspended = m_g.PollSuspended;
    m_g.PollSuspended = true;
    try {
        serial::ModulePort port("COM" + std::to_string(m_g.Line.CurrentPort), m_commFun, m_link,
                                m_g.Line, m_g.VariantType, {}, &m_records);
        operation(port);
    } catch (const serial::ExchangeError& error) {
        Fail(error.message);
    }
    m_g.PollSuspended = suspended;
}

void ModuleProfiles::Save() {
    if (!m_sequence.StartOperation())
        return;
    const std::string path =
        m_services.files.Choose(Message(core::TextId::kSaveProfileTitle), "module.ini", kFilter);
    if (path.empty())
        return;
    Run([&](serial::ModulePort& port) {
        const serial::Module module = serial::IdentifyModule(port, kAnswerWait);
        const std::string text =
            config::ModuleProfileText(serial::ReadProfile(port, module, kAnswerWait));
        std::ofstream file(path, std::ios::binary | std::ios::trunc);
        file << text;
        if (!file.flush())
            return Fail(path + ": cannot be written");
        Report(Message(core::TextId::kProfileSaved) + path);
    });
}

void ModuleProfiles::Apply() {
    if (!m_sequence.StartOperation())
        return;
    const std::string path =
        m_services.openFiles.ChooseOpen(Message(core::TextId::kApplyProfileTitle), kFilter);
    if (path.empty())
        return;
    auto loaded = config::LoadModuleProfile(path);
    if (const auto* error = std::get_if<std::string>(&loaded))
        return Fail(*error);
    const config::ModuleProfile wanted = std::get<config::ModuleProfile>(std::move(loaded));
    Run([&](serial::ModulePort& port) {
        const serial::Module module = serial::IdentifyModule(port, kAnswerWait);
        if (const std::string refusal = serial::ProfileRefusal(port, wanted, module, path);
            !refusal.empty())
            return Fail(refusal);
        const core::SettingValues current = serial::ReadProfile(port, module, kAnswerWait).settings;
        const core::SettingDifferences before = core::CompareSettings(wanted.settings, current);
        if (before.count == 0)
            return Report(Message(core::TextId::kProfileSame));
        std::string question = Message(core::TextId::kProfileApplyQuestion);
        for (const std::string& line : before.lines)
            question += line + "\n";
        if (!m_services.dialogs.Question(question))
            return;
        const std::string refused =
            serial::WriteSettings(port, wanted.settings, current, kAnswerWait);
        // The window follows the module to the serial settings it holds now, written or not.
        const core::SettingValues held = serial::ReadProfile(port, module, kAnswerWait).settings;
        m_portDialog.ReopenPort(held.at(core::Setting::kSerialRate),
                                held.at(core::Setting::kParity));
        if (!refused.empty())
            return Fail(refused);
        const core::SettingDifferences after = core::CompareSettings(wanted.settings, held);
        if (after.count != 0) {
            std::string lines = Message(core::TextId::kProfileReadBackDiffers);
            for (const std::string& line : after.lines)
                lines += "\n" + line;
            return Fail(lines);
        }
        Report(Message(core::TextId::kProfileApplied));
    });
}
