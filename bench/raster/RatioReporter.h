// Console output of Google Benchmark plus, at the end, one line per pair:
// how our routine's speed compares with its named peer. Benchmarks of a
// pair are named "<group>/<case>/ours" and "<group>/<case>/<peer name>"; a
// case may have several peers, each with its own goal.
//
// Each benchmark runs several times, interleaved at random with the others,
// and the fastest run stands for it: on a shared machine the minimum is the
// figure least disturbed by other work.
#pragma once

#include <benchmark/benchmark.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <map>
#include <string>
#include <utility>
#include <vector>

namespace pendar::bench {

class RatioReporter : public benchmark::ConsoleReporter {
public:
    // goal: the smallest acceptable ratio (peer time / our time); peerGoals:
    // other goals for peers of those names.
    explicit RatioReporter(double goal, std::map<std::string, double> peerGoals = {})
        : goal_(goal), peerGoals_(std::move(peerGoals))
    {
    }

    void ReportRuns(const std::vector<Run>& runs) override
    {
        ConsoleReporter::ReportRuns(runs);
        // With repetitions the fastest run stands for the benchmark; without,
        // the single run.
        for (const Run& r : runs) {
            const bool best = r.run_type == Run::RT_Aggregate && r.aggregate_name == "min";
            if (r.error_occurred || !(best || r.run_type == Run::RT_Iteration))
                continue;
            std::string name = r.run_name.str();
            size_t last = name.rfind('/');
            if (last == std::string::npos)
                continue;
            std::string key = name.substr(0, last);
            std::string who = name.substr(last + 1);
            if (!seen_.count(key)) {
                seen_[key] = order_.size();
                order_.push_back(key);
            }
            Timing& slot = who == "ours" ? ours_[key] : peers_[key][who];
            if (best || !slot.fromMin)
                slot = {who, r.GetAdjustedCPUTime(), best};
        }
    }

    void Finalize() override
    {
        ConsoleReporter::Finalize();
        // Registration order may differ from run order (random interleaving):
        // list by group, then by the case's number.
        std::stable_sort(order_.begin(), order_.end(), [](const std::string& a, const std::string& b) {
            auto split = [](const std::string& k) {
                size_t slash = k.rfind('/');
                return std::make_pair(k.substr(0, slash), std::atof(k.c_str() + slash + 1));
            };
            return split(a) < split(b);
        });
        std::printf("\nSpeed against the peer (peer CPU time / our CPU time; goal >= %.2f", goal_);
        for (const auto& [who, goal] : peerGoals_)
            std::printf(", against %s >= %.2f", who.c_str(), goal);
        std::printf(")\n");
        int below = 0;
        for (const std::string& key : order_) {
            auto o = ours_.find(key);
            auto p = peers_.find(key);
            if (o == ours_.end() || p == peers_.end() || o->second.time <= 0)
                continue;
            for (const auto& [who, timing] : p->second) {
                const auto special = peerGoals_.find(who);
                const double goal = special == peerGoals_.end() ? goal_ : special->second;
                const double ratio = timing.time / o->second.time;
                const bool ok = ratio >= goal;
                below += !ok;
                std::printf("  %-40s vs %-22s %6.2fx%s\n", key.c_str(), who.c_str(), ratio, ok ? "" : "  below goal");
            }
        }
        std::printf("%d below goal\n", below);
    }

private:
    double goal_;
    std::map<std::string, double> peerGoals_;
    std::map<std::string, size_t> seen_;
    std::vector<std::string> order_;
    struct Timing {
        std::string who;
        double time = 0;
        bool fromMin = false;
    };
    std::map<std::string, Timing> ours_;
    std::map<std::string, std::map<std::string, Timing>> peers_;
};

// Registers a benchmark that also reports its fastest repetition.
template <typename Fn>
benchmark::internal::Benchmark* Register(const std::string& name, Fn fn)
{
    return benchmark::RegisterBenchmark(name.c_str(), fn)->ComputeStatistics("min", [](const std::vector<double>& v) {
        return *std::min_element(v.begin(), v.end());
    });
}

// Runs the registered benchmarks with the ratio summary. Repetitions and
// interleaving have defaults that the command line can override.
inline int RunWithRatios(int argc, char** argv, double goal, std::map<std::string, double> peerGoals = {})
{
    std::vector<char*> args(argv, argv + argc);
    static char repetitions[] = "--benchmark_repetitions=7";
    static char interleave[] = "--benchmark_enable_random_interleaving=true";
    static char minTime[] = "--benchmark_min_time=0.05";
    static char aggregates[] = "--benchmark_report_aggregates_only=true";
    args.insert(args.begin() + 1, {repetitions, interleave, minTime, aggregates});
    argc = static_cast<int>(args.size());
    argv = args.data();
    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv))
        return 1;
    RatioReporter reporter(goal, std::move(peerGoals));
    benchmark::RunSpecifiedBenchmarks(&reporter);
    benchmark::Shutdown();
    return 0;
}

} // namespace pendar::bench
