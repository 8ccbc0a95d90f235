#include "module_profiles.h"

#include "command_sequence.h"
#include "core/services.h"
#include "core/texts.h"
#include "form/status_panels.h"
#include "port_dialog/port_dialog.h"

#include <QTimer>
#include <fstream>

namespace {

using std::chrono::milliseconds;

// As long as the command line waits for an answer by default.
constexpr milliseconds kAnswerWait(1000);
constexpr const char* kFilter = "Profiles (*.ini)";

} // namespace

ModuleProfiles::ModuleProfiles(core::Session& g, const ProfileServices& services,
                               CommandSequence& sequence, StatusPanels& status,
                               serial::Exchanger& port, TfrmPortSet& portDialog)
    : m_g(g), m_services(services), m_sequence(sequence), m_status(status), m_port(port),
      m_portDialog(portDialog) {
    m_sequence.RefuseWhile([this] { return Holding(); });
}

ModuleProfiles::~ModuleProfiles() {
    m_sequence.RefuseWhile({});
}

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

bool ModuleProfiles::Holding() {
    // Their requests would go out between the entry's, or at the line it has left.
    if (!m_running)
        return false;
    m_services.dialogs.Warning(Message(core::TextId::kProfileBusy));
    return true;
}

void ModuleProfiles::Begin() {
    m_running = true;
}

void ModuleProfiles::End(std::function<void()> then) {
    QTimer::singleShot(0, &m_turns, [this, then = std::move(then)] {
        m_running = false;
        m_status.HideProgress();
        then();
    });
}

template <class T> bool ModuleProfiles::Ended(serial::Outcome<T>& outcome) {
    const auto* error = std::get_if<serial::ExchangeError>(&outcome);
    if (error)
        End([this, reason = error->message] { Fail(reason); });
    return error != nullptr;
}

serial::StepProgress ModuleProfiles::Progress(core::TextId text) {
    return [this, text](int step, int steps, const std::string& asks) {
        m_status.ShowProgress(
            QString::fromUtf8(Message(text)).arg(step).arg(steps).arg(QString::fromStdString(asks)),
            step - 1, steps);
    };
}

void ModuleProfiles::Save() {
    if (!m_sequence.StartOperation())
        return;
    const std::string path =
        m_services.files.Choose(Message(core::TextId::kSaveProfileTitle), "module.ini", kFilter);
    if (path.empty())
        return;
    Begin();
    serial::IdentifyModule(
        m_port, kAnswerWait, Progress(core::TextId::kProfileReading),
        [this, path](serial::Outcome<serial::Module> module) {
            if (Ended(module))
                return;
            serial::ReadProfile(
                m_port, std::get<serial::Module>(module), kAnswerWait,
                Progress(core::TextId::kProfileReading),
                [this, path](serial::Outcome<config::ModuleProfile> profile) {
                    if (Ended(profile))
                        return;
                    End([this, path,
                         text = config::ModuleProfileText(
                             std::get<config::ModuleProfile>(profile))] { Store(path, text); });
                });
        });
}

void ModuleProfiles::Store(const std::string& path, const std::string& text) {
    std::ofstream file(path, std::ios::binary | std::ios::trunc);
    file << text;
    if (!file.flush())
        return Fail(path + ": cannot be written");
    Report(Message(core::TextId::kProfileSaved) + path);
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
    Begin();
    serial::IdentifyModule(
        m_port, kAnswerWait, Progress(core::TextId::kProfileReading),
        [this, path, wanted = std::get<config::ModuleProfile>(std::move(loaded))](
            serial::Outcome<serial::Module> identified) {
            if (Ended(identified))
                return;
            const serial::Module& module = std::get<serial::Module>(identified);
            if (std::string refusal = serial::ProfileRefusal(m_port, wanted, module, path);
                !refusal.empty())
                return End([this, refusal] { Fail(refusal); });
            serial::ReadProfile(
                m_port, module, kAnswerWait, Progress(core::TextId::kProfileReading),
                [this, wanted, module](serial::Outcome<config::ModuleProfile> read) {
                    if (Ended(read))
                        return;
                    Confirm(wanted, module, std::get<config::ModuleProfile>(read).settings);
                });
        });
}

void ModuleProfiles::Confirm(const config::ModuleProfile& wanted, const serial::Module& module,
                             const core::SettingValues& current) {
    const core::SettingDifferences before = core::CompareSettings(wanted.settings, current);
    if (before.count == 0)
        return End([this] { Report(Message(core::TextId::kProfileSame)); });
    std::string question = Message(core::TextId::kProfileApplyQuestion);
    for (const std::string& line : before.lines)
        question += line + "\n";
    if (!m_services.dialogs.Question(question))
        return End([] {});
    serial::WriteSettings(m_port, wanted.settings, current, kAnswerWait, serial::kSettleTime,
                          Progress(core::TextId::kProfileWriting),
                          [this, wanted, module](serial::Outcome<std::string> written) {
                              if (Ended(written))
                                  return;
                              // The window follows the module to the serial settings it holds now,
                              // written or not.
                              serial::ReadProfile(
                                  m_port, module, kAnswerWait,
                                  Progress(core::TextId::kProfileReading),
                                  [this, wanted, refused = std::get<std::string>(written)](
                                      serial::Outcome<config::ModuleProfile> back) {
                                      if (Ended(back))
                                          return;
                                      End([this, wanted, refused,
                                           held = std::get<config::ModuleProfile>(back).settings] {
                                          Applied(wanted, refused, held);
                                      });
                                  });
                          });
}

void ModuleProfiles::Applied(const config::ModuleProfile& wanted, const std::string& refused,
                             const core::SettingValues& held) {
    m_portDialog.ReopenPort(held.at(core::Setting::kSerialRate), held.at(core::Setting::kParity));
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
}
