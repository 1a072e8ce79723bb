// The two readers of outside text: a registry value of any type and data, and whatever an INI
// read hands back.
#include <cstring>

#include "fakes.hpp"
#include "fuzz_input.hpp"
#include "setup/post_setup.hpp"
#include "shared/registry_store.hpp"

namespace {

// Copies the fuzzer's bytes into the buffer and returns any count, as a faulty reader might.
class RawIni : public px::IniPort {
public:
    RawIni(std::string bytes, int count) : bytes_(std::move(bytes)), count_(count) {}
    int GetPrivateProfileString(const std::string&, const std::string&, char* buffer, int size,
                                const std::string&) override {
        const int n = std::min<int>(size, static_cast<int>(bytes_.size()));
        std::memcpy(buffer, bytes_.data(), static_cast<std::size_t>(n));
        return count_;
    }

private:
    std::string bytes_;
    int count_;
};

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    px::fuzz::Input in(data, size);
    const auto type = in.Take<std::uint32_t>();
    const auto count = in.Take<std::int32_t>();
    const std::string rest = in.Rest();

    px::fakes::FakeRegistry registry;
    registry.Set("HKCU\\K", "V", type % 12, std::vector<std::uint8_t>(rest.begin(), rest.end()));
    px::RegistryStore store(registry);
    std::string sub;
    px::RegKey key = 0;
    FUZZ_CHECK(store.OpenRegistryKey(px::kHkeyCurrentUser, "K", sub, key));
    std::string text = "unchanged";
    const bool read = store.ReadRegistryString(key, "V", text);
    FUZZ_CHECK(read == (type % 12 == px::kRegSz));
    if (read) FUZZ_CHECK(text.size() <= rest.size() && text.find('\0') == std::string::npos);
    else FUZZ_CHECK(text == "unchanged");
    store.CloseRegistryKey(key);

    RawIni ini(rest, count);
    const auto value = px::IniValue(ini, "f", "SETUP", "TITLE");
    FUZZ_CHECK(value.size() <= 255 && value.find('\0') == std::string::npos);
    FUZZ_CHECK(value.empty() || value.back() != ' ');
    if (count <= 0) FUZZ_CHECK(value.empty());
    return 0;
}
