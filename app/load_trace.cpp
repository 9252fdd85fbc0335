#include "app/load_trace.h"

// Std
#include <cstdio>
#include <string>

Q_LOGGING_CATEGORY(lcTiming, "vorlane.timing", QtWarningMsg)

namespace vorlane {

static QElapsedTimer &processClock()
{
    static QElapsedTimer clock;
    return clock;
}

void LoadTrace::startProcessClock()
{
    processClock().start();
}

namespace {
struct Stage
{
    const char *name;
    qint64 ns;
};
constexpr int maxStages = 24;
Stage stages[maxStages];
int stageCount = 0;
bool stagesClosed = false;
} // namespace

void LoadTrace::stage(const char *name)
{
    // Marked before QApplication has read the logging rules: kept whether
    // the trace is on or not, printed only when it is.
    if (stagesClosed || stageCount == maxStages || !processClock().isValid())
        return;
    stages[stageCount++] = { name, processClock().nsecsElapsed() };
}

bool LoadTrace::enabled()
{
    return lcTiming().isDebugEnabled();
}

static double ms(qint64 ns)
{
    return double(ns) / 1e6;
}

void LoadTrace::markInput()
{
    m_input.start();
}

void LoadTrace::beginLoad(const QString &fileName)
{
    if (!enabled())
        return;
    m_name = fileName;
    m_loading = true;
    m_pending = false;
    m_fitNs = 0;
    m_drawStartNs = -1;
    m_load.start();
}

void LoadTrace::decoded(bool ok)
{
    if (!m_loading)
        return;
    m_loading = false;
    m_pending = ok;
    m_decodeNs = m_load.nsecsElapsed();
}

void LoadTrace::beginFit()
{
    if (m_pending)
        m_step.start();
}

void LoadTrace::endFit()
{
    if (m_pending && m_step.isValid())
        m_fitNs += m_step.nsecsElapsed();
}

void LoadTrace::beginDraw()
{
    if (m_pending)
        m_drawStartNs = m_load.nsecsElapsed();
}

void LoadTrace::viewPainted()
{
    if (!enabled())
        return;
    if (!m_readyReported && processClock().isValid()) {
        m_readyReported = true;
        stage("painted");
        stagesClosed = true;
        std::fprintf(stderr, "ready %.1f\n", ms(processClock().nsecsElapsed()));
        std::string line = "startup";
        for (int i = 0; i < stageCount; ++i) {
            char item[64];
            std::snprintf(item, sizeof item, " %s=%.1f", stages[i].name, ms(stages[i].ns));
            line += item;
        }
        std::fprintf(stderr, "%s\n", line.c_str());
    }
    if (!m_pending)
        return;
    m_pending = false;
    const qint64 now = m_load.nsecsElapsed();
    const qint64 draw = m_drawStartNs >= 0 ? now - m_drawStartNs : 0;
    const qint64 sinceInput = m_input.isValid() ? m_input.nsecsElapsed()
        : processClock().isValid()              ? processClock().nsecsElapsed()
                                                : now;
    std::fprintf(stderr, "shown %s decode=%.1f fit=%.1f draw=%.1f since-input=%.1f\n",
                 m_name.toLocal8Bit().constData(), ms(m_decodeNs), ms(m_fitNs), ms(draw),
                 ms(sinceInput));
    std::fflush(stderr);
}

} // namespace vorlane
