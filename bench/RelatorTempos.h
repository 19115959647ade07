// The benchmarks' console output, remembering each run's time per iteration
// so that a program can print ratios of runs measured in the same process.
#pragma once

#include <benchmark/benchmark.h>

#include <cstdio>
#include <map>
#include <string>
#include <vector>

namespace zenta::bench {

class RelatorTempos : public benchmark::ConsoleReporter {
public:
    void ReportRuns(const std::vector<Run>& runs) override {
        for (const Run& r : runs)
            if (!r.error_occurred && r.run_type == Run::RT_Iteration) m_tempos[r.benchmark_name()] = r.GetAdjustedRealTime();
        ConsoleReporter::ReportRuns(runs);
    }
    // The time of the run whose name starts with `nome`; 0 when it did not run.
    double Tempo(const std::string& nome) const {
        for (const auto& [n, t] : m_tempos)
            if (n.compare(0, nome.size(), nome) == 0) return t;
        return 0;
    }
    // Prints a's time over b's; with `limite` above 0, also whether the ratio
    // keeps within it.
    void Razao(const std::string& a, const std::string& b, double limite) const {
        const double ta = Tempo(a), tb = Tempo(b);
        if (ta <= 0 || tb <= 0) return;
        const double razao = ta / tb;
        if (limite > 0)
            std::printf("%-28s / %-26s = %6.2f  (limit %.1f: %s)\n", a.c_str(), b.c_str(), razao, limite,
                        razao <= limite ? "ok" : "OVER");
        else
            std::printf("%-28s / %-26s = %6.2f\n", a.c_str(), b.c_str(), razao);
    }

private:
    std::map<std::string, double> m_tempos;
};

}  // namespace zenta::bench
