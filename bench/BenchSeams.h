// The program's seams as the benchmarks set them: its folder where the
// catalogues are, and no network.
#pragma once
#include "ui/AnsiPaths.h"
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

// The seams of one run of the program, installed for its lifetime: the
// program's folder is dir, and there is no network.
struct TBenchSeams {
    explicit TBenchSeams(const std::string& dir) {
        system.exePath = Widened(dir + "\\Orbitashell.exe");
        SetSystem(&system);
        SetNetwork(&network);
    }
    ~TBenchSeams() {
        SetSystem(nullptr);
        SetNetwork(nullptr);
    }
    TBenchSeams(const TBenchSeams&) = delete;
    TBenchSeams& operator=(const TBenchSeams&) = delete;
    TBenchSystem system;
    TBenchNetwork network;
};
