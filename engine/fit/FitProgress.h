// The fit's way to its caller while it works: percentages (0 to 100, each reported once, in
// rising order) and a flag the caller may raise to stop it. The whole job may be given a part
// of the caller's range (`from` to `to` percent); a stage works in a share of that:
// Stage(a, b) makes the next reports of fraction f mean a + f * (b - a) percent of the part.
// Threading: the fit calls it on its own thread; only the cancel flag is shared, atomically.
#pragma once

#include <atomic>
#include <functional>

struct FitControl {
    std::function<void(int percent)> progress;  // may be empty
    const std::atomic<bool>* cancel = nullptr;  // may be null
};

class FitProgress {
public:
    explicit FitProgress(const FitControl& control, double from = 0, double to = 100)
        : m_control(control), m_base(from), m_scale((to - from) / 100.0) {}

    bool Cancelled() const { return m_control.cancel && m_control.cancel->load(); }
    void Stage(double from, double to);
    void Report(double fraction);  // within the current stage, 0 to 1

private:
    const FitControl& m_control;
    const double m_base;
    const double m_scale;
    double m_from = 0;
    double m_to = 100;
    int m_last = -1;
};
