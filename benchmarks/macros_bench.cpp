// Macro expansion over a large script: the plain algorithm beside the one
// that skips lines and macros that cannot change anything.
//   build/native/macros_bench
#include <benchmark/benchmark.h>

#include <memory>
#include <string>

#include "core/string_list.h"
#include "logon/macros.h"
#include "logon/settings.h"
#include "platform/platform.h"
#include "platform/system.h"

namespace {

class EnglishSystem : public platform::System {
  public:
    platform::Win32Error GetComputerNameW(uint32_t, std::string*) override { return 0; }
    platform::LocalTime Now() override { return {}; }
    std::string ShortDayName(int) override { return {}; }
    std::string ShortMonthName(int) override { return {}; }
    std::string TimeSeparator() override { return ":"; }
    std::string ModulePath() override { return {}; }
    bool SameTextIgnoreCase(const std::string& a, const std::string& b) override {
        if (a.size() != b.size()) {
            return false;
        }
        for (size_t i = 0; i < a.size(); ++i) {
            if (std::toupper(static_cast<unsigned char>(a[i])) !=
                std::toupper(static_cast<unsigned char>(b[i]))) {
                return false;
            }
        }
        return true;
    }
};

constexpr int kLines = 10000;
constexpr int kMacros = 500;

// 500 macros; 10,000 script lines of which one in five refers to a macro.
core::TStringList Prepare(logon::LogonContext& context) {
    context.MacroList = std::make_unique<core::TStringList>();
    for (int i = 0; i < kMacros; ++i) {
        context.MacroList->Add("Macro" + std::to_string(i) + "=\\\\SRV" + std::to_string(i) +
                               "\\SHARE");
    }
    core::TStringList script;
    for (int i = 0; i < kLines; ++i) {
        if (i % 5 == 0) {
            script.Add("DF:=%Macro" + std::to_string((i * 7) % kMacros) + "%\\users\\%UIDL%");
        } else {
            script.Add("USoftware\\Tarnwick\\Bench" + std::to_string(i) + ".Value=S" +
                       std::to_string(i));
        }
    }
    return script;
}

template <void (*Expand)(logon::LogonContext&, core::TStringList&)>
void BM_Expand(benchmark::State& state) {
    EnglishSystem system;
    logon::LogonContext context(platform::Services().With(system));
    const core::TStringList script = Prepare(context);
    for (auto _ : state) {
        core::TStringList list;
        list.Assign(script);
        Expand(context, list);
        benchmark::DoNotOptimize(list);
    }
}

BENCHMARK_TEMPLATE(BM_Expand, logon::ExpandMacrosPlain)
    ->Name("ExpandMacros/plain/10000x500")
    ->Unit(benchmark::kMillisecond);
BENCHMARK_TEMPLATE(BM_Expand, logon::ExpandMacros)
    ->Name("ExpandMacros/fast/10000x500")
    ->Unit(benchmark::kMillisecond);

}  // namespace

BENCHMARK_MAIN();
