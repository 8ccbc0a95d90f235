#include "module_profile_io.h"

#include "core/frequencies.h"
#include "core/models.h"

#include <map>
#include <memory>
#include <optional>
#include <set>

namespace serial {

namespace {

using namespace core;
using std::chrono::milliseconds;

std::string SerialNumberText(const answer::SerialNumber& sn, int position) {
    const std::string model = position >= 0 ? ModelName(position, 1) : "model " + sn.modelCode;
    return model + " " + sn.year + "-" + sn.month + " " + sn.number;
}

std::string FrequencyOf(const Module& module, int channel, std::string_view variant) {
    const std::string base = BaseFrequencyText(module.identity.baseFrequencyCode);
    const auto table = ChannelFrequencies(ModelName(module.modelPosition, 1), base, variant,
                                          module.modelPosition, false);
    return channel >= 1 && channel <= 20 ? table[static_cast<std::size_t>(channel - 1)] : "";
}

// The values a write of `values` sends: the profile's, and for a setting whose write carries
// another that the profile leaves out, the module's own.
SettingValues WithCurrent(SettingValues values, const SettingValues& current) {
    SettingValues rest = current;
    values.merge(rest);
    return values;
}

// Hands a failure on to `done`; whether there was one.
template <class T, class U> bool Failed(Outcome<T>& outcome, const Then<U>& done) {
    auto* error = std::get_if<ExchangeError>(&outcome);
    if (error)
        done(std::move(*error));
    return error != nullptr;
}

// Asks `command` and hands on the accepted answer's event, or the failure.
void AskThen(Exchanger& port, const Command& command, std::string_view payload, milliseconds wait,
             std::string_view id, Then<AnswerEvent> then) {
    port.Submit(command, payload, wait, id,
                [&port, &command, then = std::move(then)](ExchangeReply reply) {
                    then(Accepted(port, command, std::move(reply)));
                });
}

// The same for a read whose answer carries the event E.
template <class E>
void AskFor(Exchanger& port, std::uint8_t code, milliseconds wait, std::string_view id,
            Then<E> then) {
    const Command& command = *FindCommand(code, !id.empty());
    AskThen(port, command, ReadPayload(port.FramingOf(command)), wait, id,
            [&port, code, io = !id.empty(), then = std::move(then)](Outcome<AnswerEvent> outcome) {
                if (Failed(outcome, then))
                    return;
                if (const E* event = std::get_if<E>(&std::get<AnswerEvent>(outcome)))
                    return then(*event);
                then(WithoutData(port, code, io));
            });
}

// The blocking port hands each reply on before Submit returns, so the steps have ended when
// `start` returns; their failure is thrown.
template <class T> T Wait(const std::function<void(Then<T>)>& start) {
    std::optional<Outcome<T>> outcome;
    start([&outcome](Outcome<T> result) { outcome = std::move(result); });
    if (auto* error = std::get_if<ExchangeError>(&*outcome))
        throw std::move(*error);
    return std::get<T>(std::move(*outcome));
}

// The steps of a profile read: each answer once, asked in the order of the settings that take
// their value from it, then the IO lines where the model has them.
} // namespace

config::ModuleProfile IdentityProfile(const Module& module) {
    config::ModuleProfile profile;
    profile.modelPosition = module.modelPosition;
    profile.model = module.modelPosition >= 0 ? ModelName(module.modelPosition, 1) : "";
    profile.identity = {
        {"serial_number", SerialNumberText(module.serialNumber, module.modelPosition)},
        {"family", FamilyText(module.identity.family, 1)},
        {"firmware", FirmwareVersionText(module.identity.version).substr(1)},
        {"base_frequency", BaseFrequencyText(module.identity.baseFrequencyCode)},
    };
    return profile;
}

namespace {

class ProfileReading : public std::enable_shared_from_this<ProfileReading> {
public:
    ProfileReading(Exchanger& port, const Module& module, milliseconds wait, StepProgress progress,
                   Then<config::ModuleProfile> done)
        : m_port(port), m_module(module), m_wait(wait), m_progress(std::move(progress)),
          m_done(std::move(done)) {
        std::set<std::uint8_t> reads;
        for (const SettingRow& row : SettingRows())
            if (row.Readable())
                reads.insert(*row.profileRead);
        m_steps = static_cast<int>(reads.size()) + (HasIoGroup(module.modelPosition) ? 1 : 0);
        m_profile = IdentityProfile(module);
    }

    // Takes the settings from the answers in hand and asks the next one missing.
    void Next() {
        const auto rows = SettingRows();
        for (; m_row < rows.size(); ++m_row) {
            const SettingRow& row = rows[m_row];
            if (!row.Readable())
                continue;
            const auto answer = m_answers.find(*row.profileRead);
            if (answer == m_answers.end())
                return Read(*row.profileRead);
            const std::optional<int> value = row.reported(answer->second);
            if (!value)
                return m_done(WithoutData(m_port, *row.profileRead, false));
            m_profile.settings[row.setting] = *value;
        }
        Identity();
    }

private:
    void Tell(std::uint8_t code, bool io) {
        if (m_progress)
            m_progress(++m_step, m_steps, CommandLogName(code, io));
    }

    void Read(std::uint8_t code) {
        const Command& command = CommandAt(code);
        Tell(code, false);
        AskThen(m_port, command, ReadPayload(m_port.FramingOf(command)), m_wait, {},
                [self = shared_from_this(), code](Outcome<AnswerEvent> outcome) {
                    if (Failed(outcome, self->m_done))
                        return;
                    self->m_answers.emplace(code, std::get<AnswerEvent>(std::move(outcome)));
                    self->Next();
                });
    }

    void Identity() {
        const int channel = m_profile.settings.at(Setting::kChannel);
        m_profile.identity.emplace_back("frequency",
                                        FrequencyOf(m_module, channel, m_port.Variant()));
        if (!HasIoGroup(m_module.modelPosition))
            return m_done(std::move(m_profile));
        Tell(cmd::kIoRead, true);
        AskFor<answer::IoLinesRead>(
            m_port, cmd::kIoRead, m_wait,
            WordPayload(static_cast<std::uint16_t>(m_profile.settings.at(Setting::kId))),
            [self = shared_from_this()](Outcome<answer::IoLinesRead> outcome) {
                if (Failed(outcome, self->m_done))
                    return;
                const auto& io = std::get<answer::IoLinesRead>(outcome);
                self->m_profile.identity.emplace_back("io_input1", io.level1 == 1 ? "high" : "low");
                self->m_profile.identity.emplace_back("io_input2", io.level2 == 1 ? "high" : "low");
                self->m_done(std::move(self->m_profile));
            });
    }

    Exchanger& m_port;
    const Module m_module;
    const milliseconds m_wait;
    const StepProgress m_progress;
    const Then<config::ModuleProfile> m_done;
    config::ModuleProfile m_profile;
    std::map<std::uint8_t, AnswerEvent> m_answers;
    std::size_t m_row = 0;
    int m_step = 0;
    int m_steps = 0;
};

// The steps of a write, one request per setting or pair of settings written together.
class SettingsWriting : public std::enable_shared_from_this<SettingsWriting> {
public:
    SettingsWriting(Exchanger& port, const SettingValues& values, const SettingValues& current,
                    milliseconds wait, milliseconds settle, StepProgress progress,
                    Then<std::string> done)
        : m_port(port), m_values(values), m_sent(WithCurrent(values, current)), m_wait(wait),
          m_settle(settle), m_progress(std::move(progress)), m_done(std::move(done)),
          m_next(m_values.begin()) {
        for (const auto& [setting, value] : m_values)
            m_steps += Carried(setting) ? 0 : 1;
    }

    void Next() {
        for (; m_next != m_values.end(); ++m_next)
            if (!Carried(m_next->first))
                return Write(RowOf(m_next->first));
        m_done(std::string());
    }

private:
    // Written with the setting that carries it.
    bool Carried(Setting setting) const {
        const SettingRow& row = RowOf(setting);
        return row.layout == SettingLayout::kCarried && m_values.contains(*row.with);
    }

    void Write(const SettingRow& row) {
        const Command& command = CommandAt(row.write);
        const Framing framing = m_port.FramingOf(command);
        if (m_progress)
            m_progress(++m_step, m_steps, CommandLogName(row.write));
        AskThen(m_port, command, SettingPayload(row.setting, m_sent, framing), m_wait, {},
                [self = shared_from_this(), &row, framing](Outcome<AnswerEvent> outcome) {
                    self->Written(row, framing, outcome);
                });
    }

    void Written(const SettingRow& row, Framing framing, Outcome<AnswerEvent>& outcome) {
        if (auto* error = std::get_if<ExchangeError>(&outcome)) {
            // a lost port is no refusal: it ends the work with its cause
            if (error->fault == ExchangeFault::kPort)
                return m_done(std::move(*error));
            return m_done(std::move(error->message));
        }
        if (row.write == cmd::kWriteSerial) {
            // the module answered at its old line and moves now; follow it (the short framing
            // carries no parity: the module keeps the one it answered at)
            const int parity =
                framing == Framing::kEDED ? m_port.Parity() : m_sent.at(Setting::kParity);
            std::string failed = m_port.FollowLine(
                BaudFromRateCode(m_sent.at(Setting::kSerialRate)), parity, m_settle);
            if (!failed.empty())
                return m_done(ExchangeError{ExchangeFault::kPort, std::move(failed)});
        }
        ++m_next;
        Next();
    }

    Exchanger& m_port;
    const SettingValues m_values;
    const SettingValues m_sent;
    const milliseconds m_wait;
    const milliseconds m_settle;
    const StepProgress m_progress;
    const Then<std::string> m_done;
    SettingValues::const_iterator m_next;
    int m_step = 0;
    int m_steps = 0;
};

} // namespace

void IdentifyModule(Exchanger& port, milliseconds wait, StepProgress progress, Then<Module> done) {
    if (progress)
        progress(1, 2, CommandLogName(cmd::kSearch));
    AskFor<answer::SearchAnswer>(port, cmd::kSearch, wait, {},
                                 [&port, wait, progress = std::move(progress),
                                  done = std::move(done)](Outcome<answer::SearchAnswer> identity) {
                                     if (Failed(identity, done))
                                         return;
                                     if (progress)
                                         progress(2, 2, CommandLogName(cmd::kReadSerialNumber));
                                     AskFor<answer::SerialNumber>(
                                         port, cmd::kReadSerialNumber, wait, {},
                                         [identity = std::get<answer::SearchAnswer>(identity),
                                          done](Outcome<answer::SerialNumber> serialNumber) {
                                             if (Failed(serialNumber, done))
                                                 return;
                                             Module module;
                                             module.identity = identity;
                                             module.serialNumber =
                                                 std::get<answer::SerialNumber>(serialNumber);
                                             module.modelPosition =
                                                 ModelIndexFromCode(module.serialNumber.modelCode);
                                             done(std::move(module));
                                         });
                                 });
}

Module IdentifyModule(ModulePort& port, milliseconds wait) {
    return Wait<Module>(
        [&](Then<Module> done) { IdentifyModule(port, wait, {}, std::move(done)); });
}

std::string ProfileRefusal(const Exchanger& port, const config::ModuleProfile& wanted,
                           const Module& module, const std::string& source) {
    const std::string model = ModelName(module.modelPosition, 1);
    if (wanted.modelPosition >= 0 && wanted.modelPosition != module.modelPosition)
        return source + " is a profile of " + ModelName(wanted.modelPosition, 1) +
               ", the module on " + port.Name() + " is " +
               (model.empty() ? "of unknown model" : model) + "; nothing written";
    if (const std::string missing = MissingCompanion(wanted.settings); !missing.empty())
        return missing + "; nothing written";
    for (const auto& [setting, value] : wanted.settings) {
        const std::string refusal =
            SettingRefusal(setting, value, module.modelPosition, port.Variant());
        if (!refusal.empty())
            return std::string(RowOf(setting).key) + "=" + SettingValueText(setting, value) + ": " +
                   refusal + "; nothing written";
    }
    return {};
}

void ReadProfile(Exchanger& port, const Module& module, milliseconds wait, StepProgress progress,
                 Then<config::ModuleProfile> done) {
    std::make_shared<ProfileReading>(port, module, wait, std::move(progress), std::move(done))
        ->Next();
}

config::ModuleProfile ReadProfile(ModulePort& port, const Module& module, milliseconds wait) {
    return Wait<config::ModuleProfile>([&](Then<config::ModuleProfile> done) {
        ReadProfile(port, module, wait, {}, std::move(done));
    });
}

void WriteSettings(Exchanger& port, const SettingValues& values, const SettingValues& current,
                   milliseconds wait, milliseconds settle, StepProgress progress,
                   Then<std::string> done) {
    std::make_shared<SettingsWriting>(port, values, current, wait, settle, std::move(progress),
                                      std::move(done))
        ->Next();
}

std::string WriteSettings(ModulePort& port, const SettingValues& values,
                          const SettingValues& current, milliseconds wait, milliseconds settle,
                          StepProgress progress) {
    return Wait<std::string>([&](Then<std::string> done) {
        WriteSettings(port, values, current, wait, settle, std::move(progress), std::move(done));
    });
}

} // namespace serial
