// The program's seams as the benchmarks set them: its folder where the
// catalogues are, and no network.
#pragma once
#include "ui/System.h"
#include "update/Network.h"

#include <string>

class TBenchSystem : public TSystem {
public:
    std::wstring exePath;
    std::wstring ExecutablePath() override { return exePath; }
};

// The probe fails at once, so no download is ever tried.
class TBenchNetwork : public TNetwork {
public:
    int probes = 0;
    bool Probe(const std::string&) override {
        ++probes;
        return false;
    }
};
