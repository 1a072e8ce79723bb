// pxsim: plays the touchscreen behind the PXWNTCOM stand-in driver (see standin/README.md).
// Exit codes: 0 done, 1 the device or a request failed, 2 wrong arguments.
#include <cstdio>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "../client/standin_client.hpp"
#include "../client/standin_text.hpp"

namespace {

using namespace px::standin;

constexpr char kUsage[] =
    "usage: pxsim show\n"
    "       pxsim set Name=Value [Name=Value ...]   (block fields, RbfWindow, RightClickPending)\n"
    "       pxsim reset\n"
    "       pxsim touch X Y [--reports N]\n"
    "       pxsim move X Y [--reports N]\n"
    "       pxsim lift\n"
    "       pxsim journal [--clear]\n"
    "       pxsim fail REQUEST_NAME N\n";

struct UsageError {
    std::string Message;
};

// Opens the device on first use, so wrong arguments are reported as such even without it.
class Device {
public:
    StandinClient& operator()() {
        if (!client_) client_.emplace();
        return *client_;
    }

private:
    std::optional<StandinClient> client_;
};

std::int64_t Number(std::string_view text, std::int64_t low, std::int64_t high, std::string_view what) {
    const auto value = ParseNumber(text);
    if (!value || *value < low || *value > high)
        throw UsageError{std::string(what) + ": '" + std::string(text) + "' is not a number from " +
                         std::to_string(low) + " to " + std::to_string(high)};
    return *value;
}

int Show(Device& device) {
    std::fputs(FormatState(device().State()).c_str(), stdout);
    return 0;
}

struct Assignment {
    std::string Name;
    std::int64_t Value;
};

int Set(Device& device, const std::vector<std::string_view>& args) {
    if (args.empty()) throw UsageError{"set needs Name=Value"};
    std::vector<Assignment> assignments;
    for (auto arg : args) {
        const auto equals = arg.find('=');
        if (equals == std::string_view::npos) throw UsageError{"'" + std::string(arg) + "' is not Name=Value"};
        const std::string name(arg.substr(0, equals));
        const auto valueText = arg.substr(equals + 1);
        if (name == "RbfWindow") {
            assignments.push_back({name, Number(valueText, INT32_MIN, UINT32_MAX, name)});
        } else if (name == "RightClickPending") {
            assignments.push_back({name, Number(valueText, -32768, 65535, name)});
        } else if (const auto* field = FindBlockField(name)) {
            const auto value = Number(valueText, field->Size == 1 ? -128 : -32768, field->Size == 1 ? 255 : 65535, name);
            assignments.push_back({name, value});
        } else {
            throw UsageError{"unknown field '" + name + "'"};
        }
    }
    // Checked all before writing any: a typo leaves the stand-in untouched.
    auto& client = device();
    for (const auto& assignment : assignments) {
        if (assignment.Name == "RbfWindow" || assignment.Name == "RightClickPending") {
            auto rbf = client.State().Rbf;
            if (assignment.Name == "RbfWindow")
                rbf.RbfWindow = static_cast<std::int32_t>(static_cast<std::uint32_t>(assignment.Value));
            else
                rbf.RightClickPending = static_cast<std::int16_t>(static_cast<std::uint16_t>(assignment.Value));
            client.SetRbf(rbf);
        } else {
            const auto* field = FindBlockField(assignment.Name);
            client.WriteBytes(field->Offset, *FieldBytes(*field, assignment.Value));
        }
    }
    return 0;
}

int Feed(Device& device, std::string_view command, const std::vector<std::string_view>& args) {
    std::vector<std::string_view> positional;
    std::uint32_t further = 0;
    for (std::size_t i = 0; i < args.size(); ++i) {
        if (args[i] == "--reports") {
            if (i + 1 >= args.size()) throw UsageError{"--reports needs a number"};
            further = static_cast<std::uint32_t>(Number(args[++i], 0, 65535, "--reports"));
        } else {
            positional.push_back(args[i]);
        }
    }
    PX_TOUCH_REPORT report{};
    if (command == "lift") {
        if (!positional.empty() || further) throw UsageError{"lift takes no arguments"};
        report = device().Lift();
    } else {
        if (positional.size() != 2) throw UsageError{std::string(command) + " needs X Y"};
        const auto x = static_cast<std::int16_t>(Number(positional[0], -32768, 32767, "X"));
        const auto y = static_cast<std::int16_t>(Number(positional[1], -32768, 32767, "Y"));
        report = command == "touch" ? device().Touch(x, y, further) : device().Move(x, y, further);
    }
    std::printf("RawX=%d\nRawY=%d\nStatus=%d\nReportCount=%d\n", report.RawX, report.RawY, report.Status,
                report.ReportCount);
    return 0;
}

int Journal(Device& device, const std::vector<std::string_view>& args) {
    bool clear = false;
    for (auto arg : args) {
        if (arg != "--clear") throw UsageError{"journal takes only --clear"};
        clear = true;
    }
    auto& client = device();
    for (const auto& entry : client.Journal()) {
        const auto line = JournalLine(entry) + "\n";
        for (std::uint32_t i = 0; i < entry.Repeat; ++i) std::fputs(line.c_str(), stdout);
    }
    if (clear) client.ClearJournal();
    return 0;
}

int Fail(Device& device, const std::vector<std::string_view>& args) {
    if (args.size() != 2) throw UsageError{"fail needs REQUEST_NAME N"};
    const auto code = RequestCode(args[0]);
    if (!code) throw UsageError{"unknown request '" + std::string(args[0]) + "'"};
    if (PX_STANDIN_IS_PRIVATE(*code)) throw UsageError{"the stand-in's own requests cannot be failed"};
    const auto count = static_cast<std::uint32_t>(Number(args[1], 0, UINT32_MAX, "N"));
    device().FailNext(*code, count);
    return 0;
}

int Run(const std::vector<std::string_view>& argv) {
    if (argv.empty()) throw UsageError{"no command"};
    const auto command = argv[0];
    const std::vector<std::string_view> args(argv.begin() + 1, argv.end());
    const bool known = command == "show" || command == "set" || command == "reset" || command == "touch" ||
                       command == "move" || command == "lift" || command == "journal" || command == "fail";
    if (!known) throw UsageError{"unknown command '" + std::string(command) + "'"};
    if ((command == "show" || command == "reset") && !args.empty())
        throw UsageError{std::string(command) + " takes no arguments"};

    Device device;
    if (command == "show") return Show(device);
    if (command == "set") return Set(device, args);
    if (command == "reset") {
        device().Reset();
        return 0;
    }
    if (command == "journal") return Journal(device, args);
    if (command == "fail") return Fail(device, args);
    return Feed(device, command, args);
}

}  // namespace

int main(int argc, char** argv) {
    std::vector<std::string_view> args(argv + 1, argv + argc);
    try {
        return Run(args);
    } catch (const UsageError& error) {
        std::fprintf(stderr, "pxsim: %s\n%s", error.Message.c_str(), kUsage);
        return 2;
    } catch (const StandinError& error) {
        std::fprintf(stderr, "pxsim: %s\n", error.what());
        return 1;
    }
}
