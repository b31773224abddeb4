#pragma once

#include "bench_application.h"
#include "startup/message_box.h"

#include <QApplication>
#include <benchmark/benchmark.h>

#include <string>

// What the console benchmarks share: one offscreen application (widgets), and message boxes that skip the
// benchmark with their text, since none is expected while it runs.
namespace kestrova::bench {

inline QApplication& application() {
    return application<QApplication>();
}

class SkippingBox final : public MessageBox {
public:
    explicit SkippingBox(benchmark::State& state) : m_state(state) {}
    void notice(const QString& text, const QString&) override { skip(text); }
    void critical(const QString& text, const QString&) override { skip(text); }
    void exclamation(const QString& text, const QString&) override { skip(text); }
    bool question(const QString& text, const QString&) override {
        skip(text);
        return false;
    }

private:
    void skip(const QString& text) {
        m_text = text.toStdString();
        m_state.SkipWithError(m_text.c_str());
    }

    benchmark::State& m_state;
    std::string m_text;
};

} // namespace kestrova::bench
